#include "tests/sim_platform.h"

namespace korvena::testing {

namespace {
constexpr std::int32_t kUnavailable = static_cast<std::int32_t>(0x800401E3u);    // MK_E_UNAVAILABLE
constexpr std::int32_t kServerFailed = static_cast<std::int32_t>(0x80080005u);   // CO_E_SERVER_EXEC_FAILURE
}  // namespace

SimPlatform::SimPlatform(cadsim::Simulation* cad, bool running) {
    if (cad) Install(std::wstring(kCadProgId), cad, running);
}

void SimPlatform::Install(std::wstring progId, cadsim::Simulation* cad, bool running) {
    installed_.push_back({std::move(progId), cad, running && cad});
}

SimPlatform::InstalledCad* SimPlatform::Find(std::wstring_view progId) {
    for (InstalledCad& installed : installed_) {
        if (installed.progId == progId) return &installed;
    }
    return nullptr;
}

bool SimPlatform::Running() const {
    for (const InstalledCad& installed : installed_) {
        if (installed.progId == kCadProgId) return installed.running;
    }
    return false;
}

DispatchPtr SimPlatform::GetRunningObject(std::wstring_view progId) {
    attempts_.push_back(L"running " + std::wstring(progId));
    const InstalledCad* installed = Find(progId);
    if (!installed) throw AutomationError(kUnknownClassName, L"无效的类字符串");
    if (!installed->running) throw AutomationError(kUnavailable, L"操作无法使用");
    return installed->cad->Application();
}

DispatchPtr SimPlatform::CreateObject(std::wstring_view progId) {
    attempts_.push_back(L"create " + std::wstring(progId));
    InstalledCad* installed = Find(progId);
    if (!installed) throw AutomationError(kUnknownClassName, L"无效的类字符串");
    if (!installed->cad) throw AutomationError(kServerFailed, L"服务器运行失败");
    installed->running = true;
    ++starts_;
    return installed->cad->Application();
}

void SimPlatform::ActivateWindow(std::wstring_view title) {
    activations_.emplace_back(title);
    for (const InstalledCad& installed : installed_) {
        if (installed.running && !title.empty() && installed.cad->Caption().rfind(title, 0) == 0) return;
    }
    throw InvalidCall();
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
