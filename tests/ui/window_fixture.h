#pragma once

#include "core/session.h"
#include "support/named_control.h"
#include "support/scripted_prompts.h"
#include "ui/frm_start.h"
#include "wizard/wizard_steps.h"

#include <QApplication>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

namespace upd::test {

// Wizard steps that record what the window asked for and answer from the test's settings. A
// test may give a step a body of its own (to run a transfer, to close the window meanwhile).
class FakeWizardSteps final : public WizardSteps {
public:
    QStringList calls;
    bool startEnabledDuringStep = true; // lblStart's state when the last step was called

    // DownloadUpdateFiles
    std::function<bool(WizardWindow&, std::int32_t&, QString&)> downloadUpdateFiles;
    // QueryDataUpdates
    bool queryResult = false;
    bool queryDownloaded = false;
    std::int32_t queryErrNumber = 0;
    QString queryErrText;
    QString lastVersion;
    int lastMode = -1;

    bool busy = false;
    bool updateInformationShown = false;
    std::function<void()> whileShowingUpdateInformation;
    bool hostStarts = true;
    QString startedHost;

    void SearchForUpdates(WizardWindow& window) override {
        record(window, QStringLiteral("SearchForUpdates"));
        window.controls().startButton().setEnabled(true);
    }
    bool DownloadUpdateFiles(WizardWindow& window, std::int32_t& errNumber,
                             QString& errText) override {
        record(window, QStringLiteral("DownloadUpdateFiles"));
        return downloadUpdateFiles ? downloadUpdateFiles(window, errNumber, errText) : false;
    }
    void InstallProgramUpdates(WizardWindow& window) override {
        record(window, QStringLiteral("InstallProgramUpdates"));
    }
    bool DownloadAFile(WizardWindow& window, const QString&, const QString&) override {
        record(window, QStringLiteral("DownloadAFile"));
        return false;
    }
    void InstallNewUpdater(WizardWindow& window) override {
        record(window, QStringLiteral("InstallNewUpdater"));
    }
    bool QueryDataUpdates(WizardWindow& window, int mode, const QString& version, TextArea&,
                          QString& errText, std::int32_t& errNumber, bool& downloaded) override {
        record(window, QStringLiteral("QueryDataUpdates"));
        lastMode = mode;
        lastVersion = version;
        errText = queryErrText;
        errNumber = queryErrNumber;
        downloaded = queryDownloaded;
        return queryResult;
    }
    void InstallDataUpdates(WizardWindow& window) override {
        record(window, QStringLiteral("InstallDataUpdates"));
    }
    bool transferBusy() override { return busy; }
    bool ShowUpdateInformation(WizardWindow&, const QString& callerName,
                               const QString& version) override {
        calls << QStringLiteral("ShowUpdateInformation ") + callerName + QLatin1Char(' ') + version;
        if (whileShowingUpdateInformation)
            whileShowingUpdateInformation();
        return updateInformationShown;
    }
    bool StartHostProgram(const QString& path) override {
        startedHost = path;
        return hostStarts;
    }

private:
    void record(WizardWindow& window, const QString& name) {
        calls << name;
        startEnabledDuringStep = window.controls().startButton().isEnabled();
    }
};

// Runs the events that are due, deferred deletions included.
void settle();

// Runs events until `done` holds or `milliseconds` have passed; returns `done()`.
bool waitFor(const std::function<bool()>& done, int milliseconds = 3000);

// The names of the top-level windows still alive.
QStringList topLevelWindows();

// A main window on a session of its own, with scripted prompts and fake steps. Every test ends
// with no window left over.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the window for the run mode and runs its initialisation.
    frmStart& open(std::int16_t runMode);

    Session session;
    ScriptedPrompts prompts;
    QtEventLoop loop;
    FakeWizardSteps steps;
    QPointer<frmStart> window;
    bool loaded = false;
};

} // namespace upd::test
