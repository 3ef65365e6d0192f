#pragma once
// adfrm and ad1frm: the two promotional panels. Tall, narrow, borderless and topmost, not in the
// taskbar, filled by a web browser; each docks at its screen edge, hides into it while the mouse is
// away and comes out when the mouse touches the strip left on screen. The twins differ only in
// their edge. Nothing in them closes them: they end with the program.

#include <windows.h>

#include "promo/docking_rule.h"
#include "promo/web_browser.h"

namespace korvena::promo {

class PromotionalWindow {
public:
    // A panel docking at `edge`: Edge::Right is adfrm, Edge::Left is ad1frm.
    PromotionalWindow(HINSTANCE instance, Edge edge) noexcept;
    ~PromotionalWindow();
    PromotionalWindow(const PromotionalWindow&) = delete;
    PromotionalWindow& operator=(const PromotionalWindow&) = delete;

    // The modeless show: creates the panel and runs its load first if it does not exist yet, then
    // shows it. The panel does not take the focus from the window that has it.
    // Throws std::runtime_error when the window cannot be created.
    void Show();

    HWND Handle() const noexcept { return hwnd_; }

    // Moves `form` to its edge at one third of the free screen height; its size stays.
    void CenterForm1(PromotionalWindow& form);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void Create();
    void Form_Load();
    void Timer2_Tick();
    void Timer1_Tick();
    // The form's Move: a new Left and Top in twips; the size stays.
    void Move(float leftTwips, float topTwips);

    HINSTANCE instance_;
    Edge edge_;
    HWND hwnd_ = nullptr;
    Screen screen_;
    // Left, Top, Width and Height in twips, as the panel keeps them.
    float left_ = 0;
    float top_ = 0;
    float width_ = 0;
    float height_ = 0;
    SIZE pixels_{};  // the window's size in pixels
    DockingTimers timers_;
    WebBrowser WebBrowser1;
};

}  // namespace korvena::promo
