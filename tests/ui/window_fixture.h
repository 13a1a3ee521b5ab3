#pragma once

#include "core/session.h"
#include "support/named_control.h"
#include "support/scripted_prompts.h"
#include "ui/frm_start.h"
#include "ui/program_windows.h"
#include "wizard/wizard_steps.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QThread>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace upd::test {

// Wizard steps that record what the window asked for and answer from the test's settings.
class FakeWizardSteps final : public WizardSteps {
public:
    QStringList calls;
    bool startEnabledDuringStep = true; // lblStart's state when the last step was called
    std::function<bool(WizardWindow&, std::int32_t&, QString&)> downloadUpdateFiles;
    bool queryResult = false, queryDownloaded = false;
    std::int32_t queryErrNumber = 0;
    QString queryErrText, lastVersion;
    int lastMode = -1;
    bool busy = false, hostStarts = true;
    std::function<bool()> showUpdateInformation; // whether the page could be shown
    QString startedHost;

    void SearchForUpdates(WizardWindow& w) override {
        record(w, "SearchForUpdates");
        w.controls().startButton().setEnabled(true);
    }
    bool DownloadUpdateFiles(WizardWindow& w, std::int32_t& number, QString& text) override {
        record(w, "DownloadUpdateFiles");
        return downloadUpdateFiles && downloadUpdateFiles(w, number, text);
    }
    void InstallProgramUpdates(WizardWindow& w) override { record(w, "InstallProgramUpdates"); }
    bool DownloadAFile(WizardWindow& w, const QString&, const QString&) override {
        return record(w, "DownloadAFile"), false;
    }
    void InstallNewUpdater(WizardWindow& w) override { record(w, "InstallNewUpdater"); }
    bool QueryDataUpdates(WizardWindow& w, int mode, const QString& version, TextArea&,
                          QString& errText, std::int32_t& errNumber, bool& downloaded) override {
        record(w, "QueryDataUpdates");
        lastMode = mode;
        lastVersion = version;
        errText = queryErrText;
        errNumber = queryErrNumber;
        downloaded = queryDownloaded;
        return queryResult;
    }
    void InstallDataUpdates(WizardWindow& w) override { record(w, "InstallDataUpdates"); }
    bool transferBusy() override { return busy; }
    bool ShowUpdateInformation(WizardWindow&, const QString& caller,
                               const QString& version) override {
        calls << QStringLiteral("ShowUpdateInformation ") + caller + u' ' + version;
        return showUpdateInformation && showUpdateInformation();
    }
    bool StartHostProgram(const QString& path) override {
        startedHost = path;
        return hostStarts;
    }

private:
    void record(WizardWindow& w, const char* name) {
        calls << QString::fromLatin1(name);
        startEnabledDuringStep = w.controls().startButton().isEnabled();
    }
};

// The windows under test are prepared as the program prepares them at start.
struct ProgramWindows final : ::testing::Environment {
    void SetUp() override { prepareProgramWindows(); }
};
inline const auto* const programWindows = ::testing::AddGlobalTestEnvironment(new ProgramWindows);

// Runs the events that are due, deferred deletions included.
inline void settle() {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

// Runs events until `done` holds or `milliseconds` have passed; returns `done()`.
inline bool waitFor(const std::function<bool()>& done, int milliseconds = 3000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds) {
        settle();
        QThread::msleep(5);
    }
    return done();
}

inline QStringList topLevelWindows() {
    QStringList names;
    for (QWidget* widget : QApplication::topLevelWidgets())
        names << (widget->objectName().isEmpty() ? widget->metaObject()->className()
                                                 : widget->objectName());
    return names;
}

// Shows the window and makes it the active one, as the user's click would.
inline void activate(QWidget& window) {
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// A key pressed where the focus is, as the keyboard does.
inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// Relative luminance, as contrast ratios are reckoned: (lighter + 0.05) / (darker + 0.05).
inline double luminance(const QColor& color) {
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
           0.0722 * channel(color.blueF());
}

// A main window on a session of its own, with scripted prompts and fake steps. Every test ends
// with no window left over.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        session.host.AppName = QStringLiteral("QuorMed");
        session.host.ExtAppName = QStringLiteral("QuorMed Praxis");
        session.host.ExeVers = QStringLiteral("5.1.0");
        session.host.ExePath = QStringLiteral("/opt/quormed");
        session.host.ExeName = QStringLiteral("quormed.exe");
        session.host.ProgID = QStringLiteral("QAR");
        session.ServerBaseUrl = QStringLiteral("http://127.0.0.1:1");
    }
    void TearDown() override {
        delete window.data();
        settle();
        EXPECT_EQ(topLevelWindows(), QStringList()) << "a window was left open";
    }

    // Creates the window for the run mode and runs its initialisation.
    frmStart& open(std::int16_t runMode) {
        session.RunMode = runMode;
        window = new frmStart(session, prompts, loop, steps);
        loaded = window->Form_Load();
        return *window;
    }
    LabelButton* start() { return named<LabelButton>(*window, "lblStart"); }

    Session session;
    ScriptedPrompts prompts;
    QtEventLoop loop;
    FakeWizardSteps steps;
    QPointer<frmStart> window;
    bool loaded = false;
};

} // namespace upd::test
