#include "ui/label_button.h"

#include "ui/twips.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace upd {

LabelButton::LabelButton(const QString& caption, QWidget* parent) : QAbstractButton(parent) {
    setText(caption);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
}

bool isEnterKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers held = event.modifiers() & ~Qt::KeypadModifier;
    return (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
           held == Qt::NoModifier;
}

void LabelButton::setDefault(bool isDefault) {
    if (default_ == isDefault)
        return;
    default_ = isDefault;
    // Enter that no control of the window took reaches the window; the button listens there.
    if (default_)
        window()->installEventFilter(this);
    else
        window()->removeEventFilter(this);
    update();
}

void LabelButton::keyPressEvent(QKeyEvent* event) {
    if (isEnterKey(*event)) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

bool LabelButton::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window() && event->type() == QEvent::KeyPress &&
        isEnterKey(*static_cast<QKeyEvent*>(event)) && isEnabled() && isVisible()) {
        click();
        return true;
    }
    return QAbstractButton::eventFilter(watched, event);
}

QSize LabelButton::sizeHint() const {
    const int textWidth = fontMetrics().horizontalAdvance(text());
    return {std::max(twips(1500), textWidth + twips(450)), twips(450)};
}

void LabelButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plate = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    const qreal radius = plate.height() / 2.5;

    QColor top(96, 140, 204);
    QColor bottom(30, 70, 140);
    if (!isEnabled()) {
        top = QColor(200, 200, 200);
        bottom = QColor(160, 160, 160);
    } else if (isDown()) {
        std::swap(top, bottom);
    } else if (hovered_) {
        top = top.lighter(115);
        bottom = bottom.lighter(115);
    }
    QLinearGradient gradient(plate.topLeft(), plate.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);

    QPainterPath path;
    path.addRoundedRect(plate, radius, radius);
    painter.fillPath(path, gradient);
    // The default button's rim is twice as strong.
    painter.setPen(QPen(bottom.darker(default_ ? 200 : 130), default_ ? 2 : 1));
    painter.drawPath(path);
    if (hasFocus()) {
        painter.setPen(QPen(QColor(255, 255, 255, 160), 1, Qt::DotLine));
        painter.drawRoundedRect(plate.adjusted(3, 3, -3, -3), radius - 2, radius - 2);
    }

    painter.setPen(isEnabled() ? Qt::white : QColor(235, 235, 235));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

void LabelButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void LabelButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

} // namespace upd
