// Benchmark, not a test: korvena.exe's commands over many entities, through cross-process COM to
// cadsim.exe, with figures set against yardsticks measured in the same run:
//   - start-up: korvena.exe start to its main window, against an empty Win32 program and against
//     the same main window made by nothing but Win32 (bare_form1.exe);
//   - sequential assignment of N contours; matching assignment of N contours to one reference;
//     scatter-point assignment of min(N, 500) pairs answered 是;
//   - the scatter command's time per pair for 100 pairs selected in a drawing of 100 and of 2,000
//     pairs: the simulator's cost per call must not grow with the drawing;
//   - the ends of commands that stop short: a rejected entity after N contours, 501 pairs (one over the
//     scatter command's limit), 500 pairs answered 否. Each prints the silent gap before each visible
//     step of the end: from the command's last call to its dialog, from the answer to the set's deletion.
//
// Durations of commands are read from the simulator's call record (every call is stamped on its
// clock), between marker calls this program makes right before it clicks a button or answers the
// box: a get of Application.Name, a member korvena.exe never asks for. Round trips are the calls in
// the record between the markers (name lookups included); the bare round trip is that same get,
// made many times from here once the command is over.
//
//   bench_commands <korvena.exe> <cadsim.exe> <empty_window.exe> <bare_form1.exe> [N] [ends]
//
// With "ends" only the ends of commands are run.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <wrl/client.h>

#include "cad/win/com_apartment.h"
#include "cad/win/scoped_variant.h"
#include "cadsim/server/com_server.h"
#include "commands/scatter_point_assignment.h"
#include "e2e/support/cadsim_process.h"
#include "e2e/support/korvena_window.h"
#include "e2e/support/program.h"

namespace korvena::e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Microsoft::WRL::ComPtr;
using nlohmann::json;

constexpr char kContourDone[] = "等高线高程赋值完成";
constexpr char kScatterDone[] = "散点高程赋值完成";
constexpr wchar_t kKorvenaCaption[] = L"Korvena程序 V2.0";
constexpr wchar_t kEmptyCaption[] = L"Empty window";
constexpr wchar_t kBareFormCaption[] = L"Bare Form1";
constexpr int kBareRoundTrips = 1000;

// ---- drawings ----

std::string Drawing(const json& entities, const json& selections) {
    return json{{"caption", "CadSim - [bench.dwg]"}, {"entities", entities}, {"selections", selections}}.dump();
}

// Contours 1..n along Y; with a reference, contour n + 1 has elevation 150.
json Contours(int contours, bool withReference) {
    json entities = json::array();
    for (int i = 1; i <= contours; ++i) {
        const double y = i;
        entities.push_back({{"kind", i % 2 ? "lwpolyline" : "polyline"},
                            {"vertices", {{0.0, y}, {50.0, y + 0.5}, {100.0, y}}}});
    }
    if (withReference) {
        entities.push_back({{"kind", "lwpolyline"}, {"elevation", 150.0}, {"vertices", {{0.0, -5.0}, {100.0, -5.0}}}});
    }
    return entities;
}

json Ids(int from, int to) {
    json ids = json::array();
    for (int i = from; i <= to; ++i) ids.push_back(i);
    return ids;
}

// A grid of spot heights, each with its text to the right: pair i is entities 2i+1 (circle) and 2i+2.
json ScatterEntities(int pairs) {
    json entities = json::array();
    for (int i = 0; i < pairs; ++i) {
        const double x = 20.0 * (i % 25), y = 20.0 * (i / 25);
        entities.push_back({{"kind", "circle"}, {"center", {x, y, 0.0}}, {"radius", 1.0}});
        entities.push_back({{"kind", "text"},
                            {"insertionPoint", {x + 3, y, 0.0}},
                            {"height", 2.0},
                            {"textString", std::to_string(100 + i) + ".5"}});
    }
    return entities;
}

// ---- this program's own line to the simulator: markers and bare round trips ----

