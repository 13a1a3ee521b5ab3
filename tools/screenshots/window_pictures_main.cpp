// Pictures of the windows as a user meets them, into the folder named on the command line. The
// program runs as its host starts it, against the bundled update server with its sample catalog,
// and every state is reached as a user reaches it: with the mouse and the keyboard. Run by
// scripts/screenshots under a virtual display with a window manager.

#include "app/application_startup.h"
#include "core/ansi_text_file.h"
#include "platform/settings_store.h"
#include "screen_shooter.h"
#include "support/local_http_server.h"
#include "support/named_control.h"
#include "support/signed_catalog.h"
#include "ui/frm_config.h"
#include "ui/frm_lizenz.h"
#include "ui/frm_update_info.h"
#include "ui/frm_wait.h"
#include "ui/message_prompts.h"
#include "ui/program_windows.h"
#include "updateserver/update_server.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <thread>

namespace upd::test {
namespace {

const QString CatalogDir = QStringLiteral(SAMPLE_CATALOG_DIR);

// The program as main() runs it.
struct Program {
    Session session;
    QtEventLoop loop;
    NativeSettingsStore store;
    MessagePrompts prompts;
    ApplicationStartup actions{session, loop, prompts};

    frmStart& start(const QString& parameters) {
        Main(session, parameters, store, prompts, actions);
        if (!actions.mainWindow()) {
            std::fputs("the updater opened no window\n", stderr);
            std::exit(1);
        }
        return *actions.mainWindow();
    }
};

QString hostParameters(const QString& directory, int runMode) {
    return QStringLiteral("Hwnd=0#ExeVers=3.1.0#DBName=qgr.db#DBVers=2024.01"
                          "#AppName=quorlan-Gesundheitsratgeber"
                          "#ExtAppName=quorlan Gesundheitsratgeber#ExePath=") +
           directory +
           QStringLiteral("#ExeName=qgr#ProgID=QGR#MachineID=DEMO-PC#SFA=Praxis Dr. Müller"
                          "#SNN=Müller#SVN=Jörg#SOR=Köln#SPL=50667#SST=Hauptstraße 1#REG=DEMO"
                          "#START=") +
           QString::number(runMode);
}

template <class Window> Window* visibleWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
            return window;
    return nullptr;
}

void clickTab(frmStart& w, int index) {
    QTabBar* bar = named<QTabWidget>(w, "SSTab1")->tabBar();
    clickOn(bar, bar->tabRect(index).center());
}

// Search, the tab guard, another version, the data found and downloaded, the update information
// (also from a slow server, with its wait window), the configuration.
void onlineUpdate(ScreenShooter& shoot, const QString& host, const QString& slowServer) {
    Program program;
    frmStart& w = program.start(hostParameters(host, 0));
    shoot.window(w, QStringLiteral("01-start"));
    pressKey(w, Qt::Key_Return);
    shoot.window(w, QStringLiteral("02-program-updates-found"));

    ScreenShooter::whenModalOpens([&](QWidget& box) {
        shoot.window(box, QStringLiteral("03-tab-guard"));
        pressKey(box, Qt::Key_Return);
    });
    clickTab(w, tab::Installation);
    shoot.window(w, QStringLiteral("04-download-tab"));

    clickTab(w, tab::Search);
    ScreenShooter::whenModalOpens([&](QWidget& box) {
        typeText(box, QStringLiteral("3.3.0"));
        shoot.window(box, QStringLiteral("05-version-input"));
        pressKey(box, Qt::Key_Return);
    });
    clickOn(named<QPushButton>(w, "cmdOldVersion"));
    // Without program updates the search finds data and opens their description by itself.
    clickOn(named<LabelButton>(w, "lblStart"));
    if (frmUpdateInfo* info = visibleWindow<frmUpdateInfo>()) {
        shoot.windows({&w, info}, QStringLiteral("06-update-information-over-main-window"));
        shoot.window(*info, QStringLiteral("07-update-information"));
        pressKey(*info, Qt::Key_Return);
    }
    shoot.window(w, QStringLiteral("08-data-updates-found"));

    // The data download fills the bar; pictures on the way.
    auto* bar = named<QLabel>(w, "Percent");
    const int track = named<QWidget>(w, "ImgLine")->width();
    ScreenShooter::when([=] { return bar->width() * 10 >= track * 3; },
                        [&] { shoot.window(w, QStringLiteral("09-data-download-30")); });
    ScreenShooter::when([=] { return bar->width() * 10 >= track * 7; },
                        [&] { shoot.window(w, QStringLiteral("10-data-download-70")); });
    pressKey(w, Qt::Key_Return);
    shoot.window(w, QStringLiteral("11-data-downloaded"));

    // The hotline has the user point the updater at another server.
    ScreenShooter::whenModalOpens([&](QWidget& box) {
        shoot.window(box, QStringLiteral("12-configuration"));
        QLineEdit* server = qobject_cast<frmConfig*>(&box)->txtUpdateServer;
        server->setFocus();
        server->selectAll();
        typeText(box, slowServer);
        pressKey(box, Qt::Key_Return);
    });
    pressKey(w, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
    ScreenShooter::when([] { return visibleWindow<frmWait>() != nullptr; },
                        [&] {
                            shoot.windows({&w, visibleWindow<frmWait>()},
                                          QStringLiteral("13-wait-window-over-main-window"));
                        });
    clickOn(named<LabelButton>(w, "lblInfo"));
    if (frmUpdateInfo* info = visibleWindow<frmUpdateInfo>())
        pressKey(*info, Qt::Key_Return);
    clickOn(named<LabelButton>(w, "lblEnd"));
}

// An offline installation from a copied update directory: the directory chooser, the
// information about it, and the terms of use that the installation run asks for first.
void offlineInstallation(ScreenShooter& shoot, const QString& host) {
    Program program;
    frmStart& w = program.start(hostParameters(host, 3));
    shoot.window(w, QStringLiteral("14-offline-installation"));

    ScreenShooter::whenModalOpens([&](QWidget& box) {
        shoot.window(box, QStringLiteral("15-directory-chooser"));
        pressKey(box, Qt::Key_Return);
    });
    clickOn(named<QPushButton>(w, "cmdSearch"));
    ScreenShooter::whenModalOpens([&](QWidget& box) {
        shoot.window(box, QStringLiteral("16-offline-information"));
        clickOn(&box);
    });
    clickOn(named<QPushButton>(w, "cmdInfo"));

    frmLizenz licence(program.session, program.prompts, &w);
    licence.txtLizenz->setPlainText(
        ansi_text_file::read(CatalogDir + QStringLiteral("/files/downloads/lizenz.txt")));
    ScreenShooter::whenModalOpens([&](QWidget& box) {
        shoot.window(box, QStringLiteral("17-terms-of-use"));
        // "Weiter" without accepting: the question comes.
        ScreenShooter::whenModalOpens(
            [&](QWidget& question) {
                shoot.window(question, QStringLiteral("18-terms-not-accepted"));
                pressKey(question, Qt::Key_Return);
            },
            &box);
        pressKey(box, Qt::Key_Return);
    });
    licence.exec();
    clickOn(named<LabelButton>(w, "lblEnd"));
}

} // namespace
} // namespace upd::test

