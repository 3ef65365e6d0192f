#include "commands/doubtful_check_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace korvena {
namespace {

using Flags = std::vector<bool>;

// Horizontal lines of the given lengths, one above the other, far enough apart never to meet.
std::vector<PlanLine> Stacked(const std::vector<double>& lengths) {
    std::vector<PlanLine> lines;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        const double y = 10.0 * static_cast<double>(i);
        lines.push_back({0, y, lengths[i], y});
    }
    return lines;
}

TEST(DoubtfulCheckLines, LinesCrossingStrictlyInsideBothAreBothDoubtful) {
    // Two labels taken in the wrong order: the lines cross; a third line apart does not.
    EXPECT_EQ(DoubtfulCheckLines({{0, 0, 10, 10}, {0, 10, 10, 0}, {20, 0, 22, 0}}),
              (Flags{true, true, false}));
    // A shallow crossing, drawn either way round.
    EXPECT_EQ(DoubtfulCheckLines({{10, 20, 34, 21.5}, {30, 20.5, 12, 26}}), (Flags{true, true}));
    EXPECT_EQ(DoubtfulCheckLines({{34, 21.5, 10, 20}, {12, 26, 30, 20.5}}), (Flags{true, true}));
    EXPECT_TRUE(DoubtfulCheckLines({}).empty());
}

TEST(DoubtfulCheckLines, LinesThatOnlyTouchOrOverlapAlongOneLineDoNotCross) {
    const std::vector<std::pair<PlanLine, PlanLine>> touching{
        {{0, 0, 10, 0}, {10, 0, 10, 5}},   // end to end, at a corner
        {{0, 0, 10, 0}, {5, 0, 5, 5}},     // an end on the other's inside (a T)
        {{0, 0, 10, 0}, {0, 0, -3, 4}},    // two points labelled at one place share an end
        {{0, 0, 10, 0}, {5, 0, 15, 0}},    // collinear, overlapping
        {{0, 0, 10, 0}, {2, 0, 8, 0}},     // collinear, one inside the other
        {{0, 0, 10, 0}, {10, 0, 20, 0}},   // collinear, end to end
        {{0, 0, 10, 0}, {0, 1, 10, 1}},    // parallel
        {{0, 0, 10, 0}, {11, -5, 11, 5}},  // would cross if the first were longer
        {{3, 3, 3, 3}, {0, 0, 6, 6}},      // a line of no length, on the other
        // An end on the other line where decimal coordinates are not exact in binary: the rounding
        // must not turn the touch into a crossing.
        {{0.1, 0.3, 3.7, 1.5}, {1.3, 0.7, 1.3, 5.2}},
        {{0.1, 0.3, 3.7, 1.5}, {2.5, 1.1, 2.9, -4.1}},
    };
    for (const auto& [a, b] : touching) {
        EXPECT_EQ(DoubtfulCheckLines({a, b}), (Flags{false, false}))
            << "(" << a.X1 << "," << a.Y1 << ")-(" << a.X2 << "," << a.Y2 << ") and (" << b.X1 << "," << b.Y1
            << ")-(" << b.X2 << "," << b.Y2 << ")";
    }
}

TEST(DoubtfulCheckLines, LengthCountsFromFiveLinesOnAndOnlyAboveThreeTimesTheMedian) {
    // Four lines say nothing by their length, however long one is.
    EXPECT_EQ(DoubtfulCheckLines(Stacked({2, 2, 2, 200})), (Flags{false, false, false, false}));
    // Five do: the median is 2, so 6 is not doubtful and a little more is.
    EXPECT_EQ(DoubtfulCheckLines(Stacked({1, 2, 2, 2, 6})), (Flags{false, false, false, false, false}));
    EXPECT_EQ(DoubtfulCheckLines(Stacked({1, 2, 2, 2, 6.001})), (Flags{false, false, false, false, true}));
    // An even count: the median is the mean of the two middle lengths, (2 + 4) / 2 = 3.
    EXPECT_EQ(DoubtfulCheckLines(Stacked({2, 2, 2, 4, 4, 9})), Flags(6, false));
    EXPECT_EQ(DoubtfulCheckLines(Stacked({9.5, 2, 4, 2, 4, 2})),
              (Flags{true, false, false, false, false, false}));
    // Labels standing on their points: a median of 0, so any line of some length stands out.
    EXPECT_EQ(DoubtfulCheckLines(Stacked({0, 0, 0, 0.5, 0})), (Flags{false, false, false, true, false}));
}

