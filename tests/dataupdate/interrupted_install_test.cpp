// A process killed in the middle of a set leaves no half-written set behind.

#include "dataupdate/host_fixture.h"
#include "support/test_files.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace upd::dataupdate {
namespace {

using sample::ProductFamily;
using test::SampleHost;

TEST(InterruptedInstall, AKilledInstallationLeavesTheDatabaseConsistent) {
    SampleHost host(ProductFamily::IndikLexikonShg);
    QString terms;
    for (int i = 1; i <= 150'000; ++i)
        terms += QStringLiteral("<r><id_item>%1</id_item><id_synonim>%2</id_synonim>"
                                "<Name>Begriff %1</Name></r>")
                     .arg(i)
                     .arg(i % 1000);
    const QString payloadFile = host.directory() + QStringLiteral("/payload.xml");
    upd::test::writeFile(payloadFile,
                         QStringLiteral("<d><new_shg><c><r><NR>1</NR><NAME>Gruppe</NAME>"
                                        "</r></c></new_shg><new_indik><c>%1</c></new_indik></d>")
                             .arg(terms)
                             .toUtf8());

    const QStringList arguments = {host.directory(), QStringLiteral("host.db"), test::PasswordCodes,
                                   QStringLiteral("QGR"), payloadFile};
    QProcess child;
    child.start(QStringLiteral(INSTALL_CHILD_PROGRAM), arguments);
    ASSERT_TRUE(child.waitForStarted());
    // Wait until the term set is well under way, then kill without warning.
    bool midSet = false;
    while (!midSet && child.waitForReadyRead(30'000)) {
        while (child.canReadLine()) {
            const QList<QByteArray> numbers = child.readLine().trimmed().split(' ');
            midSet = midSet ||
                     (numbers.size() == 2 && numbers[1] == "150000" && numbers[0].toInt() > 1000);
        }
    }
    ASSERT_TRUE(midSet) << "the child never reached the middle of the term set";
    child.kill();
    child.waitForFinished();

    // The finished group set stays, nothing of the interrupted term set does.
    EXPECT_EQ(host.value("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(host.value("SELECT count(*) FROM shg"), "1");
    EXPECT_EQ(host.value("SELECT count(*) FROM Indikationsnamen"), "0");

    // The same payload installs completely afterwards.
    QProcess again;
    again.start(QStringLiteral(INSTALL_CHILD_PROGRAM), arguments);
    ASSERT_TRUE(again.waitForFinished(120'000));
    EXPECT_EQ(again.exitCode(), 0);
    EXPECT_EQ(host.value("SELECT count(*) FROM Indikationsnamen"), "150000");
}

} // namespace
} // namespace upd::dataupdate
