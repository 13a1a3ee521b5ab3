#include "app/background_check.h"

#include "protocol/products.h"
#include "transfer/quiet_search.h"
#include "transfer/transfer_control.h"

namespace upd {
namespace {

// Nobody watches the background check: its answers are small and its requests may not hang.
constexpr std::int64_t AnswerLimit = std::int64_t{4} * 1024 * 1024;
constexpr int RequestDeadlineSeconds = 120;

} // namespace

std::int16_t RunBackgroundCheck(Session& session, EventLoop& loop) {
    session.RunMode = runmode::Online;
    // What the main window's initialisation settles before its search: the long name the notice
    // shows, and the product's base version when the host passed none.
    HostParameters& host = session.host;
    if (host.ExtAppName.isEmpty())
        host.ExtAppName = host.AppName;
    if (host.ExeVers.isEmpty() && !GetProductBaseVersion(host.ProgID, host.ExeVers))
        return 0;

    TransferControl Inet1(loop);
    Inet1.setTextLimit(AnswerLimit);
    Inet1.setTotalTimeout(RequestDeadlineSeconds);
    return static_cast<std::int16_t>(findUpdatesQuietly(session, Inet1, host.ExeVers));
}

} // namespace upd
