// Unpacks a 200 MiB package (a few large and many small files, deflated) as a plain archive made
// by zip and as an AES-256 archive made by 7z, with extractArchive and with the reference tools
// (7z x for both, unzip -o for the plain one), alternately for several rounds. Prints the medians
// and, last, "ratio R": the reference's time over ours (the faster reference per archive, summed
// over both archives).

#include "package/zip_extraction.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Rounds = 5;
constexpr qint64 MiB = 1024 * 1024;
const QString Password = QStringLiteral("-12345");

// Text that deflates to about a third, like program files and documentation.
QByteArray textLike(QRandomGenerator& random, qint64 size) {
    static const char* const words[] = {
        "Indikation ", "Lexikon ",  "Nährstoff ", "Laborwert ", "Selbsthilfe ", "Gruppe ",
        "Update ",     "Programm ", "Datenbank ", "\r\n",       "Version ",     "Datei ",
        "setup ",      "0x7f3a ",   "Eintrag ",   "Hinweis ",   "der ",         "die "};
    QByteArray text;
    text.reserve(size + 32);
    while (text.size() < size) {
        text += words[random.bounded(int(std::size(words)))];
        if (random.bounded(8) == 0)
            text += QByteArray::number(random.generate());
    }
    text.truncate(size);
    return text;
}

QByteArray randomBytes(QRandomGenerator& random, qint64 size) {
    QByteArray bytes(size, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Large files (text, random, mixed) and many small ones in a few directories: 200 MiB.
qint64 makeSource(const QString& directory) {
    QRandomGenerator random(2024);
    qint64 total = 0;
    const auto add = [&](const QString& name, const QByteArray& content) {
        if (!writeFile(directory + u'/' + name, content))
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
        total += content.size();
    };
    add(QStringLiteral("programm.exe"), textLike(random, 40 * MiB));
    add(QStringLiteral("daten/lexikon.mdb"), textLike(random, 40 * MiB));
    add(QStringLiteral("daten/bilder.cab"), randomBytes(random, 40 * MiB));
    add(QStringLiteral("setup/setup.exe"),
        textLike(random, 15 * MiB) + randomBytes(random, 15 * MiB));
    for (int i = 0; total < 200 * MiB; ++i) {
        const qint64 size = std::min<qint64>(1024 + random.bounded(40 * 1024), 200 * MiB - total);
        add(QStringLiteral("hilfe/kapitel%1/seite%2.htm").arg(i / 100).arg(i),
            textLike(random, size));
    }
    return total;
}

bool run(const QString& program, const QStringList& arguments, const QString& directory = {}) {
    QProcess process;
    process.setWorkingDirectory(directory);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program),
                     process.readAllStandardError().constData());
        return false;
    }
    return true;
}

