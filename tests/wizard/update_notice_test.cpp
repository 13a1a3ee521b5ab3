// The notices of the background check, as the pop-up receives them.

#include "wizard/update_notice.h"

#include <gtest/gtest.h>
#include <vector>

namespace upd {
namespace {

class RecordingPopup final : public NotificationPopup {
public:
    void ShowMessage(const NotifyMessage& message) override { shown.push_back(message); }
    std::vector<NotifyMessage> shown;
};

TEST(UpdateNotice, EachKindHasItsTitleAndMessage) {
    Session session;
    session.host.ExtAppName = QStringLiteral("quorlan Gesundheitsratgeber");
    const QString click = QStringLiteral("\r\nKlicken Sie hier\r\num diese zu installieren.");
    const struct {
        int kind;
        QString title;
        QString message;
    } rows[] = {
        {0, QStringLiteral("quorlan-Internet-Update Hinweis"),
         QStringLiteral("Eine neue Version des\r\nquorlan-Internet-Update Programms\r\n"
                        "ist verfügbar.") +
             click},
        {1, QStringLiteral("quorlan Gesundheitsratgeber Update Hinweis"),
         QStringLiteral("Es sind Programm-Updates verfügbar!\r\n") + click},
        {2, QStringLiteral("quorlan Gesundheitsratgeber Update Hinweis"),
         QStringLiteral("Es sind Daten-Updates verfügbar!\r\n") + click},
    };
    for (const auto& row : rows) {
        RecordingPopup popup;
        ShowUpdateNotice(popup, session, row.kind, [] {});
        ASSERT_EQ(popup.shown.size(), 1u) << row.kind;
        EXPECT_EQ(popup.shown[0].Title, row.title);
        EXPECT_EQ(popup.shown[0].Message, row.message);
    }
    for (int kind : {-1, 3, 6}) {
        RecordingPopup popup;
        ShowUpdateNotice(popup, session, kind, [] {});
        EXPECT_TRUE(popup.shown.empty()) << kind;
    }
}

TEST(UpdateNotice, PassesTheBackgroundChecksValuesAndItsActionShowsTheMainWindow) {
    Session session;
    RecordingPopup popup;
    int mainWindowsShown = 0;
    ShowUpdateNotice(popup, session, notice_kind::DataUpdates, [&] { ++mainWindowsShown; });
    ASSERT_EQ(popup.shown.size(), 1u);
    const NotifyMessage& message = popup.shown[0];
    EXPECT_TRUE(message.HasAction);
    EXPECT_EQ(message.ActionCaption, QStringLiteral("Updates-Installation starten ..."));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(message.Picture));
    EXPECT_EQ(message.PosLeft, 550);
    EXPECT_EQ(message.PosTop, 150);
    EXPECT_EQ(message.ColorTop, QColor(100, 100, 143));
    EXPECT_EQ(message.ColorBottom, QColor(255, 255, 255));
    EXPECT_EQ(message.TransparentColor, QColor(255, 0, 0));
    EXPECT_EQ(message.StepInterval, 10);
    EXPECT_EQ(message.DisplayTime, 15000);
    EXPECT_EQ(message.CloseDelay, 10);
    EXPECT_EQ(message.Position, notify_position::BottomRight);
    EXPECT_TRUE(message.SoundFile.isEmpty());
    ASSERT_TRUE(message.TargetForm);
    message.TargetForm();
    EXPECT_EQ(mainWindowsShown, 1);
}

} // namespace
} // namespace upd
