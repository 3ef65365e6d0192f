// Sequential contour assignment through the real COM layer against cadsim.exe in another process:
// a CAD already running, a CAD that COM has to start, and no CAD registered at all.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "cad/win/com_apartment.h"
#include "cad/win/win32_platform.h"
#include "commands/sequential_contour_assignment.h"
#include "e2e/support/cadsim_process.h"
#include "e2e/support/program.h"

namespace korvena::e2e {
namespace {

constexpr char kDrawing[] = R"({
  "caption": "CadSim - [link-test.dwg]",
  "entities": [
    {"kind": "lwpolyline", "color": 7, "vertices": [[0, 0], [10, 0]]},
    {"kind": "polyline", "color": 7, "vertices": [[0, 5], [10, 5]]},
    {"kind": "lwpolyline", "color": 7, "vertices": [[0, 9], [10, 9]]},
    {"kind": "circle", "center": [5, 5, 0], "radius": 1}
  ],
  "selections": [[1, 2, 3]]
})";

struct Dialog {
    std::wstring text;
    bool titled;
    int style;
};

// The real platform, except that dialogs are recorded instead of shown.
class RecordingPlatform : public Platform {
public:
    DispatchPtr GetRunningObject(std::wstring_view progId) override { return real_.GetRunningObject(progId); }
    DispatchPtr CreateObject(std::wstring_view progId) override { return real_.CreateObject(progId); }
    void ActivateWindow(std::wstring_view title) override { real_.ActivateWindow(title); }
    std::uint64_t ClockTicks() override { return real_.ClockTicks(); }
    int ShowMessage(std::wstring_view text, std::optional<std::wstring_view> title, int style) override {
        dialogs.push_back({std::wstring(text), title.has_value(), style});
        return message_box::kOk;
    }
    std::vector<Dialog> dialogs;

private:
    Win32Platform real_{L"Korvena"};
};

class Inputs : public MainWindowInputs {
public:
    std::wstring Text(Input input) const override {
        switch (input) {
            case Input::Text1: return L"100";
            case Input::Text2: return L"5";
            case Input::Text3: return L"250";
            case Input::Text5: return L"251";
        }
        return {};
    }
    void SetText(Input, std::wstring_view) override {}
    void FocusText1() override { ++focusMoves; }
    int focusMoves = 0;
};

class ComLink : public ::testing::Test {
protected:
    void SetUp() override {
        KillProcessesNamed(L"cadsim.exe");
        RegisterCadSim();
    }
    void TearDown() override {
        KillProcessesNamed(L"cadsim.exe");
        RegisterCadSim();  // leave AutoCAD.Application registered, as the fixture did
    }
    void RunCommand() {
        CommandContext context{platform, link, inputs};
        SequentialContourAssignment(context);
    }
    static void ExpectAssigned(const nlohmann::json& state) {
        const auto& entities = state.at("entities");
        EXPECT_EQ(entities.at(0).at("elevation"), 100.0);
        EXPECT_EQ(entities.at(1).at("elevation"), 105.0);
        EXPECT_EQ(entities.at(2).at("elevation"), 110.0);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(entities.at(i).at("color"), 250);
        EXPECT_EQ(entities.at(3).value("color", 256), 256);
        EXPECT_TRUE(state.value("selectionSets", nlohmann::json::array()).empty());
        const std::string commandLine = state.at("commandLine");
        EXPECT_NE(commandLine.find("======最后选择的等高线高程为 110 ======\n\r"), std::string::npos);
    }

    ComApartment apartment;
    TempFolder folder;
    RecordingPlatform platform;
    Inputs inputs;
    CadLink link;
};

TEST_F(ComLink, AttachesToTheRunningCadWithoutStartingAnother) {
    CadSimProcess cad(folder.Path(), kDrawing);
    RunCommand();
    EXPECT_TRUE(platform.dialogs.empty());
    EXPECT_EQ(inputs.focusMoves, 1);
    EXPECT_EQ(ProcessesNamed(L"cadsim.exe").size(), 1u);
    ExpectAssigned(cad.State());
    EXPECT_EQ(cad.Close(), 0);
}

TEST_F(ComLink, StartsTheRegisteredCadAndLeavesItRunning) {
    const auto drawingFile = folder.Path() / "drawing.json";
    const auto outFile = folder.Path() / "started-state.json";
    std::ofstream(drawingFile, std::ios::binary) << kDrawing;
    RegisterCadSim({L"--drawing", WindowsPath(drawingFile.wstring()), L"--out", WindowsPath(outFile.wstring())});
    ASSERT_FALSE(CadIsRunning());

    RunCommand();
    EXPECT_TRUE(platform.dialogs.empty());
    link = {};  // the program lets go of the CAD; the CAD stays
    const auto running = ProcessesNamed(L"cadsim.exe");
    ASSERT_EQ(running.size(), 1u);
    EXPECT_TRUE(CadIsRunning());
    ExpectAssigned(CadSimState(TopWindowOf(running[0]), outFile));
}

TEST_F(ComLink, NoCadRegisteredGivesThePlatformsMessageThenTheGenericDialog) {
    UnregisterCadSim();
    RunCommand();
    ASSERT_EQ(platform.dialogs.size(), 2u);
    EXPECT_FALSE(platform.dialogs[0].text.empty());
    EXPECT_FALSE(platform.dialogs[0].titled);
    EXPECT_EQ(platform.dialogs[0].style, message_box::kOkOnly);
    EXPECT_EQ(platform.dialogs[1].text, L"操作不当或其它未知原因！  ");
    EXPECT_TRUE(platform.dialogs[1].titled);
    EXPECT_EQ(platform.dialogs[1].style, message_box::kCritical);
    EXPECT_TRUE(ProcessesNamed(L"cadsim.exe").empty());
}

}  // namespace
}  // namespace korvena::e2e

const korvena::e2e::Program korvena::e2e::kThisProgram = TestProgram(
    "com_link_test", "<cadsim.exe>", 1, [](const ProgramArguments& given) { SetCadSimExe(given[0]); });
