#include "wizard/program_install.h"

#include "core/error_catalogue.h"
#include "core/runtime_error.h"
#include "install/entry_verification.h"
#include "install/manifest_reading.h"
#include "install/setup_program.h"
#include "install/update_files_removal.h"
#include "install/update_walk.h"
#include "platform/file_helpers.h"
#include "protocol/versions.h"
#include "wizard/authenticity_texts.h"
#include "wizard/host_closing.h"
#include "wizard/wizard_texts.h"

#include <QDir>

namespace upd {
namespace {

using installation::ManifestReading;
using installation::UpdateDirectory;

const QString NotFinished = QStringLiteral(
    "Die Update-Installation konnte nicht beendet werden! Versuchen Sie es bitte später nochmal!");
const QString ManifestUnreadableText =
    QStringLiteral("Die UpdateInfo.xml Datei wurde nicht gefunden oder konnte nicht ausgelesen "
                   "werden!");

// Offline, the user may have named the wrong directory or deleted the files: the texts of a
// missing file say so.
QString directoryHint() {
    return CrLf +
           QStringLiteral(
               "Überprüfen Sie bitte ob Sie das richtige Verzeichnis eingegeben haben!") +
           CrLf +
           QStringLiteral("Sollten Sie die Update-Dateien von Ihrem PC gelöscht haben, versuchen "
                          "Sie bitte ") +
           QStringLiteral(" diese erneut aus dem Internet herunter zu laden. ") + CrLf +
           QStringLiteral("Klicken Sie bitte auf die Registerkarte 'Update-Abfrage' und dann auf "
                          "den Button 'Start'.");
}

QString finalQuestion(bool online, const QString& directory) {
    return QStringLiteral("Die Update-Installation wurde erfolgreich beendet!") + CrLf + CrLf +
           (online ? QStringLiteral("Die Update-Dateien wurden in folgendem Verzeichnis "
                                    "gespeichert:")
                   : QStringLiteral("Die Update-Dateien befinden sich in folgendem Verzeichnis:")) +
           CrLf + directory + CrLf + CrLf +
           QStringLiteral("Möchten Sie die Update-Dateien von Ihrem Rechner jetzt entfernen?") +
           CrLf + CrLf +
           QStringLiteral("Die Update-Dateien sind wichtig, um weitere Rechner updaten zu "
                          "können!") +
           CrLf + CrLf + QStringLiteral("Klicken Sie bitte auf:") + CrLf +
           QStringLiteral("JA:      wenn alle Update-Dateien gelöscht werden können.") + CrLf +
           QStringLiteral("NEIN:   wenn Sie die Update-Dateien weiterhin speichern möchten.");
}

// One run of the installation over the window's roles.
class ProgramInstallation {
public:
    ProgramInstallation(WizardWindow& window, const SettingsStore& store)
        : window_(window), session_(window.session()), store_(store),
          start_(window.controls().startButton()),
          message_(window.messages().messageArea(tab::Installation)),
          online_(session_.RunMode == runmode::Online),
          directory_(online_ ? UpdateDirectory::ofHost(session_.host.ExePath)
                             : UpdateDirectory(window.boxes().offlineDirectory().text())),
          hint_(online_ ? QString() : directoryHint()) {}

    void run() {
        start_.setEnabled(false);
        window_.controls().tabs().setCurrentTab(tab::Installation);
        try {
            if (!termsAccepted())
                return;
            const std::optional<std::vector<UpdateEntry>> entries = manifestEntries();
            if (!entries || !somethingFits(*entries))
                return;
            message_.setText(QString());
            if (!installFitting(*entries))
                return;
            offerRemoval(*entries);
            start_.setEnabled(false);
            window_.controls().clickEndButton();
        } catch (const RuntimeError& error) {
            stopWithRuntimeError(error.trapText());
        }
    }

private:
    enum class Step { Installed, Skipped, Stopped };

