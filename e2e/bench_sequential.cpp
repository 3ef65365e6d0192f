// Benchmark, not a test: a sequential assignment over many contours through korvena.exe and
// cross-process COM to cadsim.exe. Prints the time the command took and the CAD round trips it
// made per contour (from the simulator's own call counter).
//
//   bench_sequential <korvena.exe> <cadsim.exe> [contours]

#include <chrono>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "cad/win/com_apartment.h"
#include "e2e/support/cadsim_process.h"
#include "e2e/support/korvena_window.h"

namespace korvena::e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string ContourMap(int contours) {
    nlohmann::json entities = nlohmann::json::array();
    nlohmann::json selection = nlohmann::json::array();
    for (int i = 1; i <= contours; ++i) {
        const double y = i;
        entities.push_back({{"kind", i % 2 ? "lwpolyline" : "polyline"},
                            {"vertices", {{0.0, y}, {50.0, y + 0.5}, {100.0, y}}}});
        selection.push_back(i);
    }
    return nlohmann::json{{"caption", "CadSim - [bench.dwg]"},
                          {"entities", entities},
                          {"selections", {selection}}}
        .dump();
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

int Run(int contours) {
    KillProcessesNamed(L"cadsim.exe");
    ComApartment apartment;
    TempFolder folder;
    CadSimProcess cad(folder.Path(), ContourMap(contours));

    const auto startAt = Clock::now();
    KorvenaWindow korvena;
    const auto shownAt = Clock::now();
    korvena.Type(ControlId::Text1, L"100");
    korvena.Type(ControlId::Text2, L"1");

    const auto clickAt = Clock::now();
    korvena.Click(ControlId::Command1);
    if (!WaitFor([&] { return korvena.Focused() == ControlId::Text1; }, 600s, 1ms)) {
        std::fputs("bench_sequential: the assignment did not finish\n", stderr);
        return 1;
    }
    const auto doneAt = Clock::now();

    const nlohmann::json state = cad.State();
    const double last = state.at("entities").at(contours - 1).value("elevation", 0.0);
    if (last != 100.0 + contours - 1) {
        std::fprintf(stderr, "bench_sequential: the last contour got %g\n", last);
        return 1;
    }
    std::map<std::string, long> byKind;
    for (const auto& call : state.at("calls")) ++byKind[call.value("kind", std::string("?"))];
    const long total = state.at("callCount").get<long>();

    std::printf("Sequential assignment of %d contours through korvena.exe and cross-process COM\n", contours);
    std::printf("  korvena.exe start to its window: %.2f s\n", Seconds(shownAt - startAt));
    std::printf("  command, click to focus back:   %.2f s (%.2f ms per contour)\n", Seconds(doneAt - clickAt),
                1000 * Seconds(doneAt - clickAt) / contours);
    std::printf("  CAD round trips:                 %ld (%.2f per contour)\n", total,
                static_cast<double>(total) / contours);
    for (const auto& [kind, count] : byKind) {
        std::printf("    %-10s %ld (%.2f per contour)\n", kind.c_str(), count,
                    static_cast<double>(count) / contours);
    }
    PostMessageW(korvena.Handle(), WM_CLOSE, 0, 0);
    cad.Close();
    return 0;
}

}  // namespace
}  // namespace korvena::e2e

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fputs("usage: bench_sequential <korvena.exe> <cadsim.exe> [contours]\n", stderr);
        return 2;
    }
    korvena::e2e::SetKorvenaExe(argv[1]);
    korvena::e2e::SetCadSimExe(argv[2]);
    const int contours = argc > 3 ? std::max(1, _wtoi(argv[3])) : 500;
    try {
        return korvena::e2e::Run(contours);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_sequential: %s\n", e.what());
        return 1;
    }
}
