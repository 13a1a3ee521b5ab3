#pragma once

#include "core/event_loop.h"

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

// A new easy handle; libcurl's global state is set up on first use. Proxies come from the
// environment (http_proxy, https_proxy, no_proxy), as libcurl reads them by default.
CurlEasy newCurlEasy();

// Runs one transfer to its end on the calling (user-interface) thread, yielding to the event loop
// at least every 10 ms. `cancelled` is asked after each yield; a true answer aborts the transfer
// with CURLE_ABORTED_BY_CALLBACK.
CURLcode performYielding(CURL* easy, EventLoop& loop, const std::function<bool()>& cancelled = {});

} // namespace upd
