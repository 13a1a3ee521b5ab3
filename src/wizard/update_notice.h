#pragma once

#include "core/session.h"
#include "wizard/notify_message.h"

#include <functional>

namespace upd {

// What the background check has to tell.
namespace notice_kind {
inline constexpr int NewUpdater = 0;
inline constexpr int ProgramUpdates = 1;
inline constexpr int DataUpdates = 2;
} // namespace notice_kind

// Opens the pop-up with the title and message of the notice kind and the background check's
// values; its action runs `showMainWindow`. Any other kind shows nothing.
void ShowUpdateNotice(NotificationPopup& popup, const Session& session, int kind,
                      std::function<void()> showMainWindow);

} // namespace upd
