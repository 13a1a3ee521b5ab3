#include "transfer/curl_handles.h"

#include "protocol/wire_address.h"

#include <QByteArray>
#include <QSocketNotifier>
#include <QtGlobal>
#include <algorithm>

namespace upd {
namespace {

constexpr int YieldIntervalMilliseconds = 10;

// How often a stall is looked for: often enough that a period ends close to its time.
int stallCheckMilliseconds(int stallSeconds) {
    return std::clamp(stallSeconds * 1000 / 8, 50, 1000);
}

int ignoreSocket(CURL*, curl_socket_t, int, void*, void*) {
    return 0;
}

} // namespace

CurlEasy newCurlEasy() {
    static const CURLcode globalInit = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (globalInit != CURLE_OK)
        return nullptr;
    CurlEasy easy(curl_easy_init());
    if (!easy)
        return nullptr;
    curl_easy_setopt(easy.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy.get(), CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy.get(), CURLOPT_SSL_VERIFYHOST, 2L);
    const QByteArray caFile = qgetenv(CaFileVariable);
    if (!caFile.isEmpty())
        curl_easy_setopt(easy.get(), CURLOPT_CAINFO, caFile.constData());
    return easy;
}

void allowWebSchemesOnly(CURL* easy) {
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp");
}

CurlEasy newWebRequest(const QString& url) {
    CurlEasy easy = newCurlEasy();
    if (!easy)
        return nullptr;
    curl_easy_setopt(easy.get(), CURLOPT_URL, wire_address::encode(url).constData());
    curl_easy_setopt(easy.get(), CURLOPT_USERAGENT, UserAgent);
    allowWebSchemesOnly(easy.get());
    return easy;
}

bool StallGuard::stalled(std::int64_t moved, Clock::time_point now) {
    if (stalled_ || now - periodStart_ < period_)
        return stalled_;
    stalled_ = moved - movedAtStart_ < MinimumBytes;
    periodStart_ = now;
    movedAtStart_ = moved;
    return stalled_;
}

CurlTransfer::CurlTransfer(CURL* easy, int stallSeconds) : easy_(easy), multi_(curl_multi_init()) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, &context_, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
    if (!multi_) {
        finish(CURLE_FAILED_INIT);
        return;
    }
    curl_multi_setopt(multi_.get(), CURLMOPT_SOCKETFUNCTION, &CurlTransfer::onSocket);
    curl_multi_setopt(multi_.get(), CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multi_.get(), CURLMOPT_TIMERFUNCTION, &CurlTransfer::onTimer);
    curl_multi_setopt(multi_.get(), CURLMOPT_TIMERDATA, this);
    if (curl_multi_add_handle(multi_.get(), easy_) != CURLM_OK) {
        finish(CURLE_FAILED_INIT);
        return;
    }
    if (stallSeconds > 0) {
        stallGuard_.emplace(std::chrono::seconds(stallSeconds), StallGuard::Clock::now());
        QObject::connect(&stallCheck_, &QTimer::timeout, &context_, [this] { checkStall(); });
        stallCheck_.start(stallCheckMilliseconds(stallSeconds));
    }
    // The request starts now, not at the first event.
    act(CURL_SOCKET_TIMEOUT, 0);
}

CurlTransfer::~CurlTransfer() {
    if (!multi_)
        return;
    if (!finished_)
        curl_multi_remove_handle(multi_.get(), easy_);
    // The connections closed now need no more watching.
    curl_multi_setopt(multi_.get(), CURLMOPT_SOCKETFUNCTION, &ignoreSocket);
    multi_.reset();
}

