#include "wizard/update_notice.h"

#include "wizard/wizard_texts.h"

#include <optional>

namespace upd {
namespace {

struct NoticeText {
    QString title;
    QString message;
};

std::optional<NoticeText> noticeText(const Session& session, int kind) {
    const QString hostTitle = session.host.ExtAppName + QStringLiteral(" Update Hinweis");
    const QString ClickToInstall =
        QStringLiteral("Klicken Sie hier") + CrLf + QStringLiteral("um diese zu installieren.");
    switch (kind) {
    case notice_kind::NewUpdater:
        return NoticeText{QStringLiteral("quorlan-Internet-Update Hinweis"),
                          QStringLiteral("Eine neue Version des") + CrLf +
                              QStringLiteral("quorlan-Internet-Update Programms") + CrLf +
                              QStringLiteral("ist verfügbar.") + CrLf + ClickToInstall};
    case notice_kind::ProgramUpdates:
        return NoticeText{hostTitle, QStringLiteral("Es sind Programm-Updates verfügbar!") + CrLf +
                                         CrLf + ClickToInstall};
    case notice_kind::DataUpdates:
        return NoticeText{hostTitle, QStringLiteral("Es sind Daten-Updates verfügbar!") + CrLf +
                                         CrLf + ClickToInstall};
    default:
        return std::nullopt;
    }
}

} // namespace

void ShowUpdateNotice(NotificationPopup& popup, const Session& session, int kind,
                      std::function<void()> showMainWindow) {
    const std::optional<NoticeText> text = noticeText(session, kind);
    if (!text)
        return;
    NotifyMessage message;
    message.Message = text->message;
    message.Title = text->title;
    message.HasAction = true;
    message.ActionCaption = QStringLiteral("Updates-Installation starten ...");
    message.TargetForm = std::move(showMainWindow);
    message.PosLeft = 550;
    message.PosTop = 150;
    message.ColorTop = QColor(100, 100, 143);
    message.ColorBottom = QColor(255, 255, 255);
    message.TransparentColor = QColor(255, 0, 0);
    message.StepInterval = 10;
    message.DisplayTime = 15000;
    message.CloseDelay = 10;
    message.Position = notify_position::BottomRight;
    popup.ShowMessage(message);
}

} // namespace upd
