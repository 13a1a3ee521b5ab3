#include "protocol/versions.h"

#include "core/file_version_resource.h"
#include "core/numeric.h"

#include <QStringList>

namespace upd {
namespace {

QString padded(qint64 number, int digits) {
    // A negative number keeps its sign in front of the zeros, as the program's Format does.
    const QString text =
        QString::number(number < 0 ? -number : number).rightJustified(digits, u'0');
    return number < 0 ? QStringLiteral("-") + text : text;
}

} // namespace

QString DisplayVersion(const ProgramVersion& v) {
    return QStringLiteral("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.revision);
}

QString QueryVersion(const ProgramVersion& v) {
    return QStringLiteral("%1v%2v%3").arg(v.major).arg(v.minor).arg(v.revision);
}

QString FixedWidthVersion(const ProgramVersion& v) {
    return QString::number(v.major) + u'.' + padded(v.minor, 2) + u'.' + padded(v.revision, 4);
}

bool isVersionGreater(const QString& left, const QString& right) {
    return QString::compare(left, right, Qt::CaseSensitive) > 0;
}

std::uint16_t HiWord(std::uint32_t word) {
    return static_cast<std::uint16_t>(word >> 16);
}

std::int16_t LoWord(std::uint32_t word) {
    return static_cast<std::int16_t>(word & 0xFFFF);
}

QString GetFileVersionString(const QString& path) {
    const auto info = readFixedFileInfo(path);
    if (!info)
        return {};
    QString text = QString::number(HiWord(info->fileVersionMS)) + u'.' +
                   padded(LoWord(info->fileVersionMS), 2) + u'.';
    const auto leastSignificant = static_cast<std::int32_t>(info->fileVersionLS);
    if (leastSignificant < 1)
        text += padded(leastSignificant, 4);
    else
        text +=
            padded(HiWord(info->fileVersionLS), 2) + u'.' + padded(LoWord(info->fileVersionLS), 2);
    return text;
}

QString GetFileVersionDotted(const QString& path) {
    const QString version = GetFileVersionString(path);
    if (version.isEmpty())
        return {};
    QStringList parts;
    for (const QString& part : version.split(u'.'))
        parts << QString::number(numeric::toInt16(part));
    return parts.join(u'.');
}

} // namespace upd
