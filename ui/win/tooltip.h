#pragma once
// The tooltips our windows give their controls.

#include <windows.h>

#include <string_view>

namespace korvena::ui {

// A topmost tooltip window owned by `owner`, shown also while the owner is inactive; null when none
// can be made (a window works without its tooltips).
HWND CreateTooltipWindow(HWND owner, HINSTANCE instance) noexcept;
// Shows `text` (which must end in a null and outlive the tooltip) while the mouse rests on `control`,
// a child of `owner`.
void AddTooltip(HWND tooltip, HWND owner, HWND control, std::wstring_view text) noexcept;

}  // namespace korvena::ui
