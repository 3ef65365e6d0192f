#include "promo/promotional_window.h"

#include <string_view>

#include "ui/twips.h"
#include "ui/win/screen.h"

namespace korvena::promo {

namespace {

constexpr wchar_t kTitle[] = L"休息一下，马上回来！";  // no title bar shows it
constexpr DWORD kStyle = WS_POPUP | WS_CLIPCHILDREN;   // no border, no title bar, no buttons
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;           // not in the taskbar
constexpr COLORREF kBackground = RGB(197, 210, 240);
constexpr int kIconResource = 2;  // korvena.rc: the panels' own icon
// The background brush is made once, with the class, and kept for the program's life.
const ui::WindowClass kWindowClass{.name = L"Korvena.PromotionalWindow",
                                   .what = "a promotional window",
                                   .iconResource = kIconResource,
                                   .background = [] { return CreateSolidBrush(kBackground); }};

// The panel and its browser, in twips. The browser reaches past the window on every side, so that
// its own border and any scroll bars of a page lie outside.
constexpr float kWidthTwips = 1965;
constexpr float kHeightTwips = 9135;
constexpr twips::TwipsRect kBrowserTwips{.left = -100, .top = -200, .width = 2400, .height = 9690};

// Both panels show the blank page.
constexpr std::wstring_view kPageAddress = L"about:blank";

enum TimerId : UINT_PTR { Timer1 = 1, Timer2 = 2 };

Screen CurrentScreen() noexcept {
    const ui::ScreenResolution resolution = ui::ReadScreenResolution();
    return Screen{.widthPixels = GetSystemMetrics(SM_CXSCREEN),
                  .heightPixels = GetSystemMetrics(SM_CYSCREEN),
                  .twipsPerPixelX = resolution.TwipsPerPixelX(),
                  .twipsPerPixelY = resolution.TwipsPerPixelY()};
}

// The screen's size now: it changes with the resolution or the monitor, its dots per inch do not for
// the life of a process that is aware of the system's.
Screen ScreenNow(Screen screen) noexcept {
    screen.widthPixels = GetSystemMetrics(SM_CXSCREEN);
    screen.heightPixels = GetSystemMetrics(SM_CYSCREEN);
    return screen;
}

}  // namespace

PromotionalWindow::PromotionalWindow(HINSTANCE instance, Edge edge) noexcept
    : instance_(instance), edge_(edge) {}

PromotionalWindow::~PromotionalWindow() {
    Destroy();
}

void PromotionalWindow::Show() {
    if (Handle() == nullptr) {
        Create();
        Form_Load();
    }
    if (!IsWindowVisible(Handle())) {
        ShowWindow(Handle(), SW_SHOWNA);
    }
}

void PromotionalWindow::Create() {
    screen_ = CurrentScreen();
    width_ = kWidthTwips;
    height_ = kHeightTwips;
    pixels_ = SIZE{twips::ToPixels(width_, screen_.twipsPerPixelX),
                   twips::ToPixels(height_, screen_.twipsPerPixelY)};
    CreateWindowOf(kWindowClass, instance_, kExStyle, kTitle, kStyle, 0, 0, pixels_.cx, pixels_.cy, nullptr);
    const RECT box{
        twips::ToPixels(kBrowserTwips.left, screen_.twipsPerPixelX),
        twips::ToPixels(kBrowserTwips.top, screen_.twipsPerPixelY),
        twips::ToPixels(kBrowserTwips.left + kBrowserTwips.width, screen_.twipsPerPixelX),
        twips::ToPixels(kBrowserTwips.top + kBrowserTwips.height, screen_.twipsPerPixelY),
    };
    browserBox_ = box;
    SetTimer(Handle(), Timer2, DockingTimers::kTimer2Interval, nullptr);
}

void PromotionalWindow::Form_Load() {
    CenterForm1(*this);
    // Topmost at the place just set. x is rounded, y truncated; the window keeps its pixel size,
    // which dividing by a rounded twips-per-pixel factor would change on a screen of 168 or 192 dpi.
    const twips::PixelRect pixels =
        twips::PinnedPlacement({left_, top_, width_, height_}, screen_.twipsPerPixelX, screen_.twipsPerPixelY,
                               pixels_.cx, pixels_.cy);
    SetWindowPos(Handle(), HWND_TOPMOST, pixels.x, pixels.y, pixels.cx, pixels.cy, 0);
}

void PromotionalWindow::LoadPage() {
    if (Handle() == nullptr || pageAsked_) return;
    pageAsked_ = true;
    // Without a browser engine the panel shows its own background and the program goes on.
    if (WebBrowser1.Create(Handle(), browserBox_)) WebBrowser1.Navigate(kPageAddress);
}

void PromotionalWindow::CenterForm1(PromotionalWindow& form) {
    const PanelPosition position = CenterForm1Position(edge_, form.screen_, form.width_, form.height_);
    form.Move(position.left, position.top);
}

void PromotionalWindow::Move(float leftTwips, float topTwips) {
    left_ = leftTwips;
    top_ = topTwips;
    const twips::PixelRect pixels = twips::SetWindowPosPixels({left_, top_, width_, height_},
                                                              screen_.twipsPerPixelX, screen_.twipsPerPixelY);
    SetWindowPos(Handle(), nullptr, pixels.x, pixels.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PromotionalWindow::Timer2_Tick() {
    const bool starting = !timers_.Timer1Runs();
    timers_.Timer2_Tick();
    if (starting) {
        SetTimer(Handle(), Timer1, timers_.timer1Interval, nullptr);
    }
}

void PromotionalWindow::Hide() noexcept {
    if (Handle() == nullptr) return;
    KillTimer(Handle(), Timer1);
    KillTimer(Handle(), Timer2);
    ShowWindow(Handle(), SW_HIDE);
}

void PromotionalWindow::Screen_Change() {
    screen_ = ScreenNow(screen_);
    CenterForm1(*this);
}

void PromotionalWindow::Timer1_Tick() {
    screen_ = ScreenNow(screen_);
    POINT cursor{};
    GetCursorPos(&cursor);
    RECT window{};
    GetWindowRect(Handle(), &window);
    const DockingView view{.cursor = {cursor.x, cursor.y},
                           .window = {window.left, window.top, window.right, window.bottom},
                           .left = left_,
                           .top = top_,
                           .width = width_,
                           .height = height_,
                           .screen = screen_,
                           .minimized = IsIconic(Handle()) != FALSE};
    const DockingAction action = DockingRule(view);
    switch (action.move) {
        case DockingAction::Move::Left:
            Move(action.to, top_);
            break;
        case DockingAction::Move::Top:
            Move(left_, action.to);
            break;
        case DockingAction::Move::None:
            break;
    }
    if (action.show) {
        Show();
    }
}

LRESULT PromotionalWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == Timer2) {
                Timer2_Tick();
            } else if (wParam == Timer1) {
                Timer1_Tick();
            }
            return 0;
        case WM_CLOSE:
            // Nothing the user can reach closes a panel (Alt+F4 included): it ends with the program.
            return 0;
        case WM_DISPLAYCHANGE:
            Screen_Change();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(Handle(), message, wParam, lParam);
}

}  // namespace korvena::promo
