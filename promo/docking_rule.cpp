#include "promo/docking_rule.h"

namespace korvena::promo {

namespace {

constexpr int kEdgePixels = 4;      // top and left hide tests, on the window rectangle
constexpr float kEdgeTwips = 4.0F;  // right hide test, on L + W

bool StrictlyInside(const PixelPoint& p, const PixelRect& r) noexcept {
    return r.left < p.x && p.x < r.right && r.top < p.y && p.y < r.bottom;
}

DockingAction MoveTo(DockingAction::Move move, float to, bool show) noexcept {
    return DockingAction{.move = move, .to = to, .show = show};
}

}  // namespace

PanelPosition CenterForm1Position(Edge edge, const Screen& screen, float width, float height) noexcept {
    PanelPosition position = twips::CenterFormPosition(screen.Width(), screen.Height(), width, height, 3);
    position.left = edge == Edge::Left ? 0.0F : screen.Width() - width;
    return position;
}

DockingAction DockingRule(const DockingView& view) noexcept {
    using Move = DockingAction::Move;
    if (view.minimized) {
        return {};
    }
    const float screenWidth = view.screen.Width();
    const float right = view.left + view.width;  // single precision, as the test below wants it

    if (StrictlyInside(view.cursor, view.window)) {
        if (view.top < 0) return MoveTo(Move::Top, -kShownOverlapTwips, true);
        if (view.left < 0) return MoveTo(Move::Left, -kShownOverlapTwips, true);
        if (right >= screenWidth)
            return MoveTo(Move::Left, screenWidth - view.width + kShownOverlapTwips, true);
        return {};
    }
    if (view.window.top <= kEdgePixels) return MoveTo(Move::Top, kHiddenStripTwips - view.height, false);
    if (view.window.left <= kEdgePixels) return MoveTo(Move::Left, kHiddenStripTwips - view.width, false);
    if (screenWidth - kEdgeTwips <= right) return MoveTo(Move::Left, screenWidth - kHiddenStripTwips, false);
    return {};
}

}  // namespace korvena::promo
