#include "about/shell_open.h"

#include <shellapi.h>

#include <string>

namespace korvena {

void ShellOpen(HWND window, std::wstring_view target) noexcept {
    try {
        const std::wstring file(target);
        // Wide strings all the way: a conversion to the ANSI code page would garble what it lacks.
        ShellExecuteW(window, L"open", file.c_str(), nullptr, nullptr, SW_HIDE);
    } catch (...) {
        // Only the copy can fail (out of memory): the link then opens nothing, as a failing shell does.
    }
}

}  // namespace korvena
