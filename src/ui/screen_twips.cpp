#include "ui/screen_twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace upd {
namespace {

constexpr double TwipsPerInch = 1440;

} // namespace

ScreenTwips ScreenTwips::of(const QScreen* screen) {
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const double ratio = screen->devicePixelRatio();
    return {TwipsPerInch / (screen->logicalDotsPerInchX() * ratio),
            TwipsPerInch / (screen->logicalDotsPerInchY() * ratio), ratio};
}

int ScreenTwips::logicalX(double twips) const {
    return static_cast<int>(std::lround(twips / (twipsPerPixelX * devicePixelRatio)));
}

int ScreenTwips::logicalY(double twips) const {
    return static_cast<int>(std::lround(twips / (twipsPerPixelY * devicePixelRatio)));
}

} // namespace upd
