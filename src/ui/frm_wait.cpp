#include "ui/frm_wait.h"

#include "ui/twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace upd {
namespace {

// A small hourglass.
QPixmap hourglass(int size, qreal ratio) {
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    painter.setPen(QPen(QColor(30, 70, 140), s / 12));
    painter.drawLine(QPointF(s * 0.2, s * 0.1), QPointF(s * 0.8, s * 0.1));
    painter.drawLine(QPointF(s * 0.2, s * 0.9), QPointF(s * 0.8, s * 0.9));
    // The glass: two crossing sides between the plates.
    painter.setPen(QPen(QColor(30, 70, 140), s / 20));
    painter.drawLine(QPointF(s * 0.27, s * 0.12), QPointF(s * 0.73, s * 0.88));
    painter.drawLine(QPointF(s * 0.73, s * 0.12), QPointF(s * 0.27, s * 0.88));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(220, 170, 60));
    painter.drawPolygon(QPolygonF(
        {QPointF(s * 0.38, s * 0.3), QPointF(s * 0.62, s * 0.3), QPointF(s * 0.5, s * 0.48)}));
    painter.drawPolygon(QPolygonF(
        {QPointF(s * 0.5, s * 0.7), QPointF(s * 0.68, s * 0.86), QPointF(s * 0.32, s * 0.86)}));
    return pixmap;
}

} // namespace

frmWait::frmWait(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Dialog), session_(session) {
    setObjectName(QStringLiteral("frmWait"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Bitte warten ...."));

    Image1 = new QLabel(this);
    Image1->setPixmap(hourglass(twips(600), devicePixelRatioF()));
    auto* lines = new QVBoxLayout;
    for (QLabel*& line : lblMeldung) {
        line = new QLabel(this);
        lines->addWidget(line);
    }
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Image1, 0, Qt::AlignTop);
    layout->addLayout(lines, 1);
    setMinimumSize(twips(5805), twips(1080));
}

void frmWait::closeEvent(QCloseEvent* event) {
    if (session_.DialogArg1.toString() == QStringLiteral("open"))
        session_.DialogArg1 = QStringLiteral("close");
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    event->accept();
}

} // namespace upd
