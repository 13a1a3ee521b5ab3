#include "wizard/package_download_step.h"

#include "core/error_catalogue.h"
#include "install/update_directory.h"
#include "package/package_download.h"
#include "wizard/authenticity_texts.h"
#include "wizard/file_messages.h"
#include "wizard/wizard_texts.h"

namespace upd {
namespace {

// The download's lines: the file being fetched in the message area, each finished update in the
// download log.
class DownloadLines final : public PackageDownloadObserver {
public:
    DownloadLines(TextArea& message, TextArea& log) : message_(message), log_(log) {}

    void fileStarting(const QString& fileName) override {
        message_.setText(QStringLiteral(" Download der Datei: ") + fileName);
        message_.refresh();
    }
    void entryDownloaded(const UpdateEntry& entry) override {
        log_.appendLine(QStringLiteral(" OK       ") + entry.version + u' ' + entry.name);
    }

private:
    TextArea& message_;
    TextArea& log_;
};

} // namespace

bool DownloadUpdateFiles(WizardWindow& window, TransferControl& Inet1, std::int32_t& ErrorNumber,
                         QString& ErrorText) {
    const Session& session = window.session();
    window.controls().tabs().setCurrentTab(tab::Download);
    TextArea& message = window.messages().visibleMessageArea();
    message.setText(QString());

    PackageDownloadRequest request;
    request.serverBaseUrl = session.ServerBaseUrl;
    request.updateDirectory = installation::UpdateDirectory::ofHost(session.host.ExePath).path();
    request.deployment = session.deployment;
    request.product = session.host.ProgID;
    request.keys = TrustedKeys::fromSetting(session.deployment.signingKeys);
    DownloadLines lines(message, window.boxes().downloadList());
    SingleFileTransfer transfer(window.eventLoop(), window.transferDisplay(), Inet1);
    const PackageDownloadResult result = downloadUpdatePackages(
        request, window.ResponseDocument().documentElement(), transfer, window.eventLoop(), lines);

    using Kind = PackageDownloadResult::Kind;
    switch (result.kind) {
    case Kind::Complete:
        return true;
    case Kind::PasswordFailed:
        ErrorNumber = result.passwordError;
        return false;
    case Kind::RuntimeFailure:
        ErrorNumber = errcode::DownloadFailed;
        ErrorText = result.error->trapText();
        return false;
    case Kind::NotGenuine:
        ErrorNumber = errcode::DownloadFailed;
        ErrorText = notGenuineFileText(result.file, result.notGenuine) + CrLf +
                    (result.notGenuine == NotGenuine::FileChanged ||
                             result.notGenuine == NotGenuine::FileMissing
                         ? QStringLiteral("Die Datei wurde gelöscht.")
                         : QStringLiteral("Es wurde nichts heruntergeladen."));
        return false;
    case Kind::UndeletableFile:
        reportUndeletableFile(window.prompts(), result.file);
        break;
    case Kind::StepFailed:
        break;
    }
    ErrorNumber = errcode::DownloadFailed;
    ErrorText = DownloadNotFinished;
    return false;
}

} // namespace upd
