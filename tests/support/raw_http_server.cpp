#include "support/raw_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace upd::test {
namespace {

constexpr std::size_t HeadLimit = 64 * 1024;

// The request's head, or "" when the client sends none within a few seconds.
std::string readHead(int fd) {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < HeadLimit) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, 5000) <= 0)
            return {};
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0)
            return {};
        head.append(buffer, static_cast<std::size_t>(got));
    }
    return head;
}

} // namespace

RawHttpServer::RawHttpServer(Handler handler) : handler_(std::move(handler)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (listener_ < 0 ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot open a raw local HTTP server");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

RawHttpServer::~RawHttpServer() {
    stopping_ = true;
    thread_.join();
    ::close(listener_);
}

std::string RawHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void RawHttpServer::serve() {
    while (!stopping_) {
        pollfd ready{listener_, POLLIN, 0};
        if (::poll(&ready, 1, 20) <= 0)
            continue;
        const int fd = ::accept(listener_, nullptr, nullptr);
        if (fd < 0)
            continue;
        const std::string head = readHead(fd);
        if (!head.empty()) {
            const auto send = [&](const std::string& bytes) {
                return !stopping_ && ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                                         static_cast<ssize_t>(bytes.size());
            };
            handler_(head, requests_++, send);
        }
        ::close(fd);
    }
}

} // namespace upd::test
