#include "support/hostile_proxy.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace upd::test {
namespace {

// The whole answer of the server at 127.0.0.1:port, which closes the connection after it.
std::string fetch(int port, const std::string& request) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(std::uint16_t(port));
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) == ssize_t(request.size())) {
        char buffer[65536];
        for (ssize_t got; (got = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
            answer.append(buffer, std::size_t(got));
    }
    ::close(fd);
    return answer;
}

} // namespace

HostileProxy::HostileProxy(Tamper tamper)
    : tamper_(std::move(tamper)),
      listener_([this](const std::string& head, int, const auto& send) { relay(head, send); }) {
    ::setenv("http_proxy", listener_.url("").c_str(), 1);
    ::unsetenv("no_proxy");
}

HostileProxy::~HostileProxy() {
    ::unsetenv("http_proxy");
}

void HostileProxy::relay(const std::string& request,
                         const std::function<bool(const std::string&)>& send) {
    // "GET http://127.0.0.1:PORT/path HTTP/1.1": the absolute form a proxy receives.
    const std::size_t methodEnd = request.find(' ');
    const std::size_t hostStart = request.find("://", methodEnd) + 3;
    const std::size_t pathStart = request.find('/', hostStart);
    const std::size_t pathEnd = request.find(' ', pathStart);
    const int port = std::atoi(request.c_str() + request.find(':', hostStart) + 1);
    const bool head = request.compare(0, methodEnd, "HEAD") == 0;
    Answer answer;
    answer.path = request.substr(pathStart, pathEnd - pathStart);

    const std::string response =
        fetch(port, request.substr(0, methodEnd + 1) + answer.path +
                        " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    const std::size_t split = response.find("\r\n\r\n");
    if (split == std::string::npos)
        return;
    answer.head = response.substr(0, split + 2);
    answer.body = response.substr(split + 4);
    if (tamper_)
        tamper_(answer);
    if (!head) {
        removeHeader(answer.head, "Content-Length");
        answer.head += "Content-Length: " + std::to_string(answer.body.size()) + "\r\n";
    }
    send(answer.head + "\r\n" + answer.body);
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
