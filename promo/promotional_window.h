#pragma once
// adfrm and ad1frm: the two promotional panels. Tall, narrow, borderless and topmost, not in the
// taskbar, filled by a web browser; each docks at its screen edge, hides into it while the mouse is
// away and comes out when the mouse touches the strip left on screen. The twins differ only in
// their edge. Nothing in them closes them: they end with the program.

#include <windows.h>

#include "promo/docking_rule.h"
#include "promo/web_browser.h"
#include "ui/win/window_impl.h"

namespace korvena::promo {

class PromotionalWindow final : public ui::WindowImpl<PromotionalWindow> {
public:
    // A panel docking at `edge`: Edge::Right is adfrm, Edge::Left is ad1frm.
    PromotionalWindow(HINSTANCE instance, Edge edge) noexcept;
    ~PromotionalWindow();

    // The modeless show: creates the panel and runs its load first if it does not exist yet, then
    // shows it. The panel does not take the focus from the window that has it.
    // Throws std::runtime_error when the window cannot be created.
    void Show();
    // Fills the shown panel with its page, once: the browser engine, when the system has one, is
    // created and sent to the page. The main window asks for it when it is on screen itself, so that
    // starting an engine does not hold up the program's start.
    void LoadPage();

    // Moves `form` to its edge at one third of the free screen height; its size stays.
    void CenterForm1(PromotionalWindow& form);

    // Takes the panel off the screen for good: its timers stop, so that it does not come out again.
    void Hide() noexcept;

private:
    friend class ui::WindowImpl<PromotionalWindow>;
    // A panel's failure is no reason to end the program: the message is dropped.
    template <class Handler>
    static LRESULT GuardMessage(Handler&& handle) noexcept {
        try {
            return handle();
        } catch (...) {
            return 0;
        }
    }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Creates the window and Timer2; the browser comes with LoadPage.
    void Create();
    void Form_Load();
    void Timer2_Tick();
    void Timer1_Tick();
    // The screen has a new size: the panel goes to its edge of the new screen, as at load.
    void Screen_Change();
    // The form's Move: a new Left and Top in twips; the size stays.
    void Move(float leftTwips, float topTwips);

    HINSTANCE instance_;
    Edge edge_;
    Screen screen_;  // the size as the panel last read it; its twips per pixel stay those of its creation
    // Left, Top, Width and Height in twips, as the panel keeps them.
    float left_ = 0;
    float top_ = 0;
    float width_ = 0;
    float height_ = 0;
    SIZE pixels_{};  // the window's size in pixels
    DockingTimers timers_;
    WebBrowser WebBrowser1;
    RECT browserBox_{};       // where the browser goes, in client pixels
    bool pageAsked_ = false;  // LoadPage has run
};

}  // namespace korvena::promo
