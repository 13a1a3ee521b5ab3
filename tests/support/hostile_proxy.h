#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace upd::test {

// An HTTP proxy on 127.0.0.1 standing between the updater and the update server, as a hostile
// network would: every answer passes through `tamper`, which may change its head and its body
// before the updater gets it. While the proxy lives, this process's transfers go through it
// (http_proxy). It serves one connection at a time and closes each after its answer.
class HostileProxy {
public:
    struct Answer {
        std::string method;
        std::string path; // the request's path with its query
        std::string head; // status line and header lines, each ending in CR LF
        std::string body; // for GET; its Content-Length is set anew after `tamper`
    };
    using Tamper = std::function<void(Answer& answer)>;

    explicit HostileProxy(Tamper tamper = {});
    ~HostileProxy();
    HostileProxy(const HostileProxy&) = delete;
    HostileProxy& operator=(const HostileProxy&) = delete;

    void setTamper(Tamper tamper);

private:
    void serve();
    void relay(int client);

    Tamper tamper_;
    int listener_ = -1;
    std::atomic<bool> stopping_ = false;
    std::thread thread_;
};

// Tampering helpers. Each changes the first occurrence only and leaves the rest as it was.
void replaceFirst(std::string& text, const std::string& from, const std::string& to);
// Removes the first element of that name with everything in it.
void removeElement(std::string& text, const std::string& name);
// Removes the header line of that name (exact letter case).
void removeHeader(std::string& head, const std::string& name);

} // namespace upd::test
