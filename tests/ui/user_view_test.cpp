// The windows as a user meets them with keyboard and eyes: where the focus stands, what Enter
// does, what Tab passes over; nothing clipped, nothing that jumps, text and thumbs that stand out
// from what is behind them.

#include "ui/frm_config.h"
#include "ui/frm_dir_auswahl.h"
#include "ui/frm_lizenz.h"
#include "ui/frm_update_info.h"
#include "ui/header_art.h"
#include "ui/window_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <cmath>

namespace upd::test {
namespace {

// Relative luminance, as contrast ratios are reckoned: (lighter + 0.05) / (darker + 0.05).
double luminance(const QColor& color) {
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
           0.0722 * channel(color.blueF());
}

using UserViewTest = WindowTest;

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

// Space, Enter and keypad Enter reach the Start/Next button after every step, never "Beenden";
// the button runs the step of the wizard's state, disabled meanwhile (a state without a step leaves
// it disabled). Enter in a box is the window's default; a focused button takes Enter itself. Tab
// passes over the boxes that are only read.
TEST_F(UserViewTest, KeysAndClicksInTheMainWindow) {
    frmStart& w = open(0);
    activate(w);
    auto* start = named<LabelButton>(w, "lblStart");
    steps.downloadUpdateFiles = [](WizardWindow&, std::int32_t&, QString&) {
        return true;
    };
    const Qt::Key click = Qt::Key_unknown;
    const std::vector<std::tuple<std::int32_t, Qt::Key, QString>> presses = {
        {wizard::Search, Qt::Key_Space, QStringLiteral("SearchForUpdates")},
        {wizard::Search, Qt::Key_Return, QStringLiteral("SearchForUpdates")},
        {wizard::DownloadProgramUpdates, Qt::Key_Enter, QStringLiteral("DownloadUpdateFiles")},
        {wizard::InstallProgramUpdates, click, QStringLiteral("InstallProgramUpdates")},
        {wizard::InstallNewUpdater, click, QStringLiteral("InstallNewUpdater")},
        {wizard::InstallDataUpdates, click, QStringLiteral("InstallDataUpdates")},
    };
    for (const auto& [state, key, step] : presses) {
        SCOPED_TRACE(step.toStdString());
        w.state().moveWizardTo(state);
        if (key == click) {
            start->setEnabled(true); // the fake installation steps leave it disabled
            QTest::mouseClick(start, Qt::LeftButton);
        } else {
            EXPECT_EQ(QApplication::focusWidget(), start);
            press(key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        }
        ASSERT_FALSE(window.isNull()) << "the key ended the program";
        EXPECT_EQ(steps.calls.last(), step);
        EXPECT_FALSE(steps.startEnabledDuringStep);
    }
    steps.calls.clear();
    w.state().moveWizardTo(9);
    w.StartAskForUpdates();
    EXPECT_TRUE(steps.calls.isEmpty());
    EXPECT_FALSE(start->isEnabled());
    start->setEnabled(true);
    start->setFocus();

    QList<QWidget*> reached;
    for (int i = 0; i < 12; ++i) {
        press(Qt::Key_Tab);
        reached << QApplication::focusWidget();
    }
    EXPECT_TRUE(reached.contains(named<QLineEdit>(w, "txtProgVersion")));
    for (auto* box : w.findChildren<QPlainTextEdit*>())
        EXPECT_FALSE(reached.contains(box)) << box->objectName().toStdString();

    steps.calls.clear();
    w.state().moveWizardTo(wizard::Search);
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

TEST_F(UserViewTest, EnterPressesEachDialogsDefaultButton) {
    frmConfig config(session, prompts);
    activate(config);
    config.txtControlKey->setFocus();
    config.txtControlKey->setText(QStringLiteral("KEY"));
    press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(config.result(), QDialog::Accepted);
    EXPECT_EQ(session.ControlKey, QStringLiteral("KEY"));

    // The terms' choice has the focus; Enter is "Weiter".
    frmLizenz licence(session, prompts);
    activate(licence);
    EXPECT_EQ(QApplication::focusWidget(), licence.Option2);
    press(Qt::Key_Up);
    press(Qt::Key_Return);
    EXPECT_FALSE(licence.isVisible());
    EXPECT_EQ(session.DialogArg1, QVariant(true));
    EXPECT_TRUE(prompts.shown().empty()); // accepted: no question

    // The folder reached with the arrow keys is the one taken. The list, shown from its top,
    // shows the thumb at the top as the dark band; the empty groove below must not look like it.
    QTemporaryDir volume;
    for (int i = 100; i < 160; ++i)
        ASSERT_TRUE(QDir(volume.path()).mkpath(QString::number(i)));
    frmDirAuswahl chooser(session);
    chooser.Drive1->addItem(QStringLiteral("temp"), volume.path());
    chooser.Drive1_Change(chooser.Drive1->count() - 1);
    activate(chooser);
    ASSERT_TRUE(waitFor([&] { // all folders listed, in order
        const QModelIndex root = chooser.Dir1->rootIndex();
        return chooser.Dir1->model()->index(59, 0, root).data() == QStringLiteral("159");
    }));
    const QImage scrollBar = chooser.Dir1->verticalScrollBar()->grab().toImage();
    const auto band = [&](double from, double to) {
        double sum = 0;
        int n = 0;
        for (int y = int(scrollBar.height() * from); y < int(scrollBar.height() * to); ++y)
            for (int x = 2; x < scrollBar.width() - 2; ++x, ++n)
                sum += luminance(scrollBar.pixelColor(x, y));
        return sum / n;
    };
    EXPECT_GE((band(0.6, 0.9) + 0.05) / (band(0.1, 0.25) + 0.05), 2.0);
    chooser.Dir1->setFocus();
    press(Qt::Key_End);
    press(Qt::Key_Return);
    EXPECT_EQ(session.DialogArg1.toString(), QDir::toNativeSeparators(volume.filePath("159")));

    QPointer<frmUpdateInfo> info = new frmUpdateInfo(session, loop);
    activate(*info);
    press(Qt::Key_Return);
    settle();
    EXPECT_TRUE(info.isNull());
}

TEST_F(UserViewTest, MainWindowKeepsItsWidthAndShowsEverythingWhole) {
    session.host.ExtAppName = QStringLiteral("quorlan Gesundheitsratgeber Pro");
    frmStart& w = open(0);
    w.show();
    settle();
    const int width = w.width();
    w.controls().setInfoButtonVisible(true);
    settle();
    EXPECT_EQ(w.width(), width) << "the Info button widened the window";

    auto* title = named<QLabel>(w, "lblCallerName");
    auto* header = qobject_cast<HeaderArt*>(title->parentWidget());
    ASSERT_NE(header, nullptr);
    EXPECT_LE(title->geometry().right(), header->width() - header->artworkWidth());
    auto* version = named<QLabel>(w, "lblVersion");
    for (QLabel* label : {title, version})
        EXPECT_LE(label->heightForWidth(label->width()), label->height()) << "text cut off";
    for (const char* button : {"lblInfo", "lblStart", "lblEnd"})
        EXPECT_GE(named<LabelButton>(w, button)->width(),
                  named<LabelButton>(w, button)->sizeHint().width());
    EXPECT_GE((luminance(w.palette().color(QPalette::Window)) + 0.05) /
                  (luminance(version->palette().color(version->foregroundRole())) + 0.05),
              4.5);
}

// The percentage never stands dark on the dark bar: not while a transfer reports, and not while
// the data download fills the bar (negative: its animation).
TEST_F(UserViewTest, PercentageStaysReadableOnTheBar) {
    frmStart& w = open(0);
    w.show();
    auto* track = named<QWidget>(w, "ImgLine");
    auto* bar = named<QLabel>(w, "Percent");
    const double barLuminance = luminance(bar->palette().color(QPalette::Window));
    for (int percent : {3, 30, 45, 49, 50, 55, 100, -10, -45, -52, -100}) {
        SCOPED_TRACE(percent);
        if (percent > 0) {
            w.ProgressBar(1000, percent * 10);
        } else {
            w.downloadBar().setBarWidth(-percent * 54.9f);
            w.downloadBar().setCaption(QString::number(-percent) + QStringLiteral(" %"));
        }
        settle();
        const QImage image = track->grab().toImage();
        const int barEnd = bar->x() + bar->width();
        int dark = 0, readable = 0;
        for (int y = 2; y < image.height() - 2; ++y)
            for (int x = 2; x < image.width() - 2; ++x) {
                const double l = luminance(image.pixelColor(x, y));
                dark += x < barEnd - 1 && l < barLuminance - 0.02;
                readable += x < barEnd - 1 ? l > 0.3 : (x > barEnd + 1 && l < 0.3);
            }
        EXPECT_EQ(dark, 0) << "dark text on the bar";
        EXPECT_GT(readable, 20) << "no readable text";
    }
}

} // namespace
} // namespace upd::test
