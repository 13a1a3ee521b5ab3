#include "wizard/updater_install.h"

#include "core/runtime_error.h"
#include "install/new_updater_verification.h"
#include "install/restart_protocol.h"
#include "install/self_replacement.h"
#include "platform/file_helpers.h"
#include "platform/replace_script.h"
#include "wizard/authenticity_texts.h"
#include "wizard/wizard_texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <optional>

namespace upd {
namespace {

constexpr int CountdownSeconds = 5;
// How often the window is served while the countdown waits.
constexpr int CountdownSliceMs = 50;

// One second of the countdown; the window stays responsive. False when the user asked to close.
bool waitOneSecond(WizardWindow& window) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 1000) {
        window.eventLoop().yield();
        if (window.flags().CloseRequested)
            return false;
        window.eventLoop().sleep(CountdownSliceMs);
    }
    return true;
}

void reportMissingFile(WizardWindow& window, const QString& missing) {
    window.controls().startButton().setEnabled(true);
    if (window.flags().CloseRequested)
        return;
    window.messages().visibleMessageArea().show(
        QStringLiteral("quorlan-Internet-Update Aktualisierung: Fehler bei der Installation. ") +
            CrLf + QStringLiteral("Datei ") + missing + QStringLiteral(" nicht gefunden!"),
        AttentionColor);
}

void reportNotGenuine(WizardWindow& window, const QString& file, NotGenuine why) {
    window.controls().startButton().setEnabled(true);
    if (window.flags().CloseRequested)
        return;
    window.messages().visibleMessageArea().show(
        QStringLiteral("quorlan-Internet-Update Aktualisierung: Fehler bei der Installation. ") +
            CrLf + notGenuineFileText(file, why) + CrLf + KeptUpdaterText,
        AttentionColor);
}

// Parks the arguments and writes the script; the script's path, or nullopt with nothing left
// behind.
std::optional<QString> prepareReplacement(const Session& session, SettingsStore& store,
                                          const ReplacementFiles& files) {
    const std::optional<QString> parked = parkedArguments(session.HostArguments);
    if (!parked)
        return std::nullopt;
    store.write(ConfigApplication, ConfigSection, ParkedArgumentsKey, *parked);
    try {
        return WriteReplaceBatch(files.newFile, files.ownFile, RestartArguments,
                                 QCoreApplication::applicationPid());
    } catch (const RuntimeError&) {
        store.remove(ConfigApplication, ConfigSection, ParkedArgumentsKey);
        return std::nullopt;
    }
}

} // namespace

QString ownUpdaterFile(const Session& session) {
    return QDir::toNativeSeparators(
        session.OwnFile.isEmpty() ? QCoreApplication::applicationFilePath() : session.OwnFile);
}

void InstallNewUpdater(WizardWindow& window, SettingsStore& store) {
    const Session& session = window.session();
    Button& start = window.controls().startButton();
    TextArea& log = window.boxes().installationLog();
    window.controls().ShowOfflineControls(false);
    window.controls().tabs().setCurrentTab(tab::Installation);
    window.eventLoop().yield();
    log.setText(QStringLiteral(" Installation gestartet ...."));
    window.eventLoop().yield();

    const ReplacementFiles files =
        replacementFiles(ownUpdaterFile(session), session.UpdaterVersion, session.UpdaterFile);
    if (!Fexist(files.ownFile))
        return reportMissingFile(window, files.ownFile);
    if (!Fexist(files.newFile))
        return reportMissingFile(window, files.newFile);
    // The file may have been changed since its download: checked again before the script exists.
    if (auto why = verifyNewUpdater(TrustedKeys::fromSetting(session.deployment.signingKeys),
                                    session.UpdaterVersion, session.UpdaterFile,
                                    session.updaterSeal, files.newFile)) {
        QFile::remove(files.newFile);
        return reportNotGenuine(window, files.newFile, *why);
    }

    const std::optional<QString> script = prepareReplacement(session, store, files);
    if (!script)
        return;

    log.setText(QStringLiteral(" Die Installation wurde erfolgreich abgeschlossen.") + CrLf +
                QStringLiteral(" Das quorlan-Internet-Update Programm wird jetzt automatisch neu "
                               "gestartet.") +
                CrLf + QStringLiteral(" Starten Sie anschließlich die Suche nach ") +
                session.host.AppName + QStringLiteral(" Updates"));
    start.setEnabled(false);
    window.eventLoop().yield();

    // A close during the countdown only shortens it: everything is in place for the restart.
    window.flags().ReplacementPending = true;
    for (int n = CountdownSeconds; n >= 1; --n) {
        TextArea& area = window.messages().visibleMessageArea();
        area.setText(QStringLiteral("Neustart in %1 Sekunden ...").arg(n));
        area.refresh();
        if (!waitOneSecond(window))
            break;
    }
    window.flags().ReplacementPending = false;

    if (!startScriptDetached(*script)) {
        // Nothing would ever restart the updater: take the handover back.
        QFile::remove(*script);
        store.remove(ConfigApplication, ConfigSection, ParkedArgumentsKey);
        return;
    }
    window.controls().unloadWindow();
}

} // namespace upd
