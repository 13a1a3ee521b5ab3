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

// What the action opens is BackgroundMode.ShowsTheNoticeOfWhatTheServerOffers's.
TEST(UpdateNotice, EachKindHasItsTextsAndItsAction) {
    Session session;
    session.host.ExtAppName = QStringLiteral("quorlan Gesundheitsratgeber");
    const QString click = QStringLiteral("\r\nKlicken Sie hier\r\num diese zu installieren.");
    const QString hostTitle = QStringLiteral("quorlan Gesundheitsratgeber Update Hinweis");
    const struct {
        int kind;
        QString title;
        QString message;
    } rows[] = {
        {0, QStringLiteral("quorlan-Internet-Update Hinweis"),
         QStringLiteral("Eine neue Version des\r\nquorlan-Internet-Update Programms\r\n"
                        "ist verfügbar.") +
             click},
        {1, hostTitle, QStringLiteral("Es sind Programm-Updates verfügbar!\r\n") + click},
        {2, hostTitle, QStringLiteral("Es sind Daten-Updates verfügbar!\r\n") + click},
    };
    for (const auto& row : rows) {
        RecordingPopup popup;
        ShowUpdateNotice(popup, session, row.kind, [] {});
        ASSERT_EQ(popup.shown.size(), 1u) << row.kind;
        const NotifyMessage& message = popup.shown[0];
        EXPECT_EQ(message.Title, row.title);
        EXPECT_EQ(message.Message, row.message);
        EXPECT_TRUE(message.HasAction);
        EXPECT_EQ(message.ActionCaption, QStringLiteral("Updates-Installation starten ..."));
        EXPECT_TRUE(message.TargetForm);
    }
    for (int kind : {-1, 3, 6}) {
        RecordingPopup popup;
        ShowUpdateNotice(popup, session, kind, [] {});
        EXPECT_TRUE(popup.shown.empty()) << kind;
    }
}

} // namespace
} // namespace upd
