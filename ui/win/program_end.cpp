#include "ui/win/program_end.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>

namespace korvena {

namespace {

std::function<void()>& BeforeEnd() {
    static std::function<void()> beforeEnd;
    return beforeEnd;
}

// Runs what must be done before the end, the first time only: an end asked for meanwhile (from a message
// the work dispatched) ends the program at once. A watchdog ends the program with `exitCode` when the
// work takes longer than kLongestEnd.
void RunBeforeEnd(UINT exitCode) noexcept {
    static bool started = false;
    if (started) return;
    started = true;
    std::function<void()> beforeEnd = std::move(BeforeEnd());
    if (!beforeEnd) return;

    static std::atomic<bool> done{false};
    try {
        std::thread([exitCode] {
            Sleep(static_cast<DWORD>(kLongestEnd.count()));
            if (!done) ExitProcess(exitCode);
        }).detach();
    } catch (...) {
        // No thread to watch: the work's own limits have to do.
    }
    try {
        beforeEnd();
    } catch (...) {
        // The program ends all the same.
    }
    done = true;
}

}  // namespace

void SetBeforeProgramEnds(std::function<void()> beforeEnd) noexcept {
    BeforeEnd() = std::move(beforeEnd);
}

void EndProgram() noexcept {
    RunBeforeEnd(0);
    ExitProcess(0);
}

void EndProgramOnError(std::string_view what) noexcept {
    RunBeforeEnd(1);
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