class BenchLink {
public:
    BenchLink() {
        ComPtr<IUnknown> running;
        if (FAILED(GetActiveObject(cadsim::kCadSimClassId, nullptr, &running)) || FAILED(running.As(&application_))) {
            throw std::runtime_error("the simulator's application is not running");
        }
        nameId_ = IdOf(L"Name");
        documentId_ = IdOf(L"ActiveDocument");
    }

    // One get of Application.Name: a marker in the call record, or one bare round trip.
    void Mark() const { Get(nameId_); }

    // Milliseconds per bare round trip: the mean over `count` gets, and their median.
    std::pair<double, double> BareRoundTrip(int count) const {
        return Timed(count, [this] { Mark(); });
    }

    // The same for a get of an object (the active document): COM marshals it there, makes a proxy of
    // it here, and makes a call of its own to release the proxy. Made before the first marker of a
    // simulator, so that the record leaves these calls out of every command.
    std::pair<double, double> ObjectRoundTrip(int count) const {
        return Timed(count, [this] { Get(documentId_); });
    }

private:
    DISPID IdOf(const wchar_t* member) const {
        std::wstring name(member);
        LPOLESTR names[] = {name.data()};
        DISPID id = DISPID_UNKNOWN;
        if (FAILED(application_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
            throw std::runtime_error("the application lacks a member the benchmark uses");
        }
        return id;
    }

    // A get of the application's member; its result, a proxy too, is let go of on return.
    void Get(DISPID id) const {
        ScopedVariant result;
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        if (FAILED(application_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                        result.Receive(), nullptr, nullptr))) {
            throw std::runtime_error("a get of the application failed");
        }
    }

    template <class Step>
    static std::pair<double, double> Timed(int count, const Step& step) {
        std::vector<double> each;
        each.reserve(static_cast<std::size_t>(count));
        const auto began = Clock::now();
        for (int i = 0; i < count; ++i) {
            const auto at = Clock::now();
            step();
            each.push_back(std::chrono::duration<double, std::milli>(Clock::now() - at).count());
        }
        const double mean = std::chrono::duration<double, std::milli>(Clock::now() - began).count() / count;
        std::nth_element(each.begin(), each.begin() + count / 2, each.end());
        return {mean, each[static_cast<std::size_t>(count / 2)]};
    }

    ComPtr<IDispatch> application_;
    DISPID nameId_ = DISPID_UNKNOWN;
    DISPID documentId_ = DISPID_UNKNOWN;
};

// Mean milliseconds per bare round trip, before and after a command; printed, and their mean returned.
struct Bare {
    std::pair<double, double> before, after;
    std::pair<double, double> object;  // an object got and its proxy released, beside `before`
    double Ms() const { return (before.first + after.first) / 2; }
    // What COM's handling of one object costs (marshalling, proxy, release): the object round trip
    // less the bare one beside it.
    double ObjectMs() const { return std::max(0.0, object.first - before.first); }
    // Both yardsticks, before the first marker of a simulator, so that the record leaves the object
    // round trips out of every command.
    void MeasureBefore(const BenchLink& link) {
        object = link.ObjectRoundTrip(kBareRoundTrips);
        before = link.BareRoundTrip(kBareRoundTrips);
    }
    void Print() const {
        std::printf("  bare round trip (%d gets each):  before mean %.3f ms (median %.3f), after %.3f ms (%.3f)\n",
                    kBareRoundTrips, before.first, before.second, after.first, after.second);
        std::printf("  an object got and its proxy let go of: mean %.3f ms (median %.3f), so COM's handling of one\n"
                    "  object (marshalled there, a proxy here, the proxy's release) costs %.3f ms more\n",
                    object.first, object.second, ObjectMs());
    }
};

bool IsMarker(const json& call) {
    return call.value("object", "") == "Application" && call.value("member", "") == "Name";
}

// The calls of the command between two markers, by the simulator's clock.
struct Phase {
    double markedMs = 0;  // the marker: when this program clicked or answered
    std::vector<json> calls;
    double LastMs() const { return calls.empty() ? markedMs : calls.back().value("atMs", 0.0); }
    double Ms() const { return LastMs() - markedMs; }
};

