#include "cad/automation_error.h"

#include <string>

namespace korvena {

namespace {
// A plain narrow rendering for what(): the number only; the description stays wide.
std::string WhatText(std::int32_t number) { return "automation error " + std::to_string(number); }
}  // namespace

AutomationError::AutomationError(std::int32_t number, std::wstring description)
    : std::runtime_error(WhatText(number)), number_(number), description_(std::move(description)) {}

AutomationError MemberNotSupported(std::wstring_view member) {
    return AutomationError(error_number::kMemberNotSupported,
                           L"对象不支持该属性或方法: " + std::wstring(member));
}

}  // namespace korvena
