#include "about/aboutfrm.h"

#include <commctrl.h>

#include <exception>
#include <stdexcept>
#include <string>

#include "about/shell_open.h"
#include "app/program_end.h"
#include "app/window_object.h"

namespace korvena {

using about::ControlKind;
using about::ControlRow;

namespace {

constexpr std::wstring_view kClassName = L"Korvena.aboutfrm";
// A fixed dialog border: a title bar with a close box, no resizing, no minimize or maximize button.
// Owned by the main window, so not in the taskbar.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
// Resource ids, as aboutfrm.rc gives them.
constexpr int kHandCursorResource = 401;
constexpr int kHeaderIconResource = 402;

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

HFONT MakeFont(const about::Font& font, int dpi) {
    LOGFONTW log{};
    log.lfHeight = -twips::PointsToPixels(font.points, dpi);
    log.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    log.lfUnderline = font.underline ? TRUE : FALSE;
    log.lfCharSet = font.chinese ? GB2312_CHARSET : DEFAULT_CHARSET;
    log.lfOutPrecision = OUT_DEFAULT_PRECIS;
    log.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    log.lfQuality = DEFAULT_QUALITY;
    log.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    font.face.copy(log.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&log);
}

}  // namespace

aboutfrm::aboutfrm(HINSTANCE instance) : instance_(instance) {}

aboutfrm::~aboutfrm() {
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
}

// ---- Showing -------------------------------------------------------------------------------------------

void aboutfrm::ShowModal(HWND owner) {
    Create(owner);
    // The owner comes back before the window goes, so that the system activates the owner and not
    // some other program's window.
    struct Ending {
        aboutfrm& form;
        HWND owner;
        ~Ending() {
            if (owner != nullptr) EnableWindow(owner, TRUE);
            if (form.hwnd_ != nullptr) DestroyWindow(form.hwnd_);
        }
    } ending{*this, owner};
    if (owner != nullptr) EnableWindow(owner, FALSE);
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    SetFocus(Control(ControlId::Command1));

    MSG message{};
    while (!closed_ && hwnd_ != nullptr) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that runs the program
            break;
        }
        if (!IsDialogMessageW(hwnd_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void aboutfrm::Create(HWND owner) {
    const HDC screen = GetDC(nullptr);
    dpiX_ = GetDeviceCaps(screen, LOGPIXELSX);
    dpiY_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    twipsPerPixelX_ = twips::TwipsPerPixel(dpiX_);
    twipsPerPixelY_ = twips::TwipsPerPixel(dpiY_);
    closed_ = false;

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (!GetClassInfoExW(instance_, kClassName.data(), &windowClass)) {
        windowClass = WNDCLASSEXW{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &aboutfrm::WindowProc;
        windowClass.hInstance = instance_;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kClassName.data();
        if (RegisterClassExW(&windowClass) == 0) {
            throw std::runtime_error("RegisterClassExW failed for the About window");
        }
    }

    RECT outer{0, 0, twips::ToPixels(about::kClientWidthTwips, twipsPerPixelX_),
               twips::ToPixels(about::kClientHeightTwips, twipsPerPixelY_)};
    AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    outerPixels_ = SIZE{outer.right - outer.left, outer.bottom - outer.top};

    hand_ = LoadCursorW(instance_, MAKEINTRESOURCEW(kHandCursorResource));
    headerIcon_.reset(static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(kHeaderIconResource), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
    whiteBrush_.reset(CreateSolidBrush(ToColorref(about::kWhite)));

    if (CreateWindowExW(kExStyle, kClassName.data(), std::wstring(about::kTitle).c_str(), kStyle, 0, 0,
                        outerPixels_.cx, outerPixels_.cy, owner, nullptr, instance_, this) == nullptr) {
        throw std::runtime_error("CreateWindowExW failed for the About window");
    }
    CreateControls();
    CreateTooltips();
    Form_Load();
}

void aboutfrm::CreateControls() {
    for (const ControlRow& row : about::kControls) {
        const ControlClass kind = ClassOf(row);
        const HWND parent = row.container == about::Container::Window ? hwnd_ : Control(ControlId::picBGHead);
        const about::PixelBox box = about::ToContainerPixels(row, twipsPerPixelX_, twipsPerPixelY_);
        const HWND control = CreateWindowExW(
            0, kind.name, std::wstring(row.text).c_str(), kind.style, box.left, box.top, box.width,
            box.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance_, nullptr);
        if (control == nullptr) {
            throw std::runtime_error("CreateWindowExW failed for a control of the About window");
        }
        controls_[about::Row(row.id)] = control;
        fonts_[about::Row(row.id)].reset(MakeFont(row.font, dpiY_));
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[about::Row(row.id)].get()), FALSE);
        if (row.kind == ControlKind::Icon && headerIcon_) {
            SendMessageW(control, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(headerIcon_.get()));
        }
        if (row.kind == ControlKind::Picture) {
            // The band holds controls of its own: their clicks and colours come to the window.
            SetWindowSubclass(control, &aboutfrm::HeadSubclass, 0, reinterpret_cast<DWORD_PTR>(this));
        }
    }
}

void aboutfrm::CreateTooltips() {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    if (tooltip_ == nullptr) {
        return;  // the window works without its tooltips
    }
    for (const ControlRow& row : about::kControls) {
        if (row.tooltip.empty()) continue;
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(Control(row.id));
        tool.lpszText = const_cast<wchar_t*>(row.tooltip.data());  // the table's texts end in a null
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void aboutfrm::Form_Load() {
    CenterForm(*this);
}

void aboutfrm::CenterForm(aboutfrm& form) {
    const auto screenWidth = static_cast<float>(GetSystemMetrics(SM_CXSCREEN) * form.twipsPerPixelX_);
    const auto screenHeight = static_cast<float>(GetSystemMetrics(SM_CYSCREEN) * form.twipsPerPixelY_);
    const twips::FormPosition position = about::CenterFormPosition(
        screenWidth, screenHeight, static_cast<float>(form.outerPixels_.cx * form.twipsPerPixelX_),
        static_cast<float>(form.outerPixels_.cy * form.twipsPerPixelY_));
    form.Move(position.left, position.top);
}

void aboutfrm::Move(float leftTwips, float topTwips) {
    SetWindowPos(hwnd_, nullptr, twips::ToPixels(leftTwips, twipsPerPixelX_),
                 twips::ToPixels(topTwips, twipsPerPixelY_), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Messages ------------------------------------------------------------------------------------------

LRESULT CALLBACK aboutfrm::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    aboutfrm* self = WindowObject<aboutfrm>(hwnd, message, lParam);
    if (self == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCCREATE) self->hwnd_ = hwnd;
    if (message == WM_NCDESTROY) {
        self->hwnd_ = nullptr;
        self->tooltip_ = nullptr;
        self->controls_ = {};
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        EndProgramOnError(error.what());
    } catch (...) {
        EndProgramOnError({});
    }
}

LRESULT aboutfrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if (id == IDOK && lParam == 0) {
                // Enter: clicks the button that has the focus, the only one there is.
                if (GetFocus() == Control(ControlId::Command1)) OnClick(ControlId::Command1);
            } else if (about::IsControlId(id) && (code == STN_CLICKED || code == BN_CLICKED)) {
                OnClick(static_cast<ControlId>(id));
            }
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (const HBRUSH brush =
                    OnControlColour(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam))) {
                return reinterpret_cast<LRESULT>(brush);
            }
            break;
        case WM_SETCURSOR:
            if (OnSetCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
            break;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            const HDC dc = BeginPaint(hwnd_, &paint);
            Paint(dc);
            EndPaint(hwnd_, &paint);
            return 0;
        }
        case WM_CLOSE:
            // The title bar's close box does what OK does.
            closed_ = true;
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK aboutfrm::HeadSubclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR self) noexcept {
    switch (message) {
        case WM_COMMAND:
        case WM_CTLCOLORSTATIC:
            return SendMessageW(reinterpret_cast<aboutfrm*>(self)->hwnd_, message, wParam, lParam);
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, &aboutfrm::HeadSubclass, id);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

const ControlRow* aboutfrm::RowOfControl(HWND control) const noexcept {
    for (const ControlRow& row : about::kControls) {
        if (control != nullptr && Control(row.id) == control) return &row;
    }
    return nullptr;
}

void aboutfrm::OnClick(ControlId id) {
    const about::Click click = about::RowOf(id).click;
    if (click == about::Click::Close) {
        closed_ = true;  // the modal loop ends and the window goes
    } else if (click != about::Click::None) {
        ShellOpen(hwnd_, about::ShellTarget(click));  // the window stays open
    }
}

HBRUSH aboutfrm::OnControlColour(HWND control, HDC dc) {
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
bool aboutfrm::OnSetCursor(HWND under) {
    const ControlRow* row = RowOfControl(under);
    if (row == nullptr || !row->handCursor || hand_ == nullptr) return false;
    SetCursor(hand_);
    return true;
}

void aboutfrm::Paint(HDC dc) {
    const about::LineRow& line = about::linBorder;
    const HPEN pen = CreatePen(PS_SOLID, 1, ToColorref(line.colour));
    const HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, twips::ToPixels(line.x1, twipsPerPixelX_), twips::ToPixels(line.y1, twipsPerPixelY_),
             nullptr);
    LineTo(dc, twips::ToPixels(line.x2, twipsPerPixelX_), twips::ToPixels(line.y2, twipsPerPixelY_));
    SelectObject(dc, old);
    DeleteObject(pen);
}

}  // namespace korvena
