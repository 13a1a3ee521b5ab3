#include "transfer/internet_session.h"

#include "transfer/curl_handles.h"

namespace upd {
namespace {

constexpr long ConnectTimeoutSeconds = 20;
constexpr long OpenTimeoutSeconds = 60;

// Stops at the first byte of the body: the response has arrived, which is all we asked.
size_t stopAtBody(char*, size_t, size_t, void*) {
    return 0;
}

} // namespace

bool InternetSession::open(const QString& url) {
    CurlEasy easy = newWebRequest(url);
    if (!easy)
        return false;
    curl_easy_setopt(easy.get(), CURLOPT_CONNECTTIMEOUT, ConnectTimeoutSeconds);
    curl_easy_setopt(easy.get(), CURLOPT_TIMEOUT, OpenTimeoutSeconds);
    curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, stopAtBody);

    const CURLcode result = performYielding(easy.get(), loop_);
    long status = 0;
    curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &status);
    return result == CURLE_OK || (result == CURLE_WRITE_ERROR && status > 0);
}

} // namespace upd
