#include "ui/win/program_end.h"

#include <process.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>

namespace korvena {

namespace {

std::function<void()>& BeforeEnd() {
    static std::function<void()> beforeEnd;
    return beforeEnd;
}

std::atomic<bool> beforeEndDone{false};

// The watchdog: ends the program with the exit code it is given unless what must be done before the end
// is done within kLongestEnd.
unsigned __stdcall EndInAnyCase(void* exitCode) {
    Sleep(static_cast<DWORD>(kLongestEnd.count()));
    if (!beforeEndDone) ExitProcess(static_cast<UINT>(reinterpret_cast<std::uintptr_t>(exitCode)));
    return 0;
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

    // Without a thread to watch, the work's own limits have to do.
    const std::uintptr_t watchdog = _beginthreadex(
        nullptr, 0, &EndInAnyCase, reinterpret_cast<void*>(std::uintptr_t{exitCode}), 0, nullptr);
    if (watchdog != 0) CloseHandle(reinterpret_cast<HANDLE>(watchdog));
    try {
        beforeEnd();
    } catch (...) {
        // The program ends all the same.
    }
    beforeEndDone = true;
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
