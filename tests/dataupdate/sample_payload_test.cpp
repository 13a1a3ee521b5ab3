// Every data payload of the sample catalog installs into a sample host of its product.

#include "dataupdate/host_fixture.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace upd::dataupdate {
namespace {

using sample::ProductFamily;
using test::SampleHost;

QString samplePayload(const char* file) {
    QFile payload(QStringLiteral(SAMPLE_CATALOG_DIR "/data/") + QString::fromLatin1(file));
    EXPECT_TRUE(payload.open(QIODevice::ReadOnly)) << file;
    return QString::fromUtf8(payload.readAll());
}

DataInstallOutcome installSample(const SampleHost& host, const char* progId, const char* file,
                                 QString& log) {
    XmlDocument document;
    EXPECT_TRUE(document.loadXml(samplePayload(file)));
    test::RecordingSink sink;
    // The server sends the payload without declaration and comments: its root comes first.
    const DataInstallOutcome outcome = installDataPayload(
        host.location(), QString::fromLatin1(progId), document.documentElement(), sink);
    log = sink.log;
    return outcome;
}

TEST(SamplePayloads, IndicationLexiconAndGroupProductsInstallEverySet) {
    for (const auto& [progId, file] :
         {std::pair{"QGR", "qgr-2024.06.xml"}, std::pair{"QHR", "qhr-2024.06.xml"}}) {
        SampleHost host(ProductFamily::IndikLexikonShg, true);
        QString log;
        const DataInstallOutcome outcome = installSample(host, progId, file, log);
        ASSERT_TRUE(outcome.succeeded) << progId << outcome.errText.toStdString();
        EXPECT_EQ(log.count(QStringLiteral(" OK")), 8) << log.toStdString();
        EXPECT_EQ(host.value(QStringLiteral("SELECT Name FROM Indikationsnamen WHERE ID='9000'")),
                  QStringLiteral("Kopfschmerz"));
        EXPECT_EQ(host.value(QStringLiteral("SELECT original FROM Indikationstexte WHERE "
                                            "Indikations_Nr='902' AND id_baustein=2")),
                  QStringLiteral("&bdquo;Magenverstimmung&ldquo;, Reisekrankheit, "
                                 "Medikamente..."));
        EXPECT_EQ(host.rows(QStringLiteral("SELECT NR, substr(original, 1, 40) FROM Lexikontexte "
                                           "ORDER BY NR")),
                  QStringList({"700|NULL", "701|<h1>#titel#</h1><h2>Was ist Migräne?</h2",
                               "702|<h1>#titel#</h1><h2>Vorboten</h2><p>Flim"}));
        EXPECT_EQ(host.rows(QStringLiteral("SELECT NR, TELEFON FROM shg ORDER BY NR")),
                  QStringList({"4711|NULL", "5001|01234 56789", "O'Neill-1|NULL"}));
    }
}

TEST(SamplePayloads, NutrientAndLaboratoryProductsInstallEverySet) {
    SampleHost nutrients(ProductFamily::Naehrstoffe, true);
    QString log;
    DataInstallOutcome outcome = installSample(nutrients, "QBR", "qbr-2024.06.xml", log);
    ASSERT_TRUE(outcome.succeeded) << outcome.errText.toStdString();
    EXPECT_EQ(nutrients.rows(QStringLiteral("SELECT NR, id_text_wissen, id_text_viel, "
                                            "id_text_wenig FROM Nährstoffe ORDER BY NR")),
              QStringList({"300|K1'1|NULL|NULL", "301|30101|30102|30103", "311|31101|NULL|NULL"}));

    for (const auto& [progId, file] :
         {std::pair{"QAR", "qar-2024.06.xml"}, std::pair{"QJRK", "qjrk-2024.06.xml"}}) {
        SampleHost laboratory(ProductFamily::IndikLaborwerte, true);
        outcome = installSample(laboratory, progId, file, log);
        ASSERT_TRUE(outcome.succeeded) << progId << outcome.errText.toStdString();
        EXPECT_EQ(laboratory.rows(QStringLiteral("SELECT NR, \"Länge_Original\" FROM "
                                                 "LaborwerteLexikontexte ORDER BY NR")),
                  QStringList({"600|0", "601|129", "602|106"}));
    }
}

} // namespace
} // namespace upd::dataupdate
