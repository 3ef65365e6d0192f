#include "ui/win/program_end.h"

#include <windows.h>

#include <string>

namespace korvena {

void EndProgram() noexcept {
    ExitProcess(0);
}

void EndProgramOnError(std::string_view what) noexcept {
    std::wstring text = L"程序运行时错误，即将退出。";
    if (!what.empty()) {
        // The description of a standard exception is plain ASCII; anything else shows as '?'.
        text += L"\n\n";
        for (const char c : what) {
            text += static_cast<unsigned char>(c) < 0x80 ? static_cast<wchar_t>(c) : L'?';
        }
    }
    MessageBoxW(nullptr, text.c_str(), std::wstring(kApplicationTitle).c_str(), MB_OK | MB_ICONERROR);
    ExitProcess(1);
}

}  // namespace korvena
