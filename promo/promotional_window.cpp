#include "promo/promotional_window.h"

#include <stdexcept>
#include <string_view>

#include "app/twips.h"
#include "app/window_object.h"

namespace korvena::promo {

namespace {

constexpr wchar_t kClassName[] = L"Korvena.PromotionalWindow";
constexpr wchar_t kTitle[] = L"休息一下，马上回来！";  // no title bar shows it
constexpr DWORD kStyle = WS_POPUP | WS_CLIPCHILDREN;   // no border, no title bar, no buttons
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;           // not in the taskbar
constexpr COLORREF kBackground = RGB(197, 210, 240);
constexpr int kIconResource = 2;  // korvena.rc: the panels' own icon

// The panel and its browser, in twips. The browser reaches past the window on every side, so that
// its own border and any scroll bars of a page lie outside.
constexpr float kWidthTwips = 1965;
constexpr float kHeightTwips = 9135;
constexpr twips::TwipsRect kBrowserTwips{.left = -100, .top = -200, .width = 2400, .height = 9690};

// Both panels show the blank page.
constexpr std::wstring_view kPageAddress = L"about:blank";

enum TimerId : UINT_PTR { Timer1 = 1, Timer2 = 2 };

Screen CurrentScreen() noexcept {
    const HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return Screen{.widthPixels = GetSystemMetrics(SM_CXSCREEN),
                  .heightPixels = GetSystemMetrics(SM_CYSCREEN),
                  .twipsPerPixelX = twips::TwipsPerPixel(dpiX),
                  .twipsPerPixelY = twips::TwipsPerPixel(dpiY)};
}

void RegisterPanelClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (GetClassInfoExW(instance, kClassName, &windowClass)) return;
    windowClass = WNDCLASSEXW{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(kBackground);  // kept with the class for the program's life
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0) {
        throw std::runtime_error("RegisterClassExW failed for a promotional window");
    }
}

}  // namespace

PromotionalWindow::PromotionalWindow(HINSTANCE instance, Edge edge) noexcept
    : instance_(instance), edge_(edge) {}

PromotionalWindow::~PromotionalWindow() {
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
}

void PromotionalWindow::Show() {
    if (hwnd_ == nullptr) {
        Create();
        Form_Load();
    }
    if (!IsWindowVisible(hwnd_)) {
        ShowWindow(hwnd_, SW_SHOWNA);
    }
}

void PromotionalWindow::Create() {
    screen_ = CurrentScreen();
    width_ = kWidthTwips;
    height_ = kHeightTwips;
    pixels_ = SIZE{twips::ToPixels(width_, screen_.twipsPerPixelX),
                   twips::ToPixels(height_, screen_.twipsPerPixelY)};
    RegisterPanelClass(instance_, &PromotionalWindow::WindowProc);
    if (CreateWindowExW(kExStyle, kClassName, kTitle, kStyle, 0, 0, pixels_.cx, pixels_.cy, nullptr, nullptr,
                        instance_, this) == nullptr) {
        throw std::runtime_error("CreateWindowExW failed for a promotional window");
    }
    const RECT box{
        twips::ToPixels(kBrowserTwips.left, screen_.twipsPerPixelX),
        twips::ToPixels(kBrowserTwips.top, screen_.twipsPerPixelY),
        twips::ToPixels(kBrowserTwips.left + kBrowserTwips.width, screen_.twipsPerPixelX),
        twips::ToPixels(kBrowserTwips.top + kBrowserTwips.height, screen_.twipsPerPixelY),
    };
    // Without a browser engine the panel shows its own background and the program goes on.
    WebBrowser1.Create(hwnd_, box);
    SetTimer(hwnd_, Timer2, DockingTimers::kTimer2Interval, nullptr);
}

void PromotionalWindow::Form_Load() {
    CenterForm1(*this);
    // Topmost at the place just set. x is rounded, y truncated; the window keeps its pixel size,
    // which dividing by a rounded twips-per-pixel factor would change on a screen of 168 or 192 dpi.
    const twips::PixelRect pixels =
        twips::PinnedPlacement({left_, top_, width_, height_}, screen_.twipsPerPixelX, screen_.twipsPerPixelY,
                               pixels_.cx, pixels_.cy);
    SetWindowPos(hwnd_, HWND_TOPMOST, pixels.x, pixels.y, pixels.cx, pixels.cy, 0);
    WebBrowser1.Navigate(kPageAddress);
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
    SetWindowPos(hwnd_, nullptr, pixels.x, pixels.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PromotionalWindow::Timer2_Tick() {
    const bool starting = !timers_.Timer1Runs();
    timers_.Timer2_Tick();
    if (starting) {
        SetTimer(hwnd_, Timer1, timers_.timer1Interval, nullptr);
    }
}

void PromotionalWindow::Timer1_Tick() {
    POINT cursor{};
    GetCursorPos(&cursor);
    RECT window{};
    GetWindowRect(hwnd_, &window);
    const DockingView view{.cursor = {cursor.x, cursor.y},
                           .window = {window.left, window.top, window.right, window.bottom},
                           .left = left_,
                           .top = top_,
                           .width = width_,
                           .height = height_,
                           .screen = screen_,
                           .minimized = IsIconic(hwnd_) != FALSE};
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

LRESULT CALLBACK PromotionalWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) noexcept {
    PromotionalWindow* self = WindowObject<PromotionalWindow>(hwnd, message, lParam);
    if (self == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCCREATE) self->hwnd_ = hwnd;
    if (message == WM_NCDESTROY) {
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // A panel's failure is no reason to end the program: the message is dropped.
        return 0;
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
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace korvena::promo
