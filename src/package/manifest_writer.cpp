#include "package/manifest_writer.h"

#include "core/runtime_error.h"
#include "core/windows1252.h"

#include <QFile>
#include <QSaveFile>

namespace upd::manifest {
namespace {

QString filePath(const QString& directory, const char* name) {
    return directory + u'/' + QLatin1String(name);
}

void write(QSaveFile& file, const QByteArray& bytes) {
    if (file.write(bytes) != bytes.size())
        throw RuntimeError(errnum::PathFileAccessError);
}

// QSaveFile (Qt 6.4) commits even when flushing its buffer fails, on a full disk for instance,
// and so would replace the old file by a truncated one: the flush is checked before.
void commit(QSaveFile& file) {
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        throw RuntimeError(errnum::PathFileAccessError);
    }
    if (!file.commit())
        throw RuntimeError(errnum::PathFileAccessError);
}

} // namespace

QString manifestText(const std::vector<UpdateEntry>& entries) {
    QString text = QStringLiteral("<updates>");
    for (const UpdateEntry& entry : entries)
        text += entry.xml;
    text += QStringLiteral("</updates>\r\n");
    return text;
}

void writeManifest(const QString& updateDirectory, const std::vector<UpdateEntry>& entries) {
    if (entries.empty())
        return;
    QSaveFile file(filePath(updateDirectory, ManifestFileName));
    if (!file.open(QIODevice::WriteOnly))
        throw RuntimeError(errnum::PathFileAccessError);
    write(file, windows1252::encode(manifestText(entries)));
    commit(file);
}

void appendHardware(const QString& updateDirectory, const QStringList& hardwareXml) {
    if (hardwareXml.isEmpty())
        return;
    const QString path = filePath(updateDirectory, HardwareFileName);
    QSaveFile replacement(path);
    if (!replacement.open(QIODevice::WriteOnly))
        throw RuntimeError(errnum::PathFileAccessError);
    // The old content is copied piece by piece: the file grows with every download.
    QFile old(path);
    if (old.exists()) {
        if (!old.open(QIODevice::ReadOnly))
            throw RuntimeError(errnum::PathFileAccessError);
        for (;;) {
            const QByteArray piece = old.read(64 * 1024);
            if (piece.isEmpty()) {
                if (old.error() != QFileDevice::NoError)
                    throw RuntimeError(errnum::PathFileAccessError);
                break;
            }
            write(replacement, piece);
        }
    }
    write(replacement, windows1252::encode(hardwareXml.join(QString()) + QStringLiteral("\r\n")));
    commit(replacement);
}

} // namespace upd::manifest
