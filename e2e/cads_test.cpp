// The CAD the user has, end to end through korvena.exe and cadsim.exe: a compatible CAD or an older
// AutoCAD version running under its own class name, whatever its EntityType says, a compatible CAD
// started when nothing runs, a custom entity in an AutoCAD drawing, a CAD that cannot say what its
// entities are, and one undo in the CAD taking back a whole run.

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>

#include "cad/win/com_apartment.h"
#include "e2e/support/cadsim_process.h"
#include "e2e/support/korvena_window.h"
#include "e2e/support/program.h"

namespace korvena::e2e {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

// Contours 1-3 for a sequential run, a reference contour (4) for matching 1-2 and for the pick, and two
// spot heights with their texts: a circle (5, 6) and an arc (7, 8), whose Center has another DISPID
// than the circle's (the arc's first member of its own is its StartPoint); a custom entity (9).
constexpr char kEveryCommandMap[] = R"({
  "caption": "CadSim - [cads-test.dwg]",
  "entities": [
    {"kind": "lwpolyline", "color": 7, "vertices": [[0, 0], [40, 0]]},
    {"kind": "lwpolyline", "color": 7, "vertices": [[0, 10], [40, 10]]},
    {"kind": "polyline", "color": 7, "vertices": [[0, 20], [40, 20]]},
    {"kind": "lwpolyline", "color": 7, "elevation": 125.5, "vertices": [[50, 0], [90, 0]]},
    {"kind": "circle", "color": 7, "center": [10, 50, 0], "radius": 2},
    {"kind": "text", "color": 7, "insertionPoint": [14, 50, 0], "height": 3, "textString": "88.5"},
    {"kind": "arc", "color": 7, "center": [10, 80, 0], "radius": 2, "startAngle": 0, "endAngle": 3},
    {"kind": "mtext", "color": 7, "insertionPoint": [14, 80, 0], "height": 3, "textString": "90.25"},
    {"kind": "custom", "color": 7, "objectName": "AecDbWall", "insertionPoint": [60, 60, 0]}
  ],
  "selections": [[1, 2, 3], [1, 2], [4], [4], [5, 6, 7, 8]]
})";

// The map with the CAD's own way of saying what its entities are, and other selections.
std::string EveryCommandMap(const json& automation, const json& selections = nullptr) {
    json map = json::parse(kEveryCommandMap);
    map["automation"] = automation;
    if (!selections.is_null()) map["selections"] = selections;
    return map.dump();
}

// The members asked of entities in a state's call record, in lower case, and whether any call failed.
std::vector<std::string> EntityMembersAsked(const json& state) {
    std::vector<std::string> members;
    for (const json& call : state.at("calls")) {
        if (call.value("object", "") != "Entity") continue;
        std::string member = call.value("member", "");
        for (char& c : member) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        members.push_back(call.value("kind", "") + " " + member + (call.contains("error") ? " failed" : ""));
    }
    return members;
}

