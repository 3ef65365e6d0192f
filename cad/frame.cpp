#include "cad/frame.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <optional>
#include <random>

#include "cad/busy_cad.h"
#include "cad/convert.h"
#include "cad/entity_identity.h"

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

// Calls `member` on each of `objects`, last first, and takes each out when done or failed (gone already).
void CallOnEach(std::vector<DispatchPtr>& objects, std::wstring_view member, std::vector<DispatchPtr>& done) {
    while (!objects.empty()) {
        try {
            objects.back()->Call(member);
        } catch (const AutomationError&) {
        }
        done.push_back(std::move(objects.back()));
        objects.pop_back();
    }
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
    return entityType == entity_type::kLwPolyline || entityType == entity_type::kPolyline;
}
bool IsElevationText(std::int32_t entityType) {
    return entityType == entity_type::kText || entityType == entity_type::kMText;
}

void CommandFrame::Run(const std::function<void(CommandFrame&)>& work) noexcept {
    bool ended = false;
    try {
        ConnectCad(context_.link, context_.platform);
        // Unlike inside ConnectCad, a CAD window that cannot be brought forward ends the command.
        context_.platform.ActivateWindow(ToText(ToObject(context_.link.CadApp)->Get(L"Caption")));
        CloseWhatIsLeftOpen(context_.link);
        work(*this);
        EndChanges();
        ended = true;
    } catch (const CadBusyCancelled&) {
        // The CAD is still busy: asking it to clean up now would only ask the user again.
        cancelled_ = true;
    } catch (const CommandEnded&) {
    } catch (const AutomationError& e) {
        ReportCommandError(e.Number());
    } catch (...) {
        ReportCommandError(0);
    }
    if (!ended && !cancelled_) DeleteLeftoverSets();
    HandOverWhatItHeld();
}

std::wstring CommandFrame::NewRandomName() {
    return NumberText(FreshRandom(context_.platform.ClockTicks()));
}

DispatchPtr CommandFrame::NewSelectionSet() {
    const std::wstring name = NewRandomName();
    const DispatchPtr sets = ToObject(ToObject(context_.link.CadDoc)->Get(L"SelectionSets"));
    DispatchPtr set = ToObject(sets->Call(L"Add", {name}));
    context_.link.Open.Sets.push_back(set);
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
    // The user is shown the check lines now: from here on they are the drawing's.
    context_.link.Open.CheckLines.clear();
    return context_.platform.ShowMessage(text, title, style);
}

void CommandFrame::DrawnForChecking(const DispatchPtr& entity) {
    context_.link.Open.CheckLines.push_back(entity);
}

void CommandFrame::LetGoAfterRun(DispatchPtr object) noexcept {
    try {
        afterRun_.push_back(std::move(object));
    } catch (...) {
        // No room to keep it: it is let go of now.
    }
}

void CommandFrame::BeginChanges() {
    if (undoStep_ != UndoStep::kClosed) return;
    try {
        DispatchPtr document = ToObject(context_.link.CadDoc);
        document->Call(L"StartUndoMark");
        context_.link.Open.UndoDocument = std::move(document);
        undoStep_ = UndoStep::kOpen;
    } catch (const CadBusyCancelled&) {
        throw;
    } catch (...) {
        // An old CAD lacks the member (438), another refuses it: the command runs without a step.
        undoStep_ = UndoStep::kUnavailable;
    }
}

void CommandFrame::EndChanges() {
    if (undoStep_ != UndoStep::kOpen) return;
    try {
        context_.link.Open.UndoDocument->Call(L"EndUndoMark");
    } catch (const CadBusyCancelled&) {
        throw;  // the step stays open, to be closed once the CAD is free
    } catch (...) {
        // The changes are made; a step the CAD would not close is its own affair.
    }
    undoStep_ = UndoStep::kClosed;
    LetGoAfterRun(std::move(context_.link.Open.UndoDocument));
}

// On the way to a dialog or out of the run: a user who gives up on the busy CAD here leaves the step
// open, and the run asks the CAD nothing more.
void CommandFrame::EndChangesQuietly() noexcept {
    try {
        EndChanges();
    } catch (...) {
        cancelled_ = true;
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
    const std::optional<std::int32_t> code = IdentifyEntity(*entity, context_.link.Identity);
    if (!code) EndEarly(kUnsupportedCadMessage);
    return *code;
}

void CommandFrame::DeleteSet(const DispatchPtr& set) {
    set->Call(L"Delete");
    std::erase(context_.link.Open.Sets, set);
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

// The CAD keeps only a limited number of selection sets per session, for every program together:
// a command that ends early must not leave its sets behind. A failing delete is not reported,
// so the user sees one dialog only.
void CommandFrame::DeleteLeftoverSets() noexcept {
    try {
        CallOnEach(context_.link.Open.Sets, L"Delete", afterRun_);
    } catch (const CadBusyCancelled&) {
        // The user gave up on a busy CAD: the rest are deleted once it is free.
        cancelled_ = true;
    } catch (...) {
        // No room to keep a deleted set: the rest stay open, to be closed as a cancelled run's are.
    }
}

// After the run's last visible step. Check lines the user has not been shown are the drawing's after an
// error, as the lines drawn before it; a run the user gave up on leaves them to be deleted.
void CommandFrame::HandOverWhatItHeld() noexcept {
    std::vector<DispatchPtr>& lines = context_.link.Open.CheckLines;
    if (!cancelled_) {
        for (DispatchPtr& line : lines) LetGoAfterRun(std::move(line));
        lines.clear();
    }
    std::vector<DispatchPtr>& later = context_.link.ToLetGoOf;
    try {
        later.insert(later.end(), std::make_move_iterator(afterRun_.begin()),
                     std::make_move_iterator(afterRun_.end()));
    } catch (...) {
        // No room to keep them: they are let go of now.
    }
    afterRun_.clear();
}

// A set, line or document that is gone already (the CAD was closed meanwhile, or the user deleted the
// set) fails quietly.
void CloseWhatIsLeftOpen(CadLink& link) {
    OpenInCad& open = link.Open;
    CallOnEach(open.CheckLines, L"Delete", link.ToLetGoOf);
    if (open.UndoDocument) {
        try {
            open.UndoDocument->Call(L"EndUndoMark");
        } catch (const AutomationError&) {
        }
        link.ToLetGoOf.push_back(std::move(open.UndoDocument));
    }
    CallOnEach(open.Sets, L"Delete", link.ToLetGoOf);
}

}  // namespace korvena
