// Takes a picture of each tab of the main window and of each dialog into the folder named on the
// command line. Run by scripts/screenshots under a virtual display.

#include "core/session.h"
#include "support/named_control.h"
#include "support/scripted_prompts.h"
#include "ui/frm_config.h"
#include "ui/frm_dir_auswahl.h"
#include "ui/frm_info.h"
#include "ui/frm_lizenz.h"
#include "ui/frm_start.h"
#include "ui/frm_update_info.h"
#include "ui/frm_wait.h"
#include "wizard/unavailable_steps.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextBrowser>
#include <QThread>
#include <cstdio>

namespace {

void snap(QWidget& widget, const QDir& folder, const QString& name) {
    widget.show();
    widget.raise();
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
    const QString file = folder.filePath(name + QStringLiteral(".png"));
    if (!widget.grab().save(file))
        std::fprintf(stderr, "could not write %s\n", qPrintable(file));
    else
        std::printf("%s\n", qPrintable(file));
}

} // namespace

int main(int argc, char** argv) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: ui_screenshots DIR\n", stderr);
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));

    upd::Session session;
    session.host.AppName = QStringLiteral("QuorMed");
    session.host.ExtAppName = QStringLiteral("QuorMed Praxis");
    session.host.ExeVers = QStringLiteral("5.1.0");
    session.host.ExePath = QStringLiteral("C:\\QuorMed");
    session.ServerBaseUrl = session.deployment.serverUrl;
    session.RunMode = upd::runmode::OfflineAll;
    upd::test::ScriptedPrompts prompts;
    upd::QtEventLoop loop;
    upd::UnavailableWizardSteps steps;

    auto* window = new upd::frmStart(session, prompts, loop, steps);
    window->Form_Load();
    window->boxes().installationLog().setText(QStringLiteral("OK       5.1.1 Programm-Update"));
    snap(*window, folder, QStringLiteral("frmStart-2-installation"));

    window->state().moveWizardTo(upd::wizard::DownloadProgramUpdates);
    upd::test::named<QTabWidget>(*window, "SSTab1")->setCurrentIndex(upd::tab::Download);
    window->boxes().downloadList().setText(QStringLiteral(" Download der Datei: update511.zip"));
    window->messageArea(upd::tab::Download)
        .show(QStringLiteral(" Download der Datei: update511.zip"), upd::WorkingColor);
    window->transferDisplay().sizeAnnounced(2'400'000);
    window->ProgressBar(2'400'000, 1'500'000);
    window->tmrSpeedTest_Timer();
    snap(*window, folder, QStringLiteral("frmStart-1-download"));

    upd::test::named<QTabWidget>(*window, "SSTab1")->setCurrentIndex(upd::tab::Search);
    window->controls().setInfoButtonVisible(true);
    snap(*window, folder, QStringLiteral("frmStart-0-search"));

    upd::frmConfig config(session, prompts);
    snap(config, folder, QStringLiteral("frmConfig"));
    upd::frmDirAuswahl chooser(session);
    snap(chooser, folder, QStringLiteral("frmDirAuswahl"));
    session.DialogArg1 = session.host.AppName;
    session.DialogArg2 = session.host.ExtAppName;
    upd::frmInfo info(session);
    snap(info, folder, QStringLiteral("frmInfo"));
    upd::frmLizenz licence(session, prompts);
    licence.txtLizenz->setPlainText(
        QStringLiteral("Nutzungsbedingungen\n\n1. Die Updates dürfen nur auf Rechnern installiert "
                       "werden, für die eine gültige Lizenz besteht.\n2. ..."));
    snap(licence, folder, QStringLiteral("frmLizenz"));
    auto* wait = new upd::frmWait(session);
    wait->lblMeldung[0]->setText(QStringLiteral("Die Informationen zum QuorMed Praxis - Update"));
    wait->lblMeldung[1]->setText(QStringLiteral(" werden abgerufen ... "));
    snap(*wait, folder, QStringLiteral("frmWait"));
    wait->close();
    // The page as the bundled server sends it; Init would fetch it.
    upd::frmUpdateInfo updateInfo(session, loop);
    updateInfo.setWindowTitle(QStringLiteral("Informationen zum QuorMed Praxis - Update"));
    updateInfo.MyBrowser->setHtml(
        QStringLiteral("<h1>Daten-Updates</h1><h2>Datenstand 2024.06</h2><p>Neu in den Daten "
                       "2024.06:</p><ul><li>2 neue Indikationen mit Texten</li></ul>"));
    snap(updateInfo, folder, QStringLiteral("frmUpdateInfo"));

    delete window;
    return 0;
}
