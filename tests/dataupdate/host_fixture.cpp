#include "dataupdate/host_fixture.h"

#include "dataupdate/sqlite_connection.h"
#include "dataupdate/workgroup_password.h"

#include <QSqlError>
#include <QSqlRecord>
#include <gtest/gtest.h>

namespace upd::dataupdate::test {

SampleHost::SampleHost(sample::ProductFamily family, bool withSampleRows) {
    sample::createSampleHost(dir_.path(), QStringLiteral("host.db"), family,
                             workgroupPassword(PasswordCodes), withSampleRows);
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

void expectTables(const SampleHost& host, const Tables& tables) {
    for (const auto& [query, rows] : tables)
        EXPECT_EQ(host.rows(query), rows) << query.toStdString();
}

ProcedureResult runProcedure(const SampleHost& host, TableProcedure procedure,
                             const QString& records) {
    // The procedures see only the set's record container.
    Payload payload("<c>" + records + "</c>");
    ProductDatabase database;
    QString errText;
    if (!database.open(host.location(), errText))
        return {false, "open: " + errText, {}};
    RecordingSink sink;
    database.beginSet();
    const bool ok = procedure(database.database(), payload.root(), errText, sink);
    database.commitSet();
    QString closing;
    database.close(closing);
    return {ok, errText, sink.progress};
}

void checkProcedureCases(const std::vector<ProcedureCase>& cases) {
    for (const ProcedureCase& c : cases) {
        SCOPED_TRACE(c.what);
        SampleHost host(c.family, c.sampleRows);
        if (!c.preparation.isEmpty())
            host.execute(c.preparation);
        const ProcedureResult result = runProcedure(host, c.procedure, c.records);
        EXPECT_EQ(result.ok, c.errText.isEmpty());
        if (c.errText.endsWith(" ("))
            EXPECT_TRUE(result.errText.startsWith(c.errText)) << result.errText.toStdString();
        else
            EXPECT_EQ(result.errText, c.errText);
        expectTables(host, c.tables);
    }
}

} // namespace upd::dataupdate::test