int main(int argc, char** argv) {
    using namespace upd;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorlan-Internet-Update"));
    prepareProgramWindows();
    if (argc < 2) {
        std::fputs("usage: ui_screenshots DIR\n", stderr);
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));
    QTemporaryDir work;
    const QString host = work.filePath(QStringLiteral("host"));
    QDir(host).mkpath(QStringLiteral("Updates"));

    server::UpdateServer updateServer(upd::test::signedCatalog(),
                                      DeploymentSettings::fromEnvironment(), {});
    const QString base =
        QStringLiteral("http://127.0.0.1:") + QString::number(updateServer.start("127.0.0.1", 0));
    qputenv("QUORLAN_UPDATE_SERVER_URL", base.toUtf8());
    qputenv("QUORLAN_UPDATE_CONNECTION_TEST_URL", (base + QStringLiteral("/")).toUtf8());

    // The same description from a server that takes a while, so that the wait window shows.
    upd::test::LocalHttpServer slow;
    QFile page(upd::test::CatalogDir + QStringLiteral("/data/qgr-2024.06.html"));
    page.open(QIODevice::ReadOnly);
    const std::string html = page.readAll().toStdString();
    slow.http().Post("/slow/dataupdateframe.aspx",
                     [&html](const httplib::Request&, httplib::Response& res) {
                         std::this_thread::sleep_for(std::chrono::milliseconds(1500));
                         res.set_content(html, "text/html; charset=utf-8");
                     });
    slow.start();

    upd::test::ScreenShooter shoot(folder);
    upd::test::onlineUpdate(shoot, host, QString::fromStdString(slow.url("/slow")));
    upd::test::offlineInstallation(shoot, host);
    updateServer.stop();
    return 0;
}
