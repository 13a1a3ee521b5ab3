#include "platform/host_window.h"

#include <windows.h>

namespace upd {

void requestHostClose(std::int32_t hwnd) {
    PostMessageA(reinterpret_cast<HWND>(static_cast<INT_PTR>(hwnd)), WM_CLOSE, 1, 1);
}

bool hostWindowExists(std::int32_t hwnd) {
    return IsWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(hwnd))) == 1;
}

} // namespace upd
