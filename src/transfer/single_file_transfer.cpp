#include "transfer/single_file_transfer.h"

#include "core/numeric.h"
#include "core/runtime_error.h"
#include "platform/file_helpers.h"
#include "transfer/curl_handles.h"
#include "transfer/piece_stream.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <exception>
#include <limits>

namespace upd {
namespace {

// libcurl hands the data on in blocks of up to this size.
constexpr long ReceiveBufferSize = 256 * 1024;

// One running download: the local file, the counts and the first error raised on the way.
class Download {
public:
    Download(const QString& localFile, std::int32_t announced, bool showProgress,
             TransferObserver& observer)
        : file_(localFile), expected_(announced), showProgress_(showProgress), observer_(observer),
          pieces_(
              [this](QByteArrayView held, QByteArrayView fresh) { return takeRun(held, fresh); }) {}

    // libcurl's write callback: one block, handed on as a run of whole pieces. Nothing may be
    // thrown through C.
    static size_t receive(char* data, size_t size, size_t count, void* user) {
        auto& download = *static_cast<Download*>(user);
        const size_t bytes = size * count;
        return download.guarded([&] {
            download.observer_.dataArriving();
            return download.pieces_.push(data, static_cast<qsizetype>(bytes));
        })
                   ? bytes
                   : 0;
    }

    // The end of the data: the short rest and the empty last read.
    void finish() {
        observer_.dataArriving();
        guarded([this] { return pieces_.finish(); });
    }

    bool fileCreated() const { return file_.isOpen(); }
    // False when the last buffered bytes could not be written.
    bool closeFile() {
        const bool flushed = !file_.isOpen() || file_.flush();
        file_.close();
        return flushed;
    }
    bool cancelled() const { return cancelled_; }
    std::int32_t received() const { return received_; }
    void rethrowError() const {
        if (error_)
            std::rethrow_exception(error_);
    }

private:
    bool guarded(const std::function<bool()>& work) {
        if (error_ || cancelled_)
            return false;
        try {
            return work();
        } catch (...) {
            error_ = std::current_exception();
            return false;
        }
    }

    // A run of pieces is reported with one progress call, then written. The window draws only
    // at its next yield, which never comes within a block, so it shows what it showed when every
    // piece had a call of its own.
    bool takeRun(QByteArrayView held, QByteArrayView fresh) {
        const qsizetype size = held.size() + fresh.size();
        // The file is created right after the first piece, so a missing directory still fails
        // with that piece's progress shown.
        const qsizetype first = file_.isOpen() ? size : std::min(size, ChunkSize);
        if (!handOn(first))
            return false;
        if (!file_.isOpen())
            createFile();
        if (first < size && !handOn(size - first))
            return false;
        write(held);
        write(fresh);
        return true;
    }

    // Counts and reports `size` bytes: whole pieces, the short rest or nothing. False when the
    // close request came first.
    bool handOn(qsizetype size) {
        if (observer_.cancelRequested()) {
            cancelled_ = true;
            return false;
        }
        const qsizetype room = std::numeric_limits<std::int32_t>::max() - received_;
        if (size > room) {
            // The pieces that can still be counted are, as they would be one by one.
            if (const qsizetype fitting = room / ChunkSize * ChunkSize; fitting > 0)
                count(fitting);
            throw RuntimeError(errnum::Overflow);
        }
        count(size);
        return true;
    }

    void count(qsizetype size) {
        received_ += static_cast<std::int32_t>(size);
        if (size < ChunkSize)
            expected_ = received_;
        if (showProgress_)
            observer_.progress(expected_, received_);
    }

    void write(QByteArrayView bytes) {
        if (!bytes.isEmpty() && file_.write(bytes.data(), bytes.size()) != bytes.size())
            throw RuntimeError(errnum::PathFileAccessError);
    }

    void createFile() {
        if (!QFileInfo(file_.fileName()).dir().exists())
            throw RuntimeError(errnum::PathNotFound);
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw RuntimeError(errnum::PathFileAccessError);
    }

    QFile file_;
    std::int32_t expected_;
    std::int32_t received_ = 0;
    bool showProgress_;
    bool cancelled_ = false;
    std::exception_ptr error_;
    TransferObserver& observer_;
    PieceStream pieces_;
};

} // namespace

bool isTransferScheme(const QString& url) {
    return url.startsWith(QStringLiteral("ftp://"), Qt::CaseInsensitive) ||
           url.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive) ||
           url.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive);
}

