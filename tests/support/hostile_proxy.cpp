#include "support/hostile_proxy.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace upd::test {
namespace {

constexpr int WaitMs = 10000;

// Reads until `complete` says so or the peer closes; false on a time-out.
bool readUntil(int fd, std::string& data, const std::function<bool()>& complete) {
    char buffer[65536];
    while (!complete()) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, WaitMs) <= 0)
            return false;
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0)
            return true;
        data.append(buffer, std::size_t(got));
    }
    return true;
}

void sendAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += std::size_t(n);
    }
}

int connectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(std::uint16_t(port));
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string headerValue(const std::string& head, const std::string& name) {
    const std::string key = "\r\n" + name + ":";
    const auto at = head.find(key);
    if (at == std::string::npos)
        return {};
    const auto start = head.find_first_not_of(' ', at + key.size());
    return head.substr(start, head.find("\r\n", start) - start);
}

} // namespace

HostileProxy::HostileProxy(Tamper tamper) : tamper_(std::move(tamper)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (listener_ < 0 ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot open the hostile proxy");
    const std::string proxy = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    ::setenv("http_proxy", proxy.c_str(), 1);
    ::unsetenv("no_proxy");
    ::unsetenv("NO_PROXY");
    thread_ = std::thread([this] { serve(); });
}

HostileProxy::~HostileProxy() {
    ::unsetenv("http_proxy");
    stopping_ = true;
    thread_.join();
    ::close(listener_);
}

void HostileProxy::setTamper(Tamper tamper) {
    // Only between transfers: the proxy reads it while it relays one.
    tamper_ = std::move(tamper);
}

void HostileProxy::serve() {
    while (!stopping_) {
        pollfd ready{listener_, POLLIN, 0};
        if (::poll(&ready, 1, 20) <= 0)
            continue;
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0)
            continue;
        relay(client);
        ::close(client);
    }
}

void HostileProxy::relay(int client) {
    std::string request;
    const auto headDone = [&] {
        return request.find("\r\n\r\n") != std::string::npos;
    };
    if (!readUntil(client, request, headDone) || !headDone())
        return;
    const std::size_t headEnd = request.find("\r\n\r\n") + 4;
    const std::size_t bodyLength =
        std::strtoul(headerValue(request, "Content-Length").c_str(), nullptr, 10);
    readUntil(client, request, [&] { return request.size() >= headEnd + bodyLength; });

    // "GET http://127.0.0.1:PORT/path HTTP/1.1": the absolute form a proxy receives.
    const std::size_t methodEnd = request.find(' ');
    const std::size_t targetEnd = request.find(' ', methodEnd + 1);
    const std::string target = request.substr(methodEnd + 1, targetEnd - methodEnd - 1);
    const std::size_t hostStart = target.find("://") + 3;
    const std::size_t pathStart = target.find('/', hostStart);
    const std::string hostPort = target.substr(hostStart, pathStart - hostStart);
    Answer answer;
    answer.method = request.substr(0, methodEnd);
    answer.path = target.substr(pathStart);

    std::string forwarded = answer.method + " " + answer.path +
                            request.substr(targetEnd, request.find("\r\n") - targetEnd) + "\r\n";
    std::size_t line = request.find("\r\n") + 2;
    while (line < headEnd - 2) {
        const std::size_t next = request.find("\r\n", line) + 2;
        const std::string header = request.substr(line, next - line);
        if (header.rfind("Proxy-", 0) != 0 && header.rfind("Connection:", 0) != 0)
            forwarded += header;
        line = next;
    }
    forwarded += "Connection: close\r\n\r\n" + request.substr(headEnd);

    const int upstream = connectTo(std::atoi(hostPort.substr(hostPort.find(':') + 1).c_str()));
    if (upstream < 0)
        return;
    sendAll(upstream, forwarded);
    std::string response;
    readUntil(upstream, response, [] { return false; });
    ::close(upstream);
    const std::size_t split = response.find("\r\n\r\n");
    if (split == std::string::npos)
        return;
    answer.head = response.substr(0, split + 2);
    answer.body = response.substr(split + 4);
    if (tamper_)
        tamper_(answer);
    if (answer.method != "HEAD") {
        removeHeader(answer.head, "Content-Length");
        answer.head += "Content-Length: " + std::to_string(answer.body.size()) + "\r\n";
    }
    sendAll(client, answer.head + "\r\n" + answer.body);
}

void replaceFirst(std::string& text, const std::string& from, const std::string& to) {
    if (const auto at = text.find(from); at != std::string::npos)
        text.replace(at, from.size(), to);
}

void removeElement(std::string& text, const std::string& name) {
    const auto start = text.find("<" + name + ">");
    const auto end = text.find("</" + name + ">", start);
    if (start != std::string::npos && end != std::string::npos)
        text.erase(start, end + name.size() + 3 - start);
}

void removeHeader(std::string& head, const std::string& name) {
    const auto at = head.find("\r\n" + name + ":");
    if (at != std::string::npos)
        head.erase(at + 2, head.find("\r\n", at + 2) + 2 - (at + 2));
}

} // namespace upd::test
