#include "cad/cad_link.h"

#include <exception>
#include <optional>
#include <utility>

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
            error_ = InvalidCall();
        }
    }
    const std::optional<AutomationError>& Error() const noexcept { return error_; }
    void Clear() noexcept { error_.reset(); }

private:
    std::optional<AutomationError> error_;
};

// A CAD reached under a class name: the application, and what the name says about its entities.
struct ReachedCad {
    DispatchPtr application;
    EntityIdentity identity = EntityIdentity::kEntityType;
};

ReachedCad Reached(DispatchPtr application, std::wstring_view progId) {
    return {std::move(application), IdentityFor(progId)};
}

void Take(CadLink& link, ReachedCad cad) {
    link.CadApp = std::move(cad.application);
    link.Identity = cad.identity;
}

// Steps 2 and 3 of the attach: every other running AutoCAD, then the compatible CADs.
std::optional<ReachedCad> AttachToOtherRunningCad(Platform& platform) {
    for (const std::wstring& progId : AutoCadVersionProgIds()) {
        try {
            return Reached(platform.GetRunningObject(progId), progId);
        } catch (const AutomationError&) {
        }
    }
    for (const std::wstring_view progId : kCompatibleCadProgIds) {
        try {
            return Reached(platform.GetRunningObject(progId), progId);
        } catch (const AutomationError&) {
        }
    }
    return std::nullopt;
}

// With AutoCAD not installed: a new instance of the first compatible CAD that is.
std::optional<ReachedCad> StartCompatibleCad(Platform& platform) {
    for (const std::wstring_view progId : kCompatibleCadProgIds) {
        try {
            return Reached(platform.CreateObject(progId), progId);
        } catch (const AutomationError& e) {
            if (!IsClassNotInstalled(e.Number())) return std::nullopt;  // installed, but it would not start
        }
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::wstring> AutoCadVersionProgIds() {
    std::vector<std::wstring> names;
    for (int major = kNewestAutoCadMajor; major >= kOldestAutoCadMajor; --major) {
        const std::wstring base = std::wstring(kCadProgId) + L"." + std::to_wstring(major);
        for (int minor = kHighestAutoCadMinor; minor >= 1; --minor) {
            names.push_back(base + L"." + std::to_wstring(minor));
        }
        names.push_back(base);
    }
    return names;
}

EntityIdentity IdentityFor(std::wstring_view progId) {
    return progId.starts_with(kCadProgId) ? EntityIdentity::kEntityType : EntityIdentity::kObjectName;
}

void ConnectCad(CadLink& link, Platform& platform) {
    ResumeNext step;
    step([&] { Take(link, Reached(platform.GetRunningObject(kCadProgId), kCadProgId)); });
    if (step.Error()) {
        // Only when AutoCAD's usual name finds nothing running: the quick path stays one call.
        std::optional<AutomationError> notRunning = step.Error();
        step.Clear();
        step([&] {
            std::optional<ReachedCad> running = AttachToOtherRunningCad(platform);
            if (!running) throw *notRunning;
            Take(link, std::move(*running));
        });
    }
    if (step.Error()) {
        step.Clear();
        step([&] { Take(link, Reached(platform.CreateObject(kCadProgId), kCadProgId)); });
        if (step.Error() && IsClassNotInstalled(step.Error()->Number())) {
            if (std::optional<ReachedCad> started = StartCompatibleCad(platform)) {
                Take(link, std::move(*started));
                step.Clear();
            }
        }
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