// The record cut at every marker get; phases with no command call (those of the bare loop) are dropped.
std::vector<Phase> Phases(const json& state) {
    std::vector<Phase> phases;
    bool marked = false;
    for (const json& call : state.at("calls")) {
        if (IsMarker(call)) {
            if (call.value("kind", "") != "get") continue;
            if (!phases.empty() && phases.back().calls.empty()) phases.pop_back();
            phases.push_back({call.value("atMs", 0.0), {}});
            marked = true;
        } else if (marked) {
            phases.back().calls.push_back(call);
        }
    }
    if (!phases.empty() && phases.back().calls.empty()) phases.pop_back();
    return phases;
}

constexpr const char* kKinds[] = {"lookup", "get", "put", "call", "enumerate"};

struct RoundTrips {
    std::map<std::string, long> byKind;
    long total = 0;
};

RoundTrips Count(const std::vector<const Phase*>& phases) {
    RoundTrips trips;
    for (const Phase* phase : phases) {
        for (const json& call : phase->calls) {
            ++trips.byKind[call.value("kind", "?")];
            ++trips.total;
        }
    }
    return trips;
}

// Milliseconds from the last write (a put, or an entity's Delete) to the prompt that holds `closing`.
double LastWriteToClosingLine(const Phase& phase, const std::string& closing) {
    double lastWrite = 0, closingLine = 0;
    for (const json& call : phase.calls) {
        const std::string kind = call.value("kind", ""), member = call.value("member", "");
        if (kind == "put" || (kind == "call" && member == "Delete" && call.value("object", "") == "Entity")) {
            lastWrite = call.value("atMs", 0.0);
        }
        if (kind == "call" && member == "Prompt" && call.value("arguments", "").find(closing) != std::string::npos) {
            closingLine = call.value("atMs", 0.0);
        }
    }
    return closingLine - lastWrite;
}

// Waits (without having the state written meanwhile) until no selection set is left and the
// command line holds `closing` `times` times; the state then.
json WaitForClosingLine(const CadSimProcess& cad, const std::string& closing, int times) {
    const long promptsBefore = cad.PromptCount();
    json state;
    const bool done = WaitFor(
        [&] {
            if (cad.SelectionSetCount() != 0 || cad.PromptCount() <= promptsBefore) return false;
            state = cad.State();
            int seen = 0;
            for (const json& prompt : state.at("prompts")) {
                if (prompt.get<std::string>().find(closing) != std::string::npos) ++seen;
            }
            return seen >= times && state.value("selectionSets", json::array()).empty();
        },
        900s, 20ms);
    if (!done) throw std::runtime_error("the command did not reach its closing line");
    return state;
}

// ---- printing ----

// Where the time goes: for each kind of call that recurs, the median milliseconds from its arrival to
// the next call's, in bare round trips. What lies between two calls that the record does not show (COM
// releasing a proxy, the enumerator's Next, the program's own work) shows as a gap above 1.
void PrintGaps(const Phase& phase, double bareMs) {
    std::map<std::string, std::vector<double>> gaps;
    for (std::size_t i = 0; i + 1 < phase.calls.size(); ++i) {
        const json& call = phase.calls[i];
        const std::string label = call.value("kind", "?") + " " + call.value("member", "?");
        gaps[label].push_back(phase.calls[i + 1].value("atMs", 0.0) - call.value("atMs", 0.0));
    }
    std::printf("  to the next call, median:       ");
    for (auto& [label, values] : gaps) {
        if (values.size() < 10) continue;
        std::sort(values.begin(), values.end());
        std::printf(" %s %.2f;", label.c_str(), values[values.size() / 2] / bareMs);
    }
    std::printf(" (bare round trips)\n");
    // The mean and the longest show what the median hides: the enumerator's Next, one in a batch of items.
    std::printf("  to the next call, mean / longest:");
    for (const auto& [label, values] : gaps) {
        if (values.size() < 10) continue;
        double sum = 0;
        for (const double value : values) sum += value;
        std::printf(" %s %.2f / %.1f;", label.c_str(), sum / static_cast<double>(values.size()) / bareMs,
                    *std::max_element(values.begin(), values.end()) / bareMs);
    }
    std::printf("\n");
}

