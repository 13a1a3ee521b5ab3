#pragma once

#include "support/raw_http_server.h"

#include <functional>
#include <string>

namespace upd::test {

// An HTTP proxy on 127.0.0.1 between the updater and the update server, as a hostile network
// would stand there: every answer passes through `tamper`, which may change its head and body.
// While it lives, this process's transfers go through it (http_proxy). GET and HEAD only.
class HostileProxy {
public:
    struct Answer {
        std::string path; // the request's path with its query
        std::string head; // status line and header lines, each ending in CR LF
        std::string body; // its Content-Length is set anew after `tamper`
    };
    using Tamper = std::function<void(Answer& answer)>;

    explicit HostileProxy(Tamper tamper = {});
    ~HostileProxy();

private:
    void relay(const std::string& request, const std::function<bool(const std::string&)>& send);

    Tamper tamper_;
    RawHttpServer listener_;
};

// Tampering helpers; each changes the first occurrence only.
void replaceFirst(std::string& text, const std::string& from, const std::string& to);
// Removes the first element of that name with everything in it.
void removeElement(std::string& text, const std::string& name);
// Removes the header line of that name (exact letter case).
void removeHeader(std::string& head, const std::string& name);

} // namespace upd::test
