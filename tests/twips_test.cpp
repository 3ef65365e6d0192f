#include "ui/twips.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvena::twips {
namespace {

TEST(TwipsPerPixel, FollowsTheScreenResolution) {
    EXPECT_DOUBLE_EQ(TwipsPerPixel(96), 15.0);
    EXPECT_DOUBLE_EQ(TwipsPerPixel(120), 12.0);
    EXPECT_DOUBLE_EQ(TwipsPerPixel(144), 10.0);
    EXPECT_DOUBLE_EQ(TwipsPerPixel(192), 7.5);
}

TEST(Nearest, SendsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(Nearest(0.5), 0);
    EXPECT_EQ(Nearest(1.5), 2);
    EXPECT_EQ(Nearest(2.5), 2);
    EXPECT_EQ(Nearest(496.5), 496);
    EXPECT_EQ(Nearest(497.5), 498);
    EXPECT_EQ(Nearest(-0.5), 0);
    EXPECT_EQ(Nearest(-1.5), -2);
    EXPECT_EQ(Nearest(-2.5), -2);
}

TEST(Nearest, RoundsOtherFractionsToTheCloserInteger) {
    EXPECT_EQ(Nearest(496.53), 497);
    EXPECT_EQ(Nearest(496.49), 496);
    EXPECT_EQ(Nearest(-496.53), -497);
    EXPECT_EQ(Nearest(-496.49), -496);
    EXPECT_EQ(Nearest(7.0), 7);
}

TEST(IntegerDivide, RoundsBothOperandsBeforeDividing) {
    EXPECT_EQ(IntegerDivide(7448, 15), 496);
    EXPECT_EQ(IntegerDivide(44.5, 15), 2);     // 44.5 goes to 44, not 45
    EXPECT_EQ(IntegerDivide(45.5, 15), 3);     // 45.5 goes to 46
    EXPECT_EQ(IntegerDivide(4290, 7.5), 536);  // divisor 7.5 goes to 8
    EXPECT_EQ(IntegerDivide(100, 6.5), 16);    // divisor 6.5 goes to 6
}

TEST(IntegerDivide, TruncatesTowardZero) {
    EXPECT_EQ(IntegerDivide(29, 15), 1);
    EXPECT_EQ(IntegerDivide(-22, 15), -1);
    EXPECT_EQ(IntegerDivide(-30, 15), -2);
}

TEST(ToPixels, IsExactForWholePixelsAndOffByHalfAPixelAtMost) {
    for (const int dpi : {96, 120, 144, 168, 192}) {
        const double tpp = TwipsPerPixel(dpi);
        for (int pixels = 0; pixels <= 2000; ++pixels) {
            ASSERT_EQ(ToPixels(pixels * tpp, tpp), pixels) << dpi << " dpi";
        }
        for (int length = 0; length <= 20000; length += 7) {
            ASSERT_LE(std::abs(ToPixels(length, tpp) - length / tpp), 0.5) << length << " twips at " << dpi;
        }
    }
}

TEST(ToPixels, ScalesOneAndAHalfTimesAt144Dpi) {
    const double tpp = TwipsPerPixel(144);
    EXPECT_EQ(ToPixels(4200, tpp), 420);
    EXPECT_EQ(ToPixels(855, tpp), 86);    // 85.5 goes to the even 86
    EXPECT_EQ(ToPixels(375, tpp), 38);    // 37.5 goes to the even 38
    EXPECT_EQ(ToPixels(1095, tpp), 110);  // 109.5 goes to 110
}

TEST(PointsToPixels, GivesTheFontHeights) {
    EXPECT_EQ(PointsToPixels(9, 96), 12);
    EXPECT_EQ(PointsToPixels(10.5, 96), 14);
    EXPECT_EQ(PointsToPixels(9, 144), 18);
    EXPECT_EQ(PointsToPixels(10.5, 144), 21);
    EXPECT_EQ(PointsToPixels(9, 120), 15);
    EXPECT_EQ(PointsToPixels(10.5, 120), 18);  // 17.5 goes to the even 18
}

TEST(SetWindowPosPixels, RoundsXButTruncatesYAndSize) {
    const TwipsRect rect{.left = 7448, .top = 7448, .width = 4290, .height = 4995};
    const PixelRect pixels = SetWindowPosPixels(rect, 15, 15);
    EXPECT_EQ(pixels.x, 497);  // 496.53 rounded
    EXPECT_EQ(pixels.y, 496);  // 7448 div 15
    EXPECT_EQ(pixels.cx, 286);
    EXPECT_EQ(pixels.cy, 333);
}

TEST(SetWindowPosPixels, KeepsTheSizeOfAWindowMeasuredInWholePixels) {
    for (int dpi : {96, 120, 144}) {
        const double tpp = TwipsPerPixel(dpi);
        const TwipsRect rect{.left = 100 * tpp, .top = 50 * tpp, .width = 286 * tpp, .height = 349 * tpp};
        EXPECT_EQ(SetWindowPosPixels(rect, tpp, tpp), (PixelRect{100, 50, 286, 349})) << dpi << " dpi";
    }
}

TEST(SetWindowPosPixels, HandlesAWindowLargerThanTheScreen) {
    const TwipsRect rect{.left = -157.5F, .top = -22, .width = 4290, .height = 4995};
    const PixelRect pixels = SetWindowPosPixels(rect, 15, 15);
    EXPECT_EQ(pixels.x, -10);  // -10.5 goes to the even -10
    EXPECT_EQ(pixels.y, -1);   // -22 div 15, truncated toward zero
}

TEST(PinnedPlacement, MatchesTheRuleWhereTwipsPerPixelIsWhole) {
    const TwipsRect rect{.left = 7448, .top = 7448, .width = 4290, .height = 4995};
    EXPECT_EQ(PinnedPlacement(rect, 15, 15, 286, 333), SetWindowPosPixels(rect, 15, 15));
}

TEST(PinnedPlacement, KeepsTheWindowSizeWhereTwipsPerPixelIsFractional) {
    const double tpp = TwipsPerPixel(192);  // 7.5: the rule would divide by 8
    const TwipsRect rect{.left = 750, .top = 750, .width = 572 * tpp, .height = 666 * tpp};
    const PixelRect pixels = PinnedPlacement(rect, tpp, tpp, 572, 666);
    EXPECT_EQ(pixels, (PixelRect{100, 93, 572, 666}));      // y: 750 div 8
    EXPECT_EQ(SetWindowPosPixels(rect, tpp, tpp).cx, 536);  // what the rule alone would give
}

TEST(CenterFormPosition, CentresAcrossAndPutsAFifthOfTheFreeHeightAbove) {
    // A 1024 x 768 screen at 15 twips per pixel and a window of 286 x 349 pixels.
    const FormPosition position = CenterFormPosition(15360, 11520, 4290, 5235, 5);
    EXPECT_FLOAT_EQ(position.left, 5535);
    EXPECT_FLOAT_EQ(position.top, 1257);
}

TEST(CenterFormPosition, KeepsFractionsOfATwip) {
    const FormPosition position = CenterFormPosition(15361, 11526, 4290, 5235, 5);
    EXPECT_EQ(position.left, 5535.5F);
    EXPECT_EQ(position.top, 1258.2F);
}

TEST(CenterFormPosition, ReckonsInSinglePrecision) {
    const FormPosition position = CenterFormPosition(15361, 11521, 4290, 5235, 5);
    EXPECT_EQ(position.top, 1257.2F);  // 6286 / 5 in single precision: 1257.2000732...
    EXPECT_NE(static_cast<double>(position.top), 1257.2);
}

TEST(CenterFormPosition, GoesNegativeForAWindowLargerThanTheScreen) {
    const FormPosition position = CenterFormPosition(4000, 4000, 4290, 5235, 5);
    EXPECT_FLOAT_EQ(position.left, -145);
    EXPECT_FLOAT_EQ(position.top, -247);
}

}  // namespace
}  // namespace korvena::twips