struct Floor {
    double perEntity;
    const char* what;
    // Objects the command receives and lets go of per entity within its wall time: COM marshals each,
    // makes a proxy of it and makes a call of its own to release the proxy, none of which the record shows.
    double objects;
};

void PrintCommand(const char* unit, int entities, const RoundTrips& trips, const Floor& floor, double wallMs,
                  const Bare& bare) {
    const double bareMs = bare.Ms();
    std::printf("  wall time (simulator's clock):   %.2f s, %.2f ms per %s\n", wallMs / 1000, wallMs / entities,
                unit);
    std::printf("  round trips:                     %ld, %.2f per %s:", trips.total,
                static_cast<double>(trips.total) / entities, unit);
    for (const char* kind : kKinds) {
        const auto found = trips.byKind.find(kind);
        const long count = found == trips.byKind.end() ? 0 : found->second;
        std::printf(" %s %.2f (%ld)", kind, static_cast<double>(count) / entities, count);
    }
    std::printf("\n  floor:                           %.0f per %s (%s); measured / floor %.2f\n", floor.perEntity,
                unit, floor.what, static_cast<double>(trips.total) / entities / floor.perEntity);
    std::printf("  wall / (round trips x bare round trip) = %.2f\n",
                wallMs / (static_cast<double>(trips.total) * bareMs));
    std::printf("  with COM's handling of %.0f object(s) per %s: wall / (round trips x bare + objects x object) "
                "= %.2f\n",
                floor.objects, unit,
                wallMs / (static_cast<double>(trips.total) * bareMs + floor.objects * entities * bare.ObjectMs()));
}

// The commit charge in MiB: the process's private bytes (Wine leaves PrivateUsage at 0 for another
// process); negative when not available.
double PrivateMiB(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
        return -1;
    }
    return static_cast<double>(counters.PagefileUsage) / (1 << 20);
}

// The threads of a process; -1 when the system does not say.
int ThreadCount(DWORD processId) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    THREADENTRY32 thread{};
    thread.dwSize = sizeof thread;
    for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread)) {
        if (thread.th32OwnerProcessID == processId) ++count;
    }
    CloseHandle(snapshot);
    return count;
}


// ---- start-up ----

HWND WindowTitled(DWORD processId, const wchar_t* title) {
    for (const HWND window : VisibleWindowsOf(processId)) {
        wchar_t text[128]{};
        GetWindowTextW(window, text, static_cast<int>(std::size(text)));
        if (!GetWindow(window, GW_OWNER) && std::wcscmp(text, title) == 0) return window;
    }
    return nullptr;
}

