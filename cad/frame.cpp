#include "cad/frame.h"

#include <algorithm>
#include <exception>
#include <random>

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
        work(*this);
        EndChanges();
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
    context_.SelectionSetName = NewRandomName();
    const DispatchPtr sets = ToObject(ToObject(context_.link.CadDoc)->Get(L"SelectionSets"));
    DispatchPtr set = ToObject(sets->Call(L"Add", {context_.SelectionSetName}));
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

void CommandFrame::BeginChanges() noexcept {
    if (undoStep_ != UndoStep::kClosed) return;
    try {
        undoDocument_ = ToObject(context_.link.CadDoc);
        undoDocument_->Call(L"StartUndoMark");
        undoStep_ = UndoStep::kOpen;
    } catch (...) {
        // An old CAD lacks the member (438), another refuses it: the command runs without a step.
        undoStep_ = UndoStep::kUnavailable;
        undoDocument_.reset();
    }
}

void CommandFrame::EndChanges() noexcept {
    if (undoStep_ != UndoStep::kOpen) return;
    undoStep_ = UndoStep::kClosed;
    try {
        undoDocument_->Call(L"EndUndoMark");
    } catch (...) {
        // The changes are made; a step the CAD would not close is its own affair.
    }
    undoDocument_.reset();
}

std::vector<DispatchPtr> CommandFrame::Walk(const DispatchPtr& set) {
    std::vector<DispatchPtr> members;
    for (const Variant& item : set->Enumerate()) members.push_back(ToObject(item));
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
    EndChanges();
    try {
        context_.platform.ShowMessage(message, kErrorTitle, message_box::kOkOnly | message_box::kCritical);
    } catch (...) {
        // Nothing is left to tell the user with.
    }
}

// The CAD keeps only a limited number of selection sets per session, for every program together:
// a command that ends early must not leave its sets behind. A failing delete is not reported,
// so the user sees one dialog only.
void CommandFrame::DeleteLeftoverSets() noexcept {
    for (const DispatchPtr& set : openSets_) {
        try {
            set->Call(L"Delete");
        } catch (...) {
        }
    }
    openSets_.clear();
}

}  // namespace korvena
