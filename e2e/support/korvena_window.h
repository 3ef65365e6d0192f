#pragma once
// korvena.exe driven from outside, as a user would: its main window's controls found by their ids,
// texts typed, buttons clicked, the focus and message boxes read back.

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "app/form1_layout.h"
#include "e2e/support/process.h"
#include "e2e/support/program.h"

namespace korvena::e2e {

using form1::ControlId;

// A message box of another process.
struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
};

class KorvenaWindow {
public:
    // Starts korvena.exe and waits for its main window. Throws std::runtime_error when it does not come.
    KorvenaWindow();
    // The same with the program at `exe` (a copy in a folder of the test's own).
    explicit KorvenaWindow(const std::wstring& exe);

    HWND Handle() const noexcept { return main_; }
    DWORD ProcessId() const noexcept { return process_.Id(); }
    ChildProcess& Process() noexcept { return process_; }

    HWND Control(ControlId id) const;
    // The control's rectangle in the main window's client pixels.
    RECT ClientRect(ControlId id) const;
    std::wstring Text(ControlId id) const;
    void Type(ControlId id, const std::wstring& text) const;  // WM_SETTEXT
    void Click(ControlId id) const;                           // PostMessage(BM_CLICK)
    // Posts a key press (down, char, up) to the control that has the focus.
    void PressKey(WORD virtualKey, wchar_t character = 0) const;
    // The control that has the keyboard focus in the program's window thread, if one of ours.
    std::optional<ControlId> Focused() const;
    // The selection of an edit control: start and end.
    std::pair<int, int> Selection(ControlId id) const;

    // Waits for a message box of the program; nullopt on time-out.
    std::optional<MessageBoxSeen> WaitForMessageBox(std::chrono::milliseconds timeout) const;
    // Waits until no message box of the program is on screen.
    bool WaitForNoMessageBox(std::chrono::milliseconds timeout) const;

    // The program's promotional panels on screen, from left to right.
    std::vector<HWND> PromotionalWindows() const;

private:
    ChildProcess process_;
    HWND main_ = nullptr;
    DWORD thread_ = 0;
};

// Presses OK on a message box and waits until it has closed.
void AnswerOk(const MessageBoxSeen& box);
// Waits for the program's error dialog (title "错误") and answers it with OK; the test fails when none
// comes within `timeout`, when its text is not `text`, or when a box is still there afterwards.
void ExpectErrorDialog(const KorvenaWindow& korvena, std::wstring_view text,
                       std::chrono::milliseconds timeout = std::chrono::seconds(20));
// Presses a button of a message box by its id (IDYES, IDNO, ...) and waits until the box has closed;
// false when it has no such button or did not close.
bool Answer(const MessageBoxSeen& box, int buttonId);

}  // namespace korvena::e2e
