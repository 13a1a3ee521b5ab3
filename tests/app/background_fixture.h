#pragma once

// The background mode as a host starts it: start-up with the program's own actions, against the
// bundled update server in this process.

#include "app/application_startup.h"
#include "support/memory_settings_store.h"
#include "support/scripted_prompts.h"
#include "support/signed_catalog.h"
#include "updateserver/update_server.h"

#include <QApplication>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace upd::test {

using namespace std::chrono_literals;

// The bundled update server serving the sample catalog with its updater's version as given (the
// sample's own is 2.01.0015).
class BundledServer {
public:
    explicit BundledServer(const std::string& updaterVersion = "2.01.0015")
        : server_(catalog(updaterVersion), DeploymentSettings::fromEnvironment(),
                  [this](const std::string& line) {
                      std::lock_guard lock(mutex_);
                      log_.push_back(line);
                  }) {
        port_ = server_.start("127.0.0.1", 0);
    }

    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }

    // Requests of the path ("/", "/update.aspx") in the access log, awaited for up to five seconds
    // until there are `atLeast`: a line is written after its answer has gone out.
    int requestsFor(const std::string& path, int atLeast = 0) const {
        int count = 0;
        for (int wait = 0; wait < 500; ++wait, std::this_thread::sleep_for(10ms)) {
            std::lock_guard lock(mutex_);
            count = 0;
            for (const std::string& line : log_)
                count += line.find(" " + path + " ") != std::string::npos ||
                         line.find(" " + path + "?") != std::string::npos;
            if (count >= atLeast)
                break;
        }
        return count;
    }

private:
    static server::Catalog catalog(const std::string& updaterVersion) {
        server::Catalog catalog = server::Catalog::load(SAMPLE_CATALOG_DIR);
        catalog.updater->version = updaterVersion;
        return test::signedCatalog(std::move(catalog));
    }

    server::UpdateServer server_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::vector<std::string> log_;
};

// A host's start of the background mode for the product QGR, installed version and database
// version as given.
class BackgroundStart {
public:
    StartupResult run(const BundledServer& server, const QString& exeVers, const QString& dbVers) {
        session.deployment.serverUrl = server.url();
        session.deployment.connectionTestUrl = server.url() + u'/';
        session.deployment.updaterInfoUrl = server.url() + QStringLiteral("/updateproginfo.aspx");
        actions = std::make_unique<ApplicationStartup>(session, loop, prompts);
        return Main(session,
                    QStringLiteral("AppName=quorlan-Gesundheitsratgeber#ExtAppName=quorlan "
                                   "Gesundheitsratgeber#ExeVers=%1#DBVers=%2#ProgID=QGR#START=5")
                        .arg(exeVers, dbVers),
                    store, prompts, *actions);
    }

    Session session;
    MemorySettingsStore store;
    ScriptedPrompts prompts;
    QtEventLoop loop;
    std::unique_ptr<ApplicationStartup> actions;
};

} // namespace upd::test
