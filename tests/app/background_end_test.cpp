// Ending the program runs the application's own loop to its end: these tests have a program of
// their own.

#include "app/background_fixture.h"
#include "support/named_control.h"

#include <QAction>
#include <QTest>
#include <QTimer>
#include <functional>

namespace upd::test {
namespace {

TEST(BackgroundModeEnd, TheProgramEndsWithThePopupItsBeendenOrTheMainWindowItOpened) {
    BundledServer server("2.01.0014");
    const struct {
        const char* what;
        std::function<void(ApplicationStartup&)> user;
        bool mainWindowOpened;
    } rows[] = {
        {"Esc closes the pop-up",
         [](ApplicationStartup& actions) { QTest::keyClick(actions.notice(), Qt::Key_Escape); },
         false},
        {"Beenden in the tray menu",
         [](ApplicationStartup& actions) {
             named<QAction>(*actions.notice(), "mnuClose")->trigger();
         },
         false},
        {"the main window opened from the notice closes",
         [](ApplicationStartup& actions) {
             actions.notice()->RunPopupAction();
             QTimer::singleShot(50, [&actions] { actions.mainWindow()->close(); });
         },
         true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        BackgroundStart start;
        ASSERT_EQ(start.run(server, QStringLiteral("3.1.0"), QStringLiteral("2024.01")),
                  StartupResult::NoticeShown);
        bool mainWindowOpened = false;
        // Timers bound to `rowContext` die with the row.
        QObject rowContext;
        QTimer::singleShot(50, &rowContext, [&] {
            row.user(*start.actions);
            mainWindowOpened = start.actions->mainWindow() != nullptr;
        });
        QTimer::singleShot(10000, &rowContext, [] { QCoreApplication::exit(7); }); // safety net

        EXPECT_EQ(QApplication::exec(), 0);
        EXPECT_EQ(mainWindowOpened, row.mainWindowOpened);
        EXPECT_FALSE(start.actions->running());
    }
}

} // namespace
} // namespace upd::test
