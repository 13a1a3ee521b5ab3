// The main window's transfer display: the bar, the amount, the speed and the remaining time, and
// the delayed close through the speed timer.

#include "core/numeric.h"
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
    placePercentText();
}

void frmStart::placePercentText() {
    // The percentage rides at the bar's end: black just after it on the empty track, white just
    // inside it once the bar fills half the track. Centred it would stand black on the dark bar
    // (or white on the empty track) whenever the bar's end runs through it.
    const bool onBar = Percent->width() * 2 >= ImgLine->width() - 2;
    const int barEnd = Percent->x() + Percent->width();
    const int gap = twips(60);
    const int width = txtPercent->fontMetrics().horizontalAdvance(txtPercent->text());
    txtPercent->setGeometry(onBar ? barEnd - gap - width : barEnd + gap, 0, width,
                            ImgLine->height());
    const QColor textColor = onBar ? Qt::white : Qt::black;
    if (txtPercent->palette().color(QPalette::WindowText) != textColor)
        setForeground(txtPercent, textColor);
}

float frmStart::trackTwips() const {
    return 100 * TwipsPerPercent;
}

void frmStart::setBarWidth(float widthTwips) {
    setPercentWidth(widthTwips);
    Percent->repaint();
}

void frmStart::setTransferFiguresVisible(bool visible) {
    for (QLabel* label : lblData)
        label->setVisible(visible);
}

void frmStart::setCaption(const QString& caption) {
    Percent->setText(caption);
    txtPercent->setText(caption);
    placePercentText();
    Percent->repaint();
    txtPercent->repaint();
}

void frmStart::setLabelIfChanged(QLabel* label, const QString& text) {
    // Texts are written only when they change; the label then repaints with the next events.
    if (label->text() != text)
        label->setText(text);
}

void frmStart::ProgressBar(qint32 expected, qint32 received) {
    if (received == 0)
        return;
    // The percentage is computed here, so that a failure reaches the transfer that caused it.
    if (expected > 0)
        shownPercent_ =
            numeric::toInt16(static_cast<double>(received) / static_cast<double>(expected) * 100.0);
    shownExpected_ = expected;
    currentCount_ = received;
    meter_.setReceived(received);
    if (!progressDisplay_->isActive())
        progressDisplay_->start();
}

void frmStart::showProgressNow() {
    if (shownExpected_ <= 0) {
        // No announced size: the amount is all that is known; bar and percentage stay.
        setLabelIfChanged(lblData[0], formatOneDecimal(currentCount_ / 1000.0) + Kb);
        return;
    }
    const float width = static_cast<float>(shownPercent_) * TwipsPerPercent;
    if (percentWidth_ != width)
        setPercentWidth(width);
    const QString caption = QString::number(shownPercent_) + QStringLiteral(" %");
    if (Percent->text() != caption) {
        Percent->setText(caption);
        txtPercent->setText(caption);
        placePercentText();
    }
    setLabelIfChanged(lblData[0], formatOneDecimal(currentCount_ / 1000.0) +
                                      QStringLiteral(" Kb / ") +
                                      formatOneDecimal(shownExpected_ / 1000.0) + Kb);
}

void frmStart::transferStarted() {
    flags_.TransferRunning = true;
    // Every file starts with an empty bar: one without an announced size never fills it.
    shownExpected_ = 0;
    shownPercent_ = 0;
    setPercentWidth(0);
    Percent->setText(QString());
    txtPercent->setText(QString());
    setForeground(txtPercent, Qt::black);
}

void frmStart::sizeAnnounced(std::int32_t bytes) {
    meter_.setAnnouncedSize(bytes);
    // While the window closes the tag marks the close and stays.
    if (tmrSpeedTestTag_ != QStringLiteral("CLOSEAPP"))
        tmrSpeedTestTag_ = QString::number(bytes);
}

void frmStart::dataArriving() {
    setSpeedTimerEnabled(true);
}

void frmStart::transferEnded() {
    flags_.TransferRunning = false;
    setSpeedTimerEnabled(false);
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
        // The transfer sees the close at its next chunk and stops, a step at its next look at
        // CloseRequested; the next tick looks again. Waiting here would hold them, as they run
        // further down this same stack.
        if (flags_.TransferRunning || runningHandlers_ > 0)
            return;
        tmrSpeedTest->stop();
        unloadFromCode();
        return;
    }
    speedTick(clock_.elapsed());
}

void frmStart::speedTick(std::int64_t nowMs) {
    const std::optional<TransferReading> reading = meter_.tick(nowMs);
    if (!reading)
        return;
    setLabelIfChanged(lblData[1], QStringLiteral("Geschwindigkeit: ") +
                                      formatOneDecimal(reading->kilobytesPerSecond) +
                                      QStringLiteral(" / Kbps"));
    setLabelIfChanged(lblData[2], reading->remainingSeconds
                                      ? ConvSeconds(*reading->remainingSeconds)
                                      : UnknownRemainingTime);
}

} // namespace upd
