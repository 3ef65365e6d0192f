#include "tests/sim_platform.h"

namespace korvena::testing {

namespace {
constexpr std::int32_t kUnavailable = static_cast<std::int32_t>(0x800401E3u);    // MK_E_UNAVAILABLE
constexpr std::int32_t kNotRegistered = static_cast<std::int32_t>(0x80040154u);  // REGDB_E_CLASSNOTREG
}  // namespace

DispatchPtr SimPlatform::GetRunningObject(std::wstring_view progId) {
    if (progId != kCadProgId || !cad_ || !running_) throw AutomationError(kUnavailable, L"操作无法使用");
    return cad_->Application();
}

DispatchPtr SimPlatform::CreateObject(std::wstring_view progId) {
    if (progId != kCadProgId || !cad_) throw AutomationError(kNotRegistered, L"没有注册类");
    running_ = true;
    ++starts_;
    return cad_->Application();
}

void SimPlatform::ActivateWindow(std::wstring_view title) {
    activations_.emplace_back(title);
    if (!cad_ || !running_ || title.empty() || cad_->Caption().rfind(title, 0) != 0) {
        throw AutomationError(error_number::kInvalidCall, L"无效的过程调用或参数");
    }
}

int SimPlatform::ShowMessage(std::wstring_view text, std::optional<std::wstring_view> title, int style) {
    dialogs_.push_back(
        {std::wstring(text), title ? std::optional<std::wstring>(*title) : std::nullopt, style});
    if (whileDialogOpen_) whileDialogOpen_();
    if (answers_.empty()) return message_box::kOk;
    const int button = answers_.front();
    answers_.pop_front();
    return button;
}

Dialog ErrorDialog(std::wstring_view text) {
    return {std::wstring(text), std::wstring(kErrorTitle), message_box::kCritical};
}

}  // namespace korvena::testing
