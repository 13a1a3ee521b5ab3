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

} // namespace upd::dataupdate::test
