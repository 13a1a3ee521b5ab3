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

// Runs a table procedure on the sample host inside one transaction, as the driver does.
struct ProcedureResult {
    bool ok;
    QString errText;
};
template <class Procedure>
ProcedureResult runProcedure(const SampleHost& host, Procedure procedure, const QString& setName,
                             const QString& records) {
    Payload payload(setXml(setName, records));
    ProductDatabase database;
    QString errText;
    if (!database.open(host.location(), errText))
        return {false, QStringLiteral("open: ") + errText};
    RecordingSink sink;
    database.beginSet();
    const bool ok = procedure(database.database(), payload.container(), errText, sink);
    database.commitSet();
    QString closing;
    database.close(closing);
    return {ok, errText};
}

} // namespace upd::dataupdate::test
