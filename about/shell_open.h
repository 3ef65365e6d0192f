#pragma once
// Opening an address through the shell, as the web link and the About window's links do.

#include <windows.h>

#include <string_view>

namespace korvena {

// Asks the shell to open `target` (a web address, a mailto: link) with the verb "open", the window
// hidden (SW_HIDE), no parameters and no working folder. The result is not looked at: a target that
// cannot be opened (no browser, no mail program) fails silently. `window` is the parent of any
// message the shell shows.
void ShellOpen(HWND window, std::wstring_view target) noexcept;

}  // namespace korvena
