// Takes pictures of the notification pop-up, fully rolled out, with each notice and with the
// highlight under the mouse, into the folder named on the command line. Run by
// scripts/screenshots under a virtual display; a program of its own, beside ui_screenshots.

#include "core/session.h"
#include "ui/frm_notify.h"
#include "wizard/update_notice.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QLocale>
#include <QThread>
#include <cstdio>

namespace {

void settle() {
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
}

void save(QWidget& widget, const QDir& folder, const QString& name) {
    settle();
    const QString file = folder.filePath(name + QStringLiteral(".png"));
    if (!widget.grab().save(file))
        std::fprintf(stderr, "could not write %s\n", qPrintable(file));
    else
        std::printf("%s\n", qPrintable(file));
}

// The pop-up of a notice, rolled out to its full height; it stays until deleted.
upd::frmNotify* rolledOut(const upd::Session& session, int kind) {
    auto* popup = new upd::frmNotify(/*trayAvailable=*/false);
    upd::ShowUpdateNotice(*popup, session, kind, [] {});
    while (popup->PopupPhase() == 1)
        popup->Timer1_Timer();
    return popup;
}

} // namespace

int main(int argc, char** argv) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: notify_screenshots DIR\n", stderr);
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));

    upd::Session session;
    session.host.AppName = QStringLiteral("QuorMed");
    session.host.ExtAppName = QStringLiteral("QuorMed Praxis");

    const struct {
        int kind;
        const char* name;
    } notices[] = {{upd::notice_kind::NewUpdater, "frmNotify-0-updater"},
                   {upd::notice_kind::ProgramUpdates, "frmNotify-1-program"},
                   {upd::notice_kind::DataUpdates, "frmNotify-2-data"}};
    for (const auto& notice : notices) {
        upd::frmNotify* popup = rolledOut(session, notice.kind);
        save(*popup, folder, QString::fromLatin1(notice.name));
        if (notice.kind == upd::notice_kind::ProgramUpdates) {
            QEnterEvent enter(QPointF(20, 20), QPointF(20, 20), QPointF(20, 20));
            QApplication::sendEvent(popup, &enter);
            save(*popup, folder, QStringLiteral("frmNotify-1-program-highlighted"));
        }
        delete popup;
    }
    return 0;
}
