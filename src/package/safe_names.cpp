#include "package/safe_names.h"

namespace upd::safe_names {
namespace {

bool isForbiddenCharacter(QChar c) {
    switch (c.unicode()) {
    case u'/':
    case u'\\':
    case u':':
    case u'*':
    case u'?':
    case u'"':
    case u'<':
    case u'>':
    case u'|':
        return true;
    default:
        // C0 and C1 controls, NUL and DEL included.
        return c.category() == QChar::Other_Control;
    }
}

} // namespace

bool isSafeName(const QString& name) {
    if (name.trimmed().isEmpty() || name.toUtf8().size() > MaxNameBytes)
        return false;
    if (name == QLatin1String(".") || name.contains(QLatin1String("..")))
        return false;
    for (QChar c : name) {
        if (isForbiddenCharacter(c))
            return false;
    }
    return true;
}

std::optional<EntryPath> entryPath(const QString& entryName) {
    if (entryName.isEmpty() || entryName.toUtf8().size() > MaxEntryPathBytes)
        return std::nullopt;
    QString path = entryName;
    path.replace(u'\\', u'/');
    EntryPath result;
    if (path.endsWith(u'/')) {
        result.isDirectory = true;
        path.chop(1);
    }
    // A leading "/" leaves an empty first part, which isSafeName() refuses like every other.
    result.parts = path.split(u'/');
    for (const QString& part : result.parts) {
        if (!isSafeName(part))
            return std::nullopt;
    }
    return result;
}

} // namespace upd::safe_names
