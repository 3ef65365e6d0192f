#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "cad/automation_error.h"
#include "cadsim/model/simulation.h"
#include "cadsim/model/simulation_file.h"
#include "cadsim/model/utf8_text.h"

namespace korvena::cadsim {
namespace {

using Doubles = std::vector<double>;

// Every kind once, with values that do not survive a careless number format.
constexpr const char* kMapFile = R"({
  "caption": "AutoCAD 2000 - [等高线.dwg]",
  "document": "等高线.dwg",
  "entities": [
    {"kind": "lwpolyline", "elevation": 0.1,
     "vertices": [[0, 0], [1e-300, 2, 1], [0.30000000000000004, -0.0]], "closed": true, "width": 0.5},
    {"kind": "polyline", "id": 5, "color": 3, "elevation": 100, "vertices": [[0, 0], [1, 1]]},
    {"kind": "circle", "center": [1, 2], "radius": 0.75},
    {"kind": "arc", "center": [1, 2, 3], "radius": 2, "startAngle": 0, "endAngle": 3.141592653589793},
    {"kind": "ellipse", "center": [7, 8, 9], "majorAxis": [2, 0, 0], "ratio": 0.3333333333333333},
    {"kind": "point", "coordinates": [10, 11, 12]},
    {"kind": "blockReference", "insertionPoint": [13, 14, 15], "name": "高程点"},
    {"kind": "text", "insertionPoint": [16, 17, 0], "height": 2.5, "textString": "125.5"},
    {"kind": "mtext", "insertionPoint": [18, 19, 0], "height": 3, "textString": "高程𝟙30"},
    {"kind": "line", "start": [0, 0, 0], "end": [1, 1, 0]},
    {"kind": "custom", "objectName": "AecDbWall", "insertionPoint": [5, 5]}
  ],
  "selectionSets": [{"name": "left over", "members": [6, 5]}],
  "groups": [{"name": "check", "members": [13]}],
  "selections": [[7, 8], []],
  "faults": {
    "refusedColors": [300],
    "missingMembers": [{"entityType": 24, "member": "Elevation"}],
    "answers": [{"object": "Entity", "entityId": 7, "member": "Center", "value": {"doubles": [1, "nan"]}},
                {"object": "SelectionSets", "member": "Count", "value": {"int32": 2000000000}}],
    "failures": [{"object": "Groups", "member": "Add", "after": 1, "number": 5, "description": "不行"}],
    "dieAfterCalls": 40
  },
  "automation": {"entityType": "intellicad", "objectName": false}
})";

TEST(SimulationFile, ReadsEveryKindWithItsGeometry) {
    const SimulationSetup setup = ParseSimulationSetup(kMapFile);
    EXPECT_EQ(setup.caption, L"AutoCAD 2000 - [等高线.dwg]");
    EXPECT_TRUE(setup.documentOpen);
    const Drawing& drawing = setup.drawing;
    ASSERT_EQ(drawing.Count(), 11u);
    const Entity& lw = *drawing.Find(1);
    EXPECT_EQ(lw.kind, EntityKind::kLwPolyline);
    EXPECT_EQ(lw.color, kColorByLayer);
    ASSERT_EQ(lw.vertices.size(), 3u);
    EXPECT_EQ(lw.vertices[1].bulge, 1);
    EXPECT_TRUE(std::signbit(lw.vertices[2].y));
    EXPECT_EQ(drawing.Find(5)->color, 3);  // ids given in the file, then numbered on from there
    EXPECT_EQ(drawing.Find(6)->position, (Point3{1, 2, 0}));
    EXPECT_EQ(drawing.Find(6)->radius, 0.75);
    EXPECT_EQ(drawing.Find(7)->endAngle, 3.141592653589793);
    EXPECT_EQ(drawing.Find(8)->radiusRatio, 1.0 / 3.0);
    EXPECT_EQ(drawing.Find(10)->blockName, L"高程点");
    EXPECT_EQ(drawing.Find(12)->text, L"高程𝟙30");
    EXPECT_EQ(drawing.Find(13)->endPoint, (Point3{1, 1, 0}));
    EXPECT_EQ(drawing.Find(14)->className, L"AecDbWall");
    EXPECT_EQ(setup.automation, (CadAutomation{EntityTypeNumbering::kIntelliCad, false}));
    EXPECT_EQ(setup.selections, (std::vector<std::vector<int>>{{7, 8}, {}}));
    EXPECT_EQ(setup.faults.disconnectAfterCall, 40);
    EXPECT_TRUE(std::isnan(setup.faults.answers.at(0).value.As<Doubles>().at(1)));
}

