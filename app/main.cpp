// korvena.exe: starts the main window and runs the user-interface thread until the program ends.

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <exception>

#include "app/form1.h"
#include "app/module1.h"
#include "ui/win/program_end.h"
#include "cad/win/com_apartment.h"
#include "cad/win/win32_platform.h"

namespace korvena {
namespace {

int RunMessageLoop(Form1& form) {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (!form.TranslateDialogKey(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

// The manifest declares the process aware of the system's DPI (korvena.manifest, dpiAware).
int Run(HINSTANCE instance, int showCommand) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    const ComApartment apartment;
    Win32Platform platform{std::wstring(kApplicationTitle)};
    Form1 form(instance, platform, Module1::Link());
    form.Create();
    platform.SetOwnerWindow(form.Handle());
    form.Show(showCommand);
    return RunMessageLoop(form);
}

}  // namespace
}  // namespace korvena

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    try {
        return korvena::Run(instance, showCommand);
    } catch (const std::exception& error) {
        korvena::EndProgramOnError(error.what());
    } catch (...) {
        korvena::EndProgramOnError({});
    }
}
