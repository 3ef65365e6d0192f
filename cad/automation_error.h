#pragma once
// The error a late-bound caller sees when an automation call fails: a number and a description.
// Every number the program and the simulator raise has one factory here and one text; throw what a
// factory returns (`throw TypeMismatch();`).

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace korvena {

// Numbers raised here, with the meaning a late-bound caller gives them.
namespace error_number {
inline constexpr std::int32_t kInvalidCall = 5;           // e.g. no window with that title
inline constexpr std::int32_t kOverflow = 6;              // a number that does not fit
inline constexpr std::int32_t kOutOfMemory = 7;           // the server ran out of memory
inline constexpr std::int32_t kSubscriptOutOfRange = 9;   // an array shorter than needed
inline constexpr std::int32_t kTypeMismatch = 13;         // a value of the wrong kind
inline constexpr std::int32_t kObjectNotSet = 91;         // no object where one was needed
inline constexpr std::int32_t kMemberNotSupported = 438;  // the object lacks the named member
inline constexpr std::int32_t kWrongArgumentCount = 450;  // a call with too many or too few arguments
}  // namespace error_number

class AutomationError : public std::runtime_error {
public:
    AutomationError(std::int32_t number, std::wstring description);

    std::int32_t Number() const noexcept { return number_; }
    const std::wstring& Description() const noexcept { return description_; }

private:
    std::int32_t number_;
    std::wstring description_;
};

// One factory per number, with the caller's own text. Where a detail is given (the member, the
// argument at fault) it follows the text after ": ".
[[nodiscard]] AutomationError InvalidCall(std::wstring_view detail = {});         // 5
[[nodiscard]] AutomationError Overflow();                                         // 6
[[nodiscard]] AutomationError OutOfMemory();                                      // 7
[[nodiscard]] AutomationError SubscriptOutOfRange();                              // 9
[[nodiscard]] AutomationError TypeMismatch(std::wstring_view detail = {});        // 13
[[nodiscard]] AutomationError ObjectNotSet();                                     // 91
[[nodiscard]] AutomationError MemberNotSupported(std::wstring_view member = {});  // 438
[[nodiscard]] AutomationError WrongArgumentCount();                               // 450

}  // namespace korvena
