#include "transfer/transfer_control.h"

#include "core/runtime_error.h"
#include "core/windows1252.h"
#include "protocol/wire_address.h"
#include "transfer/curl_handles.h"

#include <QRegularExpression>

namespace upd {

struct TransferControl::Request {
    CurlEasy easy;
    QByteArray address;
    QByteArray body;
    QByteArray headers;
    std::int64_t bodyLimit = 0;
    bool headOnly = false;
    bool tooLarge = false;
    int lastState = 0;
    char errorText[CURL_ERROR_SIZE] = {};
    std::unique_ptr<CurlTransfer> transfer; // only for a started operation
};

namespace {

size_t collectBody(char* data, size_t size, size_t count, void* user) {
    auto& request = *static_cast<TransferControl::Request*>(user);
    const size_t bytes = size * count;
    if (request.headOnly)
        return 0; // the head has arrived, which is all a "GET" of the control asks for
    if (request.body.size() + static_cast<std::int64_t>(bytes) > request.bodyLimit) {
        request.tooLarge = true;
        return 0;
    }
    request.body.append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

// Keeps the header lines of the last response only (a redirect starts a new one).
size_t collectHeader(char* data, size_t size, size_t count, void* user) {
    auto& request = *static_cast<TransferControl::Request*>(user);
    const size_t bytes = size * count;
    const QByteArray line(data, static_cast<qsizetype>(bytes));
    if (line.startsWith("HTTP/"))
        request.headers.clear();
    request.headers += line;
    return bytes;
}

bool isFtp(const QByteArray& address) {
    return address.left(6).toLower() == "ftp://";
}

int statusOf(const TransferControl::Request& request) {
    long status = 0;
    curl_easy_getinfo(request.easy.get(), CURLINFO_RESPONSE_CODE, &status);
    return static_cast<int>(status);
}

bool headArrived(const TransferControl::Request& request) {
    return statusOf(request) > 0;
}

RuntimeError failure(const TransferControl::Request& request, CURLcode code) {
    if (request.tooLarge)
        return RuntimeError(errnum::ResponseTooLarge);
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
        return RuntimeError(errnum::TimedOut);
    case CURLE_COULDNT_CONNECT:
        return RuntimeError(errnum::ConnectFailed);
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return RuntimeError(errnum::HostNotFound);
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
        return RuntimeError(errnum::BadUrl);
    default: {
        QString description = runtimeErrorDescription(errnum::RequestFailed);
        const QString detail = QString::fromUtf8(request.errorText).trimmed();
        if (!detail.isEmpty())
            description += QStringLiteral(": ") + detail;
        return RuntimeError(errnum::RequestFailed, description);
    }
    }
}

} // namespace

TransferControl::TransferControl(EventLoop& loop) : loop_(loop) {}

TransferControl::~TransferControl() = default;

std::unique_ptr<TransferControl::Request> TransferControl::newRequest(const QString& url) {
    auto request = std::make_unique<Request>();
    request->easy = newWebRequest(url);
    if (!request->easy)
        throw RuntimeError(errnum::RequestFailed);
    request->address = wire_address::encode(url);
    request->bodyLimit = textLimit_;
    CURL* easy = request->easy.get();
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, long{timeoutSeconds()});
    // The background check bounds whole requests besides the time-outs.
    if (totalTimeout_ > 0)
        curl_easy_setopt(easy, CURLOPT_TIMEOUT, long{totalTimeout_});
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, collectBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, request.get());
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, collectHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, request.get());
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, request->errorText);
    return request;
}

void TransferControl::reportState(Request& request, int state) {
    request.lastState = state;
    if (stateHandler_)
        stateHandler_(state);
}

void TransferControl::reportConnectionStates(Request& request) {
    if (request.lastState == 0)
        reportState(request, inet_state::ResolvingHost);
    curl_off_t lookup = 0;
    curl_off_t connect = 0;
    curl_easy_getinfo(request.easy.get(), CURLINFO_NAMELOOKUP_TIME_T, &lookup);
    curl_easy_getinfo(request.easy.get(), CURLINFO_CONNECT_TIME_T, &connect);
    if (request.lastState < inet_state::HostResolved && (lookup > 0 || connect > 0)) {
        reportState(request, inet_state::HostResolved);
        reportState(request, inet_state::Connecting);
    }
    if (request.lastState < inet_state::Connected && connect > 0)
        reportState(request, inet_state::Connected);
}

QString TransferControl::openUrl(const QString& url) {
    const Answer answer = fetch(url);
    return decodeAnswerText(answer.body, answer.contentType);
}

QByteArray TransferControl::openUrlBytes(const QString& url) {
    return fetch(url).body;
}

