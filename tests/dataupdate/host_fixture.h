#pragma once

#include "core/xml_document.h"
#include "dataupdate/data_install.h"
#include "dataupdate/install_sink.h"
#include "dataupdate/product_database.h"
#include "dataupdate/sample/sample_host.h"

#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace upd::dataupdate::test {

inline const QString PasswordCodes = QStringLiteral("113,76,55,100");

using Progress = std::vector<std::pair<std::int64_t, std::int64_t>>;

// Records what an installation reports.
struct RecordingSink : DataInstallSink {
    void appendLog(const QString& piece) override { log += piece; }
    void showRecordProgress(std::int64_t record, std::int64_t records) override {
        progress.emplace_back(record, records);
    }
    QString log;
    Progress progress;
};

// A sample host in a temporary directory: database "host.db" of one family with its workgroup file.
class SampleHost {
public:
    explicit SampleHost(sample::ProductFamily family, bool withSampleRows = false);
    DatabaseLocation location() const { return {dir_.path(), "host.db", PasswordCodes}; }
    QString databaseFile() const { return location().databaseFile(); }
    QString directory() const { return dir_.path(); }
    void execute(const QString& sql) const;
    // The rows of a query, each as its values joined by "|", NULL written as "NULL".
    QStringList rows(const QString& sql) const;
    QString value(const QString& sql) const { return rows(sql).value(0, "<no row>"); }

private:
    QTemporaryDir dir_;
};

// A parsed payload that stays alive with its nodes.
struct Payload {
    explicit Payload(const QString& xml) {
        EXPECT_TRUE(document.loadXml(xml)) << xml.toStdString();
    }
    XmlNode root() const { return document.firstChild(); }
    XmlDocument document;
};

// Queries and the rows each should give, as SampleHost::rows writes them.
using Tables = std::vector<std::pair<QString, QStringList>>;
void expectTables(const SampleHost& host, const Tables& tables);

using TableProcedure = bool (*)(QSqlDatabase&, const XmlNode&, QString&, DataInstallSink&);

// Runs a table procedure on the records inside one transaction, as the driver does.
struct ProcedureResult {
    bool ok;
    QString errText;
    Progress progress;
};
ProcedureResult runProcedure(const SampleHost& host, TableProcedure procedure,
                             const QString& records);

// One set written by a table procedure into a fresh sample host: the error text (empty when the
// set succeeds; ending in " (" the engine's detail follows) and the tables it leaves.
struct ProcedureCase {
    const char* what;
    sample::ProductFamily family;
    TableProcedure procedure;
    QString records, errText;
    Tables tables;
    bool sampleRows = true;   // the sample host's own rows
    QString preparation = {}; // a statement run on the host before the set
};
void checkProcedureCases(const std::vector<ProcedureCase>& cases);

} // namespace upd::dataupdate::test
