// A host program for trying out the updater: a small window that shows its product, its installed
// version and its database, starts the updater with the parameter string a host passes, and ends
// when the updater asks it to close. Its installation directory holds "sample-host.ini" (see
// HostInstallation), "version.txt" and the database; "host.log" there records each start and end.
//
// quorlan-sample-host [--start-update [--run-mode MODE]] [--refuse-close]
//                     [--close-after MILLISECONDS]

#include "close_request.h"
#include "host_installation.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimer>
#include <QVBoxLayout>

namespace sample_host {
namespace {

struct CloseBehaviour {
    bool refuse = false;
    int delayMs = 0;
};

class HostWindow final : public QWidget {
public:
    HostWindow(HostInstallation installation, CloseBehaviour behaviour)
        : installation_(std::move(installation)), behaviour_(behaviour) {
        setWindowTitle(installation_.extAppName);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(installation_.extAppName + QStringLiteral(" (") +
                                     installation_.productCode + u')'));
        layout->addWidget(
            new QLabel(QStringLiteral("Installierte Version: ") + installation_.version));
        const QString database = openDatabase();
        layout->addWidget(new QLabel(QStringLiteral("Datenbank ") + database));
        auto* update = new QPushButton(QStringLiteral("&Internet-Update"));
        auto* end = new QPushButton(QStringLiteral("&Beenden"));
        update->setDefault(true);
        layout->addWidget(update);
        layout->addWidget(end);
        connect(update, &QPushButton::clicked, this, [this] { startUpdater(0); });
        connect(end, &QPushButton::clicked, this, &QWidget::close);
        installation_.log(QStringLiteral("gestartet: Version %1, Datenbank %2, Prozess %3")
                              .arg(installation_.version, database)
                              .arg(QCoreApplication::applicationPid()));
    }

    void startUpdater(int runMode) {
        const QStringList arguments =
            installation_.updaterOptions +
            QStringList{installation_.parameterString(hostHandle(*this), runMode)};
        if (!QProcess::startDetached(installation_.updater, arguments))
            installation_.log(QStringLiteral("Updater nicht gestartet: ") + installation_.updater);
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        if (behaviour_.refuse) {
            installation_.log(QStringLiteral("Schließen abgelehnt"));
            event->ignore();
            return;
        }
        if (behaviour_.delayMs > 0 && !closing_) {
            closing_ = true;
            QTimer::singleShot(behaviour_.delayMs, this, [this] { close(); });
            event->ignore();
            return;
        }
        installation_.log(QStringLiteral("beendet"));
        event->accept();
    }

private:
    // The host keeps its database open while it runs, as the real hosts do. What it says of it:
    // the tables and their rows, so that a data update shows.
    QString openDatabase() {
        const QString path = QDir(installation_.directory).filePath(installation_.dbName);
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        database.setDatabaseName(path);
        if (installation_.dbName.isEmpty() || !QFileInfo(path).isFile() || !database.open())
            return QStringLiteral("nicht geöffnet");
        qint64 rows = 0;
        const QStringList tables = database.tables();
        for (const QString& table : tables) {
            QSqlQuery count(database);
            if (count.exec(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table)) &&
                count.next())
                rows += count.value(0).toLongLong();
        }
        return installation_.dbName +
               QStringLiteral(": %1 Tabellen, %2 Datensätze").arg(tables.size()).arg(rows);
    }

    HostInstallation installation_;
    CloseBehaviour behaviour_;
    bool closing_ = false;
};

} // namespace
} // namespace sample_host

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption startUpdate(QStringLiteral("start-update"),
                                         QStringLiteral("starts the updater at once"));
    const QCommandLineOption runMode(QStringLiteral("run-mode"),
                                     QStringLiteral("the run mode the updater starts in"),
                                     QStringLiteral("mode"), QStringLiteral("0"));
    const QCommandLineOption refuseClose(QStringLiteral("refuse-close"),
                                         QStringLiteral("ignores the close request"));
    const QCommandLineOption closeAfter(QStringLiteral("close-after"),
                                        QStringLiteral("closes that long after the request"),
                                        QStringLiteral("milliseconds"), QStringLiteral("0"));
    parser.addOptions({startUpdate, runMode, refuseClose, closeAfter});
    parser.addHelpOption();
    parser.process(app);

    sample_host::HostWindow window(
        sample_host::HostInstallation::read(QCoreApplication::applicationFilePath()),
        {parser.isSet(refuseClose), parser.value(closeAfter).toInt()});
    sample_host::closeWindowOnRequest(window);
    window.show();
    if (parser.isSet(startUpdate))
        QTimer::singleShot(0, &window, [&] { window.startUpdater(parser.value(runMode).toInt()); });
    return QApplication::exec();
}
