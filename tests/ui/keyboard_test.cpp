// The windows as a keyboard user meets them: where the focus stands, what Enter does, what Tab
// passes over.

#include "ui/frm_config.h"
#include "ui/frm_dir_auswahl.h"
#include "ui/frm_lizenz.h"
#include "ui/frm_update_info.h"
#include "ui/window_fixture.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

namespace upd::test {
namespace {

void activate(QWidget& window) {
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

QString focusName() {
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QStringLiteral("(none)");
}

// Presses a key where the focus is, as the keyboard does.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key, modifiers);
}

using KeyboardTest = WindowTest;

TEST_F(KeyboardTest, AfterEveryStepTheFocusIsOnTheNextStep) {
    frmStart& w = open(0);
    activate(w);
    EXPECT_EQ(focusName(), QStringLiteral("lblStart"));

    // Each press reaches the Start/Next button, never "Beenden": Space, Enter, keypad Enter.
    steps.downloadUpdateFiles = [](WizardWindow&, std::int32_t&, QString&) {
        return true;
    };
    const std::vector<std::pair<std::int32_t, QString>> presses = {
        {wizard::Search, QStringLiteral("SearchForUpdates")},
        {wizard::Search, QStringLiteral("SearchForUpdates")},
        {wizard::DownloadProgramUpdates, QStringLiteral("DownloadUpdateFiles")},
        {wizard::InstallProgramUpdates, QStringLiteral("InstallProgramUpdates")},
    };
    const Qt::Key keys[] = {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space};
    for (std::size_t i = 0; i < presses.size(); ++i) {
        SCOPED_TRACE(i);
        w.state().moveWizardTo(presses[i].first);
        named<LabelButton>(w, "lblStart")->setEnabled(true);
        press(keys[i], keys[i] == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        ASSERT_FALSE(window.isNull()) << "the key ended the program";
        EXPECT_EQ(steps.calls.last(), presses[i].second);
        // The installation leaves the button to its own end.
        if (presses[i].first != wizard::InstallProgramUpdates) {
            EXPECT_EQ(focusName(), QStringLiteral("lblStart"));
        }
    }
}

TEST_F(KeyboardTest, EnterInTheMainWindow) {
    frmStart& w = open(0);
    activate(w);
    // In the version box Enter starts the search: "Start" is the window's default.
    named<QLineEdit>(w, "txtProgVersion")->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(steps.calls, QStringList{QStringLiteral("SearchForUpdates")});

    // A focused button takes Enter itself.
    named<QPushButton>(w, "cmdOldVersion")->setFocus();
    prompts.typeNext(QStringLiteral("4.1.0"));
    press(Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_TRUE(prompts.shown()[0].isInput);
    EXPECT_EQ(steps.calls.size(), 1);

    named<LabelButton>(w, "lblEnd")->setFocus();
    press(Qt::Key_Return);
    settle();
    EXPECT_TRUE(window.isNull());
}

TEST_F(KeyboardTest, EnterPressesEachDialogsDefaultButton) {
    // Configuration: Enter in a box is "OK".
    {
        frmConfig config(session, prompts);
        activate(config);
        config.txtControlKey->setFocus();
        config.txtControlKey->setText(QStringLiteral("KEY"));
        press(Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_EQ(config.result(), QDialog::Accepted);
        EXPECT_EQ(session.ControlKey, QStringLiteral("KEY"));
    }
    // Terms of use: the choice has the focus; Enter is "Weiter".
    {
        frmLizenz licence(session, prompts);
        activate(licence);
        EXPECT_EQ(QApplication::focusWidget(), licence.Option2);
        press(Qt::Key_Up);
        EXPECT_TRUE(licence.Option1->isChecked());
        press(Qt::Key_Return);
        EXPECT_FALSE(licence.isVisible());
        EXPECT_EQ(session.DialogArg1, QVariant(true));
    }
    // Directory chooser: the folder reached with the arrow keys is the one taken.
    {
        QTemporaryDir volume;
        ASSERT_TRUE(QDir(volume.path()).mkpath(QStringLiteral("a")));
        ASSERT_TRUE(QDir(volume.path()).mkpath(QStringLiteral("b")));
        frmDirAuswahl chooser(session);
        chooser.Drive1->addItem(QStringLiteral("temp"), volume.path());
        chooser.Drive1_Change(chooser.Drive1->count() - 1);
        activate(chooser);
        // Both folders listed, in order.
        const QAbstractItemModel* folders = chooser.Dir1->model();
        ASSERT_TRUE(waitFor([&] {
            const QModelIndex root = chooser.Dir1->rootIndex();
            return folders->rowCount(root) == 2 &&
                   folders->index(1, 0, root).data().toString() == QStringLiteral("b");
        }));
        chooser.Dir1->setFocus();
        press(Qt::Key_End);
        press(Qt::Key_Return);
        EXPECT_EQ(chooser.result(), QDialog::Accepted);
        EXPECT_EQ(session.DialogArg1.toString(),
                  QDir::toNativeSeparators(volume.filePath(QStringLiteral("b"))));
    }
    // Update information: Enter is "Weiter".
    {
        QtEventLoop loop;
        QPointer<frmUpdateInfo> info = new frmUpdateInfo(session, loop);
        activate(*info);
        press(Qt::Key_Return);
        settle();
        EXPECT_TRUE(info.isNull());
    }
}

TEST_F(KeyboardTest, TabPassesOverTheBoxesThatAreOnlyRead) {
    frmStart& w = open(0);
    frmLizenz licence(session, prompts);
    const std::pair<QWidget*, QWidget*> windowsAndButtons[] = {
        {&w, named<LabelButton>(w, "lblStart")}, {&licence, licence.lblCMD}};
    for (const auto& [target, button] : windowsAndButtons) {
        activate(*target);
        QList<QWidget*> reached;
        for (int i = 0; i < 12; ++i) {
            press(Qt::Key_Tab);
            reached << QApplication::focusWidget();
        }
        EXPECT_TRUE(reached.contains(button));
        for (auto* box : target->findChildren<QPlainTextEdit*>())
            EXPECT_FALSE(reached.contains(box)) << box->objectName().toStdString();
        target->hide();
    }
}

} // namespace
} // namespace upd::test
