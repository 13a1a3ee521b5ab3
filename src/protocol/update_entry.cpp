#include "protocol/update_entry.h"

#include "core/numeric.h"
#include "core/runtime_error.h"

namespace upd {
namespace {

QString requiredText(const XmlNode& update, const char* element) {
    const auto found = update.getElementsByTagName(QString::fromLatin1(element));
    if (found.empty())
        throw RuntimeError(errnum::ObjectNotSet);
    return found.front().text();
}

// <checksums><checksum file="a.zip" size="123" sha256="…"/>…</checksums>
std::vector<FileChecksum> readChecksums(const XmlNode& update) {
    std::vector<FileChecksum> checksums;
    const auto lists = update.getElementsByTagName(QStringLiteral("checksums"));
    if (lists.empty())
        return checksums;
    for (const XmlNode& item : lists.front().childNodes()) {
        if (!item.isElement() || item.nodeName() != QLatin1String("checksum"))
            continue;
        bool number = false;
        const qlonglong size = item.attribute(QStringLiteral("size")).toLongLong(&number);
        checksums.push_back({item.attribute(QStringLiteral("file")), number ? size : -1,
                             item.attribute(QStringLiteral("sha256"))});
    }
    return checksums;
}

bool isUpdate(const XmlNode& child) {
    return child.localName() == QLatin1String("update");
}

} // namespace

bool readBooleanText(const QString& text) {
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return numeric::toDouble(text) != 0.0;
}

UpdateEntry readUpdateEntry(const XmlNode& update) {
    UpdateEntry entry;
    entry.version = requiredText(update, "version");
    entry.name = requiredText(update, "name");
    entry.files = requiredText(update, "files").split(u';');
    entry.filesToExtract = requiredText(update, "filestoextract");
    entry.pw = requiredText(update, "pw");
    entry.path = requiredText(update, "path");
    entry.min = requiredText(update, "min");
    entry.max = requiredText(update, "max");
    entry.startFile = requiredText(update, "start_file");
    entry.newDlls = readBooleanText(requiredText(update, "new_dlls"));
    entry.newMasterVersion = readBooleanText(requiredText(update, "new_master_version"));
    entry.noStartupArgs = readBooleanText(requiredText(update, "no_startup_args"));
    entry.checksums = readChecksums(update);
    entry.signature = update.firstElementText(QStringLiteral("signature"));
    entry.xml = update.xml();
    return entry;
}

const FileChecksum* checksumOf(const UpdateEntry& entry, const QString& file) {
    for (const FileChecksum& checksum : entry.checksums) {
        if (checksum.file == file)
            return &checksum;
    }
    return nullptr;
}

ProgramUpdateAnswer readProgramUpdateAnswer(const XmlNode& root) {
    ProgramUpdateAnswer answer;
    for (const XmlNode& child : root.childNodes()) {
        if (!child.isElement())
            throw RuntimeError(errnum::TypeMismatch);
        if (isUpdate(child))
            answer.updates.push_back(readUpdateEntry(child));
        else if (child.localName() == QLatin1String("hardware"))
            answer.hardwareXml.append(child.xml());
    }
    return answer;
}

std::vector<UpdateEntry> readManifestEntries(const XmlNode& root) {
    std::vector<UpdateEntry> entries;
    for (const XmlNode& child : root.childNodes()) {
        if (child.isElement() && isUpdate(child))
            entries.push_back(readUpdateEntry(child));
    }
    return entries;
}

bool versionFits(const QString& version, const QString& min, const QString& max) {
    // QString compares UTF-16 code units: the ordinal order the server's versions are written for.
    return min <= version && version <= max;
}

} // namespace upd
