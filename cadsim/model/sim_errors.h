#pragma once
// The errors the simulated CAD raises, with the numbers a late-bound caller sees. The CAD's own
// failures use codes of the interface range (FACILITY_ITF), as a server reports them through
// DISP_E_EXCEPTION; argument faults use the numbers and factories of cad/automation_error.h
// (InvalidCall with what is wrong, WrongArgumentCount, TypeMismatch, Overflow).

#include <cstdint>
#include <string_view>

#include "cad/automation_error.h"

namespace korvena::cadsim {

namespace sim_error {
inline constexpr std::int32_t kInvalidArgument = korvena::error_number::kInvalidCall;  // E_INVALIDARG
inline constexpr std::int32_t kWrongArgumentCount =
    korvena::error_number::kWrongArgumentCount;  // DISP_E_BADPARAMCOUNT
inline constexpr std::int32_t kDuplicateName = static_cast<std::int32_t>(0x80040201u);
inline constexpr std::int32_t kObjectErased = static_cast<std::int32_t>(0x80040202u);
inline constexpr std::int32_t kNoDocument = static_cast<std::int32_t>(0x80040203u);
inline constexpr std::int32_t kValueRefused = static_cast<std::int32_t>(0x80040204u);
inline constexpr std::int32_t kInjectedFailure = static_cast<std::int32_t>(0x80040205u);
inline constexpr std::int32_t kDisconnected = static_cast<std::int32_t>(0x80010108u);    // RPC_E_DISCONNECTED
inline constexpr std::int32_t kNotImplemented = static_cast<std::int32_t>(0x80004001u);  // E_NOTIMPL
}  // namespace sim_error

inline constexpr std::wstring_view kDisconnectedText = L"对象已与其客户端断开连接。";

// The CAD's own errors, one factory each: `throw ObjectErased();`.
[[nodiscard]] AutomationError DuplicateName(std::wstring_view name);
[[nodiscard]] AutomationError ObjectErased();
[[nodiscard]] AutomationError NoDocument();
[[nodiscard]] AutomationError ValueRefused();
[[nodiscard]] AutomationError CadDisconnected();
// A member the interface declares but the object's wrapper does not implement: E_NOTIMPL with no text
// of its own, as an SDK template's get_EntityType returns it.
[[nodiscard]] AutomationError NotImplemented();

}  // namespace korvena::cadsim
