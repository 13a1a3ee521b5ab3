#pragma once

class QScreen;

namespace upd {

// Twips on a real screen. The pop-up's layout is given in twips and its roll-out in screen
// pixels; both follow the screen's pixel density, so the pop-up keeps its size at 200 % scaling,
// where a pixel is 7.5 twips instead of 15. Qt places windows in logical pixels of
// `devicePixelRatio` screen pixels each.
struct ScreenTwips {
    double twipsPerPixelX = 15; // per screen pixel
    double twipsPerPixelY = 15;
    double devicePixelRatio = 1;

    // The primary screen's when there is none.
    static ScreenTwips of(const QScreen* screen);

    // Twips in Qt's logical pixels, rounded.
    int logicalX(double twips) const;
    int logicalY(double twips) const;
};

} // namespace upd
