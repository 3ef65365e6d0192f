#pragma once
// What the CAD link and the commands need from the operating system. The Windows shell implements it
// with COM and user32; tests implement it over the in-process simulator.

#include <cstdint>
#include <optional>
#include <string_view>

#include "cad/variant.h"

namespace korvena {

// Message box styles and answers, with the values the platform uses.
namespace message_box {
inline constexpr int kOkOnly = 0;
inline constexpr int kYesNo = 4;
inline constexpr int kCritical = 16;
inline constexpr int kQuestion = 32;
inline constexpr int kInformation = 64;
inline constexpr int kOk = 1;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;
}  // namespace message_box

// The numbers GetRunningObject and CreateObject fail with when no class is registered under the name:
// the name is unknown (CO_E_CLASSSTRING), or its class has no server (REGDB_E_CLASSNOTREG).
inline constexpr std::int32_t kUnknownClassName = static_cast<std::int32_t>(0x800401F3u);
inline constexpr std::int32_t kClassNotRegistered = static_cast<std::int32_t>(0x80040154u);
// Whether a failure to get or create an object means that the program behind the name is not installed.
inline constexpr bool IsClassNotInstalled(std::int32_t number) {
    return number == kUnknownClassName || number == kClassNotRegistered;
}

class Platform {
public:
    virtual ~Platform() = default;

    // The running object registered under progId; throws AutomationError when there is none (with a
    // number IsClassNotInstalled accepts when nothing is registered under progId).
    virtual DispatchPtr GetRunningObject(std::wstring_view progId) = 0;
    // A new object of the class progId (starting its server); throws AutomationError on failure (with a
    // number IsClassNotInstalled accepts when nothing is registered under progId).
    virtual DispatchPtr CreateObject(std::wstring_view progId) = 0;
    // Brings the top-level window whose title is `title` (else the first whose title starts with it)
    // to the front, without waiting; throws AutomationError (5) when there is none.
    virtual void ActivateWindow(std::wstring_view title) = 0;
    // A modal message box; no title means the application's own. Returns the button pressed.
    virtual int ShowMessage(std::wstring_view text, std::optional<std::wstring_view> title, int style) = 0;
    // A reading of a high-resolution clock, used to seed the random names of selection sets.
    virtual std::uint64_t ClockTicks() = 0;
};

}  // namespace korvena