DownloadOutcome SingleFileTransfer::failureEnd() {
    observer_.transferEnded();
    loop_.yield();
    return DownloadOutcome::Failed;
}

DownloadOutcome SingleFileTransfer::cancelEnd(const QString& LocalFile) {
    observer_.transferEnded();
    removeFile(LocalFile);
    return DownloadOutcome::Cancelled;
}

DownloadOutcome SingleFileTransfer::DownloadAFile(const QString& LocalFile, const QString& URL,
                                                  bool ShowProgress) {
    observer_.transferStarted();
    if (LocalFile.isEmpty() && URL.isEmpty())
        return failureEnd();
    // Every other scheme is refused before anything is touched.
    if (!isTransferScheme(URL))
        return failureEnd();

    CurlEasy easy = newWebRequest(URL);
    if (observer_.cancelRequested())
        return cancelEnd(LocalFile);
    if (!easy)
        return failureEnd();
    // Exactly the target goes, never what its name might match as a pattern.
    if (!removeFile(LocalFile)) {
        failureEnd();
        return DownloadOutcome::TargetNotRemovable;
    }

    const RemoteSize size = queryRemoteSize(URL);
    const std::int32_t announced = size.bytes;
    observer_.sizeAnnounced(announced);
    if (observer_.cancelRequested())
        return cancelEnd(LocalFile);
    // A size this program cannot count to can never be checked: the file is not fetched.
    if (size.kind == RemoteSize::Kind::Unrepresentable)
        return failureEnd();

    Download download(LocalFile, announced, ShowProgress, observer_);
    CURL* handle = easy.get();
    curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, ReceiveBufferSize);
    const int timeout = readTimeout_ > 0 ? readTimeout_ : 1;
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, long{timeout});
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &Download::receive);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &download);

    // A download that moves too little within the read time-out fails.
    const CURLcode code = performYielding(
        handle, loop_, [this] { return observer_.cancelRequested(); }, {}, timeout);
    const bool endedNormally = code == CURLE_OK;
    if (endedNormally || download.fileCreated())
        download.finish();

    if (download.cancelled() ||
        (code == CURLE_ABORTED_BY_CALLBACK && observer_.cancelRequested())) {
        download.closeFile();
        easy.reset();
        return cancelEnd(LocalFile);
    }
    try {
        download.rethrowError();
    } catch (...) {
        download.closeFile();
        easy.reset();
        observer_.transferEnded();
        throw;
    }
    if (!download.fileCreated()) {
        // The address could not be opened: nothing was created.
        easy.reset();
        loop_.yield();
        return failureEnd();
    }

    if (!download.closeFile()) {
        easy.reset();
        observer_.transferEnded();
        throw RuntimeError(errnum::PathFileAccessError);
    }
    loop_.yield();
    // Complete only when it ended normally and, where a size was announced, nothing is missing
    // and nothing is extra.
    const bool complete = endedNormally && (announced < 1 || download.received() == announced);
    easy.reset();
    loop_.yield();
    observer_.transferEnded();
    loop_.yield();
    return complete ? DownloadOutcome::Complete : DownloadOutcome::Failed;
}

std::int32_t SingleFileTransfer::GetRemoteFileSize(const QString& URL) {
    return queryRemoteSize(URL).bytes;
}

RemoteSize SingleFileTransfer::queryRemoteSize(const QString& URL) {
    try {
        Inet1_.execute(URL, QStringLiteral("GET"));
    } catch (const RuntimeError&) {
        return {}; // another request is running: its headers are not this file's
    }
    loop_.yield();
    while (Inet1_.stillExecuting())
        loop_.yield();
    // Only a successful answer speaks of the file; an error page's size is its own.
    const int status = Inet1_.responseCode();
    const bool ftp = URL.startsWith(QStringLiteral("ftp://"), Qt::CaseInsensitive);
    if (status == 0 || (!ftp && (status < 200 || status > 299)))
        return {};
    try {
        return {RemoteSize::Kind::Announced,
                numeric::toInt32(Inet1_.getHeader(QStringLiteral("Content-Length")))};
    } catch (const RuntimeError& error) {
        if (error.number() == errnum::Overflow)
            return {RemoteSize::Kind::Unrepresentable, 0};
        return {}; // missing or not a number
    }
}

} // namespace upd
