#include "core/session.h"
#include "support/scripted_prompts.h"
#include "ui/frm_config.h"
#include "ui/frm_dir_auswahl.h"
#include "ui/frm_info.h"
#include "ui/frm_lizenz.h"
#include "ui/frm_wait.h"
#include "ui/message_prompts.h"
#include "ui/program_windows.h"
#include "ui/window_fixture.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace upd::test {
namespace {

// The dialogs on the main window's session; no window may be left open.
using DialogTest = WindowTest;

TEST(GermanDates, ValidAndInvalid) {
    EXPECT_TRUE(isGermanDate(QStringLiteral("1.3.05")));
    EXPECT_TRUE(isGermanDate(QStringLiteral("29.02.2004")));
    EXPECT_FALSE(isGermanDate(QStringLiteral("29.02.2005")));
    EXPECT_FALSE(isGermanDate(QStringLiteral("morgen")));
    EXPECT_FALSE(isGermanDate(QStringLiteral("12.13.2005")));
}

// The real boxes, as the program shows them: Qt's German texts, the program's icon. A box is
// answered with the button of the given text.
TEST_F(DialogTest, StandardButtonsAreGermanAndBoxesCarryTheProgramIcon) {
    EXPECT_TRUE(programIcon().availableSizes().contains(QSize(16, 16)));
    MessagePrompts real;
    const auto answer = [](const QString& press, QStringList& shown) {
        QTimer::singleShot(0, [&shown, press] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
            for (QPushButton* button : box->findChildren<QPushButton*>()) {
                shown << button->text().remove(QLatin1Char('&'));
                if (shown.last() == press)
                    button->click();
            }
            shown.sort();
        });
    };
    QStringList shown;
    answer(QStringLiteral("Nein"), shown);
    EXPECT_EQ(real.messageBox(QStringLiteral("?"), MessageButtons::YesNo, MessageIcon::Question,
                              ProgramTitle),
              MessageAnswer::No);
    EXPECT_EQ(shown, QStringList({"Ja", "Nein"}));
    shown.clear();
    answer(QStringLiteral("OK"), shown);
    EXPECT_EQ(real.inputBox(QStringLiteral("Version"), ProgramTitle, QStringLiteral("1")),
              QStringLiteral("1"));
    EXPECT_EQ(shown, QStringList({"Abbrechen", "OK"}));
}

TEST_F(DialogTest, ConfigurationRefusesAWrongDateAndTakesTheRestOver) {
    session.ServerBaseUrl = QStringLiteral("http://127.0.0.1:8470");
    session.host.DBName = QStringLiteral("quor.mdb");
    session.host.DBVers = QStringLiteral("12");
    session.SearchDate = QStringLiteral("01.01.2005");
    session.deployment.localServerUrl = QStringLiteral("http://127.0.0.1:9/onlinesoft");
    frmConfig config(session, prompts);
    EXPECT_EQ(config.txtUpdateServer->text(), QStringLiteral("http://127.0.0.1:8470"));
    EXPECT_EQ(config.txtDBName->text(), QStringLiteral("quor.mdb"));
    EXPECT_EQ(config.txtDate->text(), QStringLiteral("01.01.2005"));

    config.txtUpdateServer->clear();
    config.txtControlKey->setText(QStringLiteral("KEY"));
    config.txtDate->setText(QStringLiteral("31.02.2005"));
    config.txtDBName->clear();
    config.txtDBVersion->setText(QStringLiteral("13"));
    config.lblCMD_Click();
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, QStringLiteral("Bitte ein korrektes Datum eingeben!"));
    EXPECT_EQ(prompts.shown()[0].icon, MessageIcon::Critical);
    EXPECT_EQ(session.ServerBaseUrl, QStringLiteral("http://127.0.0.1:8470"));
    EXPECT_EQ(session.ControlKey, QString());
    EXPECT_EQ(config.result(), QDialog::Rejected);

    config.txtDate->setText(QStringLiteral("28.02.2005"));
    config.lblCMD_Click();
    EXPECT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(config.result(), QDialog::Accepted);
    EXPECT_EQ(session.ServerBaseUrl, QString()); // an empty server box empties the address
    EXPECT_EQ(session.ControlKey, QStringLiteral("KEY"));
    EXPECT_EQ(session.SearchDate, QStringLiteral("28.02.2005"));
    EXPECT_EQ(session.host.DBName, QStringLiteral("quor.mdb")); // an empty name keeps the old
    EXPECT_EQ(session.host.DBVers, QStringLiteral("13"));

    // An empty date is fine; the local button fills in the in-house server.
    frmConfig second(session, prompts);
    second.txtDate->clear();
    second.cmdLocal_Click();
    second.lblCMD_Click();
    EXPECT_EQ(second.result(), QDialog::Accepted);
    EXPECT_EQ(session.SearchDate, QString());
    EXPECT_EQ(session.ServerBaseUrl, QStringLiteral("http://127.0.0.1:9/onlinesoft"));

    // The close box takes nothing over.
    frmConfig closed(session, prompts);
    closed.show();
    closed.txtControlKey->setText(QStringLiteral("new"));
    closed.close();
    EXPECT_EQ(session.ControlKey, QStringLiteral("KEY"));
}

