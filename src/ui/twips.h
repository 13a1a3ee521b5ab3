#pragma once

namespace upd {

// The window layout is given in twips; 15 twips make one device-independent pixel (96 dpi). Qt
// scales device-independent pixels to the screen, so 200 % displays get twice the pixels.
constexpr int twips(double value) {
    return static_cast<int>(value / 15.0 + 0.5);
}

} // namespace upd
