#pragma once
// Win32BusyWait: waiting out a busy CAD on the user-interface thread. The pauses keep the program's
// windows painted and answering (the thread's messages are dispatched meanwhile), and the question
// is a message box owned by the main window.

#include <windows.h>

#include "cad/busy_cad.h"

namespace korvena {

class Win32BusyWait final : public BusyCadWait {
public:
    // The window that owns the question; null for none.
    void SetOwnerWindow(HWND owner) noexcept { owner_ = owner; }

    std::chrono::milliseconds Now() override;
    void Pause(std::chrono::milliseconds pause) override;
    // Retry (the default) or Cancel, with the exclamation icon; a box that cannot be shown is Cancel.
    bool AskToRetry() override;

private:
    HWND owner_ = nullptr;
};

}  // namespace korvena
