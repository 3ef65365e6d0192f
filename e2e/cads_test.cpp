// The CAD the user has, end to end through korvena.exe and cadsim.exe: a compatible CAD or an older
// AutoCAD version running under its own class name, a compatible CAD started when nothing runs, and
// one undo in the CAD taking back a whole run.

#include <gtest/gtest.h>

#include <fstream>

#include "cad/win/com_apartment.h"
#include "e2e/support/cadsim_process.h"
#include "e2e/support/korvena_window.h"
#include "e2e/support/program.h"

namespace korvena::e2e {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

// Contours 1-3 for a sequential run, a reference contour (4) for matching 1-2 and for the pick, and a
// spot height (5) with its text (6).
constexpr char kEveryCommandMap[] = R"({
  "caption": "CadSim - [cads-test.dwg]",
  "entities": [
    {"kind": "lwpolyline", "color": 7, "vertices": [[0, 0], [40, 0]]},
    {"kind": "lwpolyline", "color": 7, "vertices": [[0, 10], [40, 10]]},
    {"kind": "polyline", "color": 7, "vertices": [[0, 20], [40, 20]]},
    {"kind": "lwpolyline", "color": 7, "elevation": 125.5, "vertices": [[50, 0], [90, 0]]},
    {"kind": "circle", "color": 7, "center": [10, 50, 0], "radius": 2},
    {"kind": "text", "color": 7, "insertionPoint": [14, 50, 0], "height": 3, "textString": "88.5"}
  ],
  "selections": [[1, 2, 3], [1, 2], [4], [4], [5, 6]]
})";

json ContourMap(int contours, const json& selections) {
    json map = {{"caption", "CadSim - [undo-test.dwg]"}, {"entities", json::array()}, {"selections", selections}};
    for (int i = 0; i < contours; ++i) {
        map["entities"].push_back({{"kind", "lwpolyline"}, {"color", 7}, {"vertices", {{0, i}, {40, i}}}});
    }
    return map;
}

std::size_t LinesIn(const json& state) {
    std::size_t lines = 0;
    for (const json& entity : state["entities"]) lines += entity["kind"] == "line" ? 1 : 0;
    return lines;
}

class Cads : public ::testing::Test {
protected:
    void SetUp() override { KillProcessesNamed(L"cadsim.exe"); }
    void TearDown() override {
        KillProcessesNamed(L"cadsim.exe");
        RegisterCadSim();  // leave AutoCAD.Application registered, as the fixture did
    }

    // Waits for the command to end (its sets deleted and `done` true), with no dialog meanwhile.
    json WaitForCommand(CadSimProcess& cad, KorvenaWindow& korvena, const std::function<bool(const json&)>& done) {
        json state;
        EXPECT_TRUE(WaitFor([&] { return NoSetLeft(state = cad.State()) && done(state); }, 30s));
        EXPECT_FALSE(korvena.WaitForMessageBox(100ms));
        return state;
    }

    // The four commands on kEveryCommandMap, each as the user runs it; the state at the end.
    json RunEveryCommand(CadSimProcess& cad) {
        KorvenaWindow korvena;
        korvena.Type(ControlId::Text1, L"100");
        korvena.Type(ControlId::Text2, L"5");
        korvena.Click(ControlId::Command1);
        WaitForCommand(cad, korvena, [](const json& s) { return CommandLineHas(s, "高程为 110"); });

        korvena.Click(ControlId::Command4);
        WaitForCommand(cad, korvena, [](const json& s) { return s["entities"][1]["elevation"] == 125.5; });

        korvena.Type(ControlId::Text1, L"1");
        korvena.Click(ControlId::Command6);
        EXPECT_TRUE(WaitFor([&] { return korvena.Text(ControlId::Text1) == L"125.5"; }, 30s));
        WaitForCommand(cad, korvena, [](const json&) { return true; });

        korvena.Click(ControlId::Command5);
        const auto box = korvena.WaitForMessageBox(30s);
        if (!box) throw std::runtime_error("no confirmation box");
        EXPECT_EQ(box->title, L"检查");
        EXPECT_TRUE(Answer(*box, IDYES));
        const json state = WaitForCommand(cad, korvena, [](const json& s) { return CommandLineHas(s, "散点高程赋值完成"); });
        EXPECT_EQ(ProcessesNamed(L"cadsim.exe").size(), 1u) << "nothing else started";
        return state;
    }

