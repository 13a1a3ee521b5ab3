#pragma once

#include "core/event_loop.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace upd {

// States the control reports while a request runs.
namespace inet_state {
inline constexpr int ResolvingHost = 1;
inline constexpr int HostResolved = 2;
inline constexpr int Connecting = 3;
inline constexpr int Connected = 4;
inline constexpr int Error = 11;
inline constexpr int ResponseCompleted = 12;
} // namespace inet_state

// The data queries let the control wait this long for the server, for the rest of its life.
inline constexpr int DataRequestTimeoutSeconds = 45;

// The main window's transfer control `Inet1`: server queries fetch their answers through it as
// text, and the size query of a single-file transfer asks it for a response header. It runs on the
// user-interface thread and lets the event loop run while it waits.
class TransferControl {
public:
    using StateHandler = std::function<void(int state)>;

    // Server answers beyond this size are refused instead of filling the memory.
    static constexpr std::int64_t DefaultTextLimit = std::int64_t{256} * 1024 * 1024;

    explicit TransferControl(EventLoop& loop);
    ~TransferControl();
    TransferControl(const TransferControl&) = delete;
    TransferControl& operator=(const TransferControl&) = delete;

    // How long a request may wait for the connection, and the period in which it must receive
    // at least a kibibyte, in seconds.
    int requestTimeout() const { return requestTimeout_; }
    void setRequestTimeout(int seconds) { requestTimeout_ = seconds; }

    void setTextLimit(std::int64_t bytes) { textLimit_ = bytes; }

    // The longest a whole request may take, in seconds; 0 (the start value) for no limit.
    void setTotalTimeout(int seconds) { totalTimeout_ = seconds; }

    // Called at every change of state of a request (1 to 4 while connecting, 11 on an error, 12
    // when the response is complete).
    void setStateHandler(StateHandler handler) { stateHandler_ = std::move(handler); }
    // Asked while a request waits: a true answer cancels it as cancel() does (the window the
    // request works for is closing).
    void setCancelCheck(std::function<bool()> check) { cancelCheck_ = std::move(check); }

    // Failures are raised as RuntimeError with the transfer control's numbers (errnum).
    // Fetches the address and returns the whole body as text: UTF-8 when the answer says so in its
    // Content-Type or XML declaration, Windows-1252 otherwise. Whatever the HTTP status, the body
    // is the answer. Raises RuntimeError when the request fails or times out.
    QString openUrl(const QString& url);
    // The same, but the body's exact bytes: for answers whose signature covers them. The
    // Content-Type header is then read with getHeader().
    QByteArray openUrlBytes(const QString& url);

    // Starts an operation ("GET") on the address and returns at once; ask stillExecuting() until
    // it reports false, then read the response headers. Only the response head is fetched.
    void execute(const QString& url, const QString& operation);
    // True while a request runs; drives the started operation a step further.
    bool stillExecuting();
    // The value of a header of the last response, "" when it has none.
    QString getHeader(const QString& name) const;
    // The status of the last response (an HTTP status, or FTP's last reply code); 0 unless that
    // request completed.
    int responseCode() const { return responseCode_; }
    // Stops whatever the control is doing.
    void cancel();

    // One request's handle and what it received (internal to the control).
    struct Request;

private:
    struct Answer {
        QByteArray body;
        QByteArray contentType;
    };
    Answer fetch(const QString& url);
    std::unique_ptr<Request> newRequest(const QString& url);
    void reportConnectionStates(Request& request);
    void reportState(Request& request, int state);
    bool cancelNow() const;
    int timeoutSeconds() const;

    EventLoop& loop_;
    int requestTimeout_ = 30;
    int totalTimeout_ = 0;
    std::int64_t textLimit_ = DefaultTextLimit;
    StateHandler stateHandler_;
    std::function<bool()> cancelCheck_;
    std::shared_ptr<Request> active_;
    bool cancelRequested_ = false;
    QByteArray lastHeaders_;
    int responseCode_ = 0;
};

// Text of a body, by the rule of openUrl.
QString decodeAnswerText(const QByteArray& body, const QByteArray& contentType);
// The same text as UTF-8, made from the body in its place where it already is UTF-8.
QByteArray answerTextAsUtf8(QByteArray body, const QByteArray& contentType);

} // namespace upd
