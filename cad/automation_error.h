#pragma once
// The error a late-bound caller sees when an automation call fails: a number and a description.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace korvena {

// Numbers the program itself raises, with the meaning a late-bound caller gives them.
namespace error_number {
inline constexpr std::int32_t kInvalidCall = 5;          // e.g. no window with that title
inline constexpr std::int32_t kOverflow = 6;             // a number that does not fit
inline constexpr std::int32_t kSubscriptOutOfRange = 9;  // an array shorter than needed
inline constexpr std::int32_t kTypeMismatch = 13;        // a value of the wrong kind
inline constexpr std::int32_t kObjectNotSet = 91;        // no object where one was needed
inline constexpr std::int32_t kMemberNotSupported = 438; // the object lacks the named member
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

// The standard error for a member an object does not have.
AutomationError MemberNotSupported(std::wstring_view member);

}  // namespace korvena