TEST(DoubtfulCheckLines, EveryLineCrossingOneLongLineIsDoubtfulAndTheOthersAreNot) {
    // A label far to the east: its line runs across ten short ones and below ten others. The long line
    // and the ten it crosses are doubtful (the long one by its length too), the ten above it are not.
    std::vector<PlanLine> lines{{0, 5, 200, 5}};
    for (int i = 0; i < 10; ++i) lines.push_back({10.0 + 15 * i, 0, 12.0 + 15 * i, 8});    // across it
    for (int i = 0; i < 10; ++i) lines.push_back({10.0 + 15 * i, 20, 12.0 + 15 * i, 28});  // above it
    const Flags doubtful = DoubtfulCheckLines(lines);
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(doubtful[i], i <= 10) << i;
}

TEST(DoubtfulCheckLines, FindsEveryCrossingOfARandomSheet) {
    // Whole-number ends are exact in double, so each pair can be judged exactly here. Every line is 5
    // long, so none is doubtful by its length.
    constexpr int kSteps[][2] = {{5, 0}, {0, 5}, {3, 4}, {4, 3}, {-3, 4}, {-4, 3}, {3, -4}, {4, -3}};
    const auto side = [](std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by, std::int64_t cx,
                         std::int64_t cy) {
        const std::int64_t turn = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
        return (turn > 0) - (turn < 0);
    };
    // A square sheet, a tall one and a wide one: the search runs along either axis.
    constexpr std::array<std::array<int, 3>, 3> kSheets{{{60, 40, 40}, {60, 10, 200}, {60, 200, 10}}};
    std::mt19937 random(25);
    for (const auto& [count, width, height] : kSheets) {
        std::vector<PlanLine> lines;
        std::vector<std::array<std::int64_t, 4>> ends;
        for (int i = 0; i < count; ++i) {
            const std::int64_t x = random() % width, y = random() % height;
            const auto* step = kSteps[random() % 8];
            ends.push_back({x, y, x + step[0], y + step[1]});
            lines.push_back({static_cast<double>(x), static_cast<double>(y), static_cast<double>(x + step[0]),
                             static_cast<double>(y + step[1])});
        }
        Flags expected(ends.size(), false);
        for (std::size_t i = 0; i < ends.size(); ++i) {
            for (std::size_t j = i + 1; j < ends.size(); ++j) {
                const auto& a = ends[i];
                const auto& b = ends[j];
                if (side(a[0], a[1], a[2], a[3], b[0], b[1]) * side(a[0], a[1], a[2], a[3], b[2], b[3]) < 0 &&
                    side(b[0], b[1], b[2], b[3], a[0], a[1]) * side(b[0], b[1], b[2], b[3], a[2], a[3]) < 0) {
                    expected[i] = expected[j] = true;
                }
            }
        }
        const auto crossing = std::count(expected.begin(), expected.end(), true);
        EXPECT_TRUE(crossing > 0 && crossing < count) << "a sheet that tells nothing: " << crossing;
        EXPECT_EQ(DoubtfulCheckLines(lines), expected) << width << " by " << height;
    }
}

TEST(DoubtfulCheckLines, AnEndThatIsNoNumberIsInfinitelyLongAndCrossesNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<PlanLine> lines = Stacked({2, 2, 2, 2, 2});
    lines.push_back({1, -5, nan, 50});  // would cross them all
    lines.push_back({inf, 0, 1, 1});
    EXPECT_EQ(DoubtfulCheckLines(lines), (Flags{false, false, false, false, false, true, true}));
    // Fewer than five: nothing is judged by length, and nothing crosses.
    EXPECT_EQ(DoubtfulCheckLines({{0, 0, 10, 10}, {nan, nan, nan, nan}, {0, 10, inf, -inf}}),
              (Flags{false, false, false}));
}

}  // namespace
}  // namespace korvena
