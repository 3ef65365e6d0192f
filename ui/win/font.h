#pragma once
// Making a design's font for the screen.

#include <windows.h>

#include "ui/font.h"
#include "ui/win/gdi_object.h"

namespace korvena::ui {

// `font` at its size in points on a screen of `dpi` dots per inch (the height goes to the nearest
// pixel). Null when the system cannot make it; the control then keeps the system font.
GdiObject<HFONT> MakeFont(const Font& font, int dpi) noexcept;

}  // namespace korvena::ui
