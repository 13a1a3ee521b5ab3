#include "raw_http_client.h"

#include <QRegularExpression>
#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace upd::server::test {

using Clock = std::chrono::steady_clock;

// Milliseconds left until `deadline`, at least 0.
static int left(Clock::time_point deadline) {
    using std::chrono::milliseconds;
    return static_cast<int>(
        std::max(milliseconds(0), ceil<milliseconds>(deadline - Clock::now())).count());
}

RawConnection::RawConnection(int port, int receiveBuffer) {
    socket_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket_ < 0)
        return;
    if (receiveBuffer > 0)
        ::setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    const sockaddr_in address{
        AF_INET, htons(static_cast<std::uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
    if (::connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(socket_);
        socket_ = -1;
    }
}

RawConnection::~RawConnection() {
    if (socket_ >= 0)
        ::close(socket_);
}

bool RawConnection::send(std::string_view bytes) {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (!bytes.empty() && socket_ >= 0) {
        pollfd ready{socket_, POLLOUT, 0};
        if (::poll(&ready, 1, left(deadline)) <= 0)
            return false;
        const ssize_t sent =
            ::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(std::max<ssize_t>(sent, 0)));
    }
    return socket_ >= 0;
}

int RawConnection::receive(Clock::time_point deadline) {
    pollfd ready{socket_, POLLIN, 0};
    if (socket_ < 0 || ::poll(&ready, 1, left(deadline)) <= 0)
        return -1;
    char block[65536];
    const ssize_t got = ::recv(socket_, block, sizeof block, MSG_DONTWAIT);
    if (got > 0)
        pending_.append(block, static_cast<std::size_t>(got));
    return got > 0 || (got < 0 && (errno == EAGAIN || errno == EINTR)) ? 1 : 0;
}

std::optional<RawAnswer> RawConnection::readAnswer(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    std::size_t headEnd;
    while ((headEnd = pending_.find("\r\n\r\n")) == std::string::npos)
        if (receive(deadline) <= 0)
            return std::nullopt;
    std::string head = pending_.substr(0, headEnd);
    std::transform(head.begin(), head.end(), head.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (head.size() < 12 || !head.starts_with("http/"))
        return std::nullopt;
    const std::size_t field = head.find("\r\ncontent-length:");
    const std::size_t length =
        field == std::string::npos ? 0 : std::stoull(head.substr(field + 17));
    while (pending_.size() < headEnd + 4 + length)
        if (receive(deadline) <= 0)
            return std::nullopt;
    RawAnswer answer{std::stoi(head.substr(9, 3)), pending_.substr(headEnd + 4, length)};
    pending_.erase(0, headEnd + 4 + length);
    return answer;
}

bool RawConnection::closedWithin(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    int outcome;
    while ((outcome = receive(deadline)) > 0)
        pending_.clear();
    return outcome == 0;
}

ServerProgram::ServerProgram(const QStringList& extraArguments) {
    process.start(UPDATE_SERVER_PROGRAM,
                  QStringList{"--catalog", SAMPLE_CATALOG_DIR, "--listen", "127.0.0.1:0"} +
                      extraArguments);
    if (!process.waitForStarted(5000) || !process.waitForReadyRead(10000))
        return;
    const auto match = QRegularExpression(R"(^listening on http://127\.0\.0\.1:(\d+)$)")
                           .match(QString::fromUtf8(process.readLine()).trimmed());
    port = match.hasMatch() ? match.captured(1).toInt() : 0;
}

ServerProgram::~ServerProgram() {
    process.kill();
    process.waitForFinished(5000);
}

} // namespace upd::server::test
