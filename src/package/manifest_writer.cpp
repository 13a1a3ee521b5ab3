#include "package/manifest_writer.h"

#include "core/ansi_text_file.h"

#include <QDir>

namespace upd::manifest {
namespace {

QString filePath(const QString& directory, const char* name) {
    return directory + QDir::separator() + QLatin1String(name);
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
    ansi_text_file::append(filePath(updateDirectory, HardwareFileName),
                           hardwareXml.join(QString()) + QStringLiteral("\r\n"));
}

} // namespace upd::manifest
