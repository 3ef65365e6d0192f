#include "e2e/support/about_window.h"

#include <stdexcept>
#include <string_view>

#include "e2e/support/process.h"

namespace korvena::e2e {

namespace {

constexpr std::wstring_view kAboutClass = L"Korvena.aboutfrm";

HWND AboutWindowOf(DWORD processId) {
    for (const HWND window : VisibleWindowsOf(processId)) {
        if (ClassNameOf(window) == kAboutClass) return window;
    }
    return nullptr;
}

}  // namespace

AboutWindow::AboutWindow(DWORD processId, std::chrono::milliseconds timeout) {
    if (!WaitFor([&] { return (window_ = AboutWindowOf(processId)) != nullptr; }, timeout)) {
        throw std::runtime_error("korvena.exe did not show its About window");
    }
}

bool AboutWindow::Shown(DWORD processId) {
    return AboutWindowOf(processId) != nullptr;
}

HWND AboutWindow::Control(about::ControlId id) const {
    struct Search {
        int id;
        HWND found;
    } search{static_cast<int>(id), nullptr};
    EnumChildWindows(
        window_,
        [](HWND child, LPARAM param) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (GetDlgCtrlID(child) != s->id) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        throw std::runtime_error("the About window has no control " + std::to_string(search.id));
    return search.found;
}

std::wstring AboutWindow::Text(about::ControlId id) const {
    wchar_t buffer[256]{};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(Control(id), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer), SMTO_BLOCK, 5000,
                        &length);
    return buffer;
}

RECT AboutWindow::ScreenRect(about::ControlId id) const {
    RECT rect{};
    GetWindowRect(Control(id), &rect);
    return rect;
}

void AboutWindow::Click(about::ControlId id) const {
    const HWND control = Control(id);
    if (about::kControls.RowOf(id).kind == about::ControlKind::Button) {
        PostMessageW(control, BM_CLICK, 0, 0);
        return;
    }
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

}  // namespace korvena::e2e
