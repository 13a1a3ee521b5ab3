#include "ui/header_art.h"

#include "ui/twips.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace upd {
namespace {

// The arcs' circle, in heights of the band, and how much of it lies inside the band.
constexpr qreal ArcSize = 1.6;
constexpr qreal ArcInset = 0.9;

} // namespace

HeaderArt::HeaderArt(QWidget* parent) : QWidget(parent) {
    setFixedHeight(twips(900));
}

int HeaderArt::artworkWidth() const {
    return qCeil(height() * ArcSize * ArcInset);
}

void HeaderArt::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(rect().topLeft(), rect().topRight());
    band.setColorAt(0, QColor(20, 55, 120));
    band.setColorAt(1, QColor(80, 130, 200));
    painter.fillRect(rect(), band);

    // Two arcs on the right, as a quiet emblem.
    painter.setPen(QPen(QColor(255, 255, 255, 90), height() / 10.0));
    const qreal size = height() * ArcSize;
    const QRectF circle(width() - size * ArcInset, -size * 0.3, size, size);
    painter.drawArc(circle, 200 * 16, 120 * 16);
    painter.drawArc(circle.adjusted(size / 5, size / 5, -size / 5, -size / 5), 200 * 16, 120 * 16);

    // A thin light line under the band.
    painter.setPen(QPen(QColor(255, 255, 255, 140), 1));
    painter.drawLine(0, height() - 1, width(), height() - 1);
}

} // namespace upd