    bool termsAccepted() {
        const std::optional<QString> terms = installation::readTermsOfUse(directory_);
        if (!terms) {
            message_.show(QStringLiteral("Fehler ") + QString::number(errcode::TermsOfUseMissing) +
                              CrLf +
                              QStringLiteral("Die Nutzungsbedingungen-Datei konnten nicht "
                                             "gefunden werden!") +
                              hint_,
                          AttentionColor);
            start_.setEnabled(true);
            return false;
        }
        if (window_.dialogs().acceptTermsOfUse(*terms))
            return true;
        message_.show(QStringLiteral("Die Nutzungsbedingungen wurden nicht akzeptiert!") + CrLf +
                          QStringLiteral("Die Installation der Updates kann deshalb nicht "
                                         "durchgeführt werden."),
                      AttentionColor);
        return false;
    }

    std::optional<std::vector<UpdateEntry>> manifestEntries() {
        ManifestReading manifest =
            installation::readManifest(directory_, window_.ResponseDocument());
        switch (manifest.status) {
        case ManifestReading::Status::Missing:
            stopWith(errcode::ManifestUnreadable, ManifestUnreadableText + hint_);
            return std::nullopt;
        case ManifestReading::Status::NotXml:
            stopWith(errcode::ManifestUnreadable, ManifestUnreadableText);
            return std::nullopt;
        case ManifestReading::Status::Read:
            break;
        }
        return std::move(manifest.entries);
    }

    bool somethingFits(const std::vector<UpdateEntry>& entries) {
        HostParameters& host = session_.host;
        if (host.ExeVers.isEmpty())
            host.ExeVers = GetFileVersionDotted(host.ExePath + QDir::separator() + host.ExeName);
        if (installation::anyEntryFits(entries, host.ExeVers))
            return true;
        const QString text =
            (session_.RunMode == runmode::OfflineTypedDirectory
                 ? QStringLiteral("Im angegebenen Verzeichnis wurden keine Updates gefunden, die "
                                  "zu Ihrer Version passen!")
                 : QStringLiteral("Im Update-Verzeichnis wurden keine Updates gefunden, die zu "
                                  "Ihrer Programm-Version (") +
                       host.ExeVers + QStringLiteral(") passen!")) +
            CrLf + QStringLiteral("Die Update-Installation wird jetzt beendet.");
        window_.prompts().messageBox(text, MessageButtons::Ok, MessageIcon::Exclamation,
                                     ProgramTitle);
        message_.show(text, AttentionColor);
        window_.eventLoop().yield();
        start_.setEnabled(true);
        return false;
    }

    // The second pass: false when the run stopped.
    bool installFitting(const std::vector<UpdateEntry>& entries) {
        bool installed = false;
        installation::UpdateWalk walk(entries, session_.host.ExeVers);
        while (const UpdateEntry* entry = walk.next()) {
            switch (install(*entry)) {
            case Step::Installed:
                walk.installed(*entry);
                installed = true;
                break;
            case Step::Skipped:
                break;
            case Step::Stopped:
                return false;
            }
        }
        if (installed) {
            message_.show(
                QStringLiteral("Die Installation der Updates wurde erfolgreich abgeschlossen!"),
                WorkingColor);
            window_.eventLoop().yield();
        } else {
            message_.show(QStringLiteral("Es konnten keine Updates installiert werden ...") + CrLf +
                              QStringLiteral("Vermutliche Ursachen:") + CrLf +
                              QStringLiteral("Es wurden keine passenden Updates gefunden."),
                          AttentionColor);
            window_.eventLoop().yield();
            start_.setEnabled(true);
        }
        return true;
    }

