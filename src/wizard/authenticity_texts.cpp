#include "wizard/authenticity_texts.h"

#include "wizard/wizard_texts.h"

namespace upd {
namespace {

QString reason(NotGenuine why) {
    switch (why) {
    case NotGenuine::SignatureMissing:
        return QStringLiteral("Die Signatur des Herstellers fehlt.");
    case NotGenuine::SignatureWrong:
        return QStringLiteral("Die Signatur des Herstellers ist ungültig.");
    case NotGenuine::FileMissing:
        return QStringLiteral("Die Datei fehlt oder kann nicht gelesen werden.");
    case NotGenuine::FileChanged:
        return QStringLiteral("Der Inhalt wurde nach der Signatur verändert.");
    case NotGenuine::Unsigned:
        return QStringLiteral("Die Datei gehört nicht zu den signierten Dateien des Updates.");
    }
    return {};
}

} // namespace

QString notGenuineFileText(const QString& file, NotGenuine why) {
    return QStringLiteral("Die Datei ") + file +
           QStringLiteral(" ist kein echtes Update des Herstellers.") + CrLf + reason(why);
}

QString notGenuineDataText(NotGenuine why) {
    return QStringLiteral("Die heruntergeladenen Daten sind kein echtes Update des Herstellers.") +
           CrLf + reason(why);
}

} // namespace upd
