// Soak: N consecutive commands through one korvena.exe, driven through its real windows, against
// cadsim.exe over cross-process COM. The four command kinds come in turn; one in ten ends early
// through a rejected entity, a refused colour or a CAD error, and every dialog is answered. A fresh
// simulator serves each block of commands, with that block's selections scripted; the program stays
// the same process throughout and attaches to each new simulator at its next command.
//
// Checked: each command's dialogs (title, text), what it wrote into the drawing and the main window,
// no selection set left in the drawing after any command, no dialog left open, and korvena.exe's
// handles, GDI objects, USER objects and private bytes flat: sampled at the start (after a warm-up
// in which every kind of command and dialog has run once), the middle and the end: no counter may
// rise steadily by more than 5 % of the start over the run (see Leaks). Prints the samples and the time
// taken.
//
//   soak_commands <korvena.exe> <cadsim.exe> [N = 2000] [commands per simulator = 50]
// Exit code 0 when every check held.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "cad/win/com_apartment.h"
#include "e2e/soak_plan.h"
#include "e2e/support/cadsim_process.h"
#include "e2e/support/korvena_window.h"
#include "e2e/support/process_resources.h"
#include "e2e/support/program.h"

namespace korvena::e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using nlohmann::json;

// Generous: the machine may be shared; these only bound a command that never ends.
constexpr auto kPatience = 60s;
// A counter that rises steadily by more than this share of its start sample over the run leaks.
constexpr double kLeakShare = 0.05;

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                        nullptr);
    return out;
}

class StepFailed : public std::runtime_error {
public:
    StepFailed(const SoakStep& step, const std::string& what)
        : std::runtime_error("command " + std::to_string(step.number) + " (" + KindName(step.kind) + ", " +
                             EarlyEndName(step.early) + "): " + what) {}
};

const json* EntityById(const json& state, int id) {
    for (const json& entity : state.at("entities")) {
        if (entity.value("id", 0) == id) return &entity;
    }
    return nullptr;
}

// What the drawing holds while a block runs, as the commands so far should have left it.
struct BlockProgress {
    std::size_t prompts = 0;
    std::size_t selectionsLeft = 0;
};

bool NoMessageBox(const KorvenaWindow& korvena) {
    return !korvena.WaitForMessageBox(0ms);
}

void AnswerBoxes(const SoakStep& step, const KorvenaWindow& korvena) {
    for (const ExpectedBox& expected : step.boxes) {
        const auto box = korvena.WaitForMessageBox(kPatience);
        if (!box) throw StepFailed(step, "no dialog \"" + Utf8(expected.text) + "\"");
        if (box->title != expected.title || box->text != expected.text) {
            throw StepFailed(step, "the dialog \"" + Utf8(box->title) + "\" said \"" + Utf8(box->text) +
                                       "\", not \"" + Utf8(expected.text) + "\"");
        }
        if (!Answer(*box, expected.answer)) throw StepFailed(step, "the dialog has no such button");
        if (!WaitFor([&] { return !IsWindow(box->window); }, kPatience)) {
            throw StepFailed(step, "the dialog stayed open after its answer");
        }
    }
}

// Waits until the command has written its lines and taken its selections and no set is left, with no
// dialog open; then checks what it wrote.
void AwaitEnd(const SoakStep& step, const KorvenaWindow& korvena, const CadSimProcess& cad,
              const BlockProgress& expected) {
    json state;
    std::optional<MessageBoxSeen> unexpected;
    const bool ended = WaitFor(
        [&] {
            if ((unexpected = korvena.WaitForMessageBox(0ms))) return true;
            state = cad.State();
            return state.at("prompts").size() == expected.prompts &&
                   state.at("selections").size() == expected.selectionsLeft &&
                   state.value("selectionSets", json::array()).empty();
        },
        kPatience, 10ms);
    if (unexpected) throw StepFailed(step, "an unexpected dialog: \"" + Utf8(unexpected->text) + "\"");
    if (!ended) {
        throw StepFailed(step, "did not end: " + std::to_string(state.at("prompts").size()) + " prompts, " +
                                   std::to_string(state.at("selections").size()) + " selections left, " +
                                   std::to_string(state.value("selectionSets", json::array()).size()) +
                                   " sets");
    }
    for (const EntityCheck& check : step.checks) {
        const json* entity = EntityById(state, check.id);
        if (!entity || !entity->contains(check.key) || (*entity)[check.key] != check.value) {
            throw StepFailed(
                step, "entity " + std::to_string(check.id) + " has " + check.key + " " +
                          (entity && entity->contains(check.key) ? (*entity)[check.key].dump() : "none") +
                          ", not " + check.value.dump());
        }
    }
    if (step.text1After && korvena.Text(ControlId::Text1) != *step.text1After) {
        throw StepFailed(step, "Text1 shows \"" + Utf8(korvena.Text(ControlId::Text1)) + "\", not \"" +
                                   Utf8(*step.text1After) + "\"");
    }
}

