#pragma once
// CommandFrame: the skeleton every CAD command shares. It arms the error trap, connects, brings the
// CAD to the front, creates randomly named selection sets, prompts on the CAD command line, lets the
// user select, walks the selection and reports failures with one of two dialogs.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cad/cad_link.h"
#include "cad/dispatch.h"
#include "cad/main_window_inputs.h"
#include "cad/platform.h"

namespace korvena {

inline constexpr std::wstring_view kErrorTitle = L"错误";
inline constexpr std::wstring_view kOldCadMessage = L"该程序不支持R14，请选择R2000以上的版本！  ";
inline constexpr std::wstring_view kUnknownErrorMessage = L"操作不当或其它未知原因！  ";
inline constexpr std::wstring_view kNotAContourMessage = L"不能识别等高线对象，请选择多段线！   ";
// A CAD whose entities can say what they are neither by AutoCAD's codes nor by their class names.
inline constexpr std::wstring_view kUnsupportedCadMessage =
    L"该程序不支持此CAD的自动化接口，请选择AutoCAD或兼容的CAD！  ";

// Everything a command works with, owned by the program and lent for one run.
struct CommandContext {
    Platform& platform;
    CadLink& link;
    MainWindowInputs& window;
};

// "======" + text + "======" + line feed + carriage return.
std::wstring CadPromptLine(std::wstring_view text);

// The dialog text for an error number: 438 means the CAD lacks a member; anything else is generic.
std::wstring_view CommandErrorMessage(std::int32_t number);

class CommandFrame {
public:
    explicit CommandFrame(CommandContext& context) : context_(context) {}
    CommandFrame(const CommandFrame&) = delete;
    CommandFrame& operator=(const CommandFrame&) = delete;

    // Runs one command: ConnectCad, the CAD window to the front, what a cancelled command left open
    // closed (CloseWhatIsLeftOpen), then `work`. A failure anywhere ends the command with
    // ReportCommandError; an early end (EndEarly) after its own dialog. On every early end the selection
    // sets this run created and has not deleted are deleted quietly, after the dialog. When the user
    // gives up on a busy CAD the command ends at once, without a dialog and without another call to the
    // CAD: what it has open stays in the link's Open, for the program to close once the CAD is free.
    // What the run hands to LetGoAfterRun goes to the link's ToLetGoOf at the end. Never throws.
    void Run(const std::function<void(CommandFrame&)>& work) noexcept;

    // A fresh random name like .7055475: the clock reseeds the generator on every call.
    std::wstring NewRandomName();
    // A new selection set under a fresh random name.
    DispatchPtr NewSelectionSet();
    // Writes CadPromptLine(text) to the CAD command line.
    void CadPrompt(std::wstring_view text);
    // Writes a line to the CAD command line exactly as given.
    void PromptRaw(const std::wstring& line);
    // Lets the user select in the CAD; returns when the selection has ended. Closes the undo step first.
    void SelectOnScreen(const DispatchPtr& set);
    // Asks the user in a modal message box and returns the button pressed. Closes the undo step first;
    // the check lines drawn so far are the drawing's from then on (DrawnForChecking).
    int Ask(std::wstring_view text, std::wstring_view title, int style);
    // An entity the run drew for the user to check (a check line). Until the next Ask shows it, the run
    // owns it: a run the user gives up on meanwhile has it deleted with its sets. The command keeps its
    // own reference.
    void DrawnForChecking(const DispatchPtr& entity);
    // An object the command holds no longer; it is let go of after the run's last visible step, with the
    // rest (the link's ToLetGoOf). For what a command holds many of at once: COM releases each object with
    // a call of its own to the CAD, and letting go of a thousand takes seconds.
    void LetGoAfterRun(DispatchPtr object) noexcept;
    // Hands the members of a set to `step` one by one in the set's own order, as the CAD yields them;
    // each is let go of when its step is done.
    void Walk(const DispatchPtr& set, const std::function<void(const DispatchPtr&)>& step);
    // The members of a set in the set's own order, all held at once.
    std::vector<DispatchPtr> Members(const DispatchPtr& set);
    // The number of members of a set.
    std::int32_t Count(const DispatchPtr& set);
    // What an entity is, as AutoCAD's EntityType code (IdentifyEntity, by the link's Identity). A CAD
    // that cannot say ends the command with kUnsupportedCadMessage.
    std::int32_t EntityType(const DispatchPtr& entity);
    // Deletes a set this run created (the normal end); a failure is an error of the command.
    void DeleteSet(const DispatchPtr& set);
    // Shows `message` (title "错误", critical icon, OK) and ends the command at once.
    [[noreturn]] void EndEarly(std::wstring_view message);

    // The command's changes to the drawing make one undo step in the CAD. BeginChanges opens it
    // (StartUndoMark on CadDoc): call it after the user's selection, right before the first change.
    // The frame closes it (EndUndoMark) before every wait for the user (SelectOnScreen, Ask, an error
    // dialog) and at the end of the run. A CAD that lacks undo marks or refuses them gets none for the
    // rest of the run, and nothing is said. The one wait with the step open is the wait for a busy CAD
    // that refuses the calls: the step is open while the program makes them again and while the busy box
    // asks the user. A user who gives up ends the command (CadBusyCancelled) and the step stays open in
    // the CAD until it takes the EndUndoMark the program keeps making quietly, or the next command's, or
    // the one the program makes before it ends (a CAD that is busy past the program's end keeps it open);
    // the user's own edits in the CAD meanwhile fall into it.
    void BeginChanges();
    // Closes the open undo step; nothing when none is open. Commands call it after their last change.
    void EndChanges();

    const CadLink& Link() const noexcept { return context_.link; }

private:
    void ReportCommandError(std::int32_t number) noexcept;
    void DeleteLeftoverSets() noexcept;
    void EndChangesQuietly() noexcept;
    void ShowError(std::wstring_view message) noexcept;
    void HandOverWhatItHeld() noexcept;

    enum class UndoStep { kClosed, kOpen, kUnavailable };

    CommandContext& context_;
    UndoStep undoStep_ = UndoStep::kClosed;  // kOpen: its document is the link's Open.UndoDocument
    bool cancelled_ = false;                 // the user gave up on a busy CAD: nothing more is asked of it
    std::vector<DispatchPtr> afterRun_;      // to be let go of after the run
};

// Closes what the program has open in the CAD (link.Open): deletes the check lines, ends the undo step
// (the lines' deletion falls into it), deletes the sets. Each call is made once, waited for as any call
// when the CAD is busy (quietly under a QuietBusyWait), and taken out of link.Open when done or failed
// (the object was gone already, the CAD is gone); what it took out goes to link.ToLetGoOf. Throws
// CadBusyCancelled when a wait is given up, with the rest still open. Nothing else is asked of the CAD.
void CloseWhatIsLeftOpen(CadLink& link);

// Entity kinds the commands accept.
bool IsContour(std::int32_t entityType);        // 24 lightweight polyline, 23 polyline
bool IsElevationText(std::int32_t entityType);  // 32 single-line text, 21 multi-line text

}  // namespace korvena
