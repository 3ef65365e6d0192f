#pragma once
// WindowImpl<T>: the plumbing every window of ours shares. It registers T's window class once,
// creates the window with the T object behind it, and runs one static window procedure that finds
// the object in the window's user data (set at WM_NCCREATE, cleared at WM_NCDESTROY) and hands it
// each message in between.
//
// T derives from WindowImpl<T>, befriends it, creates its window with CreateWindowOf and provides
//   LRESULT HandleMessage(UINT, WPARAM, LPARAM); anything it leaves to DefWindowProcW it passes there
// and may hide two defaults: OnWindowGone() (at WM_NCDESTROY, after Handle() went null) and
// GuardMessage (what an exception out of HandleMessage does: by default the program ends).
// T's destructor calls Destroy(), so that the window's last messages still find all of T alive.

#include <windows.h>

#include <stdexcept>
#include <string>

#include "ui/win/program_end.h"

namespace korvena::ui {

// A window class of ours: its name, what failures call the window ("the main window"), its style,
// icon and background; the cursor is the arrow.
struct WindowClass {
    const wchar_t* name;
    const char* what;
    UINT style = 0;
    int iconResource = 0;                 // the icon in the program's resources; 0: systemIcon
    const wchar_t* systemIcon = nullptr;  // one of the system's (IDI_APPLICATION); null: none
    HBRUSH (*background)() = nullptr;     // made when the class is registered, kept with it; null: none
};

// The background of a dialog-like window: the button face colour.
inline HBRUSH ButtonFaceBackground() noexcept {
    return reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
}

template <class T>
class WindowImpl {
public:
    WindowImpl(const WindowImpl&) = delete;
    WindowImpl& operator=(const WindowImpl&) = delete;

    // Null before the window is created and once it has gone.
    HWND Handle() const noexcept { return hwnd_; }

protected:
    WindowImpl() = default;
    ~WindowImpl() = default;

    void Destroy() noexcept {
        if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    }

    // Registers the class if this process has not yet, and creates the window; Handle() is set from
    // its first message on. Throws std::runtime_error when either fails.
    void CreateWindowOf(const WindowClass& windowClass, HINSTANCE instance, DWORD exStyle,
                        const wchar_t* title, DWORD style, int x, int y, int width, int height, HWND owner) {
        RegisterClassOnce(windowClass, instance);
        if (CreateWindowExW(exStyle, windowClass.name, title, style, x, y, width, height, owner, nullptr,
                            instance, static_cast<T*>(this)) == nullptr) {
            throw std::runtime_error(std::string("CreateWindowExW failed for ") + windowClass.what);
        }
    }

    void OnWindowGone() noexcept {}

    // The reply to a WM_CTLCOLOR* message: the brush the window chose, or the system's when it chose none.
    LRESULT ColourReply(HBRUSH brush, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        return brush != nullptr ? reinterpret_cast<LRESULT>(brush)
                                : DefWindowProcW(hwnd_, message, wParam, lParam);
    }

    template <class Handler>
    static LRESULT GuardMessage(Handler&& handle) noexcept {
        return HandleOrEndProgram(handle);
    }

private:
    static void RegisterClassOnce(const WindowClass& ours, HINSTANCE instance) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        if (GetClassInfoExW(instance, ours.name, &windowClass)) return;
        windowClass = WNDCLASSEXW{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.style = ours.style;
        if (ours.iconResource != 0) {
            windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(ours.iconResource));
        } else if (ours.systemIcon != nullptr) {
            windowClass.hIcon = LoadIconW(nullptr, ours.systemIcon);
        }
        if (ours.background != nullptr) windowClass.hbrBackground = ours.background();
        windowClass.lpfnWndProc = &WindowImpl::WindowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = ours.name;
        if (RegisterClassExW(&windowClass) == 0) {
            throw std::runtime_error(std::string("RegisterClassExW failed for ") + ours.what);
        }
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        T* self = nullptr;
        if (message == WM_NCCREATE) {
            self = static_cast<T*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->hwnd_ = hwnd;
        } else {
            self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            // The object may go before the window's last messages: from here on the window is alone.
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
            self->OnWindowGone();
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        return T::GuardMessage([&] { return self->HandleMessage(message, wParam, lParam); });
    }

    HWND hwnd_ = nullptr;
};

}  // namespace korvena::ui
