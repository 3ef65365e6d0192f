#include "cad/cad_link.h"

#include <exception>
#include <optional>

namespace korvena {

namespace {

// Runs one step of the connection in resume-next fashion: a failure abandons the step (so the
// reference it would have set stays as it was) and is recorded for whoever looks. A user who gives up
// on a busy CAD is no failure of a step: that ends the command.
class ResumeNext {
public:
    template <class Step>
    void operator()(Step&& step) {
        try {
            step();
        } catch (const AutomationError& e) {
            error_ = e;
        } catch (const std::exception&) {
            error_ = AutomationError(error_number::kInvalidCall, L"无效的过程调用或参数");
        }
    }
    const std::optional<AutomationError>& Error() const noexcept { return error_; }
    void Clear() noexcept { error_.reset(); }

private:
    std::optional<AutomationError> error_;
};

}  // namespace

void ConnectCad(CadLink& link, Platform& platform) {
    ResumeNext step;
    step([&] { link.CadApp = platform.GetRunningObject(kCadProgId); });
    if (step.Error()) {
        step.Clear();
        step([&] { link.CadApp = platform.CreateObject(kCadProgId); });
    }
    if (step.Error()) {
        const std::wstring description = step.Error()->Description();
        step([&] { platform.ShowMessage(description, std::nullopt, message_box::kOkOnly); });
        return;
    }
    step([&] { ToObject(link.CadApp)->Put(L"Visible", true); });
    step([&] { link.CadDoc = ToObject(ToObject(link.CadApp)->Get(L"ActiveDocument")); });
    step([&] { link.CadUtility = ToObject(ToObject(link.CadDoc)->Get(L"Utility")); });
    step([&] { platform.ActivateWindow(ToText(ToObject(link.CadApp)->Get(L"Caption"))); });
}

}  // namespace korvena
