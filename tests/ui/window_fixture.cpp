#include "ui/window_fixture.h"

#include "ui/program_windows.h"

#include <QElapsedTimer>
#include <QThread>

namespace upd::test {
namespace {

// The windows under test are prepared as the program prepares them at start.
struct ProgramWindows final : ::testing::Environment {
    void SetUp() override { prepareProgramWindows(); }
};
[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new ProgramWindows);

} // namespace

void settle() {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

bool waitFor(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds) {
        settle();
        QThread::msleep(5);
    }
    return done();
}

QStringList topLevelWindows() {
    QStringList names;
    for (QWidget* widget : QApplication::topLevelWidgets())
        names << (widget->objectName().isEmpty()
                      ? QString::fromLatin1(widget->metaObject()->className())
                      : widget->objectName());
    return names;
}

void WindowTest::SetUp() {
    session.host.AppName = QStringLiteral("QuorMed");
    session.host.ExtAppName = QStringLiteral("QuorMed Praxis");
    session.host.ExeVers = QStringLiteral("5.1.0");
    session.host.ExePath = QStringLiteral("/opt/quormed");
    session.host.ExeName = QStringLiteral("quormed.exe");
    session.host.ProgID = QStringLiteral("QAR");
    session.ServerBaseUrl = QStringLiteral("http://127.0.0.1:1");
}

void WindowTest::TearDown() {
    delete window.data();
    settle();
    EXPECT_EQ(topLevelWindows(), QStringList()) << "a window was left open";
}

frmStart& WindowTest::open(std::int16_t runMode) {
    session.RunMode = runMode;
    window = new frmStart(session, prompts, loop, steps);
    loaded = window->Form_Load();
    return *window;
}

} // namespace upd::test
