#include "about/aboutfrm.h"

#include <commctrl.h>

#include <string>

#include "about/shell_open.h"
#include "base/scope_exit.h"
#include "ui/win/font.h"
#include "ui/win/screen.h"
#include "ui/win/subclass.h"
#include "ui/win/tooltip.h"

namespace korvena {

using about::ControlKind;
using about::ControlRow;

namespace {

// A fixed dialog border: a title bar with a close box, no resizing, no minimize or maximize button.
// Owned by the main window, so not in the taskbar.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
// Resource ids, as aboutfrm.rc gives them.
constexpr int kHandCursorResource = 401;
constexpr int kHeaderIconResource = 402;
const ui::WindowClass kWindowClass{
    .name = L"Korvena.aboutfrm", .what = "the About window", .background = &ui::ButtonFaceBackground};

COLORREF ToColorref(about::Rgb colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

struct ControlClass {
    const wchar_t* name;
    DWORD style;
};

ControlClass ClassOf(const ControlRow& row) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    const DWORD notify = row.click != about::Click::None ? SS_NOTIFY : 0;
    switch (row.kind) {
        case ControlKind::Picture:
            return {WC_STATICW, child | WS_CLIPCHILDREN | SS_LEFT | notify};
        case ControlKind::Icon:
            return {WC_STATICW, child | SS_ICON | SS_CENTERIMAGE | SS_REALSIZECONTROL | notify};
        case ControlKind::Label:
            return {WC_STATICW, child | SS_LEFTNOWORDWRAP | SS_NOPREFIX | notify};
        case ControlKind::Button:
            return {WC_BUTTONW, child | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON};
    }
    return {};
}

}  // namespace

aboutfrm::aboutfrm(HINSTANCE instance) : instance_(instance) {}

aboutfrm::~aboutfrm() {
    Destroy();
}

// ---- Showing -------------------------------------------------------------------------------------------

void aboutfrm::ShowModal(HWND owner) {
    Create(owner);
    // The owner comes back before the window goes, so that the system activates the owner and not
    // some other program's window.
    const ScopeExit ending([&] {
        if (owner != nullptr) EnableWindow(owner, TRUE);
        Destroy();
    });
    if (owner != nullptr) EnableWindow(owner, FALSE);
    ShowWindow(Handle(), SW_SHOWNORMAL);
    UpdateWindow(Handle());
    SetFocus(Control(ControlId::Command1));

    MSG message{};
    while (!closed_ && Handle() != nullptr) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that runs the program
            break;
        }
        if (!IsDialogMessageW(Handle(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void aboutfrm::Create(HWND owner) {
    const ui::ScreenResolution screen = ui::ReadScreenResolution();
    dpiX_ = screen.dpiX;
    dpiY_ = screen.dpiY;
    twipsPerPixelX_ = screen.TwipsPerPixelX();
    twipsPerPixelY_ = screen.TwipsPerPixelY();
    closed_ = false;

    RECT outer{0, 0, twips::ToPixels(about::kClientWidthTwips, twipsPerPixelX_),
               twips::ToPixels(about::kClientHeightTwips, twipsPerPixelY_)};
    AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    outerPixels_ = SIZE{outer.right - outer.left, outer.bottom - outer.top};

    hand_ = LoadCursorW(instance_, MAKEINTRESOURCEW(kHandCursorResource));
    headerIcon_.reset(static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(kHeaderIconResource), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
    whiteBrush_.reset(CreateSolidBrush(ToColorref(about::kWhite)));

    CreateWindowOf(kWindowClass, instance_, kExStyle, std::wstring(about::kTitle).c_str(), kStyle, 0, 0,
                   outerPixels_.cx, outerPixels_.cy, owner);
    CreateControls();
    CreateTooltips();
    Form_Load();
}

void aboutfrm::CreateControls() {
    for (const ControlRow& row : about::kControls) {
        const ControlClass kind = ClassOf(row);
        const HWND parent =
            row.container == about::Container::Window ? Handle() : Control(ControlId::picBGHead);
        const ui::PixelBox box = ui::PixelBoxOf(row, twipsPerPixelX_, twipsPerPixelY_);
        const HWND control = CreateWindowExW(
            0, kind.name, std::wstring(row.text).c_str(), kind.style, box.left, box.top, box.width,
            box.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance_, nullptr);
        if (control == nullptr) {
            throw std::runtime_error("CreateWindowExW failed for a control of the About window");
        }
        const std::size_t index = about::kControls.Index(row.id);
        controls_[index] = control;
        fonts_[index] = ui::MakeFont(row.font, dpiY_);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[index].get()), FALSE);
        if (row.kind == ControlKind::Icon && headerIcon_) {
            SendMessageW(control, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(headerIcon_.get()));
        }
        if (row.kind == ControlKind::Picture) {
            // The band holds controls of its own: their clicks and colours come to the window.
            ui::Subclass<&aboutfrm::HeaderBandMessage>(control, this);
        }
    }
}

void aboutfrm::CreateTooltips() {
    tooltip_ = ui::CreateTooltipWindow(Handle(), instance_);
    if (tooltip_ == nullptr) {
        return;  // the window works without its tooltips
    }
    for (const ControlRow& row : about::kControls) {
        // The table's texts end in a null.
        if (!row.tooltip.empty()) ui::AddTooltip(tooltip_, Handle(), Control(row.id), row.tooltip);
    }
}

void aboutfrm::Form_Load() {
    CenterForm(*this);
}

void aboutfrm::CenterForm(aboutfrm& form) {
    const auto screenWidth = static_cast<float>(GetSystemMetrics(SM_CXSCREEN) * form.twipsPerPixelX_);
    const auto screenHeight = static_cast<float>(GetSystemMetrics(SM_CYSCREEN) * form.twipsPerPixelY_);
    const twips::FormPosition position = twips::CenterFormPosition(
        screenWidth, screenHeight, static_cast<float>(form.outerPixels_.cx * form.twipsPerPixelX_),
        static_cast<float>(form.outerPixels_.cy * form.twipsPerPixelY_), about::kCenterFormShare);
    form.Move(position.left, position.top);
}

void aboutfrm::Move(float leftTwips, float topTwips) {
    SetWindowPos(Handle(), nullptr, twips::ToPixels(leftTwips, twipsPerPixelX_),
                 twips::ToPixels(topTwips, twipsPerPixelY_), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Messages ------------------------------------------------------------------------------------------

void aboutfrm::OnWindowGone() noexcept {
    tooltip_ = nullptr;
    controls_ = {};
}

LRESULT aboutfrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if (id == IDOK && lParam == 0) {
                // Enter: clicks the button that has the focus, the only one there is.
                if (GetFocus() == Control(ControlId::Command1)) FollowClick(ControlId::Command1);
            } else if (about::kControls.IsControlId(id) && (code == STN_CLICKED || code == BN_CLICKED)) {
                FollowClick(static_cast<ControlId>(id));
            }
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return ColourReply(ColourControl(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)),
                               message, wParam, lParam);
        case WM_SETCURSOR:
            if (ShowHandOverLink(reinterpret_cast<HWND>(wParam))) return TRUE;
            break;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            const HDC dc = BeginPaint(Handle(), &paint);
            PaintBorderLine(dc);
            EndPaint(Handle(), &paint);
            return 0;
        }
        case WM_CLOSE:
            // The title bar's close box does what OK does.
            closed_ = true;
            return 0;
        default:
            break;
    }
    return DefWindowProcW(Handle(), message, wParam, lParam);
}

LRESULT aboutfrm::HeaderBandMessage(HWND band, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND || message == WM_CTLCOLORSTATIC) {
        return SendMessageW(Handle(), message, wParam, lParam);
    }
    return DefSubclassProc(band, message, wParam, lParam);
}

