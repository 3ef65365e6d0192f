#pragma once
// The screen our windows measure themselves against: its resolution, read once when a window is made.

namespace korvena::ui {

struct ScreenResolution {
    int dpiX = 96;
    int dpiY = 96;
    double twipsPerPixelX = 15;
    double twipsPerPixelY = 15;
};

// The screen's dots per inch (LOGPIXELSX, LOGPIXELSY) and the twips per pixel they give.
ScreenResolution ReadScreenResolution() noexcept;

}  // namespace korvena::ui