    static void ExpectEveryCommandsResult(const json& state) {
        const json& entities = state.at("entities");
        EXPECT_EQ(entities[0]["elevation"], 125.5);
        EXPECT_EQ(entities[1]["elevation"], 125.5);
        EXPECT_EQ(entities[2]["elevation"], 110.0);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(entities[i]["color"], 250) << i;
        EXPECT_EQ(entities[4]["center"], json::parse("[10.0, 50.0, 88.5]"));
        EXPECT_EQ(entities[4]["color"], 251);
        EXPECT_EQ(LinesIn(state), 0u);
    }

    ComApartment apartment;
    TempFolder folder;
};

TEST_F(Cads, ACompatibleCadRegisteredAloneServesEveryCommandWithoutAStart) {
    for (const wchar_t* progId : {L"ZWCAD.Application", L"BricscadApp.AcadApplication"}) {
        SCOPED_TRACE(std::string(progId, progId + std::wcslen(progId)));
        KillProcessesNamed(L"cadsim.exe");
        RegisterCadSim({L"--progid", progId});
        CadSimProcess cad(folder.Path(), kEveryCommandMap);
        const json state = RunEveryCommand(cad);
        ExpectEveryCommandsResult(state);
        EXPECT_FALSE(state["undoMarkOpen"]);
    }
}

TEST_F(Cads, AnOlderRunningAutoCadIsUsedAndTheNewerOneThatCannotStartIsNotTried) {
    const auto log = folder.Path() / "start-attempts.txt";
    RegisterCadSim({L"--progid", L"AutoCAD.Application.23", L"--unstartable", L"AutoCAD.Application",
                    L"--unable-to-start", WindowsPath(log.wstring())});
    {
        CadSimProcess cad(folder.Path(), ContourMap(3, {{1, 2, 3}}).dump());
        KorvenaWindow korvena;
        korvena.Type(ControlId::Text1, L"100");
        korvena.Type(ControlId::Text2, L"2");
        korvena.Click(ControlId::Command1);
        const json state = WaitForCommand(cad, korvena, [](const json& s) { return CommandLineHas(s, "高程为 104"); });
        EXPECT_EQ(state["entities"][2]["elevation"], 104.0);
        EXPECT_FALSE(std::filesystem::exists(log)) << "a start was attempted";
        EXPECT_EQ(ProcessesNamed(L"cadsim.exe").size(), 1u);
    }
    // With nothing running, the newer AutoCAD is the one started, and it cannot start.
    KillProcessesNamed(L"cadsim.exe");
    KorvenaWindow korvena;
    korvena.Click(ControlId::Command1);
    const auto box = korvena.WaitForMessageBox(60s);
    ASSERT_TRUE(box);
    EXPECT_TRUE(std::filesystem::exists(log));
    AnswerOk(*box);
}

TEST_F(Cads, WithNothingRunningAndNoAutoCadTheRegisteredCompatibleCadIsStarted) {
    const auto drawingFile = folder.Path() / "drawing.json";
    const auto outFile = folder.Path() / "started-state.json";
    std::ofstream(drawingFile, std::ios::binary) << ContourMap(2, {{2, 1}}).dump();
    RegisterCadSim({L"--progid", L"BricscadApp.AcadApplication", L"--drawing", WindowsPath(drawingFile.wstring()),
                    L"--out", WindowsPath(outFile.wstring())});
    ForgetKilledServers();  // the simulators earlier tests killed
    ASSERT_FALSE(CadIsRunning());

    KorvenaWindow korvena;
    korvena.Type(ControlId::Text1, L"7");
    korvena.Type(ControlId::Text2, L"2");
    korvena.Click(ControlId::Command1);
    const bool started = WaitFor([] { return ProcessesNamed(L"cadsim.exe").size() == 1; }, 30s);
    if (const auto box = korvena.WaitForMessageBox(100ms)) ADD_FAILURE() << "a dialog: " << box->text;
    ASSERT_TRUE(started);
    json state;
    ASSERT_TRUE(WaitFor(
        [&] {
            const auto running = ProcessesNamed(L"cadsim.exe");
            HWND window = running.empty() ? nullptr : TopWindowOf(running[0]);
            try {
                return window && NoSetLeft(state = CadSimState(window, outFile)) && CommandLineHas(state, "完成");
            } catch (const std::exception&) {
                return false;
            }
        },
        30s));
    EXPECT_EQ(state["entities"][1]["elevation"], 7.0);
    EXPECT_EQ(state["entities"][0]["elevation"], 9.0);
    EXPECT_FALSE(korvena.WaitForMessageBox(100ms));
}