const ControlRow* aboutfrm::RowOfControl(HWND control) const noexcept {
    for (const ControlRow& row : about::kControls) {
        if (control != nullptr && Control(row.id) == control) return &row;
    }
    return nullptr;
}

void aboutfrm::FollowClick(ControlId id) {
    const about::Click click = about::kControls.RowOf(id).click;
    if (click == about::Click::Close) {
        closed_ = true;  // the modal loop ends and the window goes
    } else if (click != about::Click::None) {
        ShellOpen(Handle(), about::ShellTarget(click));  // the window stays open
    }
}

HBRUSH aboutfrm::ColourControl(HWND control, HDC dc) {
    const ControlRow* row = RowOfControl(control);
    if (row == nullptr) return nullptr;
    const bool onHeader = row->kind == ControlKind::Picture || row->container == about::Container::picBGHead;
    if (row->kind != ControlKind::Picture && row->kind != ControlKind::Icon) {
        SetTextColor(dc, ToColorref(row->colour));
    }
    if (onHeader) {
        SetBkColor(dc, ToColorref(about::kWhite));
        return whiteBrush_.get();
    }
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

// The hand over the link labels; everything else keeps the arrow of its class.
bool aboutfrm::ShowHandOverLink(HWND under) {
    const ControlRow* row = RowOfControl(under);
    if (row == nullptr || !row->handCursor || hand_ == nullptr) return false;
    SetCursor(hand_);
    return true;
}

void aboutfrm::PaintBorderLine(HDC dc) {
    const about::LineRow& line = about::linBorder;
    const ui::GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, ToColorref(line.colour)));
    const ui::SelectedObject selected(dc, pen.get());
    MoveToEx(dc, twips::ToPixels(line.x1, twipsPerPixelX_), twips::ToPixels(line.y1, twipsPerPixelY_),
             nullptr);
    LineTo(dc, twips::ToPixels(line.x2, twipsPerPixelX_), twips::ToPixels(line.y2, twipsPerPixelY_));
}

}  // namespace korvena
