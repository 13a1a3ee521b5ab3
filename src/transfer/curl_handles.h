#pragma once

#include "core/event_loop.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <curl/curl.h>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QSocketNotifier;

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

// Tells a transfer that has stalled: one that moved less than MinimumBytes within a whole period
// (also while it is still connecting). A server that trickles a byte now and then must not hold a
// request for ever, while a slow but real line keeps working. Time is passed in.
class StallGuard {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::int64_t MinimumBytes = 1024;

    StallGuard(std::chrono::milliseconds period, Clock::time_point start)
        : period_(period), periodStart_(start) {}

    // `moved`: the bytes received and sent so far. True from the end of the first period in
    // which less than MinimumBytes moved.
    bool stalled(std::int64_t moved, Clock::time_point now);

private:
    std::chrono::milliseconds period_;
    Clock::time_point periodStart_;
    std::int64_t movedAtStart_ = 0;
    bool stalled_ = false;
};

// One transfer of an easy handle, started at once and advanced by whichever event loop runs on
// the calling (user-interface) thread: libcurl's sockets are watched by socket notifiers and its
// time-outs by a timer. A modal dialog's loop therefore moves the transfer on just as the loop of
// the step that waits for it does. Must not outlive the easy handle.
class CurlTransfer {
public:
    // `stallSeconds` > 0: the transfer ends with CURLE_OPERATION_TIMEDOUT once it stalls
    // (StallGuard) for that period.
    explicit CurlTransfer(CURL* easy, int stallSeconds = 0);
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    bool finished() const { return finished_; }
    // The transfer's result once finished; CURLE_ABORTED_BY_CALLBACK before.
    CURLcode result() const { return result_; }
    // Ends a running transfer now with this result.
    void abort(CURLcode code);

private:
    struct Watch {
        QSocketNotifier* read = nullptr;
        QSocketNotifier* write = nullptr;
    };
    static int onSocket(CURL*, curl_socket_t socket, int what, void* user, void*);
    static int onTimer(CURLM*, long milliseconds, void* user);
    void act(curl_socket_t socket, int events);
    void forget(curl_socket_t socket);
    void checkStall();
    void finish(CURLcode code);

    CURL* easy_;
    CurlMulti multi_;
    // Parent of the notifiers and the context of every connection made here.
    QObject context_;
    QTimer timer_;
    QTimer stallCheck_;
    std::optional<StallGuard> stallGuard_;
    std::map<curl_socket_t, Watch> sockets_;
    bool finished_ = false;
    bool inCurl_ = false;
    bool timeoutDue_ = false;
    std::optional<CURLcode> abortDue_;
    CURLcode result_ = CURLE_ABORTED_BY_CALLBACK;
};

// Runs one transfer to its end on the calling (user-interface) thread and waits for it, letting
// the event loop run meanwhile: the transfer advances in whatever loop runs, also in a modal
// dialog's. `cancelled` is asked after each wait (at least every 10 ms); a true answer aborts the
// transfer with CURLE_ABORTED_BY_CALLBACK. `afterStep`, when given, runs before every wait and at
// the end. `stallSeconds` > 0 ends a stalled transfer with CURLE_OPERATION_TIMEDOUT.
CURLcode performYielding(CURL* easy, EventLoop& loop, const std::function<bool()>& cancelled = {},
                         const std::function<void()>& afterStep = {}, int stallSeconds = 0);

} // namespace upd