TEST_F(Cads, OneUndoInTheCadTakesBackASequentialOrAMatchingRunOf50Contours) {
    json selections = json::array();
    json all = json::array();
    for (int id = 1; id <= 50; ++id) all.push_back(id);
    selections.push_back(all);  // sequential
    selections.push_back(all);  // matching: the targets, then the reference
    selections.push_back({51});
    json map = ContourMap(50, selections);
    map["entities"].push_back({{"kind", "text"}, {"insertionPoint", {60, 0, 0}}, {"textString", "300"}});
    CadSimProcess cad(folder.Path(), map.dump());
    KorvenaWindow korvena;
    const auto allBack = [](const json& state) {
        for (int i = 0; i < 50; ++i) {
            if (state["entities"][i].value("elevation", 0.0) != 0 || state["entities"][i]["color"] != 7) return false;
        }
        return true;
    };

    korvena.Type(ControlId::Text1, L"100");
    korvena.Type(ControlId::Text2, L"2");
    korvena.Click(ControlId::Command1);
    json state = WaitForCommand(cad, korvena, [](const json& s) { return CommandLineHas(s, "高程为 198"); });
    EXPECT_EQ(state["undoSteps"], 1);
    EXPECT_TRUE(cad.Undo());
    EXPECT_TRUE(allBack(cad.State()));

    korvena.Click(ControlId::Command4);
    state = WaitForCommand(cad, korvena, [](const json& s) { return s["entities"][49].value("elevation", 0.0) == 300; });
    EXPECT_EQ(state["undoSteps"], 1);
    EXPECT_TRUE(cad.Undo());
    state = cad.State();
    EXPECT_TRUE(allBack(state));
    EXPECT_TRUE(CommandLineHas(state, "放弃了一步（50 个对象）"));
}

TEST_F(Cads, AConfirmedScatterRunIsUndoneInTwoStepsThroughCtrlZ) {
    CadSimProcess cad(folder.Path(), kEveryCommandMap);
    KorvenaWindow korvena;
    // The first four selections belong to the other commands; a pick takes one and changes nothing.
    for (int i = 0; i < 4; ++i) {
        korvena.Click(ControlId::Command6);
        WaitForCommand(cad, korvena, [&](const json& s) { return s["selections"].size() == 4u - i; });
    }
    EXPECT_EQ(cad.State()["undoSteps"], 0);

    korvena.Click(ControlId::Command5);
    const auto box = korvena.WaitForMessageBox(30s);
    ASSERT_TRUE(box);
    const json asking = cad.State();
    EXPECT_FALSE(asking["undoMarkOpen"]) << "a mark open while the program waits";
    EXPECT_EQ(asking["undoSteps"], 1);
    EXPECT_TRUE(Answer(*box, IDYES));
    json state = WaitForCommand(cad, korvena, [](const json& s) { return CommandLineHas(s, "散点高程赋值完成"); });
    EXPECT_EQ(state["undoSteps"], 2);

    cad.PressCtrlZ();  // heights back, check line back
    ASSERT_TRUE(WaitFor([&] { return (state = cad.State())["undoSteps"] == 1; }, 10s));
    EXPECT_EQ(state["entities"][4]["center"], json::parse("[10.0, 50.0, 0.0]"));
    EXPECT_EQ(state["entities"][4]["color"], 7);
    EXPECT_EQ(LinesIn(state), 1u);
    EXPECT_EQ(state["groups"].size(), 1u);

    cad.PressCtrlZ();  // the line and its group gone
    ASSERT_TRUE(WaitFor([&] { return (state = cad.State())["undoSteps"] == 0; }, 10s));
    EXPECT_EQ(LinesIn(state), 0u);
    EXPECT_TRUE(state["groups"].empty());
}

TEST_F(Cads, ACadWithoutUndoMarksGivesEveryCommandsResultAndNoDialog) {
    json map = json::parse(kEveryCommandMap);
    map["faults"] = {{"missingMembers",
                      {{{"object", "Document"}, {"member", "StartUndoMark"}},
                       {{"object", "Document"}, {"member", "EndUndoMark"}}}}};
    CadSimProcess cad(folder.Path(), map.dump());
    const json state = RunEveryCommand(cad);
    ExpectEveryCommandsResult(state);
    EXPECT_GT(state["undoSteps"].get<int>(), 4) << "every change a step of its own";
}

}  // namespace
}  // namespace korvena::e2e

const korvena::e2e::Program korvena::e2e::kThisProgram = KorvenaAndCadSimTests("cads_test");
