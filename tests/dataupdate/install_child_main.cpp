// Installs a payload file into a host database and reports each record progress on standard
// output, so that a test can kill it in the middle of a set.
//
// dataupdate_install_child DIRECTORY DBNAME PASSWORDCODES PRODUCT PAYLOADFILE

#include "core/xml_document.h"
#include "dataupdate/data_install.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

namespace {

class PrintingSink : public upd::dataupdate::DataInstallSink {
public:
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
    if (arguments.size() != 6)
        return 2;
    QFile file(arguments.at(5));
    if (!file.open(QIODevice::ReadOnly))
        return 2;
    upd::XmlDocument payload;
    if (!payload.loadXml(QString::fromUtf8(file.readAll())))
        return 2;
    PrintingSink sink;
    const auto outcome =
        upd::dataupdate::installDataPayload({arguments.at(1), arguments.at(2), arguments.at(3)},
                                            arguments.at(4), payload.firstChild(), sink);
    return outcome.succeeded ? 0 : 1;
}
