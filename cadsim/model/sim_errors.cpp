#include "cadsim/model/sim_errors.h"

#include <string>

namespace korvena::cadsim {

AutomationError DuplicateName(std::wstring_view name) {
    return AutomationError(sim_error::kDuplicateName, L"名称重复: " + std::wstring(name));
}

AutomationError ObjectErased() {
    return AutomationError(sim_error::kObjectErased, L"对象已被删除");
}

AutomationError NoDocument() {
    return AutomationError(sim_error::kNoDocument, L"没有打开的图形");
}

AutomationError ValueRefused() {
    return AutomationError(sim_error::kValueRefused, L"输入无效");
}

AutomationError NotImplemented() {
    return AutomationError(sim_error::kNotImplemented, L"");
}

AutomationError CadDisconnected() {
    return AutomationError(sim_error::kDisconnected, std::wstring(kDisconnectedText));
}

}  // namespace korvena::cadsim