// Seconds from CreateProcess to a visible top-level window titled `title`; the program is closed after.
// With `privateMiB`, also its private bytes after a second at idle.
double SecondsToWindow(const std::wstring& exe, const wchar_t* title, double* privateMiB = nullptr) {
    const auto began = Clock::now();
    ChildProcess process(exe, {});
    HWND window = nullptr;
    if (!WaitFor([&] { return (window = WindowTitled(process.Id(), title)) != nullptr; }, 60s, 1ms)) {
        throw std::runtime_error("a program did not show its window");
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - began).count();
    if (privateMiB) {
        std::this_thread::sleep_for(1s);
        *privateMiB = PrivateMiB(process.Handle());
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (process.Wait(5s) < 0) process.Kill();
    return seconds;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The programs whose start-up is timed: korvena.exe and its two yardsticks.
struct StartedProgram {
    std::wstring exe;
    const wchar_t* caption;
    std::vector<double> seconds;
    double privateMiB = 0;
};

void StartUp(const std::wstring& emptyExe, const std::wstring& bareFormExe) {
    constexpr int kStarts = 7;
    std::vector<StartedProgram> programs{{KorvenaExe(), kKorvenaCaption, {}},
                                         {emptyExe, kEmptyCaption, {}},
                                         {bareFormExe, kBareFormCaption, {}}};
    // One unmeasured start each first: the prefix's first start of a program loads what every later one finds.
    for (StartedProgram& program : programs) SecondsToWindow(program.exe, program.caption, &program.privateMiB);
    for (int i = 0; i < kStarts; ++i) {
        for (StartedProgram& program : programs) {
            program.seconds.push_back(SecondsToWindow(program.exe, program.caption));
        }
    }
    const double korvena = Median(programs[0].seconds), empty = Median(programs[1].seconds),
                 bare = Median(programs[2].seconds);
    std::printf("Start-up, start to the main window shown (median of %d starts each, in turn)\n", kStarts);
    std::printf("  korvena.exe %.3f s, empty_window.exe %.3f s: ratio %.2f\n", korvena, empty, korvena / empty);
    std::printf("  bare_form1.exe (the same window and manifest, nothing else) %.3f s: %.2f x empty_window.exe;\n"
                "  korvena.exe's own start-up work: %.2f x bare_form1.exe\n",
                bare, bare / empty, korvena / bare);
    std::printf("  private bytes a second after the start: korvena.exe %.1f MiB, empty_window.exe %.1f MiB, "
                "bare_form1.exe %.1f MiB\n\n",
                programs[0].privateMiB, programs[1].privateMiB, programs[2].privateMiB);
}

// ---- the commands ----

// A contour command's figures from the record of its run: every contour costs at least the get of
// what it is (EntityType on AutoCAD, ObjectName on a compatible CAD) and the Elevation and Color puts,
// and COM's handling of its object.
void PrintContourRun(const json& state, int contours, const Bare& bare) {
    const std::vector<Phase> phases = Phases(state);
    const Phase& run = phases.at(0);
    PrintCommand("contour", contours, Count({&run}), {3, "EntityType or ObjectName get, Elevation put, Color put", 1}, run.Ms(),
                 bare);
    PrintGaps(run, bare.Ms());
    std::printf("  last write to the closing line:  %.1f ms\n\n", LastWriteToClosingLine(run, kContourDone));
}

bool Sequential(int contours) {
    TempFolder folder;
    CadSimProcess cad(folder.Path(), Drawing(Contours(contours, false), json::array({Ids(1, contours)})));
    KorvenaWindow korvena;
    BenchLink link;
    korvena.Type(ControlId::Text1, L"100");
    korvena.Type(ControlId::Text2, L"1");

    Bare bare;
    bare.MeasureBefore(link);
    link.Mark();
    korvena.Click(ControlId::Command1);
    const json state = WaitForClosingLine(cad, kContourDone, 1);
    std::printf("Sequential assignment of %d contours\n", contours);
    // Under Wine a call of a single-threaded apartment travels on a thread-pool thread while the caller
    // pumps messages; the pool's threads end after 5 s without work, and with them their stacks.
    for (const auto idle : {1s, 10s}) {
        std::this_thread::sleep_for(idle == 1s ? idle : idle - 1s);
        std::printf("  korvena.exe private bytes, %2llds at idle after the command: %.1f MiB (%d threads)\n",
                    static_cast<long long>(idle.count()), PrivateMiB(korvena.Process().Handle()),
                    ThreadCount(korvena.Process().Id()));
    }
    bare.after = link.BareRoundTrip(kBareRoundTrips);
    bare.Print();

    if (state.at("entities").at(contours - 1).value("elevation", 0.0) != 100.0 + contours - 1) {
        std::fputs("bench_commands: the sequential assignment wrote wrong elevations\n", stderr);
        return false;
    }
    PrintContourRun(state, contours, bare);
    PostMessageW(korvena.Handle(), WM_CLOSE, 0, 0);
    cad.Close();
    return true;
}

bool Matching(int targets) {
    TempFolder folder;
    CadSimProcess cad(folder.Path(), Drawing(Contours(targets, true),
                                             json::array({Ids(1, targets), Ids(targets + 1, targets + 1)})));
    KorvenaWindow korvena;
    BenchLink link;

    Bare bare;
    bare.MeasureBefore(link);
    link.Mark();
    korvena.Click(ControlId::Command4);
    const json state = WaitForClosingLine(cad, kContourDone, 1);
    std::printf("Matching assignment of %d contours to one reference\n", targets);
    bare.after = link.BareRoundTrip(kBareRoundTrips);
    bare.Print();

    if (state.at("entities").at(targets - 1).value("elevation", 0.0) != 150.0) {
        std::fputs("bench_commands: the matching assignment wrote wrong elevations\n", stderr);
        return false;
    }
    PrintContourRun(state, targets, bare);
    PostMessageW(korvena.Handle(), WM_CLOSE, 0, 0);
    cad.Close();
    return true;
}

// Every pair costs at least 12 calls: to collect, what the point and the text are (EntityType or
// ObjectName) and their positions (4 gets); to draw, AddLine and the line's Color (2); after 是, the text's textString and the
// point's position again (the user may have changed them while the lines were shown), the new position,
// the point's and the text's Color, and the line's Delete (2 gets, 3 puts, 1 call).
// The point, the text and the line: the command lets go of each pair and its line after their writes.
constexpr Floor kScatterFloor{12, "4 gets to collect, AddLine + Color, 2 gets 3 puts 1 Delete after 是", 3};

// Runs the scatter command `runs` times over the first `selected` pairs of a drawing of `pairs` pairs,
// answering 是; the phases of the runs: collection, then assignment, for each.
std::vector<Phase> ScatterRuns(int pairs, int selected, int runs, Bare& bare) {
    TempFolder folder;
    json selections = json::array();
    for (int i = 0; i < runs; ++i) selections.push_back(Ids(1, 2 * selected));
    CadSimProcess cad(folder.Path(), Drawing(ScatterEntities(pairs), selections));
    KorvenaWindow korvena;
    BenchLink link;
    bare.MeasureBefore(link);
    for (int run = 1; run <= runs; ++run) {
        link.Mark();
        korvena.Click(ControlId::Command5);
        const auto box = korvena.WaitForMessageBox(900s);
        if (!box) throw std::runtime_error("the scatter-point command asked nothing");
        link.Mark();
        if (!Answer(*box, IDYES)) throw std::runtime_error("the box has no 是");
        WaitForClosingLine(cad, kScatterDone, run);
    }
    bare.after = link.BareRoundTrip(kBareRoundTrips);
    const json state = cad.State();
    if (state.at("entities").at(0).at("center").at(2) != 100.5) {
        throw std::runtime_error("the scatter-point command did not write the heights");
    }
    std::vector<Phase> phases = Phases(state);
    if (phases.size() != static_cast<std::size_t>(2 * runs)) throw std::runtime_error("unexpected call record");
    PostMessageW(korvena.Handle(), WM_CLOSE, 0, 0);
    cad.Close();
    return phases;
}

void Scatter(int pairs) {
    Bare bare;
    const std::vector<Phase> phases = ScatterRuns(pairs, pairs, 1, bare);
    const Phase& collect = phases.at(0);
    const Phase& assign = phases.at(1);
    std::printf("Scatter-point assignment of %d pairs, answered 是\n", pairs);
    std::printf("  click to the box:                %.2f s, %.2f ms per pair\n", collect.Ms() / 1000,
                collect.Ms() / pairs);
    std::printf("  answer to the last call:         %.2f s, %.2f ms per pair\n", assign.Ms() / 1000,
                assign.Ms() / pairs);
    bare.Print();
    PrintCommand("pair", pairs, Count({&collect, &assign}), kScatterFloor, collect.Ms() + assign.Ms(), bare);
    PrintGaps(collect, bare.Ms());
    PrintGaps(assign, bare.Ms());
    std::printf("  last write to the closing line:  %.1f ms\n\n", LastWriteToClosingLine(assign, kScatterDone));
}

// The same 100 pairs selected in a drawing of 100 and of 2,000 pairs: the time per pair (the box's
// wait left out), median of three runs in one simulator.
void ScatterAtDrawingSizes() {
    constexpr int kSelected = 100, kRuns = 3;
    std::printf("Scatter-point assignment of %d pairs in drawings of different size (median of %d runs)\n",
                kSelected, kRuns);
    double perPair[2]{}, inBare[2]{};
    const int sizes[2] = {100, 2000};
    for (int s = 0; s < 2; ++s) {
        Bare bare;
        const std::vector<Phase> phases = ScatterRuns(sizes[s], kSelected, kRuns, bare);
        std::vector<double> times;
        for (int run = 0; run < kRuns; ++run) {
            times.push_back((phases.at(2 * run).Ms() + phases.at(2 * run + 1).Ms()) / kSelected);
        }
        perPair[s] = Median(times);
        inBare[s] = perPair[s] / bare.Ms();
        const RoundTrips trips = Count({&phases.at(0), &phases.at(1)});
        std::printf("  drawing of %4d pairs: %.2f ms per pair (%.1f bare round trips of %.3f ms), %.2f round trips "
                    "per pair\n",
                    sizes[s], perPair[s], inBare[s], bare.Ms(), static_cast<double>(trips.total) / kSelected);
    }
    // The machine's load moves the bare round trip too: per pair in bare round trips is the steadier figure.
    std::printf("  2,000 / 100: %.2f in milliseconds, %.2f in bare round trips\n", perPair[1] / perPair[0],
                inBare[1] / inBare[0]);
}

// ---- the ends of commands that stop short ----

// The record's calls, each with whether it is a marker of this program.
struct Stamped {
    double atMs;
    bool marker;
    const json* call;
};

std::vector<Stamped> Stamps(const json& state) {
    std::vector<Stamped> stamps;
    for (const json& call : state.at("calls")) {
        if (IsMarker(call) && call.value("kind", "") != "get") continue;  // its name lookup
        stamps.push_back({call.value("atMs", 0.0), IsMarker(call), &call});
    }
    return stamps;
}

// The marker calls, in order.
std::vector<double> Markers(const std::vector<Stamped>& stamps) {
    std::vector<double> markers;
    for (const Stamped& stamp : stamps) {
        if (stamp.marker) markers.push_back(stamp.atMs);
    }
    return markers;
}

// Milliseconds from korvena.exe's last call before `atMs` to `atMs`.
double SilenceBefore(const std::vector<Stamped>& stamps, double atMs) {
    double last = 0;
    for (const Stamped& stamp : stamps) {
        if (!stamp.marker && stamp.atMs <= atMs) last = stamp.atMs;
    }
    return atMs - last;
}

// The first deletion of a selection set after `afterMs`, and the silence before it: from the later of
// `afterMs` and korvena.exe's last call before the deletion.
std::pair<double, double> SetDeletionAfter(const std::vector<Stamped>& stamps, double afterMs) {
    double last = afterMs;
    for (const Stamped& stamp : stamps) {
        if (stamp.marker || stamp.atMs < afterMs) continue;
        const json& call = *stamp.call;
        if (call.value("object", "") == "SelectionSet" && call.value("member", "") == "Delete") {
            return {stamp.atMs, stamp.atMs - last};
        }
        last = stamp.atMs;
    }
    throw std::runtime_error("the set was not deleted");
}

// Waits for korvena.exe's message box and makes a marker call the moment it is seen.
MessageBoxSeen MarkWhenBoxShows(const KorvenaWindow& korvena, const BenchLink& link) {
    std::optional<MessageBoxSeen> box;
    if (!WaitFor([&] { return (box = korvena.WaitForMessageBox(0ms)).has_value(); }, 900s, 1ms)) {
        throw std::runtime_error("korvena.exe showed no message box");
    }
    link.Mark();
    return *box;
}

// One end: the command started with a click, its dialog answered with `button`; then a click on the pick
// button right after the set's deletion (it selects nothing), to see when the next command starts. Prints
// the silent gaps.
void EndOfCommand(const std::string& what, const std::string& drawing, ControlId button,
                  std::wstring_view expected, int answer) {
    TempFolder folder;
    CadSimProcess cad(folder.Path(), drawing);
    KorvenaWindow korvena;
    BenchLink link;
    korvena.Type(ControlId::Text1, L"100");
    korvena.Type(ControlId::Text2, L"1");
    link.Mark();
    korvena.Click(button);
    const MessageBoxSeen box = MarkWhenBoxShows(korvena, link);
    if (box.text != expected) throw std::runtime_error("korvena.exe showed another message");
    link.Mark();
    if (!Answer(box, answer)) throw std::runtime_error("the box lacks the button");
    if (!WaitFor([&] { return cad.SelectionSetCount() == 0; }, 900s, 1ms)) {
        throw std::runtime_error("the set was not deleted");
    }
    link.Mark();
    korvena.Click(ControlId::Command6);
    if (!WaitFor([&] { return cad.PromptCount() >= 2; }, 60s, 5ms)) {
        throw std::runtime_error("the next command did not start");
    }
    WaitFor([&] { return cad.SelectionSetCount() == 0; }, 60s);

    const json state = cad.State();
    const std::vector<Stamped> stamps = Stamps(state);
    const std::vector<double> markers = Markers(stamps);  // click, box seen, answer, next click
    if (markers.size() < 4) throw std::runtime_error("unexpected call record");
    const auto [deletedMs, beforeDeletion] = SetDeletionAfter(stamps, markers[2]);
    double nextCall = 0;
    for (const Stamped& stamp : stamps) {
        if (!stamp.marker && stamp.atMs > markers[3]) {
            nextCall = stamp.atMs - markers[3];
            break;
        }
    }
    std::printf("%s\n", what.c_str());
    std::printf("  click to the dialog:                          %.2f s\n", (markers[1] - markers[0]) / 1000);
    std::printf(
        "  last call to the dialog:                      %.1f ms (seen by polling every millisecond)\n",
        SilenceBefore(stamps, markers[1]));
    std::printf("  answer to the set's deletion:                 %.1f ms\n", deletedMs - markers[2]);
    std::printf("  silence before the set's deletion:            %.1f ms\n", beforeDeletion);
    std::printf("  a click after the deletion to its first call: %.1f ms\n\n", nextCall);
    PostMessageW(korvena.Handle(), WM_CLOSE, 0, 0);
    cad.Close();
}

void EndsOfCommands(int contours) {
    // The contours, then a line: rejected after every contour has its height.
    json entities = Contours(contours, false);
    entities.push_back({{"kind", "line"}, {"start", {0.0, -5.0, 0.0}}, {"end", {100.0, -5.0, 0.0}}});
    EndOfCommand(
        "Sequential assignment of " + std::to_string(contours) + " contours and a line at the end, OK",
        Drawing(entities, json::array({Ids(1, contours + 1), json::array()})), ControlId::Command1,
        kNotAContourMessage, IDOK);
    EndOfCommand("Scatter-point assignment of 501 pairs, one over the limit, OK",
                 Drawing(ScatterEntities(501), json::array({Ids(1, 1002), json::array()})),
                 ControlId::Command5, kUnknownErrorMessage, IDOK);
    EndOfCommand("Scatter-point assignment of 500 pairs answered 否",
                 Drawing(ScatterEntities(500), json::array({Ids(1, 1000), json::array()})),
                 ControlId::Command5, kScatterCheckQuestion, IDNO);
}

}  // namespace
}  // namespace korvena::e2e

const korvena::e2e::Program korvena::e2e::kThisProgram =
    ToolProgram("bench_commands", "<korvena.exe> <cadsim.exe> <empty_window.exe> <bare_form1.exe> [N] [ends]",
                4, 6, [](const ProgramArguments& given) {
                    UseKorvenaAndCadSim(given);
                    const std::wstring emptyExe = WindowsPath(given[2]);
                    const std::wstring bareFormExe = WindowsPath(given[3]);
                    const int count = CountArgument(given, 4, 2000);
                    const bool endsOnly = given.size() > 5 && given[5] == L"ends";
                    KillProcessesNamed(L"cadsim.exe");
                    ComApartment apartment;
                    if (!endsOnly) {
                        StartUp(emptyExe, bareFormExe);
                        if (!Sequential(count) || !Matching(count)) return 1;
                        // The scatter command orders at most 500 pairs in one run.
                        Scatter(std::min(count, 500));
                        ScatterAtDrawingSizes();
                        std::printf("\n");
                    }
                    EndsOfCommands(count);
                    return 0;
                });
