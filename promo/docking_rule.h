#pragma once
// The docking of the promotional panels adfrm and ad1frm: where a panel stands when it opens, and
// what each tick of its Timer1 does with it. Plain arithmetic on the panel's twips and the pixels the
// system reports, with no window header, so that every case is tested on the host.

#include "ui/twips.h"

namespace korvena::promo {

// The screen edge a panel docks at: ad1frm at the left, adfrm at the right.
enum class Edge { Left, Right };

// The screen as the panels see it: its size in pixels and its twips per pixel.
struct Screen {
    int widthPixels = 0;
    int heightPixels = 0;
    double twipsPerPixelX = 15;
    double twipsPerPixelY = 15;

    // Width and height in twips, single precision, as the panels reckon them.
    float Width() const noexcept { return static_cast<float>(widthPixels * twipsPerPixelX); }
    float Height() const noexcept { return static_cast<float>(heightPixels * twipsPerPixelY); }
};

// A panel's place in twips: its Left and Top.
using PanelPosition = twips::FormPosition;

// CenterForm1: the panel at its edge (left: L = 0; right: L = SW - W), its top at one third of the
// free height, T = (SH - H) / 3. Single precision, not rounded.
PanelPosition CenterForm1Position(Edge edge, const Screen& screen, float width, float height) noexcept;

// Timer2 ticks every 5 s and sets Timer1 going at 1 ms; until its first tick Timer1 is still (interval
// 0), so a panel never hides in its first five seconds.
struct DockingTimers {
    static constexpr unsigned kTimer2Interval = 5000;  // ms
    static constexpr unsigned kTimer1Interval = 1;     // ms, once started

    unsigned timer1Interval = 0;  // 0: Timer1 does not fire

    void Timer2_Tick() noexcept { timer1Interval = kTimer1Interval; }
    bool Timer1Runs() const noexcept { return timer1Interval != 0; }
};

struct PixelPoint {
    int x = 0;
    int y = 0;
};

// A window rectangle in screen pixels; right and bottom lie just outside the window.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// What one Timer1 tick sees.
struct DockingView {
    PixelPoint cursor;  // GetCursorPos
    PixelRect window;   // GetWindowRect of the panel
    float left = 0;     // the panel's L, T, W, H in twips
    float top = 0;
    float width = 0;
    float height = 0;
    Screen screen;
    bool minimized = false;  // WindowState 1
};

// What one Timer1 tick does: move the panel's Left or Top to `to` (twips), then perhaps show it.
struct DockingAction {
    enum class Move { None, Left, Top };

    Move move = Move::None;
    float to = 0;
    bool show = false;

    friend bool operator==(const DockingAction&, const DockingAction&) = default;
};

// The twips of a hidden panel that stay on screen, and how far past its edge a panel comes out.
inline constexpr float kHiddenStripTwips = 40;
inline constexpr float kShownOverlapTwips = 10;

// One Timer1 tick. A minimized panel is left alone. With the cursor strictly inside the window
// rectangle a hidden panel comes out, 10 twips past its edge (top first, then left, then right) and
// is shown; a panel that touches no edge stays as it is. With the cursor anywhere else (its boundary
// included) the panel hides into the first edge it is near, leaving 40 twips: the top or left within
// 4 pixels of the rectangle, the right within 4 twips of L + W.
DockingAction DockingRule(const DockingView& view) noexcept;

}  // namespace korvena::promo
