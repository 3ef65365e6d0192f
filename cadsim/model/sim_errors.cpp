#include "cadsim/model/sim_errors.h"

#include <string>

namespace korvena::cadsim {

void ThrowInvalidArgument(std::wstring_view what) {
    throw AutomationError(sim_error::kInvalidArgument, L"参数无效: " + std::wstring(what));
}

void ThrowWrongArgumentCount() {
    throw AutomationError(sim_error::kWrongArgumentCount, L"参数个数错误");
}

void ThrowDuplicateName(std::wstring_view name) {
    throw AutomationError(sim_error::kDuplicateName, L"名称重复: " + std::wstring(name));
}

void ThrowObjectErased() {
    throw AutomationError(sim_error::kObjectErased, L"对象已被删除");
}

void ThrowNoDocument() {
    throw AutomationError(sim_error::kNoDocument, L"没有打开的图形");
}

void ThrowValueRefused() {
    throw AutomationError(sim_error::kValueRefused, L"输入无效");
}

void ThrowDisconnected() {
    throw AutomationError(sim_error::kDisconnected, std::wstring(kDisconnectedText));
}

}  // namespace korvena::cadsim
