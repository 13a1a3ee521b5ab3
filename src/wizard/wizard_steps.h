#pragma once

#include "core/event_loop.h"
#include "core/prompts.h"
#include "core/session.h"
#include "core/xml_document.h"
#include "transfer/transfer_observer.h"
#include "wizard/window_roles.h"

#include <QString>
#include <cstdint>

namespace upd {

// The steps of the main window's wizard: what the Start/Next button does next.
namespace wizard {
inline constexpr std::int32_t Search = 1;
inline constexpr std::int32_t DownloadProgramUpdates = 2;
inline constexpr std::int32_t InstallProgramUpdates = 3;
inline constexpr std::int32_t DownloadNewUpdater = 4;
inline constexpr std::int32_t InstallNewUpdater = 5;
inline constexpr std::int32_t DownloadDataUpdates = 6;
inline constexpr std::int32_t InstallDataUpdates = 7;
} // namespace wizard

// Tabs of "SSTab1".
namespace tab {
inline constexpr int Search = 0;
inline constexpr int Download = 1;
inline constexpr int Installation = 2;
} // namespace tab

// The main window's flags through which the wizard's procedures coordinate.
struct WizardFlags {
    bool BackgroundCheck = false;     // the invisible search of the background check
    bool ProgramUpdatesFound = false; // set by the search
    bool DataUpdatesFound = false;    // set by the search
    bool CloseRequested = false;      // the window is closing: no result texts, transfers cancel
    bool HostClosed = false;          // the host was closed once in this run
    bool FormLoaded = false;
    bool TransferRunning = false;
    // Counting down to the restart after a self-replacement: a close only shortens the countdown.
    bool ReplacementPending = false;
};

// What a step of the wizard works with: the run's values and the window's roles, each handed
// out on its own so that every procedure takes only those it uses. The main window provides them.
class WizardWindow {
public:
    virtual ~WizardWindow() = default;

    virtual Session& session() = 0;
    virtual Prompts& prompts() = 0;
    virtual EventLoop& eventLoop() = 0;
    virtual WizardFlags& flags() = 0;
    // The window's one XML document: every server query leaves its answer here.
    virtual XmlDocument& ResponseDocument() = 0;

    virtual MessageAreas& messages() = 0;
    virtual StepControls& controls() = 0;
    virtual WizardStateMover& state() = 0;
    virtual WizardTextBoxes& boxes() = 0;
    virtual DownloadBar& downloadBar() = 0;
    // The transfer display: bar, amount, speed, remaining time, and the close request.
    virtual TransferObserver& transferDisplay() = 0;
    virtual StepDialogs& dialogs() = 0;
};

// The engines' side of the steps: the search, the downloads, the installations and what they need
// of the host. The wizard's procedures call exactly these; each is plugged in by the part of the
// program that implements it.
class WizardSteps {
public:
    virtual ~WizardSteps() = default;

    // State 1: asks the server; writes its messages, moves the state on and enables lblStart.
    virtual void SearchForUpdates(WizardWindow& window) = 0;
    // State 2: fetches every file of every update; on failure an error number and text.
    virtual bool DownloadUpdateFiles(WizardWindow& window, std::int32_t& errNumber,
                                     QString& errText) = 0;
    // State 3: the installation run, online or from the offline directory.
    virtual void InstallProgramUpdates(WizardWindow& window) = 0;
    // State 4: one file with the progress display.
    virtual bool DownloadAFile(WizardWindow& window, const QString& localPath,
                               const QString& url) = 0;
    // State 5: hands over to the new updater.
    virtual void InstallNewUpdater(WizardWindow& window) = 0;
    // State 6: the data query in its download form; `downloaded` tells whether data came.
    virtual bool QueryDataUpdates(WizardWindow& window, int mode, const QString& version,
                                  TextArea& list, QString& errText, std::int32_t& errNumber,
                                  bool& downloaded) = 0;
    // State 7: writes the downloaded data into the host's database.
    virtual void InstallDataUpdates(WizardWindow& window) = 0;

    // True while the transfer control still executes a request.
    virtual bool transferBusy() = 0;
    // Opens the server's update information without blocking; false when it cannot be shown.
    virtual bool ShowUpdateInformation(WizardWindow& window, const QString& callerName,
                                       const QString& version) = 0;
    // Starts the host program again in a normal window; false when it cannot be started.
    virtual bool StartHostProgram(const QString& path) = 0;
};

} // namespace upd