TEST(SimulationFile, AStateWrittenAfterARunReadsBackExactly) {
    Simulation sim{ParseSimulationSetup(kMapFile)};
    const DispatchPtr doc = ToObject(sim.Application()->Get(L"ActiveDocument"));
    ToObject(doc->Get(L"Utility"))->Call(L"Prompt", {L"======完成======\n\r"});
    sim.EntityObjectOf(5)->Put(L"Elevation", L"87.6");
    sim.EntityObjectOf(6)->Put(L"Center", Doubles{1, 2, 123.45});
    ToObject(doc->Get(L"SelectionSets"))->Call(L"Add", {L".7055475"});
    sim.EntityObjectOf(9)->Call(L"Delete");

    const std::string state = SimulationStateJson(sim);
    Simulation reloaded{ParseSimulationSetup(state)};
    EXPECT_EQ(SimulationStateJson(reloaded).substr(0, state.find("\"commandLine\"")),
              state.substr(0, state.find("\"commandLine\"")));

    const Drawing& drawing = reloaded.CurrentDrawing();
    EXPECT_EQ(drawing.Count(), 10u);
    EXPECT_EQ(drawing.Find(9), nullptr);
    EXPECT_EQ(drawing.Find(10)->blockName, L"高程点");  // ids survive, also after an erase
    EXPECT_EQ(drawing.Find(1)->vertices[1].x, 1e-300);
    EXPECT_EQ(drawing.Find(1)->vertices[2].x, 0.30000000000000004);
    EXPECT_EQ(drawing.Find(5)->elevation, 87.6);
    EXPECT_EQ(drawing.Find(6)->position, (Point3{1, 2, 123.45}));
    EXPECT_EQ(drawing.Find(12)->text, L"高程𝟙30");
    EXPECT_EQ(reloaded.SelectionSets(),
              (std::vector<NamedEntityList>{{L"left over", {6, 5}}, {L".7055475", {}}}));
    EXPECT_EQ(reloaded.Groups(), (std::vector<NamedEntityList>{{L"check", {13}}}));
    EXPECT_EQ(reloaded.CurrentFaults().failures.at(0).description, L"不行");
    EXPECT_EQ(reloaded.PendingSelections(), 2u);
}

TEST(SimulationFile, TheStateCarriesCommandLineAndCalls) {
    Simulation sim{ParseSimulationSetup(kMapFile)};
    const DispatchPtr doc = ToObject(sim.Application()->Get(L"ActiveDocument"));
    ToObject(doc->Get(L"Utility"))->Call(L"Prompt", {L"第一\n\r"});
    try {
        sim.EntityObjectOf(1)->Get(L"Elevation");  // missing by the file's faults
    } catch (const AutomationError&) {
    }
    const std::string state = SimulationStateJson(sim);
    EXPECT_NE(state.find(R"("commandLine": "第一\n\r")"), std::string::npos) << state;
    EXPECT_NE(state.find(R"("callCount": 4)"), std::string::npos);
    EXPECT_NE(state.find(R"("arguments":"string:\"第一\\n\\r\"")"), std::string::npos);
    EXPECT_NE(state.find(R"("error":438)"), std::string::npos);
}

TEST(SimulationFile, SavesAndLoadsFiles) {
    const auto file = std::filesystem::temp_directory_path() / "korvena_cadsim_file_test.json";
    Simulation sim{ParseSimulationSetup(kMapFile)};
    SaveSimulationState(sim, file);
    const SimulationSetup loaded = LoadSimulationSetup(file);
    std::filesystem::remove(file);
    EXPECT_EQ(loaded.drawing.Count(), 11u);
    EXPECT_THROW(LoadSimulationSetup(file), SimulationFileError);
}

TEST(SimulationFile, RefusesWhatDoesNotFollowTheSchemaAndSaysWhere) {
    const std::pair<const char*, const char*> cases[] = {
        {R"({"entities": [{"kind": "circle", "radius": 1, "colour": 2}]})", "$.entities[0]"},
        {R"({"entities": [{"kind": "text", "radius": 1}]})", "radius"},
        {R"({"entities": [{"kind": "spline"}]})", "$.entities[0].kind"},
        {R"({"entities": [{"kind": "circle", "center": [1]}]})", "$.entities[0].center"},
        {R"({"entities": [{"kind": "circle", "id": 2}, {"kind": "circle", "id": 2}]})", "$.entities[1]"},
        {R"({"entities": [{"kind": "lwpolyline", "vertices": [[0, 0]]}]})", "vertices"},
        {R"({"entities": [{"kind": "point", "color": 40000}]})", "color"},
        {R"({"selections": [[1.5]]})", "$.selections[0][0]"},
        {R"({"faults": {"answers": [{"member": "Center", "value": {"float": 1}}]}})", "value"},
        {R"({"faults": {"missingMembers": [{"object": "Window", "member": "Caption"}]}})", "object"},
        {R"({"captions": "x"})", "captions"},
        {R"({"entities": [{"kind": "custom", "insertionPoint": [1, 1]}]})", "objectName"},
        {R"({"automation": {"entityType": "bricscad"}})", "$.automation.entityType"},
        {R"({"entities": [)", "JSON"},
    };
    for (const auto& [json, where] : cases) {
        try {
            ParseSimulationSetup(json);
            ADD_FAILURE() << "accepted " << json;
        } catch (const SimulationFileError& error) {
            EXPECT_NE(std::string(error.what()).find(where), std::string::npos) << error.what();
        }
    }
}

TEST(SimulationFile, SetsAndGroupsMustNameEntitiesOfTheDrawing) {
    EXPECT_THROW(Simulation{ParseSimulationSetup(R"({"groups": [{"name": "g", "members": [1]}]})")},
                 std::invalid_argument);
    EXPECT_THROW(
        Simulation{ParseSimulationSetup(
            R"({"entities": [{"kind": "point"}], "selectionSets": [{"name": "a"}, {"name": "A"}]})")},
        std::invalid_argument);
}

TEST(Utf8Text, RoundTripsOutsideTheBasicPlane) {
    const std::wstring text = L"高程 𝟙 é";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(L"é"), "\xC3\xA9");
    EXPECT_EQ(FromUtf8("a\xFF"
                       "b"),
              L"a\uFFFDb");
    EXPECT_EQ(FromUtf8("\xC0\x80"), L"\uFFFD\uFFFD");  // an overlong form is not a character
}

}  // namespace
}  // namespace korvena::cadsim
