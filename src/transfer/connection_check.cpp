#include "transfer/connection_check.h"

#include "transfer/internet_session.h"

namespace upd {

bool CheckInternetConnection(const Session& session, EventLoop& loop) {
    InternetSession internet(loop);
    const bool reachable = internet.open(session.deployment.connectionTestUrl);
    loop.yield();
    return reachable;
}

} // namespace upd
