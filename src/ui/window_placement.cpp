#include "ui/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace upd {

void placeOver(QWidget& window, const QWidget* over) {
    QScreen* screen = over ? over->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen->availableGeometry();
    const QPoint centre = over ? over->frameGeometry().center() : available.center();
    // A window not yet shown takes its size when it is shown; take it now, as show() would.
    if (!window.testAttribute(Qt::WA_Resized))
        window.adjustSize();
    // Before the window is first shown its frame is not known yet; the title bar is small.
    const QSize size = window.frameGeometry().size();
    const int x = std::clamp(centre.x() - size.width() / 2, available.left(),
                             std::max(available.left(), available.right() + 1 - size.width()));
    const int y = std::clamp(centre.y() - size.height() / 2, available.top(),
                             std::max(available.top(), available.bottom() + 1 - size.height()));
    window.move(x, y);
}

} // namespace upd
