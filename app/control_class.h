#pragma once
// The window class and styles that make each kind of the main window's controls: one table for
// korvena.exe and for the benchmark's yardstick that builds the same window with nothing else.

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include "app/form1_layout.h"

namespace korvena::form1 {

struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};

constexpr ControlClass ClassOf(ControlKind kind) noexcept {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (kind) {
        case ControlKind::Frame:
            return {WC_BUTTONW, child | WS_CLIPSIBLINGS | BS_GROUPBOX, 0};
        case ControlKind::Label:
            return {WC_STATICW, child | SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0};
        case ControlKind::TextInput:
            return {WC_EDITW, child | WS_TABSTOP | WS_GROUP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::Button:
            return {WC_BUTTONW, child | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON | BS_NOTIFY, 0};
    }
    return {};
}

// The main window's own style: a fixed single border, a title bar with the system menu and Minimize.
inline constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

}  // namespace korvena::form1
