#include "app/form1.h"

#include <commctrl.h>
#include <imm.h>

#include <optional>
#include <stdexcept>
#include <vector>

#include "about/about_links.h"
#include "about/aboutfrm.h"
#include "about/shell_open.h"
#include "app/control_class.h"
#include "app/help_file_path.h"
#include "app/html_help.h"
#include "base/scope_exit.h"
#include "cad/busy_cad.h"
#include "cad/frame.h"
#include "commands/matching_contour_assignment.h"
#include "commands/pick_elevation.h"
#include "commands/scatter_point_assignment.h"
#include "commands/sequential_contour_assignment.h"
#include "ui/win/font.h"
#include "ui/win/program_end.h"
#include "ui/win/screen.h"
#include "ui/win/subclass.h"
#include "ui/win/tooltip.h"

namespace korvena {

using form1::ControlKind;
using form1::ControlRow;

namespace {

constexpr DWORD kStyle = form1::kWindowStyle;
constexpr DWORD kExStyle = 0;
constexpr COLORREF kFocusColour = RGB(192, 255, 192);
constexpr COLORREF kFrameCaptionColour = RGB(255, 0, 0);
constexpr COLORREF kLabelColour = RGB(0, 0, 255);
constexpr int kIconResource = 1;  // korvena.rc
const ui::WindowClass kWindowClass{.name = L"Korvena.Form1",
                                   .what = "the main window",
                                   .iconResource = kIconResource,
                                   .background = &ui::ButtonFaceBackground};

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ModuleFileName() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

Form1::Form1(HINSTANCE instance, Platform& platform, CadLink& link)
    : instance_(instance), platform_(platform), link_(link) {}

Form1::~Form1() {
    SetBeforeProgramEnds({});
    Destroy();
}

// ---- Creation ------------------------------------------------------------------------------------------

void Form1::Create() {
    const ui::ScreenResolution screen = ui::ReadScreenResolution();
    dpiX_ = screen.dpiX;
    dpiY_ = screen.dpiY;
    twipsPerPixelX_ = screen.TwipsPerPixelX();
    twipsPerPixelY_ = screen.TwipsPerPixelY();

    RECT outer{0, 0, twips::ToPixels(form1::kClientWidthTwips, twipsPerPixelX_),
               twips::ToPixels(form1::kClientHeightTwips, twipsPerPixelY_)};
    AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    outerPixels_ = SIZE{outer.right - outer.left, outer.bottom - outer.top};
    placement_ = twips::TwipsRect{.left = 0,
                                  .top = 0,
                                  .width = outerPixels_.cx * twipsPerPixelX_,
                                  .height = outerPixels_.cy * twipsPerPixelY_};

    captionFont_ = ui::MakeFont(form1::kCaptionFont, dpiY_);
    inputFont_ = ui::MakeFont(form1::kInputFont, dpiY_);
    focusBrush_.reset(CreateSolidBrush(kFocusColour));

    CreateWindowOf(kWindowClass, instance_, kExStyle, std::wstring(form1::kCaption).c_str(), kStyle, 0, 0,
                   outerPixels_.cx, outerPixels_.cy, nullptr);
    CreateControls();
    SetBeforeProgramEnds([this] { BeforeProgramEnds(); });
    Form_Load();
}

// Each control is made in its place, its class and style from its kind.
void Form1::CreateControls() {
    for (const ControlId id : form1::CreationOrder()) {
        const ControlRow& row = form1::kControls.RowOf(id);
        const form1::ControlClass kind = form1::ClassOf(row.kind);
        const ui::PixelBox box = form1::ToClientPixels(row, twipsPerPixelX_, twipsPerPixelY_);
        const HWND control = CreateWindowExW(kind.exStyle, kind.name, std::wstring(row.text).c_str(), kind.style,
                                             box.left, box.top, box.width, box.height, Handle(),
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
        if (control == nullptr) {
            throw std::runtime_error("CreateWindowExW failed for a control of the main window");
        }
        controls_[form1::kControls.Index(id)] = control;
        const HFONT font = row.kind == ControlKind::TextInput ? inputFont_.get() : captionFont_.get();
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (row.kind == ControlKind::Frame) {
            // Group boxes under visual styles draw their caption in the theme's colour, whatever
            // WM_CTLCOLORSTATIC says; the frames paint themselves to show theirs in red.
            ui::Subclass<&Form1::FrameMessage>(control, this);
        }
        if (row.kind == ControlKind::TextInput) {
            // The inputs take numbers: typing goes straight in, past any input method editor.
            ImmAssociateContext(control, nullptr);
        }
    }
    ui::Subclass<&Form1::Text1Message>(Control(ControlId::Text1), this);
    lastFocus_ = Control(form1::CreationOrder().front());
}

void Form1::CreateTooltips() {
    tooltip_ = ui::CreateTooltipWindow(Handle(), instance_);
    if (tooltip_ == nullptr) {
        return;  // the window works without its tooltips
    }
    for (const ControlRow& row : form1::kControls) {
        if (row.kind == ControlKind::Label)
            ui::AddTooltip(tooltip_, Handle(), Control(row.id), form1::kLabelTip);
    }
}

// ---- Start-up ------------------------------------------------------------------------------------------

void Form1::Form_Load() {
    OpenPromotionalWindows();
    RecordHelpFile();
    CenterForm(*this);
    PinOnTop();
}

void Form1::OpenPromotionalWindows() {
    // Modeless, before the main window shows; each docks at its edge and loads its browser.
    adfrm_.Show();
    ad1frm_.Show();
}

void Form1::RecordHelpFile() {
    helpFile_ = HelpFilePath(ExecutableFolder(ModuleFileName()));
}

void Form1::CenterForm(Form1& window) {
    const auto screenWidth = static_cast<float>(GetSystemMetrics(SM_CXSCREEN) * window.twipsPerPixelX_);
    const auto screenHeight = static_cast<float>(GetSystemMetrics(SM_CYSCREEN) * window.twipsPerPixelY_);
    const twips::FormPosition position =
        twips::CenterFormPosition(screenWidth, screenHeight, static_cast<float>(window.placement_.width),
                                  static_cast<float>(window.placement_.height), form1::kCenterFormShare);
    window.Move(position.left, position.top);
}

void Form1::Move(float leftTwips, float topTwips) {
    placement_.left = leftTwips;
    placement_.top = topTwips;
    const twips::PixelRect pixels = twips::SetWindowPosPixels(placement_, twipsPerPixelX_, twipsPerPixelY_);
    SetWindowPos(Handle(), nullptr, pixels.x, pixels.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1::PinOnTop() {
    const twips::PixelRect pixels = twips::PinnedPlacement(placement_, twipsPerPixelX_, twipsPerPixelY_,
                                                           outerPixels_.cx, outerPixels_.cy);
    // A failure leaves the window where it is, not topmost; nothing else depends on it.
    SetWindowPos(Handle(), HWND_TOPMOST, pixels.x, pixels.y, pixels.cx, pixels.cy, 0);
}

void Form1::Show(int showCommand) {
    ShowWindow(Handle(), showCommand);
    UpdateWindow(Handle());
    RestoreFocus();
    // What the user does not need to see the window comes after its first paint.
    PostMessageW(Handle(), kFinishStartUp, 0, 0);
}

void Form1::FinishStartUp() {
    // After the pinning: under Wine, an owned topmost popup (the tooltip) that exists already keeps
    // SetWindowPos(HWND_TOPMOST) from making its owner topmost.
    if (tooltip_ == nullptr) CreateTooltips();
    adfrm_.LoadPage();
    ad1frm_.LoadPage();
}

bool Form1::TranslateDialogKey(MSG& message) noexcept {
    return Handle() != nullptr && IsDialogMessageW(Handle(), &message) != FALSE;
}

// ---- Messages ------------------------------------------------------------------------------------------

LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == IDOK && lParam == 0) {
                ClickFocusedButton();
            } else if (form1::kControls.IsControlId(id)) {
                HandleControlNotification(static_cast<ControlId>(id), HIWORD(wParam),
                                          reinterpret_cast<HWND>(lParam));
            }
            return 0;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            return ColourReply(ColourControl(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)),
                               message, wParam, lParam);
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) {
                RestoreFocus();
                return 0;
            }
            break;
        case WM_SETFOCUS:
            RestoreFocus();
            return 0;
        case WM_HELP:
            ShowContextHelp();
            return TRUE;
        case WM_CLOSE:
            // The title bar's close box and Alt+F4 end the program as the exit button does: the
            // promotional panels must not stay behind without a way to close them.
            EndProgramWhenIdle();
            return 0;
        case WM_ENDSESSION:
            // Windows is ending the session: the program ends now, also in the middle of a command.
            if (wParam != FALSE && !ending_) EndProgram();
            return 0;
        case WM_TIMER:
            if (wParam == kCleanUpTimer) {
                CleanUpTick();
            } else if (wParam == kLetGoTimer) {
                LetGoTick();
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case kFinishStartUp:
            FinishStartUp();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(Handle(), message, wParam, lParam);
}

void Form1::RestoreFocus() {
    if (lastFocus_ != nullptr && IsWindowEnabled(lastFocus_)) {
        SetFocus(lastFocus_);
    }
}

void Form1::HandleControlNotification(ControlId id, int code, HWND control) {
    if (const std::optional<Input> input = form1::InputOf(id)) {
        if (code == EN_SETFOCUS) {
            lastFocus_ = control;
            Input_GotFocus(*input);
        } else if (code == EN_KILLFOCUS) {
            Input_LostFocus(*input);
        }
    } else if (form1::kControls.RowOf(id).kind == ControlKind::Button) {
        if (code == BN_SETFOCUS) {
            lastFocus_ = control;
        } else if (code == BN_CLICKED) {
            ClickButton(id);
        }
    }
}

// Enter where the focused control does not take it: the dialog keys report it as IDOK. On a push
// button it clicks the button, as Space does; elsewhere it does nothing.
void Form1::ClickFocusedButton() {
    const HWND focus = GetFocus();
    const int id = GetDlgCtrlID(focus);
    if (GetParent(focus) == Handle() && form1::kControls.IsControlId(id) &&
        form1::kControls.RowOf(static_cast<ControlId>(id)).kind == ControlKind::Button) {
        ClickButton(static_cast<ControlId>(id));
    }
}

// Colours of the window's own controls; null for anything else.
HBRUSH Form1::ColourControl(HWND control, HDC dc) {
    const int id = GetDlgCtrlID(control);
    if (GetParent(control) != Handle() || !form1::kControls.IsControlId(id)) {
        return nullptr;
    }
    const ControlRow& row = form1::kControls.RowOf(static_cast<ControlId>(id));
    if (const std::optional<Input> input = form1::InputOf(row.id)) {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        if (highlighted_[static_cast<std::size_t>(*input)]) {
            SetBkColor(dc, kFocusColour);
            return focusBrush_.get();
        }
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return GetSysColorBrush(COLOR_WINDOW);
    }
    SetTextColor(dc, row.kind == ControlKind::Frame   ? kFrameCaptionColour
                     : row.kind == ControlKind::Label ? kLabelColour
                                                      : GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

LRESULT Form1::Text1Message(HWND text1, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE: {
            // Enter must reach the input as a character instead of being taken by the dialog keys.
            LRESULT code = DefSubclassProc(text1, message, wParam, lParam);
            const auto* pending = reinterpret_cast<const MSG*>(lParam);
            if (pending != nullptr && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN) {
                code |= DLGC_WANTMESSAGE;
            }
            return code;
        }
        case WM_CHAR:
            if (wParam == VK_RETURN) {
                // Handled here alone: a single-line input would answer Enter with a beep.
                Text1_KeyPress(static_cast<wchar_t>(wParam));
                return 0;
            }
            break;
        default:
            break;
    }
    return DefSubclassProc(text1, message, wParam, lParam);
}

LRESULT Form1::FrameMessage(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return TRUE;  // WM_PAINT fills the background
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            const HDC dc = BeginPaint(frame, &paint);
            PaintFrame(frame, dc);
            EndPaint(frame, &paint);
            return 0;
        }
        default:
            break;
    }
    return DefSubclassProc(frame, message, wParam, lParam);
}

// A frame: an etched line round its rectangle, broken at the top left by its caption in red. The
// frame lies below the controls in z-order and clips them out, so it may fill its whole area.
void Form1::PaintFrame(HWND frame, HDC dc) {
    RECT area{};
    GetClientRect(frame, &area);
    FillRect(dc, &area, ColourControl(frame, dc));  // also sets the caption's colours

    const ui::SelectedObject font(dc, captionFont_.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT line = area;
    line.top += metrics.tmHeight / 2 - 1;
    DrawEdge(dc, &line, EDGE_ETCHED, BF_RECT);

    const std::wstring caption = WindowText(frame);
    if (!caption.empty()) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        const int inset = MulDiv(8, dpiX_, 96);
        const int gap = MulDiv(2, dpiX_, 96);
        const RECT band{area.left + inset - gap, area.top, area.left + inset + extent.cx + gap,
                        area.top + metrics.tmHeight};
        ExtTextOutW(dc, area.left + inset, area.top, ETO_OPAQUE | ETO_CLIPPED, &band, caption.c_str(),
                    static_cast<UINT>(caption.size()), nullptr);
    }
}

// ---- Inputs --------------------------------------------------------------------------------------------

void Form1::Input_GotFocus(Input input) {
    const HWND control = InputControl(input);
    SendMessageW(control, EM_SETSEL, 0, -1);
    highlighted_[static_cast<std::size_t>(input)] = true;
    InvalidateRect(control, nullptr, TRUE);
}

void Form1::Input_LostFocus(Input input) {
    highlighted_[static_cast<std::size_t>(input)] = false;
    InvalidateRect(InputControl(input), nullptr, TRUE);
}

void Form1::Text1_KeyPress(wchar_t keyAscii) {
    if (keyAscii == L'\r') {
        SetFocus(Control(ControlId::Text2));
    }
}

std::wstring Form1::Text(Input input) const {
    return WindowText(InputControl(input));
}

void Form1::SetText(Input input, std::wstring_view text) {
    SetWindowTextW(InputControl(input), std::wstring(text).c_str());
}

void Form1::FocusText1() {
    SetFocus(Control(ControlId::Text1));
}

// ---- Buttons -------------------------------------------------------------------------------------------

void Form1::ClickButton(ControlId id) {
    struct ClickHandler {
        ControlId button;
        void (Form1::*click)();
    };
    static constexpr ClickHandler kClickHandlers[] = {
        {ControlId::Command1, &Form1::Command1_Click},
        {ControlId::Command3, &Form1::Command3_Click},
        {ControlId::Command4, &Form1::Command4_Click},
        {ControlId::Command5, &Form1::Command5_Click},
        {ControlId::Command6, &Form1::Command6_Click},
        {ControlId::xpcmdbutton6, &Form1::xpcmdbutton6_Click},
        {ControlId::xpcmdbutton7, &Form1::xpcmdbutton7_Click},
    };
    for (const ClickHandler& handler : kClickHandlers) {
        if (handler.button == id) (this->*handler.click)();
    }
}

void Form1::RunCommand(void (*command)(CommandContext&)) {
    // A command waits inside COM calls and while it waits out a busy CAD, where clicks may still be
    // delivered: while one runs, a click on another command button is dropped rather than starting a
    // second one inside it.
    if (commandRunning_ || ending_) return;
    {
        commandRunning_ = true;
        const ScopeExit finished([this] { commandRunning_ = false; });

        CommandContext context{.platform = platform_, .link = link_, .window = *this};
        command(context);
    }
    if (endRequested_) EndProgram();
    AfterCommand();
}

void Form1::AfterCommand() {
    if (!link_.ToLetGoOf.empty()) SetTimer(Handle(), kLetGoTimer, USER_TIMER_MINIMUM, nullptr);
    if (!link_.Open.Empty()) {
        // The same pauses as the waiting for a busy CAD inside a command.
        cleanUpPause_ = kBusyFirstPause;
        SetTimer(Handle(), kCleanUpTimer, static_cast<UINT>(cleanUpPause_.count()), nullptr);
    }
}

// One quiet attempt: a call the busy CAD refuses is not waited for, and the next attempt comes after a
// longer pause. Once everything is closed, or the CAD has gone (its calls fail), the attempts stop.
void Form1::CleanUpTick() {
    KillTimer(Handle(), kCleanUpTimer);
    if (commandRunning_ || ending_) return;  // the command closes them first; so does the end
    try {
        const QuietBusyWait quiet;
        CloseWhatIsLeftOpen(link_);
    } catch (...) {
        // Still busy: the rest waits for the next attempt.
    }
    if (!link_.ToLetGoOf.empty()) SetTimer(Handle(), kLetGoTimer, USER_TIMER_MINIMUM, nullptr);
    if (link_.Open.Empty()) return;
    cleanUpPause_ = NextBusyPause(cleanUpPause_);
    SetTimer(Handle(), kCleanUpTimer, static_cast<UINT>(cleanUpPause_.count()), nullptr);
}

// A few at a time: each release is a call to the CAD of its own, and a click waits for the slice only.
// Not while what a cancelled command left is still open: the CAD is busy then and would refuse the
// releases too; the clean-up starts them when it is done.
void Form1::LetGoTick() {
    constexpr std::size_t kAtOnce = 16;
    std::vector<DispatchPtr>& objects = link_.ToLetGoOf;
    if (commandRunning_ || ending_ || objects.empty() || !link_.Open.Empty()) {
        KillTimer(Handle(), kLetGoTimer);  // the end of a command or of the clean-up starts it again
        return;
    }
    for (std::size_t i = 0; i < kAtOnce && !objects.empty(); ++i) objects.pop_back();
    if (objects.empty()) KillTimer(Handle(), kLetGoTimer);
}

// A command that runs is finished first, so that it leaves nothing of its own behind in the drawing.
void Form1::EndProgramWhenIdle() {
    if (ending_) return;
    if (commandRunning_) {
        endRequested_ = true;
        return;
    }
    EndProgram();
}

void Form1::BeforeProgramEnds() noexcept {
    ending_ = true;
    KillTimer(Handle(), kCleanUpTimer);
    KillTimer(Handle(), kLetGoTimer);
    // The program is gone for the user at once; what follows is between it and the CAD.
    ShowWindow(Handle(), SW_HIDE);
    adfrm_.Hide();
    ad1frm_.Hide();
    if (link_.Open.Empty()) return;
    try {
        // Time for the last refused call and the end itself within kLongestEnd.
        const QuietBusyWait quiet(kLongestEnd - std::chrono::milliseconds(300));
        CloseWhatIsLeftOpen(link_);
    } catch (...) {
        // The CAD did not take them in time: the program ends all the same.
    }
}

void Form1::Command1_Click() {
    RunCommand(&SequentialContourAssignment);
}

void Form1::Command3_Click() {
    EndProgramWhenIdle();
}

void Form1::Command4_Click() {
    RunCommand(&MatchingContourAssignment);
}

void Form1::Command5_Click() {
    RunCommand(&ScatterPointAssignment);
}

void Form1::Command6_Click() {
    RunCommand(&PickElevation);
}

void Form1::xpcmdbutton6_Click() {
    // The path is composed anew on every click; a click while the viewer is open asks again.
    ShowHelpTopic(Handle(), HelpFilePath(ExecutableFolder(ModuleFileName())));
}

void Form1::xpcmdbutton7_Click() {
    // The About window is modal and would open inside a command's waits: while one runs, the click is
    // dropped like those on the command buttons.
    if (commandRunning_ || ending_) return;
    // The About window opens also when the shell could not open the site.
    ShellOpen(Handle(), about::MakerSiteAddress);
    aboutfrm about(instance_);
    about.ShowModal(Handle());
}

void Form1::ShowContextHelp() {
    ShowHelpTopic(Handle(), helpFile_);
}

}  // namespace korvena
