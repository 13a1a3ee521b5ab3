#include "dataupdate/host_fixture.h"

#include "dataupdate/sqlite_connection.h"
#include "dataupdate/workgroup_password.h"

#include <QDir>
#include <QSqlError>
#include <QSqlRecord>
#include <gtest/gtest.h>

namespace upd::dataupdate::test {

SampleHost::SampleHost(sample::ProductFamily family, bool withSampleRows) {
    sample::createSampleHost(dir_.path(), QStringLiteral("host.db"), family,
                             workgroupPassword(PasswordCodes), withSampleRows);
}

DatabaseLocation SampleHost::location() const {
    return {dir_.path(), QStringLiteral("host.db"), PasswordCodes};
}

QString SampleHost::databaseFile() const {
    return dir_.filePath(QStringLiteral("host.db"));
}

void SampleHost::execute(const QString& sql) const {
    SqliteConnection connection;
    EXPECT_TRUE(connection.open(databaseFile(), SqliteConnection::Mode::ReadWrite, 2000));
    executeOrThrow(connection.database(), sql);
}

QStringList SampleHost::rows(const QString& sql) const {
    SqliteConnection connection;
    EXPECT_TRUE(connection.open(databaseFile(), SqliteConnection::Mode::ReadOnly, 2000));
    QSqlQuery query(connection.database());
    EXPECT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
    QStringList rows;
    while (query.next()) {
        QStringList values;
        for (int i = 0; i < query.record().count(); ++i)
            values << (query.isNull(i) ? QStringLiteral("NULL") : query.value(i).toString());
        rows << values.join(u'|');
    }
    return rows;
}

QString SampleHost::value(const QString& sql) const {
    const QStringList all = rows(sql);
    return all.isEmpty() ? QStringLiteral("<no row>") : all.front();
}

Payload::Payload(const QString& xml) {
    EXPECT_TRUE(document.loadXml(xml)) << xml.toStdString();
}

QString setXml(const QString& setName, const QString& records) {
    return QStringLiteral("<dataupdate><%1><datensaetze>%2</datensaetze></%1></dataupdate>")
        .arg(setName, records);
}

ProcedureResult runProcedure(const SampleHost& host, TableProcedure procedure,
                             const QString& setName, const QString& records) {
    Payload payload(setXml(setName, records));
    ProductDatabase database;
    QString errText;
    if (!database.open(host.location(), errText))
        return {false, QStringLiteral("open: ") + errText, {}};
    RecordingSink sink;
    database.beginSet();
    const bool ok = procedure(database.database(), payload.container(), errText, sink);
    database.commitSet();
    QString closing;
    database.close(closing);
    return {ok, errText, sink.progress};
}

void expectTables(const SampleHost& host, const Tables& tables) {
    for (const auto& [query, rows] : tables)
        EXPECT_EQ(host.rows(query), rows) << query.toStdString();
}

bool errTextMatches(const QString& errText, const QString& expected) {
    return errText == expected ||
           (expected.endsWith(QStringLiteral(" (")) && errText.startsWith(expected));
}

void checkProcedureCases(const std::vector<ProcedureCase>& cases) {
    for (const ProcedureCase& c : cases) {
        SCOPED_TRACE(c.what);
        SampleHost host(c.family, c.sampleRows);
        if (!c.preparation.isEmpty())
            host.execute(c.preparation);
        const ProcedureResult result = runProcedure(host, c.procedure, c.setName, c.records);
        EXPECT_EQ(result.ok, c.errText.isEmpty());
        EXPECT_TRUE(errTextMatches(result.errText, c.errText)) << result.errText.toStdString();
        expectTables(host, c.tables);
    }
}

} // namespace upd::dataupdate::test