int CurlTransfer::onSocket(CURL*, curl_socket_t socket, int what, void* user, void*) {
    auto& transfer = *static_cast<CurlTransfer*>(user);
    if (what == CURL_POLL_REMOVE) {
        transfer.forget(socket);
        return 0;
    }
    Watch& watch = transfer.sockets_[socket];
    if (!watch.read) {
        watch.read = new QSocketNotifier(socket, QSocketNotifier::Read, &transfer.context_);
        watch.write = new QSocketNotifier(socket, QSocketNotifier::Write, &transfer.context_);
        QObject::connect(watch.read, &QSocketNotifier::activated, &transfer.context_,
                         [&transfer, socket] { transfer.act(socket, CURL_CSELECT_IN); });
        QObject::connect(watch.write, &QSocketNotifier::activated, &transfer.context_,
                         [&transfer, socket] { transfer.act(socket, CURL_CSELECT_OUT); });
    }
    watch.read->setEnabled(what == CURL_POLL_IN || what == CURL_POLL_INOUT);
    watch.write->setEnabled(what == CURL_POLL_OUT || what == CURL_POLL_INOUT);
    return 0;
}

int CurlTransfer::onTimer(CURLM*, long milliseconds, void* user) {
    auto& transfer = *static_cast<CurlTransfer*>(user);
    if (milliseconds < 0)
        transfer.timer_.stop();
    else
        transfer.timer_.start(static_cast<int>(std::min(milliseconds, 24L * 3600 * 1000)));
    return 0;
}

void CurlTransfer::forget(curl_socket_t socket) {
    const auto found = sockets_.find(socket);
    if (found == sockets_.end())
        return;
    // One of them may be the notifier whose signal is being delivered now.
    for (QSocketNotifier* notifier : {found->second.read, found->second.write}) {
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    sockets_.erase(found);
}

void CurlTransfer::act(curl_socket_t socket, int events) {
    if (finished_)
        return;
    if (inCurl_) {
        // A handler inside libcurl let events run: sockets are level-triggered and are seen
        // again; a time-out is run once libcurl has returned.
        timeoutDue_ = timeoutDue_ || socket == CURL_SOCKET_TIMEOUT;
        return;
    }
    int running = 0;
    inCurl_ = true;
    curl_multi_socket_action(multi_.get(), socket, events, &running);
    while (std::exchange(timeoutDue_, false))
        curl_multi_socket_action(multi_.get(), CURL_SOCKET_TIMEOUT, 0, &running);
    inCurl_ = false;

    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_.get(), &queued)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy_) {
            finish(message->data.result);
            return;
        }
    }
    if (abortDue_)
        finish(*abortDue_);
}

void CurlTransfer::checkStall() {
    curl_off_t received = 0;
    curl_off_t sent = 0;
    curl_easy_getinfo(easy_, CURLINFO_SIZE_DOWNLOAD_T, &received);
    curl_easy_getinfo(easy_, CURLINFO_SIZE_UPLOAD_T, &sent);
    if (stallGuard_->stalled(received + sent, StallGuard::Clock::now()))
        abort(CURLE_OPERATION_TIMEDOUT);
}

void CurlTransfer::abort(CURLcode code) {
    if (finished_)
        return;
    if (inCurl_)
        abortDue_ = code; // libcurl must not be re-entered; act() ends it on return
    else
        finish(code);
}

void CurlTransfer::finish(CURLcode code) {
    finished_ = true;
    result_ = code;
    timer_.stop();
    stallCheck_.stop();
    if (multi_)
        curl_multi_remove_handle(multi_.get(), easy_);
    for (auto& [socket, watch] : sockets_) {
        watch.read->setEnabled(false);
        watch.write->setEnabled(false);
    }
}

CURLcode performYielding(CURL* easy, EventLoop& loop, const std::function<bool()>& cancelled,
                         const std::function<void()>& afterStep, int stallSeconds) {
    CurlTransfer transfer(easy, stallSeconds);
    while (!transfer.finished()) {
        if (afterStep)
            afterStep();
        loop.waitForEvents(YieldIntervalMilliseconds);
        if (cancelled && cancelled()) {
            transfer.abort(CURLE_ABORTED_BY_CALLBACK);
            return CURLE_ABORTED_BY_CALLBACK;
        }
    }
    if (afterStep)
        afterStep();
    return transfer.result();
}

} // namespace upd
