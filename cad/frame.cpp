#include "cad/frame.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <random>

#include "cad/busy_cad.h"
#include "cad/convert.h"

namespace korvena {

namespace {

// Thrown by EndEarly after its dialog: unwinds the command to the frame without a second dialog.
struct CommandEnded {};

// A single-precision random number in [0, 1) from a generator seeded afresh with the clock.
float FreshRandom(std::uint64_t ticks) {
    std::seed_seq seed{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
    std::mt19937 generator(seed);
    return static_cast<float>(generator() >> 8) * (1.0f / 16777216.0f);  // 24 bits: exact in a float
}

}  // namespace

std::wstring CadPromptLine(std::wstring_view text) {
    std::wstring line = L"======";
    line += text;
    line += L"======\n\r";
    return line;
}

std::wstring_view CommandErrorMessage(std::int32_t number) {
    return number == error_number::kMemberNotSupported ? kOldCadMessage : kUnknownErrorMessage;
}

bool IsContour(std::int32_t entityType) {
    return entityType == 24 || entityType == 23;
}
bool IsElevationText(std::int32_t entityType) {
    return entityType == 32 || entityType == 21;
}

void CommandFrame::Run(const std::function<void(CommandFrame&)>& work) noexcept {
    try {
        ConnectCad(context_.link, context_.platform);
        // Unlike inside ConnectCad, a CAD window that cannot be brought forward ends the command.
        context_.platform.ActivateWindow(ToText(ToObject(context_.link.CadApp)->Get(L"Caption")));
        CleanUpAfterCancelledCommand();
        work(*this);
        EndChanges();
        return;
    } catch (const CadBusyCancelled&) {
        // The CAD is still busy: asking it to clean up now would only ask the user again.
        LeaveForNextCommand();
        return;
    } catch (const CommandEnded&) {
    } catch (const AutomationError& e) {
        ReportCommandError(e.Number());
    } catch (...) {
        ReportCommandError(0);
    }
    DeleteLeftoverSets();
}

std::wstring CommandFrame::NewRandomName() {
    return NumberText(FreshRandom(context_.platform.ClockTicks()));
}

DispatchPtr CommandFrame::NewSelectionSet() {
    const std::wstring name = NewRandomName();
    const DispatchPtr sets = ToObject(ToObject(context_.link.CadDoc)->Get(L"SelectionSets"));
    DispatchPtr set = ToObject(sets->Call(L"Add", {name}));
    openSets_.push_back(set);
    return set;
}

void CommandFrame::CadPrompt(std::wstring_view text) {
    PromptRaw(CadPromptLine(text));
}

void CommandFrame::PromptRaw(const std::wstring& line) {
    ToObject(context_.link.CadUtility)->Call(L"prompt", {line});
}

void CommandFrame::SelectOnScreen(const DispatchPtr& set) {
    EndChanges();
    set->Call(L"SelectOnScreen");
}

int CommandFrame::Ask(std::wstring_view text, std::wstring_view title, int style) {
    EndChanges();
    return context_.platform.ShowMessage(text, title, style);
}

void CommandFrame::BeginChanges() {
    if (undoStep_ != UndoStep::kClosed) return;
    try {
        undoDocument_ = ToObject(context_.link.CadDoc);
        undoDocument_->Call(L"StartUndoMark");
        undoStep_ = UndoStep::kOpen;
    } catch (const CadBusyCancelled&) {
        undoDocument_.reset();
        throw;
    } catch (...) {
        // An old CAD lacks the member (438), another refuses it: the command runs without a step.
        undoStep_ = UndoStep::kUnavailable;
        undoDocument_.reset();
    }
}

void CommandFrame::EndChanges() {
    if (undoStep_ != UndoStep::kOpen) return;
    try {
        undoDocument_->Call(L"EndUndoMark");
    } catch (const CadBusyCancelled&) {
        throw;  // the step stays open for the next command to close
    } catch (...) {
        // The changes are made; a step the CAD would not close is its own affair.
    }
    undoStep_ = UndoStep::kClosed;
    undoDocument_.reset();
}

// On the way to a dialog or out of the run: a user who gives up on the busy CAD here leaves the step
// for the next command.
void CommandFrame::EndChangesQuietly() noexcept {
    try {
        EndChanges();
    } catch (...) {
        LeaveForNextCommand();
    }
}

void CommandFrame::Walk(const DispatchPtr& set, const std::function<void(const DispatchPtr&)>& step) {
    set->ForEach([&step](Variant item) { step(ToObject(item)); });
}

std::vector<DispatchPtr> CommandFrame::Members(const DispatchPtr& set) {
    std::vector<DispatchPtr> members;
    Walk(set, [&members](const DispatchPtr& member) { members.push_back(member); });
    return members;
}

std::int32_t CommandFrame::Count(const DispatchPtr& set) {
    return ToLong(set->Get(L"Count"));
}

std::int32_t CommandFrame::EntityType(const DispatchPtr& entity) {
    return ToLong(entity->Get(L"entitytype"));
}

void CommandFrame::DeleteSet(const DispatchPtr& set) {
    set->Call(L"Delete");
    std::erase(openSets_, set);
}

void CommandFrame::EndEarly(std::wstring_view message) {
    ShowError(message);
    throw CommandEnded{};
}

void CommandFrame::ReportCommandError(std::int32_t number) noexcept {
    ShowError(CommandErrorMessage(number));
}

void CommandFrame::ShowError(std::wstring_view message) noexcept {
    EndChangesQuietly();
    try {
        context_.platform.ShowMessage(message, kErrorTitle, message_box::kOkOnly | message_box::kCritical);
    } catch (...) {
        // Nothing is left to tell the user with.
    }
}

void CommandFrame::LeaveForNextCommand() noexcept {
    std::ranges::move(openSets_, std::back_inserter(context_.link.LeftoverSets));
    openSets_.clear();
    if (undoStep_ == UndoStep::kOpen) context_.link.LeftoverUndoDocument = std::move(undoDocument_);
    undoStep_ = UndoStep::kClosed;
    undoDocument_.reset();
}

// A set or document that is gone already (the CAD was closed meanwhile, or the user deleted the set)
// fails quietly; a CAD that is busy again is waited for as any call, and one the user gives up on
// keeps the rest.
void CommandFrame::CleanUpAfterCancelledCommand() {
    CadLink& link = context_.link;
    if (link.LeftoverUndoDocument) {
        try {
            link.LeftoverUndoDocument->Call(L"EndUndoMark");
        } catch (const AutomationError&) {
        }
        link.LeftoverUndoDocument.reset();
    }
    while (!link.LeftoverSets.empty()) {
        try {
            link.LeftoverSets.front()->Call(L"Delete");
        } catch (const AutomationError&) {
        }
        link.LeftoverSets.erase(link.LeftoverSets.begin());
    }
}

// The CAD keeps only a limited number of selection sets per session, for every program together:
// a command that ends early must not leave its sets behind. A failing delete is not reported,
// so the user sees one dialog only.
void CommandFrame::DeleteLeftoverSets() noexcept {
    for (auto set = openSets_.begin(); set != openSets_.end(); ++set) {
        try {
            (*set)->Call(L"Delete");
        } catch (const CadBusyCancelled&) {
            // The user gave up on a busy CAD: the rest wait for the next command.
            std::move(set, openSets_.end(), std::back_inserter(context_.link.LeftoverSets));
            break;
        } catch (...) {
        }
    }
    openSets_.clear();
}

}  // namespace korvena
