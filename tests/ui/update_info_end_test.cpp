// Ending the program runs the application's own loop to its end, which leaves the application
// unfit for further windows: this test has a program of its own.

#include "ui/frm_update_info.h"
#include "ui/update_info_fixture.h"

#include <QPointer>
#include <QTimer>
#include <optional>

namespace upd::test {
namespace {

TEST_F(UpdateInfoTest, ClosingTheMainWindowStopsTheRequestAndEndsTheProgram) {
    server.start();
    serveFrom("/stall");
    // The main window stays open: the wait window's going does not end the program by itself.
    QWidget mainWindow;
    mainWindow.show();
    QPointer<frmUpdateInfo> window = new frmUpdateInfo(session, loop);
    window->setTimeout(std::chrono::seconds(20));
    // Init runs inside the application's own loop, as from the "Info" button; the program must
    // end without the safety net, long before the page would come.
    std::optional<bool> result;
    QTimer::singleShot(0, window.data(),
                       [&] { result = window->Init(Caller, QStringLiteral("3.1.0")); });
    QTimer::singleShot(200, &mainWindow, [this] { session.AbortRequested = true; });
    QTimer::singleShot(10000, &mainWindow, [] { QCoreApplication::exit(7); }); // safety net

    EXPECT_EQ(QApplication::exec(), 0);
    ASSERT_TRUE(result.has_value());
    EXPECT_FALSE(*result);
    EXPECT_EQ(visibleWaitWindow(), nullptr);
    EXPECT_FALSE(mainWindow.isVisible()); // ending the program closes its windows
    delete window.data();
}

} // namespace
} // namespace upd::test
