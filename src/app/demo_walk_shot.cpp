// For the demo and the end-to-end test on a machine without a screen: the updater as the host
// starts it, walking through its steps by itself. It presses "Start" and then "Weiter" as long as
// each press moves the wizard on, answers every dialog as a user pressing Enter would (the terms
// of use it accepts), and saves a picture of the window after each step and of each dialog before
// it is answered, numbered in the order they appeared.
// Usage: quorlan-update-demo-shot PICTURE-DIRECTORY HOST-PARAMETER-STRING

#include "app/updater_run.h"
#include "ui/frm_lizenz.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cstdio>

namespace {

class Pictures {
public:
    explicit Pictures(QString directory) : directory_(std::move(directory)) {
        QDir().mkpath(directory_);
    }
    void save(QWidget& widget, const QString& what) {
        const QString file =
            QDir(directory_)
                .filePath(QStringLiteral("%1-%2.png").arg(++count_, 2, 10, QChar(u'0')).arg(what));
        if (widget.grab().save(file))
            std::printf("%s\n", qPrintable(file));
    }

private:
    QString directory_;
    int count_ = 0;
};

QString stepName(std::int32_t state) {
    static const char* const names[] = {"",
                                        "search",
                                        "download",
                                        "installation",
                                        "updater-download",
                                        "updater-installation",
                                        "data-download",
                                        "data-installation"};
    return state >= 1 && state <= 7 ? QString::fromLatin1(names[state]) : QStringLiteral("step");
}

// Answers each modal dialog once it is up: the terms of use accepted, a message box with its
// default button. Before a message box the main window is taken too, with the texts the box is
// about.
class DialogAnswers {
public:
    DialogAnswers(Pictures& pictures, QPointer<upd::frmStart> window)
        : pictures_(pictures), window_(std::move(window)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start(100);
    }

private:
    void answer() {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible() || dialog == answered_)
            return;
        answered_ = dialog;
        if (auto* terms = qobject_cast<upd::frmLizenz*>(dialog)) {
            terms->Option1->setChecked(true);
            pictures_.save(*dialog, QStringLiteral("terms"));
            terms->lblCMD->click();
        } else if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            if (window_)
                pictures_.save(*window_, QStringLiteral("window"));
            pictures_.save(*dialog, QStringLiteral("message"));
            QAbstractButton* button = box->defaultButton();
            if (!button && !box->buttons().isEmpty())
                button = box->buttons().first();
            if (button)
                button->click();
        }
    }

    Pictures& pictures_;
    QPointer<upd::frmStart> window_;
    QTimer timer_;
    QPointer<QWidget> answered_;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: quorlan-update-demo-shot PICTURE-DIRECTORY HOST-PARAMETER-STRING\n",
                   stderr);
        return 2;
    }

    upd::UpdaterRun run;
    run.start(arguments[2]);
    QPointer<upd::frmStart> window = run.actions.mainWindow();
    if (!window) {
        std::fputs("the updater ended without a window (no connection to the server?)\n", stderr);
        return 1;
    }
    Pictures pictures(arguments[1]);
    DialogAnswers answers(pictures, window);
    int status = 1;
    QTimer::singleShot(500, window, [&] {
        // Each press either moves the wizard on or ends the program; anything else ends the walk.
        for (int press = 0; press < 8 && window && !window->flags().CloseRequested; ++press) {
            const std::int32_t state = window->wizardState();
            window->StartAskForUpdates();
            run.loop.yield();
            if (!window || window->flags().CloseRequested) {
                status = 0;
                return;
            }
            pictures.save(*window, stepName(state));
            std::printf("%s\n", qPrintable(window->visibleMessageArea().text()));
            if (window->wizardState() == state)
                break;
        }
        QApplication::quit();
    });
    QApplication::exec();
    return status;
}
