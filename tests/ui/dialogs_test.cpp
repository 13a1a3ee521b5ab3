// The dialogs on the main window's session, driven with keys where the user would: where the
// focus stands, what Enter does.

#include "ui/frm_config.h"
#include "ui/frm_dir_auswahl.h"
#include "ui/frm_info.h"
#include "ui/frm_lizenz.h"
#include "ui/frm_update_info.h"
#include "ui/frm_wait.h"
#include "ui/message_prompts.h"
#include "ui/window_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

namespace upd::test {
namespace {

using DialogTest = WindowTest;

// The real boxes, as the program shows them: Qt's German texts, the program's icon. A box is
// answered with the button of the given text.
TEST_F(DialogTest, StandardButtonsAreGermanAndBoxesCarryTheProgramIcon) {
    EXPECT_TRUE(programIcon().availableSizes().contains(QSize(16, 16)));
    MessagePrompts real;
    QStringList shown;
    const auto answer = [&shown](const QString& press) {
        shown.clear();
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
    answer(QStringLiteral("Nein"));
    EXPECT_EQ(real.messageBox(QStringLiteral("?"), MessageButtons::YesNo, MessageIcon::Question,
                              ProgramTitle),
              MessageAnswer::No);
    EXPECT_EQ(shown, QStringList({"Ja", "Nein"}));
    answer(QStringLiteral("OK"));
    EXPECT_EQ(real.inputBox(QStringLiteral("Version"), ProgramTitle, QStringLiteral("1")),
              QStringLiteral("1"));
    EXPECT_EQ(shown, QStringList({"Abbrechen", "OK"}));
}

TEST_F(DialogTest, ConfigurationRefusesAWrongDateAndTakesTheRestOverOnEnter) {
    session.ServerBaseUrl = QStringLiteral("http://127.0.0.1:8470");
    session.host.DBName = QStringLiteral("quor.mdb");
    session.SearchDate = QStringLiteral("01.01.2005");
    session.deployment.localServerUrl = QStringLiteral("http://127.0.0.1:9/onlinesoft");
    frmConfig config(session, prompts);
    EXPECT_EQ(config.txtUpdateServer->text() + config.txtDBName->text() + config.txtDate->text(),
              QStringLiteral("http://127.0.0.1:8470quor.mdb01.01.2005"));
    config.txtUpdateServer->clear();
    config.txtControlKey->setText(QStringLiteral("KEY"));
    config.txtDate->setText(QStringLiteral("29.02.2005"));
    config.txtDBName->clear();
    config.txtDBVersion->setText(QStringLiteral("13"));
    config.lblCMD_Click();
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, QStringLiteral("Bitte ein korrektes Datum eingeben!"));
    EXPECT_EQ(session.ServerBaseUrl, QStringLiteral("http://127.0.0.1:8470"));

    activate(config);
    config.txtDate->setText(QStringLiteral("1.3.05")); // the short year is a date too
    config.txtControlKey->setFocus();
    press(Qt::Key_Enter, Qt::KeypadModifier); // Enter in a box is the window's default
    EXPECT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(config.result(), QDialog::Accepted);
    EXPECT_EQ(session.ServerBaseUrl, QString()); // an empty server box empties the address
    EXPECT_EQ(session.ControlKey, QStringLiteral("KEY"));
    EXPECT_EQ(session.SearchDate, QStringLiteral("1.3.05"));
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

// The terms' choice has the focus, "not accepted" checked; Enter is "Weiter", which asks unless
// they were accepted. The close box asks as well.
TEST_F(DialogTest, LicenceAsksWhenTheTermsWereNotAccepted) {
    frmLizenz licence(session, prompts);
    activate(licence);
    EXPECT_EQ(QApplication::focusWidget(), licence.Option2);
    EXPECT_TRUE(licence.Option2->isChecked());
    prompts.answerNext(MessageAnswer::No);
    press(Qt::Key_Return);
    EXPECT_TRUE(licence.isVisible());
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, QStringLiteral("Sie haben die Nutzungsbedingungen nicht "
                                                      "akzeptiert. Möchten Sie fortfahren?"));
    EXPECT_EQ(prompts.shown()[0].buttons, MessageButtons::YesNo);
    press(Qt::Key_Up);
    press(Qt::Key_Return);
    EXPECT_FALSE(licence.isVisible());
    EXPECT_EQ(session.DialogArg1, QVariant(true));
    EXPECT_EQ(prompts.shown().size(), 1u) << "accepted: no question";

    frmLizenz closed(session, prompts);
    closed.show();
    prompts.answerNext(MessageAnswer::Yes);
    closed.close();
    EXPECT_FALSE(closed.isVisible());
    EXPECT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(session.DialogArg1, QVariant(false));
}

TEST_F(DialogTest, InfoReplacesItsPlaceholdersAndClosesOnAClick) {
    session.DialogArg1 = QStringLiteral("X");
    session.DialogArg2 = QStringLiteral("Y");
    frmInfo info(session);
    EXPECT_EQ(info.lblPath->text(), QStringLiteral("c:\\X\\updates"));
    const std::pair<int, const char*> replaced[] = {{3, " in Y unter \"Systemverwaltung\""},
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

// A volume that is not there leaves the chooser where it was. The folder reached with the arrow
// keys is the one taken.
TEST_F(DialogTest, DirectoryChooserFollowsTheVolumeAndTheKeys) {
    EXPECT_EQ(volumeRoot(QStringLiteral("c:\\")), QStringLiteral("C:\\"));
    QTemporaryDir volume;
    for (int i = 100; i < 160; ++i)
        ASSERT_TRUE(QDir(volume.path()).mkpath(QString::number(i)));
    frmDirAuswahl chooser(session);
    EXPECT_EQ(chooser.directoryPath(), QDir::toNativeSeparators(QDir::rootPath()));
    chooser.Drive1->addItem(QStringLiteral("nirgends"), QStringLiteral("/nonexistent/volume"));
    chooser.Drive1_Change(chooser.Drive1->count() - 1);
    EXPECT_EQ(chooser.directoryPath(), QDir::toNativeSeparators(QDir::rootPath()));
    chooser.Drive1->addItem(QStringLiteral("temp"), volume.path());
    chooser.Drive1_Change(chooser.Drive1->count() - 1);
    EXPECT_EQ(chooser.directoryPath(), QDir::toNativeSeparators(volume.path()));

    activate(chooser);
    ASSERT_TRUE(waitFor([&] { // all folders listed, in order
        const QModelIndex root = chooser.Dir1->rootIndex();
        return chooser.Dir1->model()->index(59, 0, root).data() == QStringLiteral("159");
    }));
    chooser.Dir1->setFocus();
    press(Qt::Key_End);
    press(Qt::Key_Return);
    EXPECT_EQ(session.DialogArg1.toString(), QDir::toNativeSeparators(volume.filePath("159")));
}

// The wait window restores the mouse pointer as it closes and leaves alone a caller that waits for
// something else (the update information's waiting is UpdateInfoTest's); the update information
// closes on Enter.
TEST_F(DialogTest, WaitAndUpdateInformationWindowsClose) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    session.DialogArg1 = QStringLiteral("other");
    (new frmWait(session))->close();
    EXPECT_EQ(session.DialogArg1.toString(), QStringLiteral("other"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    QPointer<frmUpdateInfo> info = new frmUpdateInfo(session, loop);
    activate(*info);
    press(Qt::Key_Return);
    settle();
    EXPECT_TRUE(info.isNull());
}

} // namespace
} // namespace upd::test
