#pragma once

#include "core/event_loop.h"

#include <QString>

namespace upd {

// Opening an address the way the platform's internet functions do: the answer counts as soon as
// the server has responded, whatever its status; no cache is written.
class InternetSession {
public:
    explicit InternetSession(EventLoop& loop) : loop_(loop) {}

    // True when the address could be opened; nothing of the body is read.
    bool open(const QString& url);

private:
    EventLoop& loop_;
};

} // namespace upd
