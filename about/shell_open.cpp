#include "about/shell_open.h"

#include <string>

#include "ui/win/system_library.h"

namespace korvena {
namespace {

using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

// The shell's library is loaded at the first link followed, not at every start of the program. Looked
// up once; null when it cannot be had, and a link then opens nothing.
ShellExecuteFunction ShellExecuteEntry() noexcept {
    static const ShellExecuteFunction entry = []() noexcept -> ShellExecuteFunction {
        const HMODULE shell = ui::LoadSystemLibrary(L"shell32.dll");
        return shell == nullptr ? nullptr : ui::ExportOf<ShellExecuteFunction>(shell, "ShellExecuteW");
    }();
    return entry;
}

}  // namespace

void ShellOpen(HWND window, std::wstring_view target) noexcept {
    try {
        const ShellExecuteFunction shellExecute = ShellExecuteEntry();
        if (shellExecute == nullptr) return;
        const std::wstring file(target);
        // Wide strings all the way: a conversion to the ANSI code page would garble what it lacks.
        shellExecute(window, L"open", file.c_str(), nullptr, nullptr, SW_HIDE);
    } catch (...) {
        // Only the copy can fail (out of memory): the link then opens nothing, as a failing shell does.
    }
}

}  // namespace korvena
