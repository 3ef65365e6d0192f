// The demo's scripted session, for a machine without a person at the screen: cadsim.exe with the demo
// map, korvena.exe attached to it, and one sequential assignment through the real window, printing
// the contours' elevations before and after. Both programs are left running for a screenshot.
//
//   demo_session <korvena.exe> <cadsim.exe> <demo map> <work folder>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "cad/win/com_apartment.h"
#include "e2e/support/cadsim_process.h"
#include "e2e/support/korvena_window.h"

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

int Run(const std::wstring& korvenaExe, const std::wstring& cadsimExe, const std::filesystem::path& map,
        const std::filesystem::path& work) {
    SetKorvenaExe(korvenaExe);
    SetCadSimExe(cadsimExe);
    ComApartment apartment;

    // The session picks the nine contours of the demo map's main hill (ids 9 down to 1), from its foot
    // up to the summit, as a surveyor would; the knoll and the spot heights stay as they are.
    std::ifstream in(map, std::ios::binary);
    nlohmann::json drawing = nlohmann::json::parse(in);
    drawing["selections"] = nlohmann::json::array({nlohmann::json::array({9, 8, 7, 6, 5, 4, 3, 2, 1})});

    std::filesystem::create_directories(work);
    auto* cad = new CadSimProcess(work, drawing.dump(2));  // left running for the screenshot
    PrintContours("Before:", cad->State());

    auto* korvena = new KorvenaWindow();  // left running for the screenshot
    korvena->Type(ControlId::Text1, L"100");
    korvena->Type(ControlId::Text2, L"5");
    std::cout << "Sequential assignment: first elevation 100, interval 5, colour 250\n";
    korvena->Click(ControlId::Command1);
    if (!WaitFor([&] { return korvena->Focused() == ControlId::Text1; }, 60s)) {
        std::cerr << "demo_session: the assignment did not finish\n";
        return 1;
    }
    const nlohmann::json after = cad->State();
    PrintContours("After:", after);
    std::cout << "CAD command line:\n" << after.value("commandLine", std::string()) << "\n";
    // Where the main window stands on the screen, for cutting it out of the screenshot.
    RECT frame{};
    GetWindowRect(korvena->Handle(), &frame);
    std::cout << "Main window: " << frame.right - frame.left << "x" << frame.bottom - frame.top << "+"
              << frame.left << "+" << frame.top << "\n";
    return 0;
}

}  // namespace
}  // namespace korvena::e2e

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) {
        std::fputs("usage: demo_session <korvena.exe> <cadsim.exe> <demo map> <work folder>\n", stderr);
        return 2;
    }
    try {
        return korvena::e2e::Run(argv[1], argv[2], korvena::e2e::WindowsPath(argv[3]),
                                 korvena::e2e::WindowsPath(argv[4]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo_session: %s\n", e.what());
        return 1;
    }
}
