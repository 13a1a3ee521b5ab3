// The main window as a user meets it with keyboard and eyes: where the focus stands, what Enter
// does, what Tab passes over; nothing clipped, nothing that jumps, a percentage that stands out
// from the bar behind it. The dialogs' keys are in dialogs_test.cpp.

#include "ui/window_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace upd::test {
namespace {

using UserViewTest = WindowTest;

// Space, Enter and keypad Enter reach the Start/Next button after every step, never "Beenden";
// the button is disabled while its step runs (a state without a step leaves it disabled). The
// installation states' steps are pressed in tests/wizard. Enter in a box is the window's default;
// a focused button takes Enter itself. Tab passes over the boxes that are only read.
TEST_F(UserViewTest, KeysAndClicksInTheMainWindow) {
    frmStart& w = open(0);
    activate(w);
    steps.downloadUpdateFiles = [](WizardWindow&, std::int32_t&, QString&) {
        return true;
    };
    const std::vector<std::tuple<std::int32_t, Qt::Key, QString>> presses = {
        {wizard::Search, Qt::Key_Space, QStringLiteral("SearchForUpdates")},
        {wizard::Search, Qt::Key_Return, QStringLiteral("SearchForUpdates")},
        {wizard::DownloadProgramUpdates, Qt::Key_Enter, QStringLiteral("DownloadUpdateFiles")},
    };
    for (const auto& [state, key, step] : presses) {
        SCOPED_TRACE(step.toStdString());
        w.state().moveWizardTo(state);
        EXPECT_EQ(QApplication::focusWidget(), start());
        press(key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        ASSERT_FALSE(window.isNull()) << "the key ended the program";
        EXPECT_EQ(steps.calls.last(), step);
        EXPECT_FALSE(steps.startEnabledDuringStep);
    }
    steps.calls.clear();
    w.state().moveWizardTo(9);
    w.StartAskForUpdates();
    EXPECT_TRUE(steps.calls.isEmpty());
    EXPECT_FALSE(start()->isEnabled());
    start()->setEnabled(true);
    start()->setFocus();

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

// Nothing clipped, nothing that jumps when Info appears, a readable version. The percentage never
// stands dark on the dark bar: not while a transfer reports, and not while the data download fills
// the bar (negative: its animation).
TEST_F(UserViewTest, MainWindowShowsEverythingWholeAndReadable) {
    session.host.ExtAppName = QStringLiteral("quorlan Gesundheitsratgeber Pro");
    frmStart& w = open(0);
    w.show();
    settle();
    const int width = w.width();
    w.controls().setInfoButtonVisible(true);
    settle();
    EXPECT_EQ(w.width(), width) << "the Info button widened the window";

    auto* title = named<QLabel>(w, "lblCallerName");
    auto* version = named<QLabel>(w, "lblVersion");
    for (QLabel* label : {title, version})
        EXPECT_LE(label->heightForWidth(label->width()), label->height()) << "text cut off";
    EXPECT_GE((luminance(w.palette().color(QPalette::Window)) + 0.05) /
                  (luminance(version->palette().color(version->foregroundRole())) + 0.05),
              4.5);
    auto* track = named<QWidget>(w, "ImgLine");
    auto* bar = named<QLabel>(w, "Percent");
    const double barLuminance = luminance(bar->palette().color(QPalette::Window));
    for (int percent : {3, 49, 55, 100, -10, -52}) {
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
