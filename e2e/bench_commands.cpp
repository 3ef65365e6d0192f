// Benchmark, not a test: commands over many entities through korvena.exe and cross-process COM to
// cadsim.exe. Prints the time each command took and the CAD round trips it made per entity (from
// the simulator's own call counter), the time from the last write to the closing line (from the
// simulator's call record), and korvena.exe's memory.
//   - sequential assignment of N contours;
//   - scatter-point assignment of N circles with their texts, answered 是.
//
//   bench_commands <korvena.exe> <cadsim.exe> [N]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include <windows.h>
#include <psapi.h>

#include "cad/win/com_apartment.h"
#include "e2e/support/cadsim_process.h"
#include "e2e/support/korvena_window.h"

namespace korvena::e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using nlohmann::json;

std::string Drawing(const json& entities, const json& selection) {
    return json{{"caption", "CadSim - [bench.dwg]"}, {"entities", entities}, {"selections", {selection}}}
        .dump();
}

std::string ContourMap(int contours) {
    json entities = json::array(), selection = json::array();
    for (int i = 1; i <= contours; ++i) {
        const double y = i;
        entities.push_back({{"kind", i % 2 ? "lwpolyline" : "polyline"},
                            {"vertices", {{0.0, y}, {50.0, y + 0.5}, {100.0, y}}}});
        selection.push_back(i);
    }
    return Drawing(entities, selection);
}

// A grid of spot heights, each with its text to the right, selected point and text alternately.
std::string ScatterMap(int pairs) {
    json entities = json::array(), selection = json::array();
    for (int i = 0; i < pairs; ++i) {
        const double x = 20.0 * (i % 25), y = 20.0 * (i / 25);
        entities.push_back({{"kind", "circle"}, {"center", {x, y, 0.0}}, {"radius", 1.0}});
        entities.push_back({{"kind", "text"},
                            {"insertionPoint", {x + 3, y, 0.0}},
                            {"height", 2.0},
                            {"textString", std::to_string(100 + i) + ".5"}});
        selection.push_back(2 * i + 1);
        selection.push_back(2 * i + 2);
    }
    return Drawing(entities, selection);
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void PrintRoundTrips(const json& state, int entities, const char* per) {
    std::map<std::string, long> byKind;
    for (const auto& call : state.at("calls")) ++byKind[call.value("kind", std::string("?"))];
    const long total = state.at("callCount").get<long>();
    std::printf("  CAD round trips:                 %ld (%.2f per %s)\n", total,
                static_cast<double>(total) / entities, per);
    for (const auto& [kind, count] : byKind) {
        std::printf("    %-10s %ld (%.2f per %s)\n", kind.c_str(), count,
                    static_cast<double>(count) / entities, per);
    }
}

// Milliseconds from the last put to the command-line prompt that holds `closing`, by the simulator's clock.
double LastWriteToClosingLine(const json& state, const std::string& closing) {
    double lastPut = 0, closingLine = 0;
    for (const auto& call : state.at("calls")) {
        const std::string kind = call.value("kind", std::string());
        if (kind == "put") lastPut = call.value("atMs", 0.0);
        // The simulator records a call under its own spelling of the member.
        if (kind == "call" && call.value("member", std::string()) == "Prompt" &&
            call.value("arguments", std::string()).find(closing) != std::string::npos) {
            closingLine = call.value("atMs", 0.0);
        }
    }
    return closingLine - lastPut;
}

void PrintMemory(KorvenaWindow& korvena) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(korvena.Process().Handle(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters)) {
        std::puts("  korvena.exe memory:              not available");
        return;
    }
    // The commit charge: the process's private bytes (Wine leaves PrivateUsage at 0 for another process).
    std::printf("  korvena.exe private bytes:       %.1f MiB now, %.1f MiB at the peak\n",
                static_cast<double>(counters.PagefileUsage) / (1 << 20),
                static_cast<double>(counters.PeakPagefileUsage) / (1 << 20));
}

