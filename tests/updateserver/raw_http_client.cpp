#include "raw_http_client.h"

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace upd::server::test {

using Clock = std::chrono::steady_clock;

RawConnection::RawConnection(int port, int receiveBuffer) {
    socket_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket_ < 0)
        return;
    if (receiveBuffer > 0)
        ::setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(socket_);
        socket_ = -1;
    }
}

RawConnection::~RawConnection() {
    if (socket_ >= 0)
        ::close(socket_);
}

RawConnection::RawConnection(RawConnection&& other) noexcept
    : socket_(std::exchange(other.socket_, -1)), pending_(std::move(other.pending_)) {}

bool RawConnection::send(std::string_view bytes) {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (!bytes.empty() && socket_ >= 0) {
        pollfd ready{socket_, POLLOUT, 0};
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0)
            return false;
        const ssize_t sent =
            ::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (sent > 0)
            bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return socket_ >= 0;
}

bool RawConnection::receiveMore(Clock::time_point deadline) {
    if (socket_ < 0)
        return false;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd ready{socket_, POLLIN, 0};
    if (left <= 0 || ::poll(&ready, 1, static_cast<int>(left)) <= 0)
        return false;
    char block[65536];
    const ssize_t got = ::recv(socket_, block, sizeof block, MSG_DONTWAIT);
    if (got <= 0)
        return got < 0 && (errno == EAGAIN || errno == EINTR);
    pending_.append(block, static_cast<std::size_t>(got));
    return true;
}

std::optional<RawAnswer> RawConnection::readAnswer(std::chrono::milliseconds timeout,
                                                   bool keepBody) {
    const auto deadline = Clock::now() + timeout;
    std::size_t headEnd;
    while ((headEnd = pending_.find("\r\n\r\n")) == std::string::npos)
        if (!receiveMore(deadline))
            return std::nullopt;
    RawAnswer answer;
    const std::string head = pending_.substr(0, headEnd);
    pending_.erase(0, headEnd + 4);
    if (head.size() < 12 || head.compare(0, 5, "HTTP/") != 0)
        return std::nullopt;
    answer.status = std::stoi(head.substr(9, 3));
    for (std::size_t start = head.find("\r\n"); start != std::string::npos;) {
        start += 2;
        const std::size_t end = std::min(head.find("\r\n", start), head.size());
        const std::string line = head.substr(start, end - start);
        const auto colon = line.find(':');
        if (colon != std::string::npos) {
            std::string name = line.substr(0, colon);
            std::transform(name.begin(), name.end(), name.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            answer.headers[name] = line.substr(line.find_first_not_of(' ', colon + 1));
        }
        start = end == head.size() ? std::string::npos : end;
    }
    const auto length = answer.headers.find("content-length");
    std::uint64_t expected = length == answer.headers.end() ? 0 : std::stoull(length->second);
    while (true) {
        const std::uint64_t take = std::min<std::uint64_t>(expected, pending_.size());
        if (keepBody)
            answer.body.append(pending_, 0, take);
        pending_.erase(0, take);
        answer.bodyBytes += take;
        expected -= take;
        if (expected == 0)
            return answer;
        if (!receiveMore(deadline))
            return std::nullopt;
    }
}

bool RawConnection::closedWithin(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        pollfd ready{socket_, POLLIN, 0};
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (::poll(&ready, 1, static_cast<int>(std::max<long>(left.count(), 0))) <= 0)
            return false;
        char block[65536];
        const ssize_t got = ::recv(socket_, block, sizeof block, MSG_DONTWAIT);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR))
            return true;
    }
    return false;
}

} // namespace upd::server::test