TransferControl::Answer TransferControl::fetch(const QString& url) {
    if (active_)
        throw RuntimeError(errnum::StillExecuting);
    std::shared_ptr<Request> request = newRequest(url);
    active_ = request;
    cancelRequested_ = false;
    reportState(*request, inet_state::ResolvingHost);
    // A request that moves too little within the time-out has timed out.
    const CURLcode code = performYielding(
        request->easy.get(), loop_,
        [this] {
            cancelRequested_ = cancelNow();
            return cancelRequested_;
        },
        [&] { reportConnectionStates(*request); }, timeoutSeconds());
    active_.reset();
    lastHeaders_ = request->headers;
    responseCode_ = 0;
    if (code != CURLE_OK) {
        reportState(*request, inet_state::Error);
        if (code == CURLE_ABORTED_BY_CALLBACK && cancelRequested_)
            throw RuntimeError(errnum::RequestFailed, cancelledRequestDescription());
        throw failure(*request, code);
    }
    responseCode_ = statusOf(*request);
    reportState(*request, inet_state::ResponseCompleted);
    return {std::move(request->body), getHeader(QStringLiteral("Content-Type")).toLatin1()};
}

void TransferControl::execute(const QString& url, const QString& operation) {
    if (active_)
        throw RuntimeError(errnum::StillExecuting);
    if (operation.compare(QStringLiteral("GET"), Qt::CaseInsensitive) != 0)
        throw RuntimeError(errnum::InvalidProcedureCall);
    std::shared_ptr<Request> request = newRequest(url);
    if (isFtp(request->address)) {
        // An FTP server tells the size without a data connection; libcurl passes it on as a
        // "Content-Length" line to the header and the body alike.
        curl_easy_setopt(request->easy.get(), CURLOPT_NOBODY, 1L);
    } else {
        request->headOnly = true;
    }
    cancelRequested_ = false;
    request->transfer = std::make_unique<CurlTransfer>(request->easy.get(), timeoutSeconds());
    lastHeaders_.clear();
    responseCode_ = 0;
    active_ = request;
    reportState(*request, inet_state::ResolvingHost);
}

bool TransferControl::stillExecuting() {
    // Kept alive here even when a state handler cancels the request meanwhile.
    const std::shared_ptr<Request> request = active_;
    if (!request)
        return false;
    if (!request->transfer)
        return true; // a text fetch is running further up the stack
    if (cancelNow()) {
        cancel();
        return false;
    }
    if (!request->transfer->finished()) {
        // Callers ask again and again: each question waits a moment for the network.
        constexpr int WaitMilliseconds = 10;
        loop_.waitForEvents(WaitMilliseconds);
    }
    reportConnectionStates(*request);
    if (!request->transfer->finished() || active_ != request)
        return active_ != nullptr;
    active_.reset();
    lastHeaders_ = request->headers;
    const CURLcode code = request->transfer->result();
    const bool stoppedAtBody = code == CURLE_WRITE_ERROR && headArrived(*request);
    const bool completed = code == CURLE_OK || stoppedAtBody;
    responseCode_ = completed ? statusOf(*request) : 0;
    reportState(*request, completed ? inet_state::ResponseCompleted : inet_state::Error);
    return false;
}

QString TransferControl::getHeader(const QString& name) const {
    const QByteArray wanted = name.toLatin1().toLower() + ':';
    for (const QByteArray& line : lastHeaders_.split('\n')) {
        if (line.toLower().startsWith(wanted))
            return QString::fromLatin1(line.mid(wanted.size()).trimmed());
    }
    return {};
}

void TransferControl::cancel() {
    cancelRequested_ = true;
    if (active_ && active_->transfer)
        active_.reset();
}

bool TransferControl::cancelNow() const {
    return cancelRequested_ || (cancelCheck_ && cancelCheck_());
}

int TransferControl::timeoutSeconds() const {
    return requestTimeout_ > 0 ? requestTimeout_ : 1;
}

namespace {

const QByteArray ByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

bool isUtf8Answer(const QByteArray& body, const QByteArray& contentType) {
    static const QRegularExpression charsetUtf8(QStringLiteral(R"(charset\s*=\s*"?utf-?8)"),
                                                QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression declarationUtf8(
        QStringLiteral(R"(^\s*<\?xml[^>]*encoding\s*=\s*["']utf-?8["'])"),
        QRegularExpression::CaseInsensitiveOption);
    const QString head = QString::fromLatin1(body.left(200));
    return body.startsWith(ByteOrderMark) ||
           charsetUtf8.match(QString::fromLatin1(contentType)).hasMatch() ||
           declarationUtf8.match(head).hasMatch();
}

} // namespace

QString decodeAnswerText(const QByteArray& body, const QByteArray& contentType) {
    if (!isUtf8Answer(body, contentType))
        return windows1252::decode(body);
    return QString::fromUtf8(body.startsWith(ByteOrderMark) ? body.mid(3) : body);
}

QByteArray answerTextAsUtf8(QByteArray body, const QByteArray& contentType) {
    if (!isUtf8Answer(body, contentType))
        return windows1252::toUtf8(body);
    if (body.startsWith(ByteOrderMark))
        body.remove(0, ByteOrderMark.size());
    // Malformed sequences become U+FFFD, as in the text openUrl gives.
    if (!body.isValidUtf8())
        return QString::fromUtf8(body).toUtf8();
    return body;
}

} // namespace upd
