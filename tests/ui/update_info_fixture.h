#pragma once

#include "support/local_http_server.h"
#include "ui/frm_wait.h"
#include "ui/window_fixture.h"

#include <QLabel>
#include <atomic>
#include <chrono>
#include <thread>

// What the tests of the update-information window share: a server with a page that never comes,
// and an event loop that notes what the wait window shows.
namespace upd::test {

inline const QString Caller = QStringLiteral("QuorMed - Update");

inline frmWait* visibleWaitWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* wait = qobject_cast<frmWait*>(widget); wait && wait->isVisible())
            return wait;
    return nullptr;
}

// The application's event loop, noting at every yield what the wait window's first line shows.
class WatchingEventLoop final : public EventLoop {
public:
    void yield() override {
        inner_.yield();
        noteWaitLine();
    }
    void waitForEvents(int milliseconds) override {
        inner_.waitForEvents(milliseconds);
        noteWaitLine();
    }
    void sleep(int milliseconds) override { inner_.sleep(milliseconds); }

    QStringList waitLines;

private:
    void noteWaitLine() {
        if (frmWait* wait = visibleWaitWindow()) {
            const QString line = wait->lblMeldung[0]->text();
            if (waitLines.isEmpty() || waitLines.last() != line)
                waitLines << line;
        }
    }

    QtEventLoop inner_;
};

class UpdateInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A page that never comes (until the test ends).
        server.http().Post("/stall/dataupdateframe.aspx", [this](auto&, httplib::Response& res) {
            for (int i = 0; i < 1000 && !release; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            res.set_content("<p>zu spät</p>", "text/html");
        });
        session.host.ProgID = QStringLiteral("QGR");
    }

    void TearDown() override {
        release = true;
        settle();
        EXPECT_EQ(topLevelWindows(), QStringList()) << "a window was left open";
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    void serveFrom(const std::string& path) {
        session.ServerBaseUrl = QString::fromStdString(server.url(path));
    }

    std::atomic<bool> release = false;
    LocalHttpServer server;
    Session session;
    WatchingEventLoop loop;
};

} // namespace upd::test
