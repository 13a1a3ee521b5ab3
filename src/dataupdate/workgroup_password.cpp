#include "dataupdate/workgroup_password.h"

#include "core/runtime_error.h"
#include "dataupdate/text_conversions.h"

#include <QStringList>

namespace upd::dataupdate {
namespace {

// The stored letters: each one stands for the code at its position.
const QString StoredLetters = QStringLiteral("Kwdq");

} // namespace

QString workgroupPassword(const QString& characterCodes) {
    const QStringList codes = characterCodes.split(u',');
    if (codes.size() != StoredLetters.size())
        throw RuntimeError(errnum::InvalidProcedureCall);
    QString alphabet;
    for (const QString& code : codes) {
        bool ok = false;
        const int value = code.trimmed().toInt(&ok);
        if (!ok || value < 33 || value > 126)
            throw RuntimeError(errnum::InvalidProcedureCall);
        alphabet += QChar(value);
    }
    return ConvChars(StoredLetters, StoredLetters, alphabet);
}

} // namespace upd::dataupdate
