#include "cad/automation_error.h"

#include <string>

namespace korvena {

namespace {

// A plain narrow rendering for what(): the number only; the description stays wide.
std::string WhatText(std::int32_t number) { return "automation error " + std::to_string(number); }

AutomationError WithDetail(std::int32_t number, std::wstring_view text, std::wstring_view detail) {
    std::wstring description(text);
    if (!detail.empty()) description.append(L": ").append(detail);
    return AutomationError(number, std::move(description));
}

}  // namespace

AutomationError::AutomationError(std::int32_t number, std::wstring description)
    : std::runtime_error(WhatText(number)), number_(number), description_(std::move(description)) {}

AutomationError InvalidCall(std::wstring_view detail) {
    return WithDetail(error_number::kInvalidCall, L"无效的过程调用或参数", detail);
}

AutomationError Overflow() {
    return AutomationError(error_number::kOverflow, L"溢出");
}

AutomationError OutOfMemory() {
    return AutomationError(error_number::kOutOfMemory, L"内存不足");
}

AutomationError SubscriptOutOfRange() {
    return AutomationError(error_number::kSubscriptOutOfRange, L"下标越界");
}

AutomationError TypeMismatch(std::wstring_view detail) {
    return WithDetail(error_number::kTypeMismatch, L"类型不匹配", detail);
}

AutomationError ObjectNotSet() {
    return AutomationError(error_number::kObjectNotSet, L"对象变量或 With 块变量未设置");
}

AutomationError MemberNotSupported(std::wstring_view member) {
    return WithDetail(error_number::kMemberNotSupported, L"对象不支持该属性或方法", member);
}

AutomationError WrongArgumentCount() {
    return AutomationError(error_number::kWrongArgumentCount, L"参数个数错误");
}

}  // namespace korvena
