#pragma once
// The start-up yardsticks' one window class and message loop (empty_window.exe, bare_form1.exe): each
// makes its window with plain Win32 and ends when it is closed.

#include <windows.h>

namespace korvena::e2e {

inline LRESULT CALLBACK YardstickWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A top-level window of the outer size given, at the system's default place; null on failure.
inline HWND CreateYardstickWindow(HINSTANCE instance, const wchar_t* title, DWORD style, int width, int height,
                                  int backgroundColour) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = YardstickWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(backgroundColour + 1));
    windowClass.lpszClassName = L"KorvenaYardstickWindow";
    if (RegisterClassExW(&windowClass) == 0) return nullptr;
    return CreateWindowExW(0, windowClass.lpszClassName, title, style, CW_USEDEFAULT, CW_USEDEFAULT, width, height,
                           nullptr, nullptr, instance, nullptr);
}

// Shows the window and runs its messages, the dialog keys included, until it is closed.
inline int ShowAndRun(HWND window, int show) {
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace korvena::e2e
