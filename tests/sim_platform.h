#pragma once
// Test doubles for running commands in-process: a Platform over a simulated CAD that records the
// dialogs it is asked to show, and a main window with four inputs.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cad/frame.h"
#include "cadsim/model/simulation.h"

namespace korvena::testing {

struct Dialog {
    std::wstring text;
    std::optional<std::wstring> title;
    int style = 0;
    friend bool operator==(const Dialog&, const Dialog&) = default;
};

// CADs "installed" under class names, each a simulation; one is "running" once attached or created.
// The simulation given to the constructor is installed as "AutoCAD.Application".
class SimPlatform : public Platform {
public:
    explicit SimPlatform(cadsim::Simulation* cad, bool running = true);
    // Installs a CAD under another class name (a compatible CAD, another AutoCAD version); a null
    // simulation is a CAD that is installed but cannot start.
    void Install(std::wstring progId, cadsim::Simulation* cad, bool running);

    DispatchPtr GetRunningObject(std::wstring_view progId) override;
    DispatchPtr CreateObject(std::wstring_view progId) override;
    void ActivateWindow(std::wstring_view title) override;
    int ShowMessage(std::wstring_view text, std::optional<std::wstring_view> title, int style) override;
    std::uint64_t ClockTicks() override { return ticks_ += 7919; }

    void SetTicks(std::uint64_t ticks) { ticks_ = ticks; }
    // The buttons the user will press, in order; with none left a dialog is answered with OK.
    void QueueAnswer(int button) { answers_.push_back(button); }
    // What the user does elsewhere while a dialog is open (the CAD stays usable meanwhile).
    void WhileDialogOpen(std::function<void()> action) { whileDialogOpen_ = std::move(action); }
    // Whether the CAD installed as "AutoCAD.Application" runs.
    bool Running() const;
    int Starts() const { return starts_; }
    // Every attempt to reach a CAD, in order: "running <ProgID>" or "create <ProgID>".
    const std::vector<std::wstring>& Attempts() const { return attempts_; }
    const std::vector<Dialog>& Dialogs() const { return dialogs_; }
    const std::vector<std::wstring>& Activations() const { return activations_; }

private:
    struct InstalledCad {
        std::wstring progId;
        cadsim::Simulation* cad;
        bool running;
    };
    InstalledCad* Find(std::wstring_view progId);

    std::vector<InstalledCad> installed_;
    std::vector<std::wstring> attempts_;
    int starts_ = 0;
    std::uint64_t ticks_ = 1;
    std::deque<int> answers_;
    std::function<void()> whileDialogOpen_;
    std::vector<Dialog> dialogs_;
    std::vector<std::wstring> activations_;
};

class FakeWindow : public MainWindowInputs {
public:
    FakeWindow() = default;
    std::wstring Text(Input input) const override { return texts_.at(input); }
    void SetText(Input input, std::wstring_view text) override { texts_[input] = std::wstring(text); }
    void FocusText1() override { ++focusToText1_; }
    int FocusMoves() const { return focusToText1_; }

private:
    std::map<Input, std::wstring> texts_{
        {Input::Text1, L""}, {Input::Text2, L"2"}, {Input::Text3, L"250"}, {Input::Text5, L"251"}};
    int focusToText1_ = 0;
};

// Everything one command run needs, owned together.
struct CommandBench {
    explicit CommandBench(cadsim::Simulation* cad, bool running = true) : platform(cad, running) {}
    SimPlatform platform;
    FakeWindow window;
    CadLink link;
    CommandContext context{platform, link, window};
};

// The dialogs of the frame, as the user sees them.
Dialog ErrorDialog(std::wstring_view text);

}  // namespace korvena::testing
