#pragma once

class QWidget;

namespace upd {

// Moves a top-level window so that it stands centred over another window (the main window),
// or over the screen without one, and wholly on that screen.
void placeOver(QWidget& window, const QWidget* over);

} // namespace upd
