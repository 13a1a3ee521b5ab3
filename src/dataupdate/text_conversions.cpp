#include "dataupdate/text_conversions.h"

namespace upd::dataupdate {

QString ConvChars(const QString& sourceAlphabet, const QString& text,
                  const QString& targetAlphabet) {
    QString result;
    result.reserve(text.size());
    for (const QChar ch : text) {
        const qsizetype position = sourceAlphabet.indexOf(ch, 0, Qt::CaseSensitive);
        if (position < 0)
            result += ch;
        else if (position < targetAlphabet.size())
            result += targetAlphabet.at(position);
    }
    return result;
}

QString ConvToHtml(QString text) {
    // The order matters only for readers comparing with the hosts' own import: it is theirs.
    text.replace(QChar(0x2014), QStringLiteral("&ndash;"));
    text.replace(QChar(0x2013), QStringLiteral("&ndash;"));
    text.replace(QChar(0x201E), QStringLiteral("&bdquo;"));
    text.replace(QChar(0x201C), QStringLiteral("&ldquo;"));
    text.replace(QChar(0x201D), QStringLiteral("&ldquo;"));
    text.replace(QChar(0x2026), QStringLiteral("..."));
    text.replace(QStringLiteral("type=disc"), QStringLiteral("type=circle"), Qt::CaseSensitive);
    return text;
}

} // namespace upd::dataupdate
