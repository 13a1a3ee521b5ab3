#pragma once

#include "core/xml_document.h"
#include "dataupdate/data_install.h"
#include "dataupdate/install_sink.h"
#include "dataupdate/product_database.h"
#include "dataupdate/sample/sample_host.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <cstdint>
#include <utility>
#include <vector>

namespace upd::dataupdate::test {

inline const QString PasswordCodes = QStringLiteral("113,76,55,100");

// Records what an installation reports.
class RecordingSink : public DataInstallSink {
public:
    void appendLog(const QString& piece) override { log += piece; }
    void showRecordProgress(std::int64_t record, std::int64_t records) override {
        progress.emplace_back(record, records);
    }

    QString log;
    std::vector<std::pair<std::int64_t, std::int64_t>> progress;
};

// A sample host installation in a temporary directory: database "host.db" of one product family
// with its workgroup file.
class SampleHost {
public:
    explicit SampleHost(sample::ProductFamily family, bool withSampleRows = false);

    DatabaseLocation location() const;
    QString databaseFile() const;
    QString directory() const { return dir_.path(); }

    // Runs a statement on the database outside the installation.
    void execute(const QString& sql) const;
    // The rows of a query, each as its values joined by "|", NULL written as "NULL".
    QStringList rows(const QString& sql) const;
    // The single value of a query.
    QString value(const QString& sql) const;

private:
    QTemporaryDir dir_;
};

// A parsed payload that stays alive with its nodes.
struct Payload {
    explicit Payload(const QString& xml);
    XmlNode root() const { return document.firstChild(); }
    // The record container of the root's first set.
    XmlNode container() const { return root().firstChild().firstChild(); }
    XmlDocument document;
};

// One set of records as payload text: <payload><setName><c>records</c></setName></payload>.
QString setXml(const QString& setName, const QString& records);

using TableProcedure = bool (*)(QSqlDatabase&, const XmlNode&, QString&, DataInstallSink&);

// Runs a table procedure on the host inside one transaction, as the driver does.
struct ProcedureResult {
    bool ok;
    QString errText;
    std::vector<std::pair<std::int64_t, std::int64_t>> progress;
};
ProcedureResult runProcedure(const SampleHost& host, TableProcedure procedure,
                             const QString& setName, const QString& records);

// Queries and the rows each should give, as SampleHost::rows writes them.
using Tables = std::vector<std::pair<QString, QStringList>>;
void expectTables(const SampleHost& host, const Tables& tables);

// An error text as expected: equal, or when `expected` ends in " (", followed by the database
// engine's own detail.
bool errTextMatches(const QString& errText, const QString& expected);

// One set written by a table procedure into a fresh sample host.
struct ProcedureCase {
    const char* what;
    sample::ProductFamily family;
    TableProcedure procedure;
    QString setName;
    QString records;
    QString errText; // empty when the set succeeds
    Tables tables;
    QString preparation = {}; // a statement run on the host before the set
    bool sampleRows = true;
};
void checkProcedureCases(const std::vector<ProcedureCase>& cases);

} // namespace upd::dataupdate::test
