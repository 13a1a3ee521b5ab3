// Fetches a generated payload of 100 000 term records and 20 000 texts over HTTP as the data
// download does (Windows-1252 bytes into the document), writes it into a fresh sample database
// through the real driver, with the progress shown in real (offscreen) text boxes, and the same
// rows through plain prepared inserts in one transaction. Prints both rates, the peak memory
// against the payload size and against pugixml alone loading the same text, and as its last line
// the ratio of the two rates.

#include "core/event_loop.h"
#include "core/windows1252.h"
#include "core/xml_document.h"
#include "dataupdate/data_install.h"
#include "dataupdate/sample/sample_host.h"
#include "dataupdate/sqlite_connection.h"
#include "dataupdate/text_conversions.h"
#include "dataupdate/workgroup_password.h"
#include "transfer/server_fetch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <httplib.h>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace upd::dataupdate;

constexpr int Terms = 100'000;
constexpr int Texts = 20'000;
constexpr int Blocks = 5; // the sample database's text blocks 1 to 5
constexpr int Rounds = 3;
const QString Codes = QStringLiteral("113,76,55,100");

// The window's side: the log box and the message box, repainted through the event loop.
class WindowSink final : public DataInstallSink {
public:
    WindowSink() {
        log_.resize(600, 300);
        message_.resize(600, 40);
        log_.show();
        message_.show();
    }
    void appendLog(const QString& piece) override {
        QElapsedTimer timer;
        timer.start();
        log_.moveCursor(QTextCursor::End);
        log_.insertPlainText(piece);
        QApplication::processEvents();
        displayNs += timer.nsecsElapsed();
    }
    void showRecordProgress(std::int64_t record, std::int64_t records) override {
        QElapsedTimer timer;
        timer.start();
        message_.setPlainText(recordProgressText(record, records));
        QApplication::processEvents();
        ++shown;
        displayNs += timer.nsecsElapsed();
    }
    long shown = 0;
    qint64 displayNs = 0;

private:
    QPlainTextEdit log_;
    QPlainTextEdit message_;
};

std::string termName(int i) {
    return "Begriff Nr. " + std::to_string(i) + " (Übersicht)";
}

std::string textOf(int i) {
    return "Beschreibung " + std::to_string(i) +
           ": „Typische Beschwerden“ – Kopfschmerz, Übelkeit, Schwindel… und weitere.";
}

std::string makePayload() {
    std::string xml = "<dataupdate><new_indik><datensaetze>";
    xml.reserve(std::size_t(Terms) * 200 + std::size_t(Texts) * 260);
    for (int i = 1; i <= Terms; ++i)
        xml += "<datensatz><id_item>" + std::to_string(i) + "</id_item><id_synonim>" +
               std::to_string(i / 3) + "</id_synonim><Name>" + termName(i) + "</Name><Hauptname>" +
               (i % 3 == 0 ? "1" : "0") +
               "</Hauptname><createdate>2024-06-01</createdate><lastupdate>2024-06-01"
               "</lastupdate></datensatz>";
    xml += "</datensaetze></new_indik><indik_texte><datensaetze>";
    for (int i = 1; i <= Texts; ++i)
        xml += "<datensatz><id_synonim>" + std::to_string(i / Blocks) +
               "</id_synonim><id_baustein>" + std::to_string(i % Blocks + 1) +
               "</id_baustein><text>" + textOf(i) +
               "</text><createdate>2024-06-01</createdate><lastupdate>2024-06-01</lastupdate>"
               "</datensatz>";
    xml += "</datensaetze></indik_texte></dataupdate>";
    return xml;
}

long statusKiB(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').front().toLong();
    return 0;
}

void resetPeakMemory() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void createHost(const QString& directory) {
    sample::createSampleHost(directory, QStringLiteral("bench.db"),
                             sample::ProductFamily::IndikLexikonShg, workgroupPassword(Codes),
                             false);
}

// The same rows with one prepared insert per table in one transaction.
double baselineSeconds(const QString& directory) {
    std::vector<QString> names(Terms + 1);
    std::vector<QString> texts(Texts + 1);
    for (int i = 1; i <= Terms; ++i)
        names[std::size_t(i)] = QString::fromStdString(termName(i));
    for (int i = 1; i <= Texts; ++i)
        texts[std::size_t(i)] = ConvToHtml(QString::fromStdString(textOf(i)));
    SqliteConnection connection;
    if (!connection.open(directory + QStringLiteral("/bench.db"), SqliteConnection::Mode::ReadWrite,
                         2000))
        return 0;
    QSqlDatabase& db = connection.database();
    QElapsedTimer timer;
    timer.start();
    executeOrThrow(db, QStringLiteral("BEGIN IMMEDIATE"));
    QSqlQuery term = prepareOrThrow(
        db, QStringLiteral("INSERT INTO Indikationsnamen (ID, NR, Name, Hauptname, CREATEDATE, "
                           "LASTUPDATE) VALUES (?, ?, ?, ?, ?, ?)"));
    const QString date = QStringLiteral("2024-06-01");
    for (int i = 1; i <= Terms; ++i) {
        term.bindValue(0, QString::number(i));
        term.bindValue(1, QString::number(i / 3));
        term.bindValue(2, names[std::size_t(i)]);
        term.bindValue(3, i % 3 == 0 ? 1 : 0);
        term.bindValue(4, date);
        term.bindValue(5, date);
        executeOrThrow(term);
    }
    QSqlQuery text = prepareOrThrow(
        db,
        QStringLiteral("INSERT INTO Indikationstexte (Indikations_Nr, id_baustein, original, "
                       "\"Länge_Original\", angelegt, \"geändert\") VALUES (?, ?, ?, ?, ?, ?)"));
    for (int i = 1; i <= Texts; ++i) {
        const QString& original = texts[std::size_t(i)];
        text.bindValue(0, QString::number(i / Blocks));
        text.bindValue(1, i % Blocks + 1);
        text.bindValue(2, original);
        text.bindValue(3, int(original.size()));
        text.bindValue(4, date);
        text.bindValue(5, date);
        executeOrThrow(text);
    }
    executeOrThrow(db, QStringLiteral("COMMIT"));
    return double(timer.nsecsElapsed()) / 1e9;
}

