#include "ui/win/screen.h"

#include <windows.h>

namespace korvena::ui {

ScreenResolution ReadScreenResolution() noexcept {
    const HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return ScreenResolution{.dpiX = dpiX, .dpiY = dpiY};
}

}  // namespace korvena::ui
