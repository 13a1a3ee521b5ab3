#pragma once

// What the wizard's tests share: the real main window with the program's steps for a QGR host
// at 3.1.0 in a temporary directory, and the bundled update server with the signed sample catalog.

#include "app/program_steps.h"
#include "support/memory_settings_store.h"
#include "support/named_control.h"
#include "support/scripted_prompts.h"
#include "support/signed_catalog.h"
#include "support/test_files.h"
#include "ui/frm_start.h"
#include "updateserver/update_server.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace upd::test {

inline const QString NotGenuine = QStringLiteral(" ist kein echtes Update des Herstellers.\r\n");
inline const QString DownloadFailedText =
    QStringLiteral("Fehler : 800400002\r\nDer Download konnten nicht beendet werden! Versuchen "
                   "Sie es bitte später nochmal!");

// A file below the sample catalog's downloads.
inline QString sampleDownload(const char* relative) {
    return QStringLiteral(SAMPLE_CATALOG_DIR "/files/downloads/") + QString::fromLatin1(relative);
}

struct BundledServer {
    explicit BundledServer(server::Catalog signedOne = signedCatalog())
        : catalog(std::move(signedOne)),
          server(catalog, DeploymentSettings::fromEnvironment(), server::UpdateServer::LogSink{}),
          url(QStringLiteral("http://127.0.0.1:%1").arg(server.start("127.0.0.1", 0))) {}
    const server::Catalog catalog;
    server::UpdateServer server;
    const QString url;
};

// The window presses "Start" and "Weiter" as the user does. Settings go to the real store unless
// asked to stay in memory.
struct WizardUnderTest {
    explicit WizardUnderTest(bool settingsInMemory = false)
        : steps(loop, prompts, settingsInMemory ? &memorySettings : nullptr) {
        session.host.ProgID = QStringLiteral("QGR");
        session.host.ExeVers = QStringLiteral("3.1.0");
        session.host.AppName = QStringLiteral("quorlan-Gesundheitsratgeber");
        session.host.DBVers = QStringLiteral("2024.01");
        session.host.ExePath = hostDir.path();
    }
    ~WizardUnderTest() { close(); }

    frmStart& open(const QString& serverUrl = {}) {
        close();
        if (!serverUrl.isEmpty())
            session.ServerBaseUrl = serverUrl;
        window = new frmStart(session, prompts, loop, steps);
        EXPECT_TRUE(window->Form_Load());
        return *window;
    }
    void close() {
        delete window.data();
        QApplication::processEvents();
    }
    void press() { window->StartAskForUpdates(); }
    QString message(int tab) { return window->messageArea(tab).text(); }
    bool startEnabled() { return named<LabelButton>(*window, "lblStart")->isEnabled(); }
    // A window that releases itself goes with its deferred deletion.
    bool windowGone() {
        for (int i = 0; i < 500 && window; ++i) {
            QApplication::processEvents();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QThread::msleep(10);
        }
        return window.isNull();
    }

    QTemporaryDir hostDir;
    Session session;
    ScriptedPrompts prompts;
    MemorySettingsStore memorySettings;
    QtEventLoop loop;
    ProgramWizardSteps steps;
    QPointer<frmStart> window;
};

} // namespace upd::test
