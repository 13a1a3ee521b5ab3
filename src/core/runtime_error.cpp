#include "core/runtime_error.h"

namespace upd {

QString runtimeErrorDescription(int number) {
    switch (number) {
    case errnum::InvalidProcedureCall:
        return QStringLiteral("Ungültiger Prozeduraufruf oder ungültiges Argument");
    case errnum::Overflow:
        return QStringLiteral("Überlauf");
    case errnum::SubscriptOutOfRange:
        return QStringLiteral("Index außerhalb des gültigen Bereichs");
    case errnum::TypeMismatch:
        return QStringLiteral("Typen unverträglich");
    case errnum::FileNotFound:
        return QStringLiteral("Datei nicht gefunden");
    case errnum::PermissionDenied:
        return QStringLiteral("Zugriff verweigert");
    case errnum::PathFileAccessError:
        return QStringLiteral("Fehler beim Zugriff auf Pfad/Datei");
    case errnum::PathNotFound:
        return QStringLiteral("Pfad nicht gefunden");
    case errnum::ObjectNotSet:
        return QStringLiteral("Objektvariable oder With-Blockvariable nicht festgelegt");
    case errnum::ResponseTooLarge:
        return QStringLiteral("Die Antwort des Servers ist größer als 256 MB");
    case errnum::BadUrl:
        return QStringLiteral("Die Adresse ist ungültig oder ihr Protokoll wird nicht unterstützt");
    case errnum::ConnectFailed:
        return QStringLiteral("Die Verbindung mit dem Server ist fehlgeschlagen");
    case errnum::HostNotFound:
        return QStringLiteral("Der Servername konnte nicht aufgelöst werden");
    case errnum::RequestFailed:
        return QStringLiteral("Die Anforderung ist fehlgeschlagen");
    case errnum::TimedOut:
        return QStringLiteral("Zeitüberschreitung bei der Anforderung");
    case errnum::StillExecuting:
        return QStringLiteral("Die vorherige Anforderung wird noch ausgeführt");
    default:
        return QStringLiteral("Anwendungs- oder objektdefinierter Fehler");
    }
}

QString cancelledRequestDescription() {
    return QStringLiteral("Die Anforderung wurde abgebrochen");
}

RuntimeError::RuntimeError(int number) : RuntimeError(number, runtimeErrorDescription(number)) {}

RuntimeError::RuntimeError(int number, QString description)
    : std::runtime_error(description.toStdString()), number_(number),
      description_(std::move(description)) {}

QString RuntimeError::trapText() const {
    return description_ + QStringLiteral(" (") + QString::number(number_) + QStringLiteral(")");
}

} // namespace upd