json ContourMap(int contours, const json& selections) {
    json map = {
        {"caption", "CadSim - [undo-test.dwg]"}, {"entities", json::array()}, {"selections", selections}};
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
    json WaitForCommand(CadSimProcess& cad, KorvenaWindow& korvena,
                        const std::function<bool(const json&)>& done) {
        json state;
        EXPECT_TRUE(WaitFor([&] { return NoSetLeft(state = cad.State()) && done(state); }, 30s));
        // A dialog comes before the set's deletion, which waits for its answer: one look is enough.
        EXPECT_FALSE(korvena.WaitForMessageBox(0ms));
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
        const json state =
            WaitForCommand(cad, korvena, [](const json& s) { return CommandLineHas(s, "散点高程赋值完成"); });
        EXPECT_EQ(ProcessesNamed(L"cadsim.exe").size(), 1u) << "nothing else started";
        return state;
    }

    // AutoCAD's results; the entities were asked what they are through `identity` only, one call each,
    // and no entity was given a DISPID of another class's (its call would have reached a member of
    // that number: an arc's StartPoint, a circle's Radius).
    static void ExpectEveryCommandsResult(const json& state, const std::string& identity) {
        const json& entities = state.at("entities");
        EXPECT_EQ(entities[0]["elevation"], 125.5);
        EXPECT_EQ(entities[1]["elevation"], 125.5);
        EXPECT_EQ(entities[2]["elevation"], 110.0);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(entities[i]["color"], 250) << i;
        EXPECT_EQ(entities[4]["center"], json::parse("[10.0, 50.0, 88.5]"));
        EXPECT_EQ(entities[4]["color"], 251);
        EXPECT_EQ(entities[6]["center"], json::parse("[10.0, 80.0, 90.25]"));
        EXPECT_EQ(entities[6]["color"], 251);
        EXPECT_EQ(LinesIn(state), 0u);
        std::map<std::string, int> asked;
        for (const std::string& call : EntityMembersAsked(state)) ++asked[call];
        EXPECT_EQ(asked["get " + identity], 3 + 3 + 1 + 4) << "one for each entity walked";
        for (const auto& [call, count] : asked) {
            EXPECT_EQ(call.find("failed"), std::string::npos) << call;
            EXPECT_TRUE(call.find("startpoint") == std::string::npos &&
                        call.find("radius") == std::string::npos)
                << call;
            if (call.starts_with("get ")) {
                EXPECT_TRUE(call == "get " + identity ||
                            (!call.ends_with("entitytype") && !call.ends_with("objectname")))
                    << call;
            }
        }
    }

    // Runs the four commands, each on its selection of the map, and answers the one dialog each ends
    // with; the dialogs' titles and texts.
    std::vector<std::pair<std::wstring, std::wstring>> RunEachCommandToItsDialog(CadSimProcess& cad) {
        KorvenaWindow korvena;
        korvena.Type(ControlId::Text1, L"100");
        std::vector<std::pair<std::wstring, std::wstring>> dialogs;
        for (const ControlId button :
             {ControlId::Command1, ControlId::Command4, ControlId::Command6, ControlId::Command5}) {
            korvena.Click(button);
            const auto box = korvena.WaitForMessageBox(30s);
            if (!box) throw std::runtime_error("a command ended without its dialog");
            dialogs.emplace_back(box->title, box->text);
            AnswerOk(*box);
            EXPECT_TRUE(WaitFor([&] { return NoSetLeft(cad.State()); }, 30s));
        }
        EXPECT_EQ(korvena.Text(ControlId::Text1), L"100");
        return dialogs;
    }

    ComApartment apartment;
    TempFolder folder;
};

// Whatever a compatible CAD's EntityType says (the IntelliCAD lineage's numbering, in which a contour
// is AutoCAD's point and a circle its block reference, or nothing but E_NOTIMPL), its entities are
// known by their class names and every command gives AutoCAD's results.
TEST_F(Cads, ACompatibleCadRegisteredAloneServesEveryCommandWithoutAStartWhateverItsEntityTypeSays) {
    const std::pair<const wchar_t*, const char*> cads[] = {{L"BricscadApp.AcadApplication", "intellicad"},
                                                           {L"ZWCAD.Application", "notImplemented"}};
    for (const auto& [progId, numbering] : cads) {
        SCOPED_TRACE(numbering);
        KillProcessesNamed(L"cadsim.exe");
        RegisterCadSim({L"--progid", progId});
        CadSimProcess cad(folder.Path(), EveryCommandMap({{"entityType", numbering}}));
        const json state = RunEveryCommand(cad);
        ExpectEveryCommandsResult(state, "objectname");
        EXPECT_FALSE(state["undoMarkOpen"]);
    }
}

// A custom entity's EntityType is not implemented: it is known by its class name, a kind no command
// accepts, and meets the rule each command has for a wrong kind.
TEST_F(Cads, ACustomEntityInAnAutoCadDrawingMeetsEachCommandsRuleForAWrongKind) {
    CadSimProcess cad(folder.Path(),
                      EveryCommandMap(json::object(), {{1, 9, 2}, {1, 2}, {4, 9}, {9}, {5, 9, 6, 8}}));
    const auto dialogs = RunEachCommandToItsDialog(cad);
    const std::vector<std::pair<std::wstring, std::wstring>> expected{
        {L"错误", L"不能识别等高线对象，请选择多段线！   "},
        {L"错误", L"不能识别等高线对象，请选择多段线！   "},
        {L"错误", L"该程序不支持R14，请选择R2000以上的版本！  "},  // the pick reads its Elevation
        {L"错误", L"不能识别散点对象，请选择多段线、圆、圆弧、椭圆、块、圆环！   "}};
    EXPECT_EQ(dialogs, expected);
    const json state = cad.State();
    EXPECT_EQ(state["entities"][0]["elevation"], 100.0) << "the contour before it";
    EXPECT_EQ(state["entities"][1]["elevation"], 0.0);
    EXPECT_EQ(state["entities"][4]["color"], 7);
}

