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

// The manifest declares the process aware of the system's DPI; this covers a start without it.
void DeclareDpiAwareness() noexcept {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    const auto systemAware = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-2));  // DPI_AWARENESS_CONTEXT
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto setContext = reinterpret_cast<SetContext>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
    if (setContext == nullptr || !setContext(systemAware)) {
        SetProcessDPIAware();
    }
}

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

int Run(HINSTANCE instance, int showCommand) {
    DeclareDpiAwareness();
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
