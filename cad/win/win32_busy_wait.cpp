#include "cad/win/win32_busy_wait.h"

#include <string>

namespace korvena {

std::chrono::milliseconds Win32BusyWait::Now() {
    return std::chrono::milliseconds(GetTickCount64());
}

void Win32BusyWait::Pause(std::chrono::milliseconds pause) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(pause.count());
    bool quitSeen = false;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        if (quitSeen) {
            // The loop that ends the program is outside; only time passes here.
            Sleep(static_cast<DWORD>(end - now));
            break;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // Handed back to the program's own message loop.
                PostQuitMessage(static_cast<int>(message.wParam));
                quitSeen = true;
                break;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

bool Win32BusyWait::AskToRetry() {
    const std::wstring text(kBusyCadMessage);
    const std::wstring title(kBusyCadTitle);
    return MessageBoxW(owner_, text.c_str(), title.c_str(), MB_RETRYCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON1) ==
           IDRETRY;
}

}  // namespace korvena
