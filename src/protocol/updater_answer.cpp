#include "protocol/updater_answer.h"

#include "core/numeric.h"

namespace upd {
namespace {

bool readFirst(const XmlDocument& answer, const QString& name, QString& value) {
    const auto elements = answer.getElementsByTagName(name);
    if (elements.empty())
        return false;
    value = elements.front().text();
    return true;
}

} // namespace

bool readUpdaterAnswer(const XmlDocument& answer, QString& path, QString& version, QString& file) {
    if (!readFirst(answer, QStringLiteral("version"), version) ||
        !readFirst(answer, QStringLiteral("path"), path) ||
        !readFirst(answer, QStringLiteral("file"), file))
        return false;
    QString size;
    if (!readFirst(answer, QStringLiteral("size"), size))
        return false;
    numeric::toInt32(size);
    return true;
}

UpdaterSeal readUpdaterSeal(const XmlDocument& answer) {
    const XmlNode root = answer.root();
    return {root.firstElementText(QStringLiteral("size")),
            root.firstElementText(QStringLiteral("sha256")),
            root.firstElementText(QStringLiteral("signature"))};
}

} // namespace upd
