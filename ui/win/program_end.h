#pragma once
// How the program ends, and its title. Both ends end the process at once: every window of the program
// closes with it (the promotional panels included), no close logic runs and nobody is asked.

#include <windows.h>

#include <exception>
#include <string_view>

namespace korvena {

inline constexpr std::wstring_view kApplicationTitle = L"Korvena";

// The exit button, and closing the main window through the platform.
[[noreturn]] void EndProgram() noexcept;

// An error that nothing handles (an exception reaching a window procedure or start-up): one message
// box naming it, then the end, with exit code 1.
[[noreturn]] void EndProgramOnError(std::string_view what) noexcept;

// What a window procedure returns from `handle()`; an exception that escapes it ends the program
// (EndProgramOnError), since nothing may cross into the system.
template <class Handler>
LRESULT HandleOrEndProgram(Handler&& handle) noexcept {
    try {
        return handle();
    } catch (const std::exception& error) {
        EndProgramOnError(error.what());
    } catch (...) {
        EndProgramOnError({});
    }
}

}  // namespace korvena
