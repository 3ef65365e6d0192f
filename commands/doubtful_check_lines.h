#pragma once
// Check lines that look wrong. The scatter-point command pairs spot heights with their labels by rank
// of position alone, so a wrong pair can only be seen in its check line. Two signs give one away: two
// lines that cross (two labels taken in the wrong order), and a line far longer than the rest (a label
// paired with a point it does not stand beside). Both are read from the positions the command has
// already read; deciding asks the CAD nothing.

#include <cstddef>
#include <vector>

namespace korvena {

// A check line in plan, from the point (X1, Y1) to its text (X2, Y2).
struct PlanLine {
    double X1 = 0;
    double Y1 = 0;
    double X2 = 0;
    double Y2 = 0;
};

// With fewer lines than this no line is judged by its length: the median of a few says little.
inline constexpr std::size_t kLinesJudgedByLength = 5;
// A line longer than this many times the median length looks wrong; one exactly as long does not.
inline constexpr double kDoubtfulLengthRatio = 3;

// For every line, whether it looks wrong:
//   - it crosses another line at a point strictly inside both. Lines that only touch at an end, or
//     overlap along a common line, do not cross; nor do lines that meet so near an end, or so nearly
//     along one line, that double arithmetic cannot tell the meeting from a touch;
//   - or there are at least kLinesJudgedByLength lines and it is longer than kDoubtfulLengthRatio times
//     the median length of all of them (the mean of the two middle lengths for an even count).
// A line with an end that is no finite number counts as infinitely long and crosses nothing.
std::vector<bool> DoubtfulCheckLines(const std::vector<PlanLine>& lines);

}  // namespace korvena