// Relative path and SHA-1 of every file below the directory.
std::map<QString, QByteArray> digests(const QString& directory) {
    std::map<QString, QByteArray> result;
    QDirIterator it(directory, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    const QDir base(directory);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        QCryptographicHash hash(QCryptographicHash::Sha1);
        hash.addData(&file);
        result[base.relativeFilePath(path)] = hash.result();
    }
    return result;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Contender {
    const char* name;
    std::function<bool(const QString& target)> extract;
    std::vector<double> seconds;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/bench-extract-XXXXXX"));
    const QString source = work.filePath(QStringLiteral("source"));
    const QString plain = work.filePath(QStringLiteral("plain.zip"));
    const QString aes = work.filePath(QStringLiteral("aes.zip"));
    const QString target = work.filePath(QStringLiteral("target"));

    std::printf("making the package ...\n");
    std::fflush(stdout);
    const qint64 total = makeSource(source);
    if (!run(QStringLiteral("zip"),
             {QStringLiteral("-q"), QStringLiteral("-r"), plain, QStringLiteral(".")}, source) ||
        !run(QStringLiteral("7z"),
             {QStringLiteral("a"), QStringLiteral("-bd"), QStringLiteral("-tzip"),
              QStringLiteral("-p") + Password, QStringLiteral("-mem=AES256"), aes,
              QStringLiteral(".")},
             source))
        return 1;
    const auto expected = digests(source);
    std::printf("%.0f MiB in %zu files; plain.zip %.0f MiB, aes.zip %.0f MiB\n",
                double(total) / MiB, expected.size(), double(QFileInfo(plain).size()) / MiB,
                double(QFileInfo(aes).size()) / MiB);

    const auto ours = [](const QString& archive, const QString& password) {
        return [archive, password](const QString& into) {
            const upd::ExtractionOutcome outcome = upd::extractArchive(archive, into, password);
            if (!outcome.ok())
                std::fprintf(stderr, "extractArchive: %s: %s\n", qPrintable(outcome.entry),
                             qPrintable(outcome.detail));
            return outcome.ok();
        };
    };
    const auto sevenZip = [](const QString& archive, const QString& password) {
        return [archive, password](const QString& into) {
            QStringList arguments{QStringLiteral("x"), QStringLiteral("-bd"), QStringLiteral("-y"),
                                  QStringLiteral("-o") + into};
            if (!password.isEmpty())
                arguments << QStringLiteral("-p") + password;
            return run(QStringLiteral("7z"), arguments << archive);
        };
    };
    const auto unzip = [](const QString& archive) {
        return [archive](const QString& into) {
            return run(QStringLiteral("unzip"), {QStringLiteral("-q"), QStringLiteral("-o"),
                                                 archive, QStringLiteral("-d"), into});
        };
    };

    struct Archive {
        const char* name;
        std::vector<Contender> contenders;
    };
    std::vector<Archive> archives{
        {"plain (zip, deflate)",
         {{"extractArchive", ours(plain, QString()), {}},
          {"7z x", sevenZip(plain, QString()), {}},
          {"unzip -o", unzip(plain), {}}}},
        {"AES-256 (7z, deflate)",
         {{"extractArchive", ours(aes, Password), {}}, {"7z x", sevenZip(aes, Password), {}}}},
    };

    for (int round = 0; round < Rounds; ++round) {
        for (Archive& archive : archives) {
            // Alternate who goes first, so that neither always meets a warmer cache.
            std::vector<Contender*> order;
            for (Contender& c : archive.contenders)
                order.push_back(&c);
            std::rotate(order.begin(), order.begin() + round % order.size(), order.end());
            for (Contender* contender : order) {
                QDir(target).removeRecursively();
                // Start each run with no earlier run's data waiting to be written.
                ::sync();
                QElapsedTimer timer;
                timer.start();
                if (!contender->extract(target))
                    return 1;
                contender->seconds.push_back(double(timer.nsecsElapsed()) / 1e9);
                if (round == 0 && digests(target) != expected) {
                    std::fprintf(stderr, "%s unpacked %s wrongly\n", contender->name, archive.name);
                    return 1;
                }
            }
            std::printf("round %d, %s:", round + 1, archive.name);
            for (const Contender& c : archive.contenders)
                std::printf(" %s %.2f s", c.name, c.seconds.back());
            std::printf("\n");
            std::fflush(stdout);
        }
    }
    QDir(target).removeRecursively();

    double referenceSum = 0;
    double oursSum = 0;
    for (const Archive& archive : archives) {
        const double oursMedian = median(archive.contenders.front().seconds);
        double best = 0;
        std::printf("median, %s:", archive.name);
        for (const Contender& c : archive.contenders) {
            const double m = median(c.seconds);
            std::printf(" %s %.2f s (%.0f MiB/s)", c.name, m, double(total) / MiB / m);
            if (&c != &archive.contenders.front())
                best = best == 0 ? m : std::min(best, m);
        }
        std::printf("; reference / ours %.2f\n", best / oursMedian);
        referenceSum += best;
        oursSum += oursMedian;
    }
    std::printf("ratio %.2f\n", referenceSum / oursSum);
    return 0;
}
