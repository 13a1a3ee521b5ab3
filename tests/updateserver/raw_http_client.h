#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace upd::server::test {

struct RawAnswer {
    int status = 0;
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;                           // kept only when asked for
    std::uint64_t bodyBytes = 0;
};

// One TCP connection to 127.0.0.1 that sends exactly the bytes it is given: for clients that
// are slow, idle or malformed on purpose, which ordinary HTTP clients cannot be.
class RawConnection {
public:
    explicit RawConnection(int port, int receiveBuffer = 0);
    ~RawConnection();
    RawConnection(RawConnection&& other) noexcept;
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool connected() const { return socket_ >= 0; }
    // False once the server has closed the connection (or the bytes did not go out in 5 s).
    bool send(std::string_view bytes);
    // One answer with a Content-Length, or nothing when none arrives whole within `timeout`.
    std::optional<RawAnswer> readAnswer(std::chrono::milliseconds timeout, bool keepBody = true);
    // True when the server closes the connection within `timeout`; whatever arrives is dropped.
    bool closedWithin(std::chrono::milliseconds timeout);

private:
    // Appends what arrives until `deadline`; false on end of stream or time-out.
    bool receiveMore(std::chrono::steady_clock::time_point deadline);

    int socket_ = -1;
    std::string pending_;
};

} // namespace upd::server::test
