#include "ui/win/screen.h"

#include <windows.h>

#include "ui/twips.h"

namespace korvena::ui {

ScreenResolution ReadScreenResolution() noexcept {
    const HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return ScreenResolution{.dpiX = dpiX,
                            .dpiY = dpiY,
                            .twipsPerPixelX = twips::TwipsPerPixel(dpiX),
                            .twipsPerPixelY = twips::TwipsPerPixel(dpiY)};
}

}  // namespace korvena::ui
