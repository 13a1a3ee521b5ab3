// The windows as a keyboard user meets them: where the focus stands, what Enter does, what Tab
// passes over.

#include "ui/frm_config.h"
#include "ui/frm_dir_auswahl.h"
#include "ui/frm_lizenz.h"
#include "ui/frm_update_info.h"
#include "ui/window_fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace upd::test {
namespace {

void activate(QWidget& window) {
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// A key pressed where the focus is, as the keyboard does.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

using KeyboardTest = WindowTest;

// Space, Enter and keypad Enter reach the Start/Next button after every step, never "Beenden".
TEST_F(KeyboardTest, AfterEveryStepTheFocusIsOnTheNextStep) {
    frmStart& w = open(0);
    activate(w);
    auto* start = named<LabelButton>(w, "lblStart");
    steps.downloadUpdateFiles = [](WizardWindow&, std::int32_t&, QString&) {
        return true;
    };
    const std::vector<std::tuple<std::int32_t, Qt::Key, QString>> presses = {
        {wizard::Search, Qt::Key_Space, QStringLiteral("SearchForUpdates")},
        {wizard::Search, Qt::Key_Return, QStringLiteral("SearchForUpdates")},
        {wizard::DownloadProgramUpdates, Qt::Key_Enter, QStringLiteral("DownloadUpdateFiles")},
        {wizard::InstallProgramUpdates, Qt::Key_Space, QStringLiteral("InstallProgramUpdates")},
    };
    for (const auto& [state, key, step] : presses) {
        SCOPED_TRACE(step.toStdString());
        EXPECT_EQ(QApplication::focusWidget(), start);
        w.state().moveWizardTo(state);
        press(key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        ASSERT_FALSE(window.isNull()) << "the key ended the program";
        EXPECT_EQ(steps.calls.last(), step);
    }
}

// Enter in a box is the window's default; a focused button takes Enter itself. Tab passes over
// the boxes that are only read.
TEST_F(KeyboardTest, EnterAndTabInTheMainWindow) {
    frmStart& w = open(0);
    activate(w);
    QList<QWidget*> reached;
    for (int i = 0; i < 12; ++i) {
        press(Qt::Key_Tab);
        reached << QApplication::focusWidget();
    }
    EXPECT_TRUE(reached.contains(named<QLineEdit>(w, "txtProgVersion")));
    for (auto* box : w.findChildren<QPlainTextEdit*>())
        EXPECT_FALSE(reached.contains(box)) << box->objectName().toStdString();

    named<QLineEdit>(w, "txtProgVersion")->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(steps.calls, QStringList{QStringLiteral("SearchForUpdates")});
    named<QPushButton>(w, "cmdOldVersion")->setFocus();
    press(Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_TRUE(prompts.shown()[0].isInput);
    named<LabelButton>(w, "lblEnd")->setFocus();
    press(Qt::Key_Return);
    settle();
    EXPECT_TRUE(window.isNull());
}

TEST_F(KeyboardTest, EnterPressesEachDialogsDefaultButton) {
    frmConfig config(session, prompts);
    activate(config);
    config.txtControlKey->setFocus();
    config.txtControlKey->setText(QStringLiteral("KEY"));
    press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(config.result(), QDialog::Accepted);
    EXPECT_EQ(session.ControlKey, QStringLiteral("KEY"));

    // The terms' choice has the focus and Tab passes over the terms; Enter is "Weiter".
    frmLizenz licence(session, prompts);
    activate(licence);
    EXPECT_EQ(QApplication::focusWidget(), licence.Option2);
    press(Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), licence.txtLizenz);
    licence.Option2->setFocus();
    press(Qt::Key_Up);
    press(Qt::Key_Return);
    EXPECT_FALSE(licence.isVisible());
    EXPECT_EQ(session.DialogArg1, QVariant(true));

    // The folder reached with the arrow keys is the one taken.
    QTemporaryDir volume;
    for (const char* folder : {"a", "b"})
        ASSERT_TRUE(QDir(volume.path()).mkpath(QLatin1String(folder)));
    frmDirAuswahl chooser(session);
    chooser.Drive1->addItem(QStringLiteral("temp"), volume.path());
    chooser.Drive1_Change(chooser.Drive1->count() - 1);
    activate(chooser);
    ASSERT_TRUE(waitFor([&] { // both folders listed, in order
        const QModelIndex root = chooser.Dir1->rootIndex();
        return chooser.Dir1->model()->index(1, 0, root).data() == QStringLiteral("b");
    }));
    chooser.Dir1->setFocus();
    press(Qt::Key_End);
    press(Qt::Key_Return);
    EXPECT_EQ(session.DialogArg1.toString(), QDir::toNativeSeparators(volume.filePath("b")));

    QPointer<frmUpdateInfo> info = new frmUpdateInfo(session, loop);
    activate(*info);
    press(Qt::Key_Return);
    settle();
    EXPECT_TRUE(info.isNull());
}

} // namespace
} // namespace upd::test
