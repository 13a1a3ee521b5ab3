// Every data payload of the sample catalog installs into a sample host of its product.

#include "dataupdate/host_fixture.h"

#include <QFile>
#include <gtest/gtest.h>

namespace upd::dataupdate {
namespace {

using sample::ProductFamily;

TEST(SamplePayloads, EachInstallsEverySetIntoItsProductsHost) {
    const struct {
        const char* progId;
        ProductFamily family;
        int sets;
    } cases[] = {
        {"QGR", ProductFamily::IndikLexikonShg, 6},  {"QHR", ProductFamily::IndikLexikonShg, 6},
        {"QBR", ProductFamily::Naehrstoffe, 2},      {"QAR", ProductFamily::IndikLaborwerte, 4},
        {"QJRK", ProductFamily::IndikLaborwerte, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.progId);
        const QString progId = QString::fromLatin1(c.progId);
        QFile file(SAMPLE_CATALOG_DIR "/data/" + progId.toLower() + "-2024.06.xml");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        XmlDocument document;
        ASSERT_TRUE(document.loadXml(QString::fromUtf8(file.readAll())));
        test::SampleHost host(c.family, true);
        test::RecordingSink sink;
        const DataInstallOutcome outcome =
            installDataPayload(host.location(), progId, document.documentElement(), sink);
        EXPECT_TRUE(outcome.succeeded) << outcome.errText.toStdString();
        // Opening, each set and closing end with " OK".
        EXPECT_EQ(sink.log.count(QStringLiteral(" OK")), c.sets + 2) << sink.log.toStdString();
    }
}

} // namespace
} // namespace upd::dataupdate
