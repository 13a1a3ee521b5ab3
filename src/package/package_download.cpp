#include "package/package_download.h"

#include "package/file_authenticity.h"
#include "package/manifest_writer.h"
#include "package/safe_names.h"
#include "package/zip_extraction.h"
#include "platform/file_helpers.h"
#include "protocol/archive_password.h"

#include <QDir>
#include <QFile>

namespace upd {
namespace {

using Kind = PackageDownloadResult::Kind;

PackageDownloadResult failed(Kind kind, const QString& file, const QString& detail = {}) {
    PackageDownloadResult result;
    result.kind = kind;
    result.file = file;
    result.detail = detail;
    return result;
}

PackageDownloadResult notGenuine(const QString& file, NotGenuine why) {
    PackageDownloadResult result = failed(Kind::NotGenuine, file);
    result.notGenuine = why;
    return result;
}

// Every entry is checked before the first file is fetched or the first directory emptied. An
// entry is named by its first file, as the user finds it in the update directory.
std::optional<PackageDownloadResult> unsignedEntry(const PackageDownloadRequest& request,
                                                   const std::vector<UpdateEntry>& entries) {
    for (const UpdateEntry& entry : entries) {
        if (auto problem = checkEntrySignature(request.keys, request.product, entry))
            return notGenuine(entry.files.value(0), *problem);
    }
    return std::nullopt;
}

QString inDirectory(const QString& directory, const QString& name) {
    return directory + QDir::separator() + name;
}

// Nothing when the file arrived complete; otherwise how the download fails.
std::optional<PackageDownloadResult> transferFailure(DownloadOutcome outcome,
                                                     const QString& target) {
    switch (outcome) {
    case DownloadOutcome::Complete:
        return std::nullopt;
    case DownloadOutcome::TargetNotRemovable:
        return failed(Kind::UndeletableFile, target);
    case DownloadOutcome::Failed:
    case DownloadOutcome::Cancelled:
        break;
    }
    return failed(Kind::StepFailed, target, QStringLiteral("transfer"));
}

// Every file of an update stays readable for the setup program, whatever mask created it.
void keepReadable(const QString& path) {
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ReadOwner |
                                    QFileDevice::ReadUser | QFileDevice::ReadGroup |
                                    QFileDevice::ReadOther);
}

class EntryDownload {
public:
    EntryDownload(const PackageDownloadRequest& request, SingleFileTransfer& transfer,
                  EventLoop& loop, PackageDownloadObserver& observer)
        : request_(request), transfer_(transfer), loop_(loop), observer_(observer) {}

    std::optional<PackageDownloadResult> run(const UpdateEntry& entry) {
        if (!safe_names::isSafeName(entry.version))
            return failed(Kind::StepFailed, entry.version, QStringLiteral("version"));
        const QString directory = inDirectory(request_.updateDirectory, entry.version);
        QDir().mkpath(directory);
        if (const Deletion deletion = KillDir(directory); !deletion)
            return failed(
                deletion.undeletableFile.isEmpty() ? Kind::StepFailed : Kind::UndeletableFile,
                deletion.undeletableFile.isEmpty() ? directory : deletion.undeletableFile);
        if (entry.files.join(u';').isEmpty())
            return failed(Kind::StepFailed, entry.version, QStringLiteral("files"));
        if (entry.path.isEmpty())
            return failed(Kind::StepFailed, entry.version, QStringLiteral("path"));
        for (const QString& name : entry.files) {
            if (!safe_names::isSafeName(name))
                return failed(Kind::StepFailed, name, QStringLiteral("file name"));
        }
        for (const QString& name : entry.files) {
            if (auto failure = fetch(entry, directory, name))
                return failure;
        }
        observer_.entryDownloaded(entry);
        return std::nullopt;
    }

private:
    std::optional<PackageDownloadResult> fetch(const UpdateEntry& entry, const QString& directory,
                                               const QString& name) {
        observer_.fileStarting(name);
        loop_.yield();
        const QString target = inDirectory(directory, name);
        const QString address = request_.serverBaseUrl + u'/' + entry.path + u'/' + name;
        if (auto failure = transferFailure(transfer_.DownloadAFile(target, address, true), target))
            return failure;
        keepReadable(target);
        if (auto changed = checkContent(entry, target, name))
            return changed;
        loop_.yield();
        if (name != entry.filesToExtract)
            return std::nullopt;

        QString password;
        if (!entry.pw.isEmpty()) {
            std::int16_t decoded = 0;
            std::int32_t errorNumber = 0;
            if (!DecodeArchivePassword(request_.deployment, entry.pw, decoded, errorNumber)) {
                PackageDownloadResult result;
                result.kind = Kind::PasswordFailed;
                result.passwordError = errorNumber;
                return result;
            }
            password = QString::number(decoded);
        }
        loop_.yield();
        const ExtractionOutcome extraction = extractArchive(target, directory, password);
        if (!extraction.ok())
            return failed(Kind::StepFailed, extraction.entry.isEmpty() ? target : extraction.entry,
                          extraction.detail);
        return std::nullopt;
    }

    // A file that is not the one the maker signed is deleted at once: nothing may use it.
    std::optional<PackageDownloadResult> checkContent(const UpdateEntry& entry,
                                                      const QString& target, const QString& name) {
        if (!request_.keys.enforced())
            return std::nullopt;
        const FileChecksum* checksum = checksumOf(entry, name);
        const std::optional<NotGenuine> problem =
            checksum ? checkFileContent(target, *checksum) : NotGenuine::FileChanged;
        if (!problem)
            return std::nullopt;
        QFile::remove(target);
        return notGenuine(name, *problem);
    }

    const PackageDownloadRequest& request_;
    SingleFileTransfer& transfer_;
    EventLoop& loop_;
    PackageDownloadObserver& observer_;
};

} // namespace

PackageDownloadResult downloadUpdatePackages(const PackageDownloadRequest& request,
                                             const XmlNode& answerRoot,
                                             SingleFileTransfer& transfer, EventLoop& loop,
                                             PackageDownloadObserver& observer) {
    try {
        QDir().mkpath(request.updateDirectory);
        const ProgramUpdateAnswer answer = readProgramUpdateAnswer(answerRoot);
        if (auto refused = unsignedEntry(request, answer.updates))
            return *refused;
        EntryDownload entries(request, transfer, loop, observer);
        for (const UpdateEntry& entry : answer.updates) {
            if (auto failure = entries.run(entry))
                return *failure;
        }
        const QString terms =
            inDirectory(request.updateDirectory, QString::fromLatin1(manifest::TermsOfUseFileName));
        const QString termsAddress =
            request.serverBaseUrl + QStringLiteral("/downloads/lizenz.txt");
        if (auto failure =
                transferFailure(transfer.DownloadAFile(terms, termsAddress, true), terms))
            return *failure;
        manifest::writeManifest(request.updateDirectory, answer.updates);
        manifest::appendHardware(request.updateDirectory, answer.hardwareXml);
        return {};
    } catch (const RuntimeError& error) {
        PackageDownloadResult result;
        result.kind = Kind::RuntimeFailure;
        result.error = error;
        return result;
    }
}

} // namespace upd
