// The main window as nothing but Win32 makes it: the benchmark's second yardstick for korvena.exe's
// start-up. It has what any program with this window pays for: korvena.exe's manifest (visual styles,
// DPI awareness), the common controls, a COM apartment, and the window with every control of the
// design, in its place and font. Nothing of korvena.exe's own start-up (the panels, the topmost pin,
// the help file) is here. It ends when the window is closed.

#include <windows.h>
// After windows.h, whose types they use.
#include <commctrl.h>
#include <objbase.h>

#include <string>

#include "app/control_class.h"
#include "app/form1_layout.h"
#include "e2e/yardstick_window.h"
#include "ui/win/font.h"
#include "ui/win/screen.h"

using namespace korvena;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;

    const ui::ScreenResolution screen = ui::ReadScreenResolution();
    const double perPixelX = screen.TwipsPerPixelX(), perPixelY = screen.TwipsPerPixelY();
    RECT outer{0, 0, twips::ToPixels(form1::kClientWidthTwips, perPixelX),
               twips::ToPixels(form1::kClientHeightTwips, perPixelY)};
    AdjustWindowRectEx(&outer, form1::kWindowStyle, FALSE, 0);
    const ui::GdiObject<HFONT> captionFont = ui::MakeFont(form1::kCaptionFont, screen.dpiY);
    const ui::GdiObject<HFONT> inputFont = ui::MakeFont(form1::kInputFont, screen.dpiY);

    const HWND window = e2e::CreateYardstickWindow(instance, L"Bare Form1", form1::kWindowStyle,
                                                   outer.right - outer.left, outer.bottom - outer.top, COLOR_BTNFACE);
    if (window == nullptr) return 1;
    for (const form1::ControlId id : form1::CreationOrder()) {
        const form1::ControlRow& row = form1::kControls.RowOf(id);
        const form1::ControlClass kind = form1::ClassOf(row.kind);
        const ui::PixelBox box = form1::ToClientPixels(row, perPixelX, perPixelY);
        const HWND control = CreateWindowExW(kind.exStyle, kind.name, std::wstring(row.text).c_str(), kind.style,
                                             box.left, box.top, box.width, box.height, window,
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        if (control == nullptr) return 1;
        const HFONT font = row.kind == form1::ControlKind::TextInput ? inputFont.get() : captionFont.get();
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    const int exitCode = e2e::ShowAndRun(window, show);
    CoUninitialize();
    return exitCode;
}
