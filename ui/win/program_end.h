#pragma once
// How the program ends, and its title. Both ends end the process: every window of the program closes
// with it (the promotional panels included), no close logic of the windows runs and nobody is asked.
// What must be done before (set by the main window: what the program has open in the CAD) runs first,
// once, and the program ends within kLongestEnd of being asked in any case.

#include <windows.h>

#include <chrono>
#include <exception>
#include <functional>
#include <string_view>

namespace korvena {

inline constexpr std::wstring_view kApplicationTitle = L"Korvena";

// From the request to end to the end of the process, at most: what must be done before is cut short then.
// The user is promised an end within three seconds; the rest is for the system to take the process down
// on a loaded machine.
inline constexpr std::chrono::milliseconds kLongestEnd{2500};

// What runs before the program ends, however it ends; empty for nothing. It must not take longer than
// kLongestEnd: a thread ends the program when it does (a call into another program that never returns).
void SetBeforeProgramEnds(std::function<void()> beforeEnd) noexcept;

// The exit button, closing the main window, Windows ending the session.
[[noreturn]] void EndProgram() noexcept;

// An error that nothing handles (an exception reaching a window procedure or start-up): what must be
// done before the end, then one message box naming the error, then the end, with exit code 1.
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
