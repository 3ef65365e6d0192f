// The demo's scripted session, for a machine without a person at the screen: cadsim.exe with the demo
// map, korvena.exe attached to it, and three commands through the real window: a sequential
// assignment of the main hill (printing the contours' elevations before and after, then Ctrl+Z in the
// CAD taking the whole run back in one step, and the run again), a pick of the
// summit contour's height into the main window, and the scatter-point command on every spot height,
// answered 否 so that its check lines stay in the drawing (the label of the spot height 101.9 stands
// far from its point, so its line is red). Both programs are left running for a screenshot.
//
//   demo_session <korvena.exe> <cadsim.exe> <demo map> <work folder>

#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "cad/win/com_apartment.h"
#include "e2e/support/cadsim_process.h"
#include "e2e/support/korvena_window.h"
#include "e2e/support/program.h"

namespace korvena::e2e {
namespace {

using namespace std::chrono_literals;

// A contour line, not a donut (a closed lightweight polyline with a width, standing for a spot height).
bool IsContour(const nlohmann::json& entity) {
    const std::string kind = entity.at("kind");
    return (kind == "lwpolyline" || kind == "polyline") && entity.value("width", 0.0) == 0;
}

void PrintContours(const char* heading, const nlohmann::json& state) {
    std::cout << heading << "\n";
    for (const auto& entity : state.at("entities")) {
        if (!IsContour(entity)) continue;
        std::cout << "  contour " << entity.at("id").get<int>() << ": elevation "
                  << entity.value("elevation", 0.0) << ", colour " << entity.value("color", 256) << "\n";
    }
    std::cout.flush();
}

void PrintFrame(const char* name, HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    std::cout << name << ": " << frame.right - frame.left << "x" << frame.bottom - frame.top << "+"
              << frame.left << "+" << frame.top << "\n";
}

int Run(const std::wstring& korvenaExe, const std::wstring& cadsimExe, const std::filesystem::path& map,
        const std::filesystem::path& work) {
    SetKorvenaExe(korvenaExe);
    SetCadSimExe(cadsimExe);
    ComApartment apartment;

    // The session picks the nine contours of the demo map's main hill (ids 9 down to 1), from its foot
    // up to the summit, as a surveyor would; the knoll and the spot heights stay as they are.
    std::ifstream in(map, std::ios::binary);
    nlohmann::json drawing = nlohmann::json::parse(in);
    // Then the summit contour for the pick, then the spot heights with their texts (ids 13 to 26).
    nlohmann::json spotHeights = nlohmann::json::array();
    for (int id = 13; id <= 26; ++id) spotHeights.push_back(id);
    const nlohmann::json hill = nlohmann::json::array({9, 8, 7, 6, 5, 4, 3, 2, 1});
    drawing["selections"] = nlohmann::json::array({hill, hill, nlohmann::json::array({1}), spotHeights});

    std::filesystem::create_directories(work);
    auto* cad = new CadSimProcess(work, drawing.dump(2));  // left running for the screenshot
    PrintContours("Before:", cad->State());

    auto* korvena = new KorvenaWindow();  // left running for the screenshot
    korvena->Type(ControlId::Text1, L"100");
    korvena->Type(ControlId::Text2, L"5");
    std::cout << "Sequential assignment: first elevation 100, interval 5, colour 250\n";
    // A run is done when its one undo step is in the CAD and its selection set is gone.
    const auto assign = [&] {
        korvena->Click(ControlId::Command1);
        return WaitFor(
            [&] {
                const nlohmann::json state = cad->State();
                return state.value("undoSteps", 0) == 1 &&
                       state.value("selectionSets", nlohmann::json::array()).empty();
            },
            60s);
    };
    if (!assign()) {
        std::cerr << "demo_session: the assignment did not finish\n";
        return 1;
    }
    PrintContours("After:", cad->State());

    // One undo in the CAD takes the whole run back.
    cad->PressCtrlZ();
    if (!WaitFor([&] { return cad->State().value("undoSteps", 1) == 0; }, 20s)) {
        std::cerr << "demo_session: Ctrl+Z in the CAD did not undo the run\n";
        return 1;
    }
    PrintContours("After Ctrl+Z in the CAD (one step takes back the whole run):", cad->State());
    if (!assign()) {
        std::cerr << "demo_session: the assignment did not finish the second time\n";
        return 1;
    }
    std::cout << "Sequential assignment again: the hill has its heights back\n";

    korvena->Click(ControlId::Command6);
    if (!WaitFor([&] { return korvena->Text(ControlId::Text1) == L"140"; }, 60s)) {
        std::cerr << "demo_session: the pick did not write 140 into the first-elevation input\n";
        return 1;
    }
    std::cout << "Pick elevation: the summit contour gives 140 in the first-elevation input\n";

    korvena->Click(ControlId::Command5);
    const auto box = korvena->WaitForMessageBox(60s);
    if (!box || !Answer(*box, IDNO)) {
        std::cerr << "demo_session: the scatter-point command asked nothing\n";
        return 1;
    }
    if (!WaitFor([&] { return cad->State().value("selectionSets", nlohmann::json::array()).empty(); }, 60s)) {
        std::cerr << "demo_session: the scatter-point command did not finish\n";
        return 1;
    }
    const nlohmann::json checked = cad->State();
    std::cout
        << "Scatter points: check lines from each spot height to its text (answered 否, so they stay):\n";
    int red = 0;
    for (const auto& entity : checked.at("entities")) {
        if (entity.at("kind") != "line") continue;
        red += entity.value("color", 0) == 1 ? 1 : 0;
        std::cout << "  (" << entity["start"][0] << ", " << entity["start"][1] << ") -> (" << entity["end"][0]
                  << ", " << entity["end"][1] << ")"
                  << (entity.value("color", 0) == 1 ? ", red: check it" : "") << "\n";
    }
    std::cout << "CAD command line:\n" << checked.value("commandLine", std::string()) << "\n";
    // The demo map's one badly placed label shows the user what a line that looks wrong is like.
    if (red != 1) {
        std::cerr << "demo_session: " << red
                  << " red check lines instead of the one of the badly placed label\n";
        return 1;
    }
    // Where the two windows stand on the screen, for cutting them out of the screenshot.
    PrintFrame("Main window", korvena->Handle());
    PrintFrame("CAD window", cad->Window());
    return 0;
}

}  // namespace
}  // namespace korvena::e2e

const korvena::e2e::Program korvena::e2e::kThisProgram =
    ToolProgram("demo_session", "<korvena.exe> <cadsim.exe> <demo map> <work folder>", 4, 4,
                [](const ProgramArguments& given) {
                    return Run(given[0], given[1], WindowsPath(given[2]), WindowsPath(given[3]));
                });
