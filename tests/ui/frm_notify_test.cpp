// The notification pop-up offscreen, with short intervals or driven tick by tick.

#include "ui/frm_notify.h"
#include "ui/window_fixture.h"

#include <QAction>
#include <QEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <algorithm>

namespace upd::test {
namespace {

TEST(PopupPhases, RollsOutByFourScreenPixelsThenWaitsForDisplayTimeAndCloseDelay) {
    const double twipsPerPixel = 7.5; // 200 % scaling: four pixels are 30 twips
    PopupPhases phases(twipsPerPixel);
    phases.start(10, 15000, 20);
    // Each tick adds four pixels until the last step stops at 1600 twips.
    for (double height = 0; height < 1600; height = std::min(height + 4 * twipsPerPixel, 1600.0)) {
        ASSERT_EQ(phases.phase(), PopupPhases::RollingOut) << height;
        EXPECT_EQ(phases.heightTwips(), height);
        EXPECT_EQ(phases.interval(), 10);
        EXPECT_FALSE(phases.tick());
    }
    EXPECT_EQ(phases.phase(), PopupPhases::FullyShown);
    EXPECT_EQ(phases.interval(), 15000);
    EXPECT_FALSE(phases.tick());
    EXPECT_EQ(phases.interval(), 20);
    EXPECT_TRUE(phases.tick());
    EXPECT_TRUE(phases.tick()) << "the final step repeats until the pop-up is gone";
    phases.collapse();
    EXPECT_EQ(phases.heightTwips(), 0);
}

class NotifyTest : public ::testing::Test {
protected:
    void TearDown() override {
        delete popup.data();
        settle();
        EXPECT_EQ(topLevelWindows(), QStringList()) << "a window was left open";
    }

    // A message whose pop-up runs through its phases in a few milliseconds.
    NotifyMessage message(bool hasAction) {
        NotifyMessage m;
        m.Message = QStringLiteral("Es sind Daten-Updates verfügbar!\r\n\r\nKlicken Sie hier");
        m.Title = QStringLiteral("QuorMed Update Hinweis");
        m.HasAction = hasAction;
        m.ActionCaption = QStringLiteral("Updates-Installation starten ...");
        m.TargetForm = [this] {
            ++targetShown;
        };
        m.StepInterval = m.CloseDelay = 1;
        m.DisplayTime = 20;
        return m;
    }

    frmNotify& open(const NotifyMessage& m, bool trayAvailable = true) {
        popup = new frmNotify(trayAvailable);
        popup->ShowMessage(m);
        return *popup;
    }

    QSystemTrayIcon& tray() { return *named<QSystemTrayIcon>(*popup, "trayIcon"); }
    QAction& action(const char* name) { return *named<QAction>(*popup, name); }
    QLabel& label() { return *named<QLabel>(*popup, "lblMsg"); }

