#pragma once
// Win32Platform: the operating-system services of the link on Windows — COM objects by ProgID, window
// activation by title, message boxes and the performance counter. The objects it hands out wait out a
// busy CAD (win32_busy_wait.h). Use it on the thread of the COM apartment and of the windows.

#include <windows.h>

#include <memory>
#include <string>

#include "cad/platform.h"
#include "cad/win/win32_busy_wait.h"

namespace korvena {

class Win32Platform final : public Platform {
public:
    // applicationTitle titles the message boxes that have no title of their own.
    explicit Win32Platform(std::wstring applicationTitle);

    // The window that owns the message boxes from now on; null for none (the default).
    void SetOwnerWindow(HWND owner) noexcept {
        owner_ = owner;
        busyWait_->SetOwnerWindow(owner);
    }

    // GetActiveObject; a failure carries its HRESULT and the system's description.
    DispatchPtr GetRunningObject(std::wstring_view progId) override;
    // CoCreateInstance in a local server; a failure carries its HRESULT and the system's description.
    DispatchPtr CreateObject(std::wstring_view progId) override;
    // Among the visible top-level windows: the one titled exactly title, else the first (front to
    // back) whose title starts with it; restored when minimised and brought to the front. An empty
    // title or no such window is error 5.
    void ActivateWindow(std::wstring_view title) override;
    // MessageBoxW; returns the button pressed, or 0 when the box could not be shown.
    int ShowMessage(std::wstring_view text, std::optional<std::wstring_view> title, int style) override;
    // QueryPerformanceCounter.
    std::uint64_t ClockTicks() override;

private:
    std::wstring applicationTitle_;
    HWND owner_ = nullptr;
    std::shared_ptr<Win32BusyWait> busyWait_ = std::make_shared<Win32BusyWait>();
};

// The visible top-level window that ActivateWindow would choose for title, or null.
HWND FindWindowByTitle(std::wstring_view title);

}  // namespace korvena
