#include "package/manifest_writer.h"

#include "core/ansi_text_file.h"
#include "core/runtime_error.h"
#include "core/windows1252.h"

#include <QFile>
#include <QSaveFile>

namespace upd::manifest {
namespace {

QString filePath(const QString& directory, const char* name) {
    return directory + u'/' + QLatin1String(name);
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
    ansi_text_file::write(filePath(updateDirectory, ManifestFileName), manifestText(entries));
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
            replacement.write(piece);
        }
    }
    replacement.write(windows1252::encode(hardwareXml.join(QString()) + QStringLiteral("\r\n")));
    // A failed write above makes the commit fail; the old file then stays untouched.
    if (!replacement.commit())
        throw RuntimeError(errnum::PathFileAccessError);
}

} // namespace upd::manifest
