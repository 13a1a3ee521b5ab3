#pragma once

#include "app/application_startup.h"
#include "platform/settings_store.h"
#include "ui/message_prompts.h"
#include "ui/program_windows.h"

#include <QApplication>

namespace upd {

// One run of the updater as its programs start it: the application's name, windows and
// translations, the session, the platform services and start-up's actions. Made once the
// QApplication exists.
struct UpdaterRun {
    UpdaterRun() {
        QApplication::setApplicationName(QStringLiteral("quorlan-Internet-Update"));
        prepareProgramWindows();
    }

    StartupResult start(const QString& commandLine) {
        return Main(session, commandLine, store, prompts, actions);
    }

    Session session;
    QtEventLoop loop;
    NativeSettingsStore store;
    MessagePrompts prompts;
    ApplicationStartup actions{session, loop, prompts};
};

} // namespace upd