// The answer's bytes as a server sends them, from memory, until the object dies.
class AnswerServer {
public:
    explicit AnswerServer(const QByteArray& answer) {
        server_.Get("/dataupdate.aspx", [&answer](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(
                std::size_t(answer.size()), "text/xml",
                [&answer](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                    return sink.write(answer.constData() + offset,
                                      std::min<std::size_t>(length, 1 << 20));
                });
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~AnswerServer() {
        server_.stop();
        thread_.join();
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/dataupdate.aspx").arg(port_); }

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
};

// What pugixml alone takes to load the same text, already in memory as UTF-8.
long referenceLoadKiB(const QByteArray& answer) {
    const QByteArray utf8 = upd::windows1252::toUtf8(answer);
    const long before = statusKiB("VmRSS:");
    resetPeakMemory();
    {
        pugi::xml_document document;
        if (!document.load_buffer(utf8.constData(), std::size_t(utf8.size())))
            return 0;
    }
    return statusKiB("VmHWM:") - before;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One installation of the loaded payload into a fresh host; its seconds, or 0 when it failed.
double installSeconds(const upd::XmlDocument& payload, DataInstallSink& sink) {
    QTemporaryDir host;
    createHost(host.path());
    QElapsedTimer timer;
    timer.start();
    const DataInstallOutcome outcome =
        installDataPayload({host.path(), QStringLiteral("bench.db"), Codes}, QStringLiteral("QGR"),
                           payload.firstChild(), sink);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (!outcome.succeeded) {
        std::printf("installation failed: %s\n", qPrintable(outcome.errText));
        return 0;
    }
    return seconds;
}

double plainSeconds() {
    QTemporaryDir host;
    createHost(host.path());
    return baselineSeconds(host.path());
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QApplication app(argc, argv);
    const double records = Terms + Texts;
    WindowSink sink;

    // The update server answers in Windows-1252 (no charset named).
    const QByteArray answer = upd::windows1252::encode(QString::fromStdString(makePayload()));
    const double payloadKiB = double(answer.size()) / 1024.0;
    const AnswerServer server(answer);
    const long referenceKiB = referenceLoadKiB(answer);

    // Memory from before the answer arrives: the fetched bytes, the loaded document, the first
    // installation; and separately what the installation adds to the loaded document.
    const long before = statusKiB("VmRSS:");
    resetPeakMemory();
    upd::XmlDocument payload;
    {
        upd::QtEventLoop loop;
        upd::TransferControl Inet1(loop);
        if (upd::fetchServerAnswer(Inet1, server.url(), payload).kind !=
            upd::ServerFetch::Kind::Answer) {
            std::printf("the answer could not be fetched and loaded\n");
            return 1;
        }
    }
    const long loadPeak = statusKiB("VmHWM:");
    const long loaded = statusKiB("VmRSS:");
    long installPeak = 0;

    // The driver and the plain inserts take turns, each into a fresh host.
    std::vector<double> oursRates;
    std::vector<double> plainRates;
    for (int round = 0; round < Rounds; ++round) {
        sink.shown = 0;
        sink.displayNs = 0;
        const bool oursFirst = round % 2 == 0;
        if (!oursFirst)
            plainRates.push_back(records / plainSeconds());
        if (round == 0)
            resetPeakMemory();
        const double seconds = installSeconds(payload, sink);
        if (round == 0)
            installPeak = statusKiB("VmHWM:");
        if (seconds <= 0)
            return 1;
        oursRates.push_back(records / seconds);
        if (oursFirst)
            plainRates.push_back(records / plainSeconds());
        std::printf("round %d: driver %.0f records/s (%.2f s of it in the window's %ld progress "
                    "texts and log pieces), plain inserts %.0f records/s\n",
                    round + 1, oursRates.back(), double(sink.displayNs) / 1e9, sink.shown,
                    plainRates.back());
    }

    const auto mib = [](double kib) {
        return kib / 1024.0;
    };
    const double peakKiB = double(std::max(loadPeak, installPeak) - before);
    std::printf("payload: %d term records and %d texts, %.1f MiB of XML (Windows-1252, as "
                "fetched over HTTP)\n",
                Terms, Texts, mib(payloadKiB));
    std::printf("driver: median %.0f records/s\n", median(oursRates));
    std::printf("baseline, plain prepared inserts in one transaction: median %.0f records/s\n",
                median(plainRates));
    std::printf("peak memory: %.1f MiB = %.2f x the payload (fetch and document load %.1f MiB, "
                "installation adds %.1f MiB to the loaded document)\n",
                mib(peakKiB), peakKiB / payloadKiB, mib(double(loadPeak - before)),
                mib(double(installPeak - loaded)));
    std::printf("reference, pugixml alone loading the same text held as UTF-8: %.1f MiB = %.2f x "
                "the payload; memory ratio %.2f\n",
                mib(double(referenceKiB)), double(referenceKiB) / payloadKiB,
                peakKiB / double(referenceKiB));
    std::printf("ratio %.2f\n", median(oursRates) / median(plainRates));
    return 0;
}
