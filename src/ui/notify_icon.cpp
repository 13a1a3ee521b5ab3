#include "ui/notify_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace upd {
namespace {

// A blue disc with a white arrow pointing down: an update waits.
QPixmap drawnIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 80, 170));
    painter.drawEllipse(QRectF(0.5, 0.5, size - 1.0, size - 1.0));

    const double u = size / 16.0;
    QPainterPath arrow;
    arrow.moveTo(6.5 * u, 3 * u);
    arrow.lineTo(9.5 * u, 3 * u);
    arrow.lineTo(9.5 * u, 8 * u);
    arrow.lineTo(12 * u, 8 * u);
    arrow.lineTo(8 * u, 13 * u);
    arrow.lineTo(4 * u, 8 * u);
    arrow.lineTo(6.5 * u, 8 * u);
    arrow.closeSubpath();
    painter.setBrush(Qt::white);
    painter.drawPath(arrow);
    return pixmap;
}

} // namespace

QIcon notifyIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(drawnIcon(size));
    return icon;
}

} // namespace upd
