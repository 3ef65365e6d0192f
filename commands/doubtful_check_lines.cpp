#include "commands/doubtful_check_lines.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvena {

namespace {

// The first-stage error bound of the orientation test (Shewchuk, "Adaptive Precision Floating-Point
// Arithmetic and Fast Robust Geometric Predicates"): a determinant larger than this share of the sum of
// its two products has the sign it was computed with, whatever the rounding.
constexpr double kHalfUlp = std::numeric_limits<double>::epsilon() / 2;
constexpr double kTurnErrorBound = (3 + 16 * kHalfUlp) * kHalfUlp;

// Which way the path a -> b -> c turns: 1 left, -1 right, 0 when the three lie on one line or so nearly
// that the arithmetic cannot tell.
int Turn(double ax, double ay, double bx, double by, double cx, double cy) {
    const double left = (ax - cx) * (by - cy);
    const double right = (ay - cy) * (bx - cx);
    const double determinant = left - right;
    const double bound = kTurnErrorBound * (std::fabs(left) + std::fabs(right));
    if (determinant > bound) return 1;
    if (determinant < -bound) return -1;
    return 0;
}

// The ends of each line lie strictly on opposite sides of the other: the two meet at one point that is
// inside both.
bool CrossStrictlyInside(const PlanLine& a, const PlanLine& b) {
    const int b1 = Turn(a.X1, a.Y1, a.X2, a.Y2, b.X1, b.Y1);
    const int b2 = Turn(a.X1, a.Y1, a.X2, a.Y2, b.X2, b.Y2);
    if (b1 * b2 >= 0) return false;
    const int a1 = Turn(b.X1, b.Y1, b.X2, b.Y2, a.X1, a.Y1);
    const int a2 = Turn(b.X1, b.Y1, b.X2, b.Y2, a.X2, a.Y2);
    return a1 * a2 < 0;
}

bool IsFinite(const PlanLine& line) {
    return std::isfinite(line.X1) && std::isfinite(line.Y1) && std::isfinite(line.X2) &&
           std::isfinite(line.Y2);
}

// A line's extent along the axis of the sweep (from, to) and across it (low, high).
struct Extent {
    double from, to, low, high;
    std::size_t line;
};

// Marks every line that crosses another. Only lines whose extents overlap along the sweep's axis are
// compared, the axis being the one along which the lines are spread the wider: on a sheet of spot
// heights each line is then compared with its neighbours, not with all the others.
void MarkCrossings(const std::vector<PlanLine>& lines, std::vector<bool>& doubtful) {
    std::vector<Extent> extents;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const PlanLine& l = lines[i];
        if (!IsFinite(l)) continue;
        const auto [x1, x2] = std::minmax(l.X1, l.X2);
        const auto [y1, y2] = std::minmax(l.Y1, l.Y2);
        extents.push_back({x1, x2, y1, y2, i});
    }
    if (extents.empty()) return;
    const auto [west, east] = std::minmax_element(
        extents.begin(), extents.end(), [](const Extent& a, const Extent& b) { return a.from < b.from; });
    const auto [south, north] = std::minmax_element(
        extents.begin(), extents.end(), [](const Extent& a, const Extent& b) { return a.low < b.low; });
    if (north->low - south->low > east->from - west->from) {
        for (Extent& e : extents) e = {e.low, e.high, e.from, e.to, e.line};
    }
    std::sort(extents.begin(), extents.end(),
              [](const Extent& a, const Extent& b) { return a.from < b.from; });
    for (std::size_t i = 0; i < extents.size(); ++i) {
        const Extent& a = extents[i];
        for (std::size_t j = i + 1; j < extents.size() && extents[j].from <= a.to; ++j) {
            const Extent& b = extents[j];
            if (b.low > a.high || b.high < a.low) continue;
            if (doubtful[a.line] && doubtful[b.line]) continue;
            if (CrossStrictlyInside(lines[a.line], lines[b.line])) doubtful[a.line] = doubtful[b.line] = true;
        }
    }
}

// Marks every line longer than kDoubtfulLengthRatio times the median, when there are lines enough.
void MarkLongLines(const std::vector<PlanLine>& lines, std::vector<bool>& doubtful) {
    if (lines.size() < kLinesJudgedByLength) return;
    std::vector<double> lengths;
    lengths.reserve(lines.size());
    for (const PlanLine& l : lines) {
        const double dx = l.X2 - l.X1, dy = l.Y2 - l.Y1;
        // Not hypot, which korvena.exe would import from msvcrt.dll: a drawing's coordinates need no
        // guard against overflow, and the square root is computed in place.
        const double length = IsFinite(l) ? std::sqrt(dx * dx + dy * dy) : HUGE_VAL;
        lengths.push_back(length);
    }
    std::vector<double> sorted = lengths;
    const std::size_t middle = sorted.size() / 2;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(middle), sorted.end());
    double median = sorted[middle];
    if (sorted.size() % 2 == 0) {
        const double below =
            *std::max_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(middle));
        median = below / 2 + median / 2;
    }
    const double limit = kDoubtfulLengthRatio * median;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lengths[i] > limit) doubtful[i] = true;
    }
}

}  // namespace

std::vector<bool> DoubtfulCheckLines(const std::vector<PlanLine>& lines) {
    std::vector<bool> doubtful(lines.size(), false);
    MarkCrossings(lines, doubtful);
    MarkLongLines(lines, doubtful);
    return doubtful;
}

}  // namespace korvena
