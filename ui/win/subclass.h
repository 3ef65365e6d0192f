#pragma once
// A control of ours that handles some of its own messages: its owner's member function sees each of
// them first and passes on (DefSubclassProc) what it leaves to the control's class.

#include <commctrl.h>
#include <windows.h>

#include "ui/win/program_end.h"

namespace korvena::ui {

// `Handler` is a member of Owner: LRESULT (Owner::*)(HWND control, UINT, WPARAM, LPARAM). The
// subclass goes with the control; an exception out of the handler ends the program.
template <auto Handler, class Owner>
LRESULT CALLBACK SubclassProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                              DWORD_PTR owner) noexcept {
    if (message == WM_NCDESTROY) RemoveWindowSubclass(control, &SubclassProc<Handler, Owner>, id);
    return HandleOrEndProgram(
        [&] { return (reinterpret_cast<Owner*>(owner)->*Handler)(control, message, wParam, lParam); });
}

template <auto Handler, class Owner>
void Subclass(HWND control, Owner* owner) noexcept {
    SetWindowSubclass(control, &SubclassProc<Handler, Owner>, 0, reinterpret_cast<DWORD_PTR>(owner));
}

}  // namespace korvena::ui
