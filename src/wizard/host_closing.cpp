#include "wizard/host_closing.h"

#include "platform/host_window.h"
#include "wizard/responsive_pause.h"
#include "wizard/wizard_texts.h"

#include <QElapsedTimer>

namespace upd {
namespace {

// A host that closes at once still needs a moment to be gone; within this grace no wait window
// appears.
constexpr int ImmediateCloseGraceMs = 200;
constexpr int FirstWaitMs = 3000;
constexpr int Checks = 10;
constexpr int CheckIntervalMs = 500;

} // namespace

bool CloseHostApplication(const Session& session, Prompts& prompts, EventLoop& loop,
                          StepDialogs& dialogs) {
    const std::int32_t hwnd = session.host.Hwnd;
    const QString& host = session.host.ExtAppName;
    requestHostClose(hwnd);
    loop.yield();
    QElapsedTimer grace;
    grace.start();
    while (hostWindowExists(hwnd)) {
        if (grace.elapsed() >= ImmediateCloseGraceMs)
            break;
        pauseResponsively(loop, 10);
    }
    if (!hostWindowExists(hwnd))
        return true;

    std::unique_ptr<WaitNotice> wait = dialogs.openWaitNotice();
    loop.yield();
    wait->setLine(0, QStringLiteral("Es wird versucht ") + host + QStringLiteral(" zu beenden,"));
    wait->setLine(1, QStringLiteral("damit die Updates eingespielt werden können ... "));
    wait->show();
    loop.yield();
    pauseResponsively(loop, FirstWaitMs);
    loop.yield();

    bool closed = false;
    for (int n = 1; n <= Checks; ++n) {
        if (!hostWindowExists(hwnd)) {
            closed = true;
            break;
        }
        loop.yield();
        pauseResponsively(loop, CheckIntervalMs);
        wait->setLine(1, QStringLiteral("Versuch %1 von %2 ...").arg(n).arg(Checks));
        loop.yield();
    }
    if (!closed)
        prompts.messageBox(host + QStringLiteral(" konnte nicht automatisch beendet werden!") +
                               CrLf +
                               QStringLiteral("Minimieren Sie dieses Update-Fenster und beenden "
                                              "Sie danach ") +
                               host + QStringLiteral(" manuell.") + CrLf +
                               QStringLiteral("Anschließend können Sie mit der Installation des "
                                              "Updates fortfahren."),
                           MessageButtons::Ok, MessageIcon::Exclamation, ProgramTitle);
    wait.reset();
    return closed;
}

} // namespace upd