    QPointer<frmNotify> popup;
    int targetShown = 0;
};

TEST_F(NotifyTest, RollsOutDownwardsFromACornerOfTheWorkArea) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (std::int16_t position : {0, -1, 5}) {
        NotifyMessage m = message(true);
        m.Position = position;
        m.StepInterval = 100000; // ticks come from the test
        popup = new frmNotify();
        popup->move(123, 45);
        popup->ShowMessage(m);
        const int fullHeight = popup->screenTwips().logicalY(1600);
        const QPoint expected = position == 0    ? QPoint(area.x() + area.width() - popup->width(),
                                                          area.y() + area.height() - fullHeight)
                                : position == -1 ? area.topLeft()
                                                 : QPoint(123, 45);
        EXPECT_EQ(popup->pos(), expected) << position;
        while (popup->PopupPhase() == PopupPhases::RollingOut)
            popup->Timer1_Timer();
        EXPECT_EQ(popup->height(), fullHeight);
        EXPECT_EQ(popup->pos(), expected) << "the top edge stays";
        delete popup.data();
    }
}

TEST_F(NotifyTest, WithoutActionItCollapsesAndUnloadsWithoutATrayIcon) {
    open(message(false));
    EXPECT_FALSE(action("mnuAction").isVisible());
    EXPECT_FALSE(action("mnuClose").isVisible());
    bool trayShown = false;
    EXPECT_TRUE(waitFor([&] {
        if (popup)
            trayShown = trayShown || tray().isVisible();
        return popup.isNull();
    }));
    EXPECT_FALSE(trayShown);
    EXPECT_EQ(targetShown, 0);
}

TEST_F(NotifyTest, WithActionItEndsAsATrayIconWhoseLeftClickShowsTheTarget) {
    open(message(true));
    EXPECT_TRUE(waitFor([&] { return tray().isVisible(); }));
    EXPECT_EQ(tray().toolTip(), QStringLiteral("QuorMed Update Hinweis"));
    ASSERT_NE(tray().contextMenu(), nullptr);
    QStringList items;
    for (QAction* item : tray().contextMenu()->actions())
        if (item->isVisible())
            items << item->text();
    EXPECT_EQ(items, (QStringList{QStringLiteral("Updates-Installation starten ..."),
                                  QStringLiteral("Beenden")}));

    emit tray().activated(QSystemTrayIcon::Context); // the menu opens by itself
    emit tray().activated(QSystemTrayIcon::MiddleClick);
    settle();
    EXPECT_EQ(targetShown, 0);
    QSystemTrayIcon* icon = &tray();
    emit icon->activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(targetShown, 1);
    EXPECT_FALSE(icon->isVisible());
    EXPECT_TRUE(waitFor([&] { return popup.isNull(); }));
}

TEST_F(NotifyTest, WithoutNotificationAreaItStaysUntilClicked) {
    open(message(true), /*trayAvailable=*/false);
    EXPECT_TRUE(waitFor([&] { return popup->PopupPhase() == PopupPhases::Finishing; }));
    QTest::qWait(50);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_FALSE(tray().isVisible());

    QTest::mouseClick(popup, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(targetShown, 1);
    EXPECT_TRUE(waitFor([&] { return popup.isNull(); }));
}

TEST_F(NotifyTest, ASecondMessageWhileShownTakesOnlyTheActionAndTheTarget) {
    NotifyMessage first = message(false);
    first.DisplayTime = 100000;
    open(first);
    NotifyMessage second = message(true);
    second.Title = second.Message = second.ActionCaption = QStringLiteral("Anderes");
    second.TargetForm = [this] {
        targetShown += 10;
    };
    popup->ShowMessage(second);
    EXPECT_EQ(popup->windowTitle(), first.Title);
    EXPECT_EQ(label().text().left(7), QStringLiteral("Es sind"));
    EXPECT_EQ(action("mnuAction").text(), QStringLiteral("Anderes"));
    action("mnuAction").trigger();
    EXPECT_EQ(targetShown, 10);
}

// A bitmap is drawn without its transparent colour, the message beside it; the mouse over the
// pop-up highlights the message.
TEST_F(NotifyTest, ABitmapBesideTheMessageAndTheMouseOverIt) {
    QImage bitmap(20, 20, QImage::Format_RGB32);
    bitmap.fill(Qt::red);
    QPainter(&bitmap).fillRect(5, 5, 10, 10, Qt::green);
    NotifyMessage m = message(true);
    m.Picture = bitmap;
    m.TransparentColor = Qt::red;
    m.PosLeft = m.PosTop = 150;
    m.DisplayTime = 100000;
    open(m);
    EXPECT_TRUE(waitFor([&] { return popup->PopupPhase() == PopupPhases::FullyShown; }));
    const ScreenTwips& twips = popup->screenTwips();
    const QPoint at(twips.logicalX(150), twips.logicalY(150));
    const QImage picture = popup->grab().toImage();
    EXPECT_EQ(picture.pixelColor(at + QPoint(10, 10)), QColor(Qt::green));
    EXPECT_NE(picture.pixelColor(at + QPoint(2, 2)), QColor(Qt::red));

    const QColor normal = popup->palette().color(QPalette::ButtonText);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(popup, &enter);
    EXPECT_EQ(label().palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(label().font().underline());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(popup, &leave);
    EXPECT_EQ(label().palette().color(QPalette::WindowText), normal);
    EXPECT_FALSE(label().font().underline());
}

} // namespace
} // namespace upd::test
