#pragma once

#include <QProcess>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace upd::server::test {

struct RawAnswer {
    int status = 0;
    std::string body;
};

// One TCP connection to 127.0.0.1 that sends exactly the bytes it is given: for clients that
// are slow, idle or malformed on purpose, which ordinary HTTP clients cannot be.
class RawConnection {
public:
    explicit RawConnection(int port, int receiveBuffer = 0);
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool connected() const { return socket_ >= 0; }
    // False once the server has closed the connection (or the bytes did not go out in 5 s).
    bool send(std::string_view bytes);
    // One answer with a Content-Length, or nothing when none arrives whole within `timeout`.
    std::optional<RawAnswer> readAnswer(std::chrono::milliseconds timeout);
    // True when the server closes the connection within `timeout`; whatever arrives is dropped.
    bool closedWithin(std::chrono::milliseconds timeout);

private:
    // Appends what arrives by `deadline`: 1 when bytes came, 0 at the end of the stream (or on an
    // error), -1 on time-out.
    int receive(std::chrono::steady_clock::time_point deadline);

    int socket_ = -1;
    std::string pending_;
};

// The server program with the sample catalog on a free port of 127.0.0.1, killed at the end.
struct ServerProgram {
    explicit ServerProgram(const QStringList& extraArguments = {});
    ~ServerProgram();

    QProcess process;
    int port = 0; // as its first line names it; 0 when it did not start
};

} // namespace upd::server::test
