// The main window's transfer display: the bar, the amount, the speed and the remaining time, and
// the delayed close through the speed timer.

#include "core/numeric.h"
#include "core/runtime_error.h"
#include "ui/frm_start.h"
#include "ui/progress_texts.h"
#include "ui/twips.h"

#include <QLabel>
#include <QTimer>
#include <algorithm>

namespace upd {
namespace {

// Twips of bar per percent: 100 % fill the track of 5490 twips.
constexpr float TwipsPerPercent = 54.9f;

const QString Kb = QStringLiteral(" Kb");

} // namespace

void frmStart::setPercentWidth(float widthTwips) {
    percentWidth_ = widthTwips;
    // More than 100 % (a server that sent more than it announced) stays inside the track.
    const int trackWidth = ImgLine->width() - 2;
    Percent->setFixedWidth(std::clamp(twips(widthTwips), 0, trackWidth));
}

float frmStart::progressTrackTwips() const { return 100 * TwipsPerPercent; }

void frmStart::setProgressBarWidth(float widthTwips) {
    setPercentWidth(widthTwips);
    Percent->repaint();
}

void frmStart::setProgressCaption(const QString& caption) {
    Percent->setText(caption);
    txtPercent->setText(caption);
    Percent->repaint();
    txtPercent->repaint();
}

void frmStart::setLabelIfChanged(QLabel* label, const QString& text) {
    // Texts are written and repainted only when they change: this runs after every chunk.
    if (label->text() == text)
        return;
    label->setText(text);
    label->repaint();
}

void frmStart::ProgressBar(qint32 expected, qint32 received) {
    if (received == 0)
        return;
    if (expected <= 0) {
        // No announced size: the amount is all that is known; bar and percentage stay.
        currentCount_ = received;
        setLabelIfChanged(lblData[0], formatOneDecimal(received / 1000.0) + Kb);
        loop_.yield();
        return;
    }
    const std::int16_t percent =
        numeric::toInt16(static_cast<double>(received) / static_cast<double>(expected) * 100.0);
    setForeground(txtPercent, percent < 50 ? Qt::black : Qt::white);
    currentCount_ = received;

    const float width = static_cast<float>(percent) * TwipsPerPercent;
    if (percentWidth_ != width) {
        setPercentWidth(width);
        Percent->repaint();
    }
    const QString caption = QString::number(percent) + QStringLiteral(" %");
    if (Percent->text() != caption) {
        Percent->setText(caption);
        txtPercent->setText(caption);
        Percent->repaint();
        txtPercent->repaint();
    }
    setLabelIfChanged(lblData[0], formatOneDecimal(received / 1000.0) + QStringLiteral(" Kb / ") +
                                      formatOneDecimal(expected / 1000.0) + Kb);
    loop_.yield();
}

void frmStart::setAnnouncedSize(qint32 bytes) {
    // While the window closes the tag marks the close and stays.
    if (tmrSpeedTestTag_ != QStringLiteral("CLOSEAPP"))
        tmrSpeedTestTag_ = QString::number(bytes);
}

void frmStart::setSpeedTimerEnabled(bool enabled) {
    // A close during a transfer needs the timer until the window is gone.
    if (!enabled && tmrSpeedTestTag_ == QStringLiteral("CLOSEAPP"))
        return;
    if (enabled && !tmrSpeedTest->isActive())
        tmrSpeedTest->start();
    else if (!enabled)
        tmrSpeedTest->stop();
}

void frmStart::tmrSpeedTest_Timer() {
    if (session_.AbortRequested) {
        // The transfer sees the close at its next chunk and stops; the next tick looks again.
        // Waiting here would hold the transfer, which runs further down this same stack.
        if (flags_.TransferRunning)
            return;
        tmrSpeedTest->stop();
        unloadFromCode();
        return;
    }
    const qint64 delta = static_cast<qint64>(currentCount_) - previousCount_;
    if (delta > 0) {
        const double kilobytesPerSecond = static_cast<double>(delta) / 1024.0;
        setLabelIfChanged(lblData[1], QStringLiteral("Geschwindigkeit: ") +
                                          formatOneDecimal(kilobytesPerSecond) +
                                          QStringLiteral(" / Kbps"));
        QString remaining = UnknownRemainingTime;
        try {
            const std::int32_t announced = numeric::toInt32(tmrSpeedTestTag_);
            // Without an announced size (or when more came than announced) the time is unknown.
            if (announced > 0 && announced >= currentCount_)
                remaining =
                    ConvSeconds(numeric::toInt32((static_cast<double>(announced) - currentCount_) /
                                                 kilobytesPerSecond / 1024.0));
        } catch (const RuntimeError&) {
            // Not a size: the time stays unknown.
        }
        setLabelIfChanged(lblData[2], remaining);
    }
    previousCount_ = currentCount_;
}

} // namespace upd