void RunStep(const SoakStep& step, const KorvenaWindow& korvena, const CadSimProcess& cad,
             BlockProgress& progress) {
    for (const auto& [input, text] : step.inputs) korvena.Type(input, text);
    progress.prompts += static_cast<std::size_t>(step.promptsAdded);
    progress.selectionsLeft -= static_cast<std::size_t>(step.selectionsTaken);
    korvena.Click(step.button);
    AnswerBoxes(step, korvena);
    AwaitEnd(step, korvena, cad, progress);
}

struct Sample {
    std::string when;
    ProcessResources resources;
};

double Rise(double from, double to) {
    return from > 0 ? (to - from) / from : 0;
}

void PrintSamples(const std::vector<Sample>& samples) {
    std::printf("  %-22s %9s %12s %13s %15s\n", "korvena.exe", "handles", "GDI objects", "USER objects",
                "private bytes");
    for (const Sample& s : samples) {
        std::printf("  %-22s %9lu %12lu %13lu %11.2f MiB\n", s.when.c_str(), s.resources.handles,
                    s.resources.gdiObjects, s.resources.userObjects,
                    static_cast<double>(s.resources.privateBytes) / (1 << 20));
    }
}

// The leaks: each counter that rises steadily, by more than kLeakShare of the start over the run. A
// steady rise shows in both halves, each by about half of it; a step (a heap that grows once, in
// whichever half) shows in one half only. So a leak is a rise of more than a quarter of kLeakShare in
// each half and more than half of it in all.
std::vector<std::string> Leaks(const ProcessResources& start, const ProcessResources& middle,
                               const ProcessResources& end) {
    std::vector<std::string> leaks;
    const auto check = [&](const char* name, double from, double half, double to) {
        std::printf(
            "  %-14s %+5.1f %% from the start to the end (%+5.1f %% in the first half, %+5.1f %% in the "
            "second)\n",
            name, 100 * Rise(from, to), 100 * Rise(from, half), 100 * (to - half) / from);
        const double first = (half - from) / from, second = (to - half) / from;
        if (first > kLeakShare / 4 && second > kLeakShare / 4 && first + second > kLeakShare / 2) {
            leaks.push_back(name);
        }
    };
    check("handles", start.handles, middle.handles, end.handles);
    check("GDI objects", start.gdiObjects, middle.gdiObjects, end.gdiObjects);
    check("USER objects", start.userObjects, middle.userObjects, end.userObjects);
    check("private bytes", static_cast<double>(start.privateBytes), static_cast<double>(middle.privateBytes),
          static_cast<double>(end.privateBytes));
    return leaks;
}

// A simulator with its folder (the drawing and the state file).
struct Simulator {
    explicit Simulator(const std::string& drawingJson)
        : cad(std::make_unique<CadSimProcess>(folder.Path(), drawingJson)) {}
    TempFolder folder;
    std::unique_ptr<CadSimProcess> cad;
};

void CloseRetired(std::unique_ptr<Simulator> simulator) {
    if (simulator->cad->Close() != 0) throw std::runtime_error("a simulator did not end cleanly");
}

