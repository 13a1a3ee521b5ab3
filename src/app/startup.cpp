#include "app/startup.h"

#include "app/host_parameters.h"
#include "core/runtime_error.h"
#include "wizard/update_notice.h"

namespace upd {
namespace {

// An offline installation works from a directory and never needs the network, so it must not be
// refused on a computer without internet.
bool needsInternet(std::int16_t runMode) {
    return !runmode::isOffline(runMode);
}

} // namespace

StartupResult Main(Session& session, const QString& commandLine, SettingsStore& store,
                   Prompts& prompts, StartupActions& actions) {
    try {
        // The run mode decides whether the connection test applies, so the parameters are read
        // first.
        const ParseOutcome parsed = ParseHostParameters(session, commandLine, store, prompts);
        if (!parsed.proceed)
            return StartupResult::MalformedCommand;

        if (needsInternet(session.RunMode) && !actions.isInternetReachable()) {
            // A restart that finds no connection leaves the parked parameters for the next start.
            if (!parsed.restoredFromStore.isEmpty())
                store.write(ConfigApplication, ConfigSection, ParkedArgumentsKey,
                            parsed.restoredFromStore);
            return StartupResult::NoConnection;
        }

        // The base has no trailing "/": every address adds its own.
        session.ServerBaseUrl = session.deployment.serverUrl;
        if (session.ServerBaseUrl.endsWith(u'/'))
            session.ServerBaseUrl.chop(1);

        if (session.RunMode != runmode::Background) {
            actions.showMainWindow();
            return StartupResult::WindowShown;
        }
        if (actions.anotherInstanceRunning())
            return StartupResult::AlreadyRunning;
        if (actions.CheckUpdaterVersion()) {
            // The main window opened from the notice starts with the updater's download.
            session.RunMode = runmode::NewUpdater;
            actions.ShowUpdateNotice(notice_kind::NewUpdater);
            return StartupResult::NoticeShown;
        }
        switch (actions.RunBackgroundCheck()) {
        case notice_kind::ProgramUpdates:
            actions.ShowUpdateNotice(notice_kind::ProgramUpdates);
            return StartupResult::NoticeShown;
        case notice_kind::DataUpdates:
            actions.ShowUpdateNotice(notice_kind::DataUpdates);
            return StartupResult::NoticeShown;
        default:
            return StartupResult::NothingFound;
        }
    } catch (const RuntimeError& error) {
        if (session.RunMode != runmode::Background)
            prompts.critical(QStringLiteral("UNEXPECTED SYSEM ERROR: ") + error.description());
        return StartupResult::RuntimeError;
    }
}

} // namespace upd