// The classic lineage's automation: EntityType in its own numbering and no ObjectName.
TEST_F(Cads, ACadThatCannotSayWhatItsEntitiesAreGetsOneDialogPerCommandAndNoChange) {
    RegisterCadSim({L"--progid", L"ZWCAD.Application"});
    CadSimProcess cad(folder.Path(), EveryCommandMap({{"entityType", "intellicad"}, {"objectName", false}}));
    const json before = cad.State()["entities"];
    const auto dialogs = RunEachCommandToItsDialog(cad);
    EXPECT_EQ(dialogs, (std::vector<std::pair<std::wstring, std::wstring>>(
                           4, {L"错误", L"该程序不支持此CAD的自动化接口，请选择AutoCAD或兼容的CAD！  "})));
    EXPECT_EQ(cad.State()["entities"], before);
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
        const json state =
            WaitForCommand(cad, korvena, [](const json& s) { return CommandLineHas(s, "高程为 104"); });
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
    RegisterCadSim({L"--progid", L"BricscadApp.AcadApplication", L"--drawing",
                    WindowsPath(drawingFile.wstring()), L"--out", WindowsPath(outFile.wstring())});
    ForgetKilledServers();  // the simulators earlier tests killed
    ASSERT_FALSE(CadIsRunning());

    KorvenaWindow korvena;
    korvena.Type(ControlId::Text1, L"7");
    korvena.Type(ControlId::Text2, L"2");
    korvena.Click(ControlId::Command1);
    const bool started = WaitFor([] { return ProcessesNamed(L"cadsim.exe").size() == 1; }, 30s);
    if (const auto box = korvena.WaitForMessageBox(kQuietPeriod)) ADD_FAILURE() << "a dialog: " << box->text;
    ASSERT_TRUE(started);
    // COM started the simulator registered last, of whichever bitness, not one registered before.
    EXPECT_EQ(BitnessOfProcess(ProcessesNamed(L"cadsim.exe").at(0)), BitnessOfFile(CadSimExe()));
    json state;
    ASSERT_TRUE(WaitFor(
        [&] {
            const auto running = ProcessesNamed(L"cadsim.exe");
            HWND window = running.empty() ? nullptr : TopWindowOf(running[0]);
            try {
                return window && NoSetLeft(state = CadSimState(window, outFile)) &&
                       CommandLineHas(state, "完成");
            } catch (const std::exception&) {
                return false;
            }
        },
        30s));
    EXPECT_EQ(state["entities"][1]["elevation"], 7.0);
    EXPECT_EQ(state["entities"][0]["elevation"], 9.0);
    EXPECT_FALSE(korvena.WaitForMessageBox(kQuietPeriod));
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
            if (state["entities"][i].value("elevation", 0.0) != 0 || state["entities"][i]["color"] != 7)
                return false;
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
    state = WaitForCommand(cad, korvena,
                           [](const json& s) { return s["entities"][49].value("elevation", 0.0) == 300; });
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
    json state =
        WaitForCommand(cad, korvena, [](const json& s) { return CommandLineHas(s, "散点高程赋值完成"); });
    EXPECT_EQ(state["undoSteps"], 2);

    cad.PressCtrlZ();  // heights back, check lines back
    ASSERT_TRUE(WaitFor([&] { return (state = cad.State())["undoSteps"] == 1; }, 10s));
    EXPECT_EQ(state["entities"][4]["center"], json::parse("[10.0, 50.0, 0.0]"));
    EXPECT_EQ(state["entities"][4]["color"], 7);
    EXPECT_EQ(LinesIn(state), 2u);
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
    ExpectEveryCommandsResult(state, "entitytype");
    EXPECT_GT(state["undoSteps"].get<int>(), 4) << "every change a step of its own";
}

}  // namespace
}  // namespace korvena::e2e

const korvena::e2e::Program korvena::e2e::kThisProgram = KorvenaAndCadSimTests("cads_test");
