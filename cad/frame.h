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

    // Runs one command: ConnectCad, the CAD window to the front, the sets a cancelled command left
    // deleted, then `work`. A failure anywhere ends the command with ReportCommandError; an early end
    // (EndEarly) after its own dialog. On every early end the selection sets this run created and has
    // not deleted are deleted quietly. When the user gives up on a busy CAD the command ends at once,
    // without a dialog and without another call to the CAD: its sets are left for the next command.
    // Never throws.
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
    // Asks the user in a modal message box and returns the button pressed. Closes the undo step first.
    int Ask(std::wstring_view text, std::wstring_view title, int style);
    // Hands the members of a set to `step` one by one in the set's own order, as the CAD yields them;
    // each is let go of when its step is done.
    void Walk(const DispatchPtr& set, const std::function<void(const DispatchPtr&)>& step);
    // The members of a set in the set's own order, all held at once.
    std::vector<DispatchPtr> Members(const DispatchPtr& set);
    // The number of members of a set.
    std::int32_t Count(const DispatchPtr& set);
    // An entity's EntityType code.
    std::int32_t EntityType(const DispatchPtr& entity);
    // Deletes a set this run created (the normal end); a failure is an error of the command.
    void DeleteSet(const DispatchPtr& set);
    // Shows `message` (title "错误", critical icon, OK) and ends the command at once.
    [[noreturn]] void EndEarly(std::wstring_view message);

    // The command's changes to the drawing make one undo step in the CAD. BeginChanges opens it
    // (StartUndoMark on CadDoc): call it after the user's selection, right before the first change.
    // The frame closes it (EndUndoMark) before every wait for the user (SelectOnScreen, Ask, an error
    // dialog) and at the end of the run, so no step is ever open while the program waits. A CAD that
    // lacks undo marks or refuses them gets none for the rest of the run, and nothing is said. A user
    // who gives up on a busy CAD meanwhile ends the command (CadBusyCancelled); a step left open then
    // is closed when the next command starts.
    void BeginChanges();
    // Closes the open undo step; nothing when none is open. Commands call it after their last change.
    void EndChanges();

    const CadLink& Link() const noexcept { return context_.link; }

private:
    void ReportCommandError(std::int32_t number) noexcept;
    void DeleteLeftoverSets() noexcept;
    void CleanUpAfterCancelledCommand();
    void LeaveForNextCommand() noexcept;
    void EndChangesQuietly() noexcept;
    void ShowError(std::wstring_view message) noexcept;

    enum class UndoStep { kClosed, kOpen, kUnavailable };

    CommandContext& context_;
    std::vector<DispatchPtr> openSets_;  // created by this run and not yet deleted
    UndoStep undoStep_ = UndoStep::kClosed;
    DispatchPtr undoDocument_;  // the document the open step was started on
};

// Entity kinds the commands accept.
bool IsContour(std::int32_t entityType);        // 24 lightweight polyline, 23 polyline
bool IsElevationText(std::int32_t entityType);  // 32 single-line text, 21 multi-line text

}  // namespace korvena
