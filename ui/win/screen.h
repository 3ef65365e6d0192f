#pragma once
// The screen our windows measure themselves against: its resolution, read once when a window is made.

#include "ui/twips.h"

namespace korvena::ui {

struct ScreenResolution {
    int dpiX = 96;
    int dpiY = 96;

    double TwipsPerPixelX() const noexcept { return twips::TwipsPerPixel(dpiX); }
    double TwipsPerPixelY() const noexcept { return twips::TwipsPerPixel(dpiY); }
};

// The screen's dots per inch (LOGPIXELSX, LOGPIXELSY).
ScreenResolution ReadScreenResolution() noexcept;

}  // namespace korvena::ui
