// Installs a payload file into a host database and prints each record progress shown, so that a
// test can kill it in the middle of a set.
//
// dataupdate_install_child DIRECTORY DBNAME PASSWORDCODES PRODUCT PAYLOADFILE

#include "core/xml_document.h"
#include "dataupdate/data_install.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

namespace {

struct PrintingSink : upd::dataupdate::DataInstallSink {
    void appendLog(const QString&) override {}
    void showRecordProgress(std::int64_t record, std::int64_t records) override {
        std::printf("%lld %lld\n", static_cast<long long>(record), static_cast<long long>(records));
        std::fflush(stdout);
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    QFile file(arguments.value(5));
    upd::XmlDocument payload;
    if (arguments.size() != 6 || !file.open(QIODevice::ReadOnly) ||
        !payload.loadXml(QString::fromUtf8(file.readAll())))
        return 2;
    PrintingSink sink;
    const auto outcome = upd::dataupdate::installDataPayload(
        {arguments[1], arguments[2], arguments[3]}, arguments[4], payload.firstChild(), sink);
    return outcome.succeeded ? 0 : 1;
}
