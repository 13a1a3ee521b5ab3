#include "ui/progress_texts.h"
#include "ui/window_fixture.h"

#include <QLabel>
#include <QTimer>

namespace upd::test {
namespace {

TEST(ProgressTexts, RemainingTimeAndGermanNumbers) {
    EXPECT_EQ(ConvSeconds(3700), QStringLiteral("geschätzte Restzeit: 61 Minuten 40 Sekunden"));
    EXPECT_EQ(ConvSeconds(-90), QStringLiteral("geschätzte Restzeit: -2 Minuten 30 Sekunden"));
    EXPECT_EQ(formatOneDecimal(0.04), QStringLiteral("0,0"));
    EXPECT_EQ(formatOneDecimal(12345.67), QStringLiteral("12345,7"));
}

class ProgressTest : public WindowTest {
protected:
    frmStart& openQuiet() {
        frmStart& w = open(0);
        // The test drives the speed timer by hand.
        named<QTimer>(w, "tmrSpeedTest")->stop();
        return w;
    }
};

// The display takes the newest values when the event loop next runs (settle()). A file whose
// server announces no size shows its amount on an empty bar, not the last file's full one.
TEST_F(ProgressTest, BarPercentageAndAmount) {
    frmStart& w = openQuiet();
    const auto shown = [&] {
        settle();
        QStringList texts;
        for (const char* label : {"lblData(0)", "Percent", "txtPercent"})
            texts << named<QLabel>(w, label)->text();
        return texts.join(u'|') + u'|' + QString::number(w.percentWidthTwips());
    };
    TransferObserver& display = w.transferDisplay();
    display.transferStarted();
    const QString before = named<QLabel>(w, "lblData(0)")->text();
    w.ProgressBar(1000, 0);
    EXPECT_EQ(shown(), before + "|||0");
    w.ProgressBar(567800, 123400);
    EXPECT_EQ(shown(), QStringLiteral("123,4 Kb / 567,8 Kb|22 %|22 %|1207.8"));
    w.ProgressBar(4096, 4096);
    EXPECT_EQ(shown(), QStringLiteral("4,1 Kb / 4,1 Kb|100 %|100 %|5490"));

    std::int64_t now = 0; // a fake clock: one tick a second
    display.transferEnded();
    w.speedTick(now += 1000);
    display.transferStarted();
    display.sizeAnnounced(0);
    w.ProgressBar(0, 1536);
    EXPECT_EQ(shown(), QStringLiteral("1,5 Kb|||0"));
    w.speedTick(now += 1000);
    w.ProgressBar(0, 1536 + 2048);
    settle();
    w.speedTick(now += 1000);
    EXPECT_EQ(named<QLabel>(w, "lblData(1)")->text(),
              QStringLiteral("Geschwindigkeit: 2,0 / Kbps"));
    EXPECT_EQ(named<QLabel>(w, "lblData(2)")->text(),
              QStringLiteral("geschätzte Restzeit: unbekannt"));
}

// One tick a second on a fake clock. Without new data the texts stay; a new transfer that starts
// lower only takes the count over at its first tick. Half seconds go to the even neighbour.
TEST_F(ProgressTest, SpeedTickShowsSpeedAndRemainingTime) {
    frmStart& w = openQuiet();
    const struct {
        std::int32_t announced, expected, received;
        QString shown; // speed | remaining time
    } ticks[] = {
        {126 * 1536, 126 * 1536, 1536, "1,5 / Kbps | 2 Minuten 5 Sekunden"},
        {0, 0, 0, "1,5 / Kbps | 2 Minuten 5 Sekunden"},
        {0, 10240, 512, "1,5 / Kbps | 2 Minuten 5 Sekunden"},
        {10240, 10240, 512 + 1024, "1,0 / Kbps | 0 Minuten 8 Sekunden"},
    };
    std::int64_t now = 0;
    for (const auto& t : ticks) {
        if (t.announced != 0)
            w.transferDisplay().sizeAnnounced(t.announced);
        w.ProgressBar(t.expected, t.received);
        w.speedTick(now += 1000);
        EXPECT_EQ(named<QLabel>(w, "lblData(1)")->text().mid(17) + " | " +
                      named<QLabel>(w, "lblData(2)")->text().mid(21),
                  t.shown)
            << now;
    }
    EXPECT_EQ(w.speedTimerTag(), QStringLiteral("10240"));
}

TEST_F(ProgressTest, SpeedTimerStaysOnWhileTheWindowClosesDuringATransfer) {
    frmStart& w = open(0);
    w.show();
    TransferObserver& display = w.transferDisplay();
    display.transferStarted();
    w.close(); // the window's close box
    EXPECT_TRUE(display.cancelRequested()) << "the transfer stops at its next piece";
    display.sizeAnnounced(100);
    EXPECT_TRUE(named<QTimer>(w, "tmrSpeedTest")->isActive());
    EXPECT_EQ(w.speedTimerTag(), QStringLiteral("CLOSEAPP"));
    w.tmrSpeedTest_Timer();
    EXPECT_FALSE(window.isNull());
    display.transferEnded(); // the transfer's end must not stop the delayed close
    EXPECT_TRUE(named<QTimer>(w, "tmrSpeedTest")->isActive());
    w.tmrSpeedTest_Timer();
    settle();
    EXPECT_TRUE(window.isNull());
}

} // namespace
} // namespace upd::test
