#include "cad/automation_error.h"

#include <string>

namespace korvena {

namespace {

// A plain narrow rendering for what(): the number only; the description stays wide.
std::string WhatText(std::int32_t number) {
    return "automation error " + std::to_string(number);
}

// The one text of each number: what a late-bound caller reports for it.
struct NumberText {
    std::int32_t number;
    std::wstring_view text;
};
constexpr NumberText kTexts[] = {
    {error_number::kInvalidCall, L"无效的过程调用或参数"},
    {error_number::kOverflow, L"溢出"},
    {error_number::kOutOfMemory, L"内存不足"},
    {error_number::kSubscriptOutOfRange, L"下标越界"},
    {error_number::kTypeMismatch, L"类型不匹配"},
    {error_number::kObjectNotSet, L"对象变量或 With 块变量未设置"},
    {error_number::kMemberNotSupported, L"对象不支持该属性或方法"},
    {error_number::kWrongArgumentCount, L"参数个数错误"},
};

std::wstring_view TextOf(std::int32_t number) {
    for (const NumberText& known : kTexts) {
        if (known.number == number) return known.text;
    }
    return {};
}

AutomationError Raised(std::int32_t number, std::wstring_view detail = {}) {
    std::wstring description(TextOf(number));
    if (!detail.empty()) description.append(L": ").append(detail);
    return AutomationError(number, std::move(description));
}

}  // namespace

AutomationError::AutomationError(std::int32_t number, std::wstring description)
    : std::runtime_error(WhatText(number)), number_(number), description_(std::move(description)) {}

AutomationError InvalidCall(std::wstring_view detail) {
    return Raised(error_number::kInvalidCall, detail);
}

AutomationError Overflow() {
    return Raised(error_number::kOverflow);
}

AutomationError OutOfMemory() {
    return Raised(error_number::kOutOfMemory);
}

AutomationError SubscriptOutOfRange() {
    return Raised(error_number::kSubscriptOutOfRange);
}

AutomationError TypeMismatch(std::wstring_view detail) {
    return Raised(error_number::kTypeMismatch, detail);
}

AutomationError ObjectNotSet() {
    return Raised(error_number::kObjectNotSet);
}

AutomationError MemberNotSupported(std::wstring_view member) {
    return Raised(error_number::kMemberNotSupported, member);
}

AutomationError WrongArgumentCount() {
    return Raised(error_number::kWrongArgumentCount);
}

}  // namespace korvena
