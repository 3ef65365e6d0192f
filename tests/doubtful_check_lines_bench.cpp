// Benchmark, not a test: how long the scatter-point command takes to decide which check lines look
// wrong, for 500 pairs (the most one run takes) and for 5,000, set beside what the run's calls cost.
//
//   build/host/bin/bench_doubtful_check_lines [Google Benchmark options]
//
// Two sheets. A survey sheet: spot heights scattered at the density of a 1:500 map, each labelled to
// its east, with one label in a hundred written above its point instead (its pair and a neighbour's
// then cross) and one far from its point; the check lines are paired by rank of position as the
// command pairs them. And the search's worst case: parallel lines that all lie beside one another, so
// that every line has to be compared with every other.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "commands/doubtful_check_lines.h"

namespace korvena {
namespace {

struct Place {
    double x, y;
};

// Ascending Y, then ascending X: the order in which the command pairs points and texts.
void InPositionOrder(std::vector<Place>& places) {
    std::stable_sort(places.begin(), places.end(),
                     [](const Place& a, const Place& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
}

std::vector<PlanLine> SurveySheet(int pairs) {
    std::mt19937 random(pairs);
    // About one spot height per 20 by 20 units, as on a sheet of 300.
    const double side = 20 * std::sqrt(static_cast<double>(pairs));
    std::uniform_real_distribution<double> across(0, side);
    std::vector<Place> points, texts;
    for (int i = 0; i < pairs; ++i) {
        const Place point{across(random), across(random)};
        points.push_back(point);
        if (i % 100 == 50) {
            texts.push_back({point.x + 1, point.y + 4});  // above its point
        } else if (i == pairs / 2 + 25) {
            texts.push_back({point.x + 60, point.y - 1});  // far from it
        } else {
            texts.push_back({point.x + 3, point.y - 1});
        }
    }
    InPositionOrder(points);
    InPositionOrder(texts);
    std::vector<PlanLine> lines;
    for (int k = 0; k < pairs; ++k) lines.push_back({points[k].x, points[k].y, texts[k].x, texts[k].y});
    return lines;
}

std::vector<PlanLine> LinesAllBesideOneAnother(int pairs) {
    std::vector<PlanLine> lines;
    const double length = pairs;
    for (int i = 0; i < pairs; ++i) lines.push_back({static_cast<double>(i), 0, i + length, length});
    return lines;
}

template <std::vector<PlanLine> (*Sheet)(int)>
void Decide(benchmark::State& state) {
    const std::vector<PlanLine> lines = Sheet(static_cast<int>(state.range(0)));
    std::size_t doubtful_count = 0;
    for (auto _ : state) {
        std::vector<bool> doubtful = DoubtfulCheckLines(lines);
        benchmark::DoNotOptimize(doubtful);
        doubtful_count = static_cast<std::size_t>(std::count(doubtful.begin(), doubtful.end(), true));
    }
    state.counters["doubtful"] = static_cast<double>(doubtful_count);
}

BENCHMARK_TEMPLATE(Decide, SurveySheet)
    ->Name("decide/survey sheet")
    ->Arg(500)
    ->Arg(5000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(Decide, LinesAllBesideOneAnother)
    ->Name("decide/all lines beside one another")
    ->Arg(500)
    ->Arg(5000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace korvena

BENCHMARK_MAIN();