    Step install(const UpdateEntry& entry) {
        // A version that is no plain name would lead the setup out of the update directory.
        if (!installation::hasSafeVersion(entry)) {
            stopWithRuntimeError(NotFinished);
            return Step::Stopped;
        }
        const installation::SetupCommand setup =
            installation::setupCommand(directory_, entry, session_.host.ExePath);
        if (!installation::hasSafeStartFile(entry) || !Fexist(setup.program)) {
            stopWith(errcode::SetupProgramMissing,
                     QStringLiteral("Datei nicht gefunden!") + CrLf + entry.startFile);
            return Step::Stopped;
        }
        if (!installation::runModeInstalls(session_.RunMode, entry))
            return Step::Skipped;
        // Checked before the host is closed: an update that will not run leaves it open.
        if (const auto objection = installation::verifyEntryBeforeSetup(
                directory_, entry, TrustedKeys::fromSetting(session_.deployment.signingKeys),
                session_.host.ProgID, session_.deployment)) {
            stopWith(errcode::SetupProgramMissing,
                     notGenuineFileText(objection->file, objection->why) + CrLf +
                         QStringLiteral("Das Update wird nicht installiert."));
            return Step::Stopped;
        }
        if (!hostClosed())
            return Step::Stopped;

        message_.show(entry.version + u' ' + entry.name +
                          QStringLiteral(" wird installiert . Bitte warten ..."),
                      WorkingColor);
        window_.eventLoop().yield();
        installation::runSetup(setup, window_.eventLoop());
        if (installation::setupLeftWorkingFlag(store_, session_.host.AppName)) {
            stopWith(errcode::SetupNotCompleted,
                     QStringLiteral("Letztes Update-Setup wurde nicht korrekt abgeschlossen!") +
                         CrLf +
                         QStringLiteral("Die Installation kann deshalb nicht fortgesetzt "
                                        "werden!"));
            return Step::Stopped;
        }
        // The user closed the window while the setup ran: the run ends without a word.
        if (session_.AbortRequested)
            return Step::Stopped;
        window_.boxes().installationLog().appendLine(QStringLiteral(" OK       ") + entry.version +
                                                     u' ' + entry.name);
        return Step::Installed;
    }

    // The host is closed once per program run, right before the first setup.
    bool hostClosed() {
        WizardFlags& flags = window_.flags();
        if (flags.HostClosed)
            return true;
        if (!CloseHostApplication(session_, window_.prompts(), window_.eventLoop(),
                                  window_.dialogs())) {
            start_.setEnabled(true);
            return false;
        }
        flags.HostClosed = true;
        return true;
    }

    void offerRemoval(const std::vector<UpdateEntry>& entries) {
        if (window_.prompts().messageBox(finalQuestion(online_, directory_.path()),
                                         MessageButtons::YesNo, MessageIcon::Question,
                                         ProgramTitle) == MessageAnswer::Yes)
            installation::removeUpdateFiles(directory_, entries);
    }

    void showError(std::int32_t number, const QString& text, MessageIcon icon) {
        window_.prompts().messageBox(
            QStringLiteral("Während der Update-Installation ist folgender Fehler aufgetreten: ") +
                CrLf + QString::number(number) + QStringLiteral(". ") + text,
            MessageButtons::Ok, icon, ProgramTitle);
    }

    void stopWith(std::int32_t number, const QString& text) {
        start_.setEnabled(true);
        showError(number, text, MessageIcon::Critical);
        message_.show(QStringLiteral("Fehler : ") + QString::number(number), AttentionColor);
    }

    void stopWithRuntimeError(const QString& text) {
        start_.setEnabled(true);
        showError(errcode::InstallationFailed, text, MessageIcon::Exclamation);
        if (!window_.flags().CloseRequested)
            message_.show(QStringLiteral("Fehler : ") +
                              QString::number(errcode::InstallationFailed),
                          AttentionColor);
    }

    WizardWindow& window_;
    Session& session_;
    const SettingsStore& store_;
    Button& start_;
    TextArea& message_;
    const bool online_;
    const UpdateDirectory directory_;
    const QString hint_;
};

} // namespace

void InstallProgramUpdates(WizardWindow& window, const SettingsStore& store) {
    ProgramInstallation(window, store).run();
}

} // namespace upd
