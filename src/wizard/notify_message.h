#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <variant>

namespace upd {

// A picture on the pop-up: a bitmap, drawn without the pixels of the transparent colour, or an
// icon, drawn as it is.
using NotifyPicture = std::variant<std::monostate, QImage, QIcon>;

// Where the pop-up rolls out.
namespace notify_position {
inline constexpr std::int16_t TopLeft = -1;
inline constexpr std::int16_t BottomRight = 0;
// Any other value leaves the window where it was created.
} // namespace notify_position

// The sixteen values of the pop-up's ShowMessage, in their order.
struct NotifyMessage {
    QString Message; // lines separated by CR LF
    QString Title;   // the window caption and the tray icon's tip
    bool HasAction = false;
    QString ActionCaption;
    std::function<void()> TargetForm; // shows the form the action opens; empty for none
    NotifyPicture Picture;
    std::int32_t PosLeft = 0; // twips: the message's left, or the picture's
    std::int32_t PosTop = 0;  // twips
    QColor ColorTop;
    QColor ColorBottom;
    QColor TransparentColor;
    std::int32_t StepInterval = 0; // ms per roll-out step
    std::int32_t DisplayTime = 0;  // ms fully shown
    std::int32_t CloseDelay = 0;   // ms from the end of the display time to the final step
    std::int16_t Position = notify_position::BottomRight;
    QString SoundFile; // empty for none
};

// The notification pop-up, as the procedures that open it see it.
class NotificationPopup {
public:
    virtual ~NotificationPopup() = default;
    // Returns at once; the pop-up lives on by itself. A pop-up already shown takes only the action
    // and the target form.
    virtual void ShowMessage(const NotifyMessage& message) = 0;
};

} // namespace upd