bool Sequential(int contours) {
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
        std::fputs("bench_commands: the sequential assignment did not finish\n", stderr);
        return false;
    }
    const auto doneAt = Clock::now();

    const json state = cad.State();
    const double last = state.at("entities").at(contours - 1).value("elevation", 0.0);
    if (last != 100.0 + contours - 1) {
        std::fprintf(stderr, "bench_commands: the last contour got %g\n", last);
        return false;
    }
    std::printf("Sequential assignment of %d contours through korvena.exe and cross-process COM\n", contours);
    std::printf("  korvena.exe start to its window: %.2f s\n", Seconds(shownAt - startAt));
    std::printf("  command, click to focus back:   %.2f s (%.2f ms per contour)\n", Seconds(doneAt - clickAt),
                1000 * Seconds(doneAt - clickAt) / contours);
    PrintRoundTrips(state, contours, "contour");
    std::printf("  last write to the closing line:  %.1f ms\n", LastWriteToClosingLine(state, "等高线高程赋值完成"));
    PrintMemory(korvena);
    PostMessageW(korvena.Handle(), WM_CLOSE, 0, 0);
    cad.Close();
    return true;
}

bool Scatter(int pairs) {
    TempFolder folder;
    CadSimProcess cad(folder.Path(), ScatterMap(pairs));
    KorvenaWindow korvena;

    const auto clickAt = Clock::now();
    korvena.Click(ControlId::Command5);
    const auto box = korvena.WaitForMessageBox(600s);
    const auto askedAt = Clock::now();
    if (!box || !Answer(*box, IDYES)) {
        std::fputs("bench_commands: the scatter-point command asked nothing\n", stderr);
        return false;
    }
    json state;
    const bool done = WaitFor(
        [&] {
            state = cad.State();
            return state.at("commandLine").get<std::string>().find("散点高程赋值完成") != std::string::npos &&
                   state.value("selectionSets", json::array()).empty();
        },
        600s, 10ms);
    const auto doneAt = Clock::now();
    if (!done || state.at("entities").at(0).at("center").at(2) != 100.5) {
        std::fputs("bench_commands: the scatter-point command did not write the heights\n", stderr);
        return false;
    }
    std::printf("Scatter-point assignment of %d pairs through korvena.exe and cross-process COM\n", pairs);
    std::printf("  click to the confirmation box:   %.2f s (%.2f ms per pair)\n", Seconds(askedAt - clickAt),
                1000 * Seconds(askedAt - clickAt) / pairs);
    std::printf("  answer to the closing line:      %.2f s (%.2f ms per pair)\n", Seconds(doneAt - askedAt),
                1000 * Seconds(doneAt - askedAt) / pairs);
    PrintRoundTrips(state, pairs, "pair");
    std::printf("  last write to the closing line:  %.1f ms\n", LastWriteToClosingLine(state, "散点高程赋值完成"));
    PrintMemory(korvena);
    PostMessageW(korvena.Handle(), WM_CLOSE, 0, 0);
    cad.Close();
    return true;
}

}  // namespace
}  // namespace korvena::e2e

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fputs("usage: bench_commands <korvena.exe> <cadsim.exe> [N]\n", stderr);
        return 2;
    }
    korvena::e2e::SetKorvenaExe(argv[1]);
    korvena::e2e::SetCadSimExe(argv[2]);
    const int count = argc > 3 ? std::max(1, _wtoi(argv[3])) : 2000;
    try {
        korvena::e2e::KillProcessesNamed(L"cadsim.exe");
        korvena::ComApartment apartment;
        // The scatter command orders at most 500 pairs in one run.
        const bool ok = korvena::e2e::Sequential(count) && korvena::e2e::Scatter(std::min(count, 500));
        return ok ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_commands: %s\n", e.what());
        return 1;
    }
}
