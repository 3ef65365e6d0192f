#pragma once
// Form1: the main window. A small fixed, topmost window with two framed groups (scatter points above,
// contours below) and a row of three buttons; its four inputs are what the commands read.

#include <windows.h>

#include <array>
#include <chrono>
#include <string>
#include <string_view>

#include "app/form1_layout.h"
#include "cad/cad_link.h"
#include "cad/main_window_inputs.h"
#include "cad/platform.h"
#include "promo/promotional_window.h"
#include "ui/twips.h"
#include "ui/win/gdi_object.h"
#include "ui/win/window_impl.h"

namespace korvena {

struct CommandContext;

class Form1 final : public MainWindowInputs, public ui::WindowImpl<Form1> {
public:
    using ControlId = form1::ControlId;

    // The window keeps references to both for its whole life.
    Form1(HINSTANCE instance, Platform& platform, CadLink& link);
    ~Form1() override;

    // Creates the window and its controls and runs Form_Load; the window stays hidden.
    // Throws std::runtime_error when the window cannot be created.
    void Create();
    // Shows the window and puts the focus into the first control in tab order (Text3).
    void Show(int showCommand);

    HWND Control(ControlId id) const noexcept { return controls_[form1::kControls.Index(id)]; }
    // The keyboard interface of the window (Tab, Shift+Tab, Enter, Space on a button) for one message
    // of the loop; true when the message was used up.
    bool TranslateDialogKey(MSG& message) noexcept;

    // Moves `window` to the middle of the screen across, and to one fifth of the free height down;
    // its size stays. Reckoned on the window's outer size, in twips, in single precision.
    void CenterForm(Form1& window);

    // The help file recorded at load, for the platform's context help (F1).
    const std::wstring& HelpFile() const noexcept { return helpFile_; }

    // Before the program ends, however it ends: the windows go, and when the CAD has something of the
    // program's still open (a command the user gave up on while the CAD was busy, or one that runs), the
    // CAD is given a little time to take its closing calls. Nothing is asked of the user.
    void BeforeProgramEnds() noexcept;

    // MainWindowInputs
    std::wstring Text(Input input) const override;
    void SetText(Input input, std::wstring_view text) override;
    void FocusText1() override;

private:
    friend class ui::WindowImpl<Form1>;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Text1 takes Enter as a character; a frame paints itself with its caption in red.
    LRESULT Text1Message(HWND text1, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT FrameMessage(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);
    // WM_COMMAND from a control: focus notes of the inputs and buttons, and clicks.
    void HandleControlNotification(ControlId id, int code, HWND control);
    void ClickFocusedButton();
    HBRUSH ColourControl(HWND control, HDC dc);
    void RestoreFocus();
    void PaintFrame(HWND frame, HDC dc);

    void CreateControls();
    void CreateTooltips();
    // Posted by Show: the tooltips and the panels' pages, once the window is on screen.
    static constexpr UINT kFinishStartUp = WM_APP + 1;
    void FinishStartUp();

    // Between commands: what a command left open in a busy CAD is closed once the CAD takes it, and the
    // objects a command held are let go of a few at a time. Both run off timers, whose messages come
    // after the user's input, and neither while a command runs or the program ends.
    enum TimerId : UINT_PTR { kCleanUpTimer = 1, kLetGoTimer = 2 };
    void AfterCommand();
    void CleanUpTick();
    void LetGoTick();

    // Start-up, in this order.
    void Form_Load();
    void OpenPromotionalWindows();
    void RecordHelpFile();
    void PinOnTop();
    // Puts the window's outer left-top corner at the given twips (CenterForm's move).
    void Move(float leftTwips, float topTwips);

    // Focus highlight and keys of the inputs.
    void Input_GotFocus(Input input);
    void Input_LostFocus(Input input);
    void Text1_KeyPress(wchar_t keyAscii);

    // Button clicks.
    void ClickButton(ControlId id);
    void Command1_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void xpcmdbutton6_Click();
    void xpcmdbutton7_Click();
    void RunCommand(void (*command)(CommandContext&));
    void EndProgramWhenIdle();
    // F1 anywhere in the window.
    void ShowContextHelp();

    HWND InputControl(Input input) const noexcept { return Control(form1::InputId(input)); }

    HINSTANCE instance_;
    Platform& platform_;
    CadLink& link_;
    HWND tooltip_ = nullptr;
    std::array<HWND, form1::kControlCount> controls_{};
    HWND lastFocus_ = nullptr;           // the control that had the focus last; gets it back on activation
    std::array<bool, 4> highlighted_{};  // per Input: the input shows the light-green background
    bool commandRunning_ = false;
    bool endRequested_ = false;  // the exit button or a close while a command ran
    bool ending_ = false;        // the program is ending: nothing starts any more
    std::chrono::milliseconds cleanUpPause_{};

    int dpiX_ = 96;
    int dpiY_ = 96;
    double twipsPerPixelX_ = 15;
    double twipsPerPixelY_ = 15;
    twips::TwipsRect placement_;  // outer rectangle of the window, in twips
    SIZE outerPixels_{};          // outer size of the window, in pixels

    ui::GdiObject<HFONT> captionFont_;  // frames, labels, buttons
    ui::GdiObject<HFONT> inputFont_;    // text inputs
    ui::GdiObject<HBRUSH> focusBrush_;  // background of the input that has the focus

    std::wstring helpFile_;

    // The promotional panels, opened at load: adfrm at the right edge, ad1frm at the left.
    promo::PromotionalWindow adfrm_{instance_, promo::Edge::Right};
    promo::PromotionalWindow ad1frm_{instance_, promo::Edge::Left};
};

}  // namespace korvena
