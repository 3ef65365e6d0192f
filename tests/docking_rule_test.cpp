#include "promo/docking_rule.h"

#include <gtest/gtest.h>

#include "ui/twips.h"

namespace korvena::promo {
namespace {

using Move = DockingAction::Move;

constexpr float kWidth = 1965;   // twips: 131 pixels at 15 twips per pixel
constexpr float kHeight = 9135;  // 609 pixels
constexpr Screen kScreen{.widthPixels = 1280, .heightPixels = 1024};  // 19200 x 15360 twips

// The rectangle the system reports for a panel at (left, top) twips, placed as the panel moves itself.
PixelRect RectAt(float left, float top, const Screen& screen = kScreen) {
    const twips::PixelRect p =
        twips::SetWindowPosPixels({left, top, kWidth, kHeight}, screen.twipsPerPixelX, screen.twipsPerPixelY);
    const int width = twips::ToPixels(kWidth, screen.twipsPerPixelX);
    const int height = twips::ToPixels(kHeight, screen.twipsPerPixelY);
    return {p.x, p.y, p.x + width, p.y + height};
}

DockingView PanelAt(float left, float top, PixelPoint cursor, const Screen& screen = kScreen) {
    return DockingView{.cursor = cursor,
                       .window = RectAt(left, top, screen),
                       .left = left,
                       .top = top,
                       .width = kWidth,
                       .height = kHeight,
                       .screen = screen};
}

constexpr PixelPoint kAway{640, 900};  // far from both edges, below the panels
constexpr float kTop = 2075;           // (15360 - 9135) / 3: 138 pixels down
constexpr int kMiddleY = 400;          // a row inside a panel at kTop

DockingAction Hide(Move move, float to) {
    return {.move = move, .to = to, .show = false};
}
DockingAction Reveal(Move move, float to) {
    return {.move = move, .to = to, .show = true};
}

TEST(CenterForm1, DocksAtTheEdgeAtOneThirdOfTheFreeHeight) {
    EXPECT_EQ(CenterForm1Position(Edge::Left, kScreen, kWidth, kHeight), (PanelPosition{0, kTop}));
    EXPECT_EQ(CenterForm1Position(Edge::Right, kScreen, kWidth, kHeight), (PanelPosition{17235, kTop}));
    // A screen lower than the panel puts its top above the screen, unrounded.
    const Screen low{.widthPixels = 800, .heightPixels = 600};
    EXPECT_EQ(CenterForm1Position(Edge::Right, low, kWidth, kHeight), (PanelPosition{10035, -45}));
    const Screen fine{
        .widthPixels = 1280, .heightPixels = 1024, .twipsPerPixelX = 7.5, .twipsPerPixelY = 7.5};
    EXPECT_EQ(CenterForm1Position(Edge::Right, fine, kWidth, kHeight), (PanelPosition{7635, -485}));
}

TEST(DockingTimers, Timer1StaysStillUntilTimer2sFirstTick) {
    DockingTimers timers;
    EXPECT_FALSE(timers.Timer1Runs());  // the first five seconds: no tick, no hiding
    timers.Timer2_Tick();
    EXPECT_TRUE(timers.Timer1Runs());
    EXPECT_EQ(timers.timer1Interval, 1U);
    timers.Timer2_Tick();
    EXPECT_EQ(timers.timer1Interval, 1U);
}

TEST(DockingRule, RightPanelHidesToLeaveFortyTwipsAndComesOutTenPast) {
    // Freshly docked: L + W = SW passes the right test (SW - 4 <= W + L).
    EXPECT_EQ(DockingRule(PanelAt(17235, kTop, kAway)), Hide(Move::Left, 19160));
    // Hidden at SW - 40 = 19160 twips: pixel 1277 on; columns 1278 and 1279 lie strictly inside.
    EXPECT_EQ(RectAt(19160, kTop).left, 1277);
    EXPECT_EQ(DockingRule(PanelAt(19160, kTop, {1279, kMiddleY})), Reveal(Move::Left, 17245));
    // Hidden, the cursor away: the same place again, every tick.
    EXPECT_EQ(DockingRule(PanelAt(19160, kTop, kAway)), Hide(Move::Left, 19160));
    // Out at SW - W + 10, the cursor leaving it: back into the edge.
    EXPECT_EQ(DockingRule(PanelAt(17245, kTop, kAway)), Hide(Move::Left, 19160));
    // Out, the cursor over it: shown again at the same place.
    EXPECT_EQ(DockingRule(PanelAt(17245, kTop, {1200, kMiddleY})), Reveal(Move::Left, 17245));
}

TEST(DockingRule, LeftPanelHidesToFortyMinusWidthAndComesOutAtMinusTen) {
    EXPECT_EQ(DockingRule(PanelAt(0, kTop, kAway)), Hide(Move::Left, 40 - kWidth));
    // Hidden at -1925 twips: pixels -128 to 2, so columns 0 to 2 are on screen.
    EXPECT_EQ(RectAt(-1925, kTop).right, 3);
    EXPECT_EQ(DockingRule(PanelAt(-1925, kTop, {1, kMiddleY})), Reveal(Move::Left, -10));
    EXPECT_EQ(DockingRule(PanelAt(-1925, kTop, {0, kMiddleY})), Reveal(Move::Left, -10));
    // Out at -10 twips the rectangle starts at pixel -1: the left test matches again.
    EXPECT_EQ(DockingRule(PanelAt(-10, kTop, kAway)), Hide(Move::Left, -1925));
    EXPECT_EQ(DockingRule(PanelAt(-10, kTop, {60, kMiddleY})), Reveal(Move::Left, -10));
}

TEST(DockingRule, TheRectanglesBoundaryCountsAsOutside) {
    const PixelRect r = RectAt(17245, kTop);  // out at the right edge, 1150..1280 x 138..746
    const int midX = (r.left + r.right) / 2;
    for (const PixelPoint onEdge : {PixelPoint{r.left, kMiddleY}, PixelPoint{r.right, kMiddleY},
                                    PixelPoint{midX, r.top}, PixelPoint{midX, r.bottom}}) {
        SCOPED_TRACE(testing::Message() << onEdge.x << "," << onEdge.y);
        EXPECT_EQ(DockingRule(PanelAt(17245, kTop, onEdge)), Hide(Move::Left, 19160));
    }
    for (const PixelPoint justIn : {PixelPoint{r.left + 1, kMiddleY}, PixelPoint{r.right - 1, kMiddleY},
                                    PixelPoint{midX, r.top + 1}, PixelPoint{midX, r.bottom - 1}}) {
        SCOPED_TRACE(testing::Message() << justIn.x << "," << justIn.y);
        EXPECT_EQ(DockingRule(PanelAt(17245, kTop, justIn)), Reveal(Move::Left, 17245));
    }
    // The first visible column of a hidden right panel is its rectangle's left edge: it stays hidden.
    EXPECT_EQ(DockingRule(PanelAt(19160, kTop, {1277, kMiddleY})), Hide(Move::Left, 19160));
}

TEST(DockingRule, APanelAwayFromEveryEdgeIsLeftAlone) {
    // Fully out, touching no edge: neither moved nor shown, wherever the cursor is.
    EXPECT_EQ(DockingRule(PanelAt(3000, 3000, {300, 400})), DockingAction{});
    EXPECT_EQ(DockingRule(PanelAt(3000, 3000, kAway)), DockingAction{});
    // Five pixels from the left and top edges is too far to hide there.
    EXPECT_EQ(DockingRule(PanelAt(75, 75, kAway)), DockingAction{});
}

TEST(DockingRule, RightTestsAllowFourTwipsToHideAndNoneToShow) {
    // L + W = SW - 4 hides; SW - 5 does not.
    EXPECT_EQ(DockingRule(PanelAt(19200 - 4 - kWidth, kTop, kAway)), Hide(Move::Left, 19160));
    EXPECT_EQ(DockingRule(PanelAt(19200 - 5 - kWidth, kTop, kAway)), DockingAction{});
    // Under the cursor, a panel one twip short of the edge is not shown; one at the edge is.
    EXPECT_EQ(DockingRule(PanelAt(19200 - 1 - kWidth, kTop, {1200, kMiddleY})), DockingAction{});
    EXPECT_EQ(DockingRule(PanelAt(19200 - kWidth, kTop, {1200, kMiddleY})), Reveal(Move::Left, 17245));
}

TEST(DockingRule, APanelNearTheTopHidesUpwardFirst) {
    // 600 pixels high: T = (9000 - 9135) / 3 = -45 twips, the rectangle's top at -3 pixels.
    const Screen low{.widthPixels = 800, .heightPixels = 600};
    const float top = CenterForm1Position(Edge::Right, low, kWidth, kHeight).top;
    EXPECT_EQ(DockingRule(PanelAt(10035, top, kAway, low)), Hide(Move::Top, 40 - kHeight));
    EXPECT_EQ(DockingRule(PanelAt(0, top, kAway, low)), Hide(Move::Top, 40 - kHeight));
    // Hidden upward at -9095: rows 0 to 2 on screen; the cursor there brings it out at T = -10,
    // before the left or right tests are asked.
    EXPECT_EQ(RectAt(0, -9095, low).bottom, 3);
    EXPECT_EQ(DockingRule(PanelAt(0, -9095, {50, 1}, low)), Reveal(Move::Top, -10));
    EXPECT_EQ(DockingRule(PanelAt(10035, -9095, {750, 1}, low)), Reveal(Move::Top, -10));
    // Out at T = -10 the top is at pixel 0: up again when the cursor leaves.
    EXPECT_EQ(DockingRule(PanelAt(10035, -10, kAway, low)), Hide(Move::Top, -9095));

    // A top at 4 pixels still hides upward; at 5 pixels the panel hides sideways.
    const Screen fourDown{.widthPixels = 1280, .heightPixels = 623};  // T = 70 twips: pixel 4
    const Screen fiveDown{.widthPixels = 1280, .heightPixels = 624};  // T = 75 twips: pixel 5
    EXPECT_EQ(DockingRule(PanelAt(0, 70, kAway, fourDown)), Hide(Move::Top, 40 - kHeight));
    EXPECT_EQ(DockingRule(PanelAt(0, 75, kAway, fiveDown)), Hide(Move::Left, 40 - kWidth));
}

TEST(DockingRule, AMinimizedPanelIsLeftAlone) {
    for (const PixelPoint cursor : {kAway, PixelPoint{1279, kMiddleY}}) {
        DockingView view = PanelAt(19160, kTop, cursor);
        view.minimized = true;
        EXPECT_EQ(DockingRule(view), DockingAction{});
    }
}

TEST(DockingRule, FollowsTheScreensTwipsPerPixel) {
    // 144 dots per inch: 10 twips per pixel, the screen 12800 twips wide.
    const Screen sharp{.widthPixels = 1280, .heightPixels = 1024, .twipsPerPixelX = 10, .twipsPerPixelY = 10};
    const float left = CenterForm1Position(Edge::Right, sharp, kWidth, kHeight).left;
    EXPECT_EQ(left, 10835);
    EXPECT_EQ(DockingRule(PanelAt(left, 200, kAway, sharp)), Hide(Move::Left, 12760));
    EXPECT_EQ(DockingRule(PanelAt(12760, 200, {1278, 100}, sharp)), Reveal(Move::Left, 10845));
}

}  // namespace
}  // namespace korvena::promo
