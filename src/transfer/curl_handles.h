#pragma once

#include "core/event_loop.h"

#include <QString>
#include <chrono>
#include <curl/curl.h>
#include <functional>
#include <memory>

namespace upd {

struct CurlEasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct CurlMultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlMulti = std::unique_ptr<CURLM, CurlMultiDeleter>;

// Environment variable naming a file of trusted CA certificates that replaces the system's store
// (test servers and private update servers with their own CA).
inline constexpr char CaFileVariable[] = "QUORLAN_UPDATE_CA_FILE";

// A new easy handle; libcurl's global state is set up on first use. Proxies come from the
// environment (http_proxy, https_proxy, no_proxy), as libcurl reads them by default: nothing here
// sets a proxy or a no-proxy list. Certificates are verified; QUORLAN_UPDATE_CA_FILE, when set,
// names the CA file.
CurlEasy newCurlEasy();

// Restricts a handle to the schemes the program speaks (http, https, ftp), for the first request
// and for every redirect, which is followed.
void allowWebSchemesOnly(CURL* easy);

// The agent name every request of the program sends.
inline constexpr char UserAgent[] = "quorlan-Internet-Update";

// A new handle for one request of the program: the address in its wire form
// (core/wire_address.h), the program's agent name, and only the schemes it speaks. Null when
// libcurl cannot give a handle.
CurlEasy newWebRequest(const QString& url);

// Ends a transfer of the handle that has neither received nor sent a byte for the given time
// (also while it is still connecting): libcurl then reports CURLE_ABORTED_BY_CALLBACK and
// stalled() tells why. Must outlive the transfer.
class StallGuard {
public:
    StallGuard(CURL* easy, int seconds);
    bool stalled() const { return stalled_; }

private:
    static int onProgress(void* user, curl_off_t, curl_off_t received, curl_off_t, curl_off_t sent);

    std::chrono::steady_clock::duration timeout_;
    std::chrono::steady_clock::time_point lastActivity_;
    curl_off_t lastCount_ = 0;
    bool stalled_ = false;
};

// One transfer of an easy handle through a multi handle, driven step by step from the calling
// (user-interface) thread. Every step waits at most the given time for the network and then lets
// libcurl do what is ready, which for a plain connection is at most one block of data.
class CurlDriver {
public:
    explicit CurlDriver(CURL* easy);
    ~CurlDriver();
    CurlDriver(const CurlDriver&) = delete;
    CurlDriver& operator=(const CurlDriver&) = delete;

    // True while the transfer has not ended.
    bool step(int waitMilliseconds);
    bool finished() const { return finished_; }
    // The transfer's result once finished; CURLE_ABORTED_BY_CALLBACK before.
    CURLcode result() const { return result_; }

private:
    CURL* easy_;
    CurlMulti multi_;
    bool finished_ = false;
    CURLcode result_ = CURLE_ABORTED_BY_CALLBACK;
};

// Runs one transfer to its end on the calling (user-interface) thread, yielding to the event loop
// once per step: once per block that libcurl delivers, and at least every 10 ms while the network
// is quiet. `cancelled` is asked after each yield; a true answer aborts the transfer with
// CURLE_ABORTED_BY_CALLBACK. `afterStep`, when given, runs after every step (before the yield).
CURLcode performYielding(CURL* easy, EventLoop& loop, const std::function<bool()>& cancelled = {},
                         const std::function<void()>& afterStep = {});

} // namespace upd
