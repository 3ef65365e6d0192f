#pragma once
// The C++ object behind a window of ours: CreateWindowExW's last argument, kept in the window's user
// data from WM_NCCREATE until WM_NCDESTROY, so that one static window procedure per class can hand
// every message to its object.

#include <windows.h>

namespace korvena {

// The object for this message; null before WM_NCCREATE. At WM_NCDESTROY the window lets go of it,
// and this last call still returns it.
template <class Object>
Object* WindowObject(HWND hwnd, UINT message, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* object = static_cast<Object*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        return object;
    }
    auto* object = reinterpret_cast<Object*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return object;
}

}  // namespace korvena
