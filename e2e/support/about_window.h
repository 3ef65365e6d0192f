#pragma once
// The About window of a running korvena.exe, driven from outside: found among the program's
// windows, its controls found by their ids, clicked as a user would.

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "about/about_layout.h"

namespace korvena::e2e {

class AboutWindow {
public:
    // Waits for the About window of the process; throws std::runtime_error on time-out.
    AboutWindow(DWORD processId, std::chrono::milliseconds timeout);
    // Whether the process shows its About window now.
    static bool Shown(DWORD processId);

    HWND Handle() const noexcept { return window_; }
    bool Open() const { return IsWindow(window_) && IsWindowVisible(window_); }
    HWND Control(about::ControlId id) const;
    std::wstring Text(about::ControlId id) const;
    // The control's rectangle on the screen.
    RECT ScreenRect(about::ControlId id) const;
    // A click: BM_CLICK on the button; a mouse press and release on anything else.
    void Click(about::ControlId id) const;

private:
    HWND window_ = nullptr;
};

}  // namespace korvena::e2e