int Soak(int commands, int perSimulator) {
    KorvenaWindow korvena;
    const std::size_t windowsAtLaunch = VisibleWindowsOf(korvena.ProcessId()).size();
    const auto sample = [&](std::string when) {
        return Sample{std::move(when), SampleResources(korvena.Process().Handle(), korvena.ProcessId())};
    };
    std::vector<Sample> samples{sample("at launch")};
    std::printf("Soak: %d commands through korvena.exe (one process, id %lu), a new cadsim.exe every %d\n",
                commands, korvena.ProcessId(), perSimulator);
    std::printf("  counted: %s\n", CountingMethod(korvena.Process().Handle()).c_str());
    std::fflush(stdout);

    // The start sample follows a warm-up in which every kind of command and of ending has run.
    const int warmUp = std::min(commands, std::max(20, commands / 20));
    const int middle = (warmUp + commands) / 2;
    int early = 0;
    const auto began = Clock::now();
    // The simulator of the block before is retired when the next one starts, and closed only once the
    // program has attached to the new one: so the program lets go of the old one's objects while it
    // still runs, as with a CAD that stays open. (Under Wine, a proxy released after its server has
    // gone keeps some of its handles for ever: that would be Wine's leak, not the program's.)
    std::unique_ptr<Simulator> current, previous;
    for (int first = 0; first < commands; first += perSimulator) {
        const SoakBlock block = PlanBlock(first, std::min(perSimulator, commands - first));
        if (current) current->cad->Retire();
        previous = std::move(current);
        current = std::make_unique<Simulator>(block.drawingJson);
        CadSimProcess& cad = *current->cad;
        BlockProgress progress{0, cad.State().at("selections").size()};
        for (const SoakStep& step : block.steps) {
            RunStep(step, korvena, cad, progress);
            if (previous) CloseRetired(std::move(previous));
            if (step.early != EarlyEnd::None) ++early;
            if (step.number == warmUp) samples.push_back(sample("start (" + std::to_string(warmUp) + ")"));
            if (step.number == middle && middle != warmUp) {
                samples.push_back(sample("middle (" + std::to_string(middle) + ")"));
            }
        }
        const json state = cad.State();
        if (!state.at("selections").empty() || !state.value("selectionSets", json::array()).empty()) {
            throw std::runtime_error("the block from command " + std::to_string(first + 1) +
                                     " left selections or sets behind");
        }
        if (!korvena.Process().Running()) throw std::runtime_error("korvena.exe has ended");
        const ProcessResources now = sample("").resources;
        std::printf("  %5d commands done, %3d ended early; handles %lu, GDI %lu, USER %lu, %.2f MiB\n",
                    first + static_cast<int>(block.steps.size()), early, now.handles, now.gdiObjects,
                    now.userObjects, static_cast<double>(now.privateBytes) / (1 << 20));
        std::fflush(stdout);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - began).count();
    samples.push_back(sample("end (" + std::to_string(commands) + ")"));

    CloseRetired(std::move(current));
    if (!NoMessageBox(korvena)) throw std::runtime_error("a dialog is left open");
    if (VisibleWindowsOf(korvena.ProcessId()).size() != windowsAtLaunch) {
        throw std::runtime_error("korvena.exe shows other windows than at launch");
    }
    std::printf(
        "%d commands (%d ended early through a dialog) in %.1f min, %.0f ms per command; "
        "no selection set left, no dialog open\n",
        commands, early, seconds / 60, 1000 * seconds / commands);
    PrintSamples(samples);
    const ProcessResources& start = samples[1].resources;
    const ProcessResources& half = samples.size() > 3 ? samples[2].resources : start;
    const std::vector<std::string> leaks = Leaks(start, half, samples.back().resources);
    for (const std::string& leak : leaks) {
        std::printf("LEAK: %s rose steadily, by more than %.0f %% over the run\n", leak.c_str(),
                    100 * kLeakShare);
    }
    PostMessageW(korvena.Handle(), WM_CLOSE, 0, 0);
    if (korvena.Process().Wait(20s) != 0) throw std::runtime_error("korvena.exe did not end cleanly");
    return leaks.empty() ? 0 : 1;
}

}  // namespace
}  // namespace korvena::e2e

const korvena::e2e::Program korvena::e2e::kThisProgram =
    ToolProgram("soak_commands", "<korvena.exe> <cadsim.exe> [N] [commands per simulator]", 2, 4,
                [](const ProgramArguments& given) {
                    UseKorvenaAndCadSim(given);
                    const int commands = CountArgument(given, 2, 2000);
                    const int perSimulator = CountArgument(given, 3, 50);
                    KillProcessesNamed(L"cadsim.exe");
                    ComApartment apartment;
                    return Soak(commands, perSimulator);
                });