TEST_F(DialogTest, LicenceAsksWhenTheTermsWereNotAccepted) {
    frmLizenz licence(session, prompts);
    EXPECT_TRUE(licence.Option2->isChecked());
    licence.show();

    prompts.answerNext(MessageAnswer::No);
    QTest::mouseClick(licence.lblCMD, Qt::LeftButton);
    EXPECT_TRUE(licence.isVisible());
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, QStringLiteral("Sie haben die Nutzungsbedingungen nicht "
                                                      "akzeptiert. Möchten Sie fortfahren?"));
    EXPECT_EQ(prompts.shown()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(prompts.shown()[0].icon, MessageIcon::Question);

    prompts.answerNext(MessageAnswer::Yes);
    licence.close(); // the close box asks as well
    EXPECT_FALSE(licence.isVisible());
    EXPECT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(session.DialogArg1, QVariant(false));
}

TEST_F(DialogTest, InfoReplacesItsPlaceholdersAndClosesOnAClick) {
    session.DialogArg1 = QStringLiteral("X");
    session.DialogArg2 = QStringLiteral("Y");
    frmInfo info(session);
    // Each placeholder by what stands around it; none is left.
    EXPECT_EQ(info.lblPath->text(), QStringLiteral("c:\\X\\updates"));
    const std::pair<int, const char*> replaced[] = {{0, "Ihrer Y-Installation. Wenn"},
                                                    {0, "bei Ihrer Y-Installation die"},
                                                    {3, " in Y unter \"Systemverwaltung\""},
                                                    {4, " in Y unter "},
                                                    {5, "zum Beispiel x:\\X\\updates"}};
    for (const auto& [label, text] : replaced)
        EXPECT_TRUE(info.lblInfo[label]->text().contains(QString::fromUtf8(text))) << text;
    for (const QLabel* label : info.findChildren<QLabel*>())
        EXPECT_FALSE(label->text().contains(QStringLiteral("<#>"))) << label->text().toStdString();

    info.show();
    QTest::mouseClick(info.lblInfo[2], Qt::LeftButton);
    EXPECT_FALSE(info.isVisible());
    EXPECT_EQ(session.DialogArg1.toString(), QString());
}

TEST_F(DialogTest, DirectoryChooserFollowsTheChosenVolume) {
    EXPECT_EQ(volumeRoot(QStringLiteral("d:")), QStringLiteral("D:\\"));
    EXPECT_EQ(volumeRoot(QStringLiteral("c:\\")), QStringLiteral("C:\\"));

    QTemporaryDir volume;
    ASSERT_TRUE(volume.isValid());
    frmDirAuswahl chooser(session);
    EXPECT_EQ(chooser.directoryPath(), QDir::toNativeSeparators(QDir::rootPath()));

    chooser.Drive1->addItem(QStringLiteral("nirgends"), QStringLiteral("/nonexistent/volume"));
    chooser.Drive1_Change(chooser.Drive1->count() - 1);
    EXPECT_EQ(chooser.directoryPath(), QDir::toNativeSeparators(QDir::rootPath()));

    chooser.Drive1->addItem(QStringLiteral("temp"), volume.path());
    chooser.Drive1_Change(chooser.Drive1->count() - 1);
    EXPECT_EQ(chooser.directoryPath(), QDir::toNativeSeparators(volume.path()));
}

TEST_F(DialogTest, WaitWindowTellsItsCallerWhenItCloses) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    session.DialogArg1 = QStringLiteral("open");
    QPointer<frmWait> wait = new frmWait(session);
    wait->show();
    wait->close();
    EXPECT_EQ(session.DialogArg1.toString(), QStringLiteral("close"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    settle();
    EXPECT_TRUE(wait.isNull());

    session.DialogArg1 = QStringLiteral("other");
    auto* second = new frmWait(session);
    second->close();
    EXPECT_EQ(session.DialogArg1.toString(), QStringLiteral("other"));
}

} // namespace
} // namespace upd::test
