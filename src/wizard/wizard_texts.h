#pragma once

#include <QString>

namespace upd {

// Texts that several of the wizard's procedures and the main window show.
inline const QString CrLf = QStringLiteral("\r\n");

inline const QString DownloadDone = QStringLiteral("Download erfolgreich abgeschlossen!");
inline const QString NextInstallsUpdater =
    QStringLiteral("Klicken Sie bitte auf 'Weiter', um die Installation des Updates zu starten.");
inline const QString NextInstallsUpdates =
    QStringLiteral("Klicken Sie bitte auf 'Weiter', um die Installation der Updates zu starten.");
inline const QString DownloadNotFinished = QStringLiteral(
    "Der Download konnten nicht beendet werden! Versuchen Sie es bitte später nochmal!");
inline const QString NothingDownloaded = QStringLiteral(
    "Es konnten keine neuen Versionen heruntergeladen werden. Bitte versuchen Sie es "
    "zu einem späteren Zeitpunkt nochmal.");

} // namespace upd
