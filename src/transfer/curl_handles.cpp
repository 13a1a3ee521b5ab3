#include "transfer/curl_handles.h"

#include "protocol/wire_address.h"

#include <QByteArray>
#include <QtGlobal>

namespace upd {
namespace {

constexpr int YieldIntervalMilliseconds = 10;

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

StallGuard::StallGuard(CURL* easy, int seconds)
    : timeout_(std::chrono::seconds(seconds > 0 ? seconds : 1)),
      lastActivity_(std::chrono::steady_clock::now()) {
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &StallGuard::onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
}

int StallGuard::onProgress(void* user, curl_off_t, curl_off_t received, curl_off_t,
                           curl_off_t sent) {
    auto& guard = *static_cast<StallGuard*>(user);
    const auto now = std::chrono::steady_clock::now();
    if (received + sent != guard.lastCount_) {
        guard.lastCount_ = received + sent;
        guard.lastActivity_ = now;
        return 0;
    }
    guard.stalled_ = now - guard.lastActivity_ >= guard.timeout_;
    return guard.stalled_ ? 1 : 0;
}

CurlDriver::CurlDriver(CURL* easy) : easy_(easy), multi_(curl_multi_init()) {
    if (!multi_ || curl_multi_add_handle(multi_.get(), easy_) != CURLM_OK) {
        multi_.reset();
        finished_ = true;
        result_ = CURLE_FAILED_INIT;
    }
}

CurlDriver::~CurlDriver() {
    if (multi_)
        curl_multi_remove_handle(multi_.get(), easy_);
}

bool CurlDriver::step(int waitMilliseconds) {
    if (finished_)
        return false;
    if (waitMilliseconds > 0)
        curl_multi_poll(multi_.get(), nullptr, 0, waitMilliseconds, nullptr);
    int running = 0;
    if (curl_multi_perform(multi_.get(), &running) != CURLM_OK) {
        finished_ = true;
        result_ = CURLE_FAILED_INIT;
        return false;
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_.get(), &queued)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy_) {
            result_ = message->data.result;
            finished_ = true;
        }
    }
    return !finished_;
}

CURLcode performYielding(CURL* easy, EventLoop& loop, const std::function<bool()>& cancelled,
                         const std::function<void()>& afterStep) {
    CurlDriver driver(easy);
    // The first step starts the request at once; later ones wait for the network, but never
    // longer than the yield interval.
    int wait = 0;
    while (driver.step(wait)) {
        if (afterStep)
            afterStep();
        loop.yield();
        if (cancelled && cancelled())
            return CURLE_ABORTED_BY_CALLBACK;
        wait = YieldIntervalMilliseconds;
    }
    if (afterStep)
        afterStep();
    return driver.result();
}

} // namespace upd
