#pragma once

#include "core/event_loop.h"
#include "core/prompts.h"
#include "core/session.h"
#include "core/window.h"
#include "core/xml_document.h"

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
};

// What the wizard's procedures may use of the main window. The main window implements it with its
// widgets; tests of the procedures fake it.
class WizardWindow : public TransferWindow {
public:
    virtual Session& session() = 0;
    virtual Prompts& prompts() = 0;
    virtual EventLoop& eventLoop() = 0;
    virtual WizardFlags& flags() = 0;

    virtual std::int32_t wizardState() const = 0;
    virtual void setWizardState(std::int32_t state) = 0;
    // Refreshes the window for the current state.
    virtual void ShowWizardState() = 0;

    virtual TabControl& tabs() = 0;
    virtual Button& startButton() = 0; // lblStart
    // lblInfo and its artwork: shown when data updates were found.
    virtual void setInfoButtonVisible(bool visible) = 0;
    // Runs the click of lblInfo, as the search does once when the window is visible.
    virtual void clickInfoButton() = 0;
    virtual bool isWindowVisible() const = 0;

    virtual TextArea& messageArea(int tabIndex) = 0; // txtHinweis(0..2)
    virtual TextArea& programVersion() = 0;          // txtProgVersion
    virtual TextArea& internetVersion() = 0;         // txtProgExeInternet
    virtual TextArea& downloadList() = 0;            // txtDownload
    virtual TextArea& installationLog() = 0;         // txtInstallation
    virtual TextArea& offlineDirectory() = 0;        // txtOfflineUpdates

    // The progress bar of the download tab, set directly by the data download's animation: the
    // width of its frame (txtPercent), the bar's width (Percent) and the bar's caption.
    virtual float progressTrackTwips() const = 0;
    virtual void setProgressBarWidth(float widthTwips) = 0;
    virtual void setProgressCaption(const QString& caption) = 0;

    virtual XmlDocument& ResponseDocument() = 0;
};

// The procedures the wizard calls but does not own: the search, the downloads, the installations
// and what they need of the host. The main window calls exactly these; each is plugged in by the
// part of the program that implements it.
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
