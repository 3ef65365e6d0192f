// The scatter-point, matching-contour and pick commands end to end: the real buttons of korvena.exe,
// real cross-process COM to cadsim.exe, and the real confirmation box answered from outside.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>

#include "cad/win/com_apartment.h"
#include "e2e/support/cadsim_process.h"
#include "e2e/support/korvena_window.h"
#include "e2e/support/program.h"

namespace korvena::e2e {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

constexpr char kScatterMap[] = R"({
  "caption": "CadSim - [scatter-test.dwg]",
  "entities": [
    {"kind": "circle", "color": 7, "center": [10, 50, 0], "radius": 2},
    {"kind": "text", "color": 7, "insertionPoint": [14, 50, 0], "height": 3, "textString": "123.45"},
    {"kind": "blockReference", "color": 7, "insertionPoint": [10, 10, 0], "name": "SPOT"},
    {"kind": "mtext", "color": 7, "insertionPoint": [14, 10, 0], "height": 3, "textString": "98.7"}
  ],
  "selections": [[1, 2, 3, 4], [4, 3, 2, 1]]
})";

// Contours 1-2 to receive heights, a reference contour (3) and text (4), then contours 5-6 for the
// sequential run that continues from a picked height.
constexpr char kContourMap[] = R"({
  "caption": "CadSim - [contour-test.dwg]",
  "entities": [
    {"kind": "lwpolyline", "color": 7, "vertices": [[0, 0], [40, 0]]},
    {"kind": "polyline", "color": 7, "vertices": [[0, 10], [40, 10]]},
    {"kind": "lwpolyline", "color": 7, "elevation": 125.5, "vertices": [[50, 0], [90, 0]]},
    {"kind": "text", "color": 7, "insertionPoint": [50, 10, 0], "height": 3, "textString": "120.9"},
    {"kind": "lwpolyline", "color": 7, "vertices": [[0, 20], [40, 20]]},
    {"kind": "lwpolyline", "color": 7, "vertices": [[0, 30], [40, 30]]}
  ],
  "selections": [[1, 2], [3, 4], [1], [5, 6]]
})";

const std::wstring kCheckQuestion =
    L"请检查散点到散点高程的连线是否正确？\n\r\n\r是，程序将把散点高程赋给散点\n\r\n\r"
    L"否，请缩小选择的范围或修改散点高程文本的位置后再采用自动赋值    ";

std::vector<json> LinesOf(const json& state) {
    std::vector<json> lines;
    for (const json& entity : state["entities"]) {
        if (entity["kind"] == "line") lines.push_back(entity);
    }
    return lines;
}

std::vector<int> LineColours(const json& state) {
    std::vector<int> colours;
    for (const json& line : LinesOf(state)) colours.push_back(line["color"]);
    return colours;
}

// The calls of the record from `first` on, as object, kind and member: what the CAD was asked, not
// with what.
std::vector<std::string> CallShapes(const json& state, std::size_t first) {
    std::vector<std::string> shapes;
    const json& calls = state["calls"];
    for (std::size_t i = first; i < calls.size(); ++i) {
        shapes.push_back(calls[i].value("object", "") + " " + calls[i].value("kind", "") + " " +
                         calls[i].value("member", ""));
    }
    return shapes;
}

std::map<std::string, int> CallsByKind(const json& state) {
    std::map<std::string, int> kinds;
    for (const json& call : state["calls"]) ++kinds[call.value("kind", "")];
    return kinds;
}

class Commands : public ::testing::Test {
protected:
    void SetUp() override { KillProcessesNamed(L"cadsim.exe"); }
    void TearDown() override { KillProcessesNamed(L"cadsim.exe"); }

    // Clicks the button and answers the check box with `button`; the state once the set is deleted.
    // `linesWhileAsking`: the check lines in the drawing while the box is open; `asking`, when given,
    // receives the state of that moment.
    json RunScatter(CadSimProcess& cad, KorvenaWindow& korvena, int button, std::size_t linesWhileAsking,
                    json* asking = nullptr) {
        korvena.Click(ControlId::Command5);
        const auto box = korvena.WaitForMessageBox(20s);
        if (!box) throw std::runtime_error("no confirmation box");
        EXPECT_EQ(box->title, L"检查");
        EXPECT_EQ(box->text, kCheckQuestion);
        // While the box is open the check lines are already in the drawing, and the CAD answers.
        const json state = cad.State();
        EXPECT_EQ(LinesOf(state).size(), linesWhileAsking);
        if (asking) *asking = state;
        EXPECT_TRUE(Answer(*box, button));
        EXPECT_TRUE(korvena.WaitForNoMessageBox(10s));
        json after;
        EXPECT_TRUE(WaitFor([&] { return NoSetLeft(after = cad.State()); }, 20s));
        return after;
    }

    ComApartment apartment;
    TempFolder folder;
};

TEST_F(Commands, ScatterAnsweredNoKeepsTheLinesAndYesWritesTheHeights) {
    CadSimProcess cad(folder.Path(), kScatterMap);
    KorvenaWindow korvena;

    json state = RunScatter(cad, korvena, IDNO, 2);
    ASSERT_EQ(LinesOf(state).size(), 2u);
    // A clean sheet: both lines yellow, nothing said but the selection prompt, and the CAD asked
    // exactly what it was asked before check lines could be red (from the connection to the set's Delete).
    EXPECT_EQ(LineColours(state), (std::vector{2, 2}));
    EXPECT_EQ(state["prompts"], json::array({"======选择一个或多个散点、散点文本======\n\r"}));
    EXPECT_EQ(CallsByKind(state),
              (std::map<std::string, int>{
                  {"lookup", 22}, {"get", 16}, {"put", 3}, {"call", 10}, {"enumerate", 1}}));
    // Lower Y first: the block with 98.7, then the circle with 123.45.
    EXPECT_EQ(LinesOf(state)[0]["start"], json::parse("[10.0, 10.0, 0.0]"));
    EXPECT_EQ(LinesOf(state)[0]["end"], json::parse("[14.0, 10.0, 0.0]"));
    EXPECT_EQ(LinesOf(state)[0]["color"], 2);
    ASSERT_EQ(state["groups"].size(), 1u);
    EXPECT_EQ(state["groups"][0]["members"].size(), 2u);
    EXPECT_EQ(state["entities"][0]["center"][2], 0.0);
    EXPECT_EQ(state["entities"][0]["color"], 7);
    EXPECT_FALSE(CommandLineHas(state, "散点高程赋值完成"));

    state = RunScatter(cad, korvena, IDYES, 4);
    EXPECT_EQ(state["entities"][0]["center"], json::parse("[10.0, 50.0, 123.45]"));
    EXPECT_EQ(state["entities"][2]["insertionPoint"], json::parse("[10.0, 10.0, 98.7]"));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(state["entities"][i]["color"], 251) << i;
    EXPECT_EQ(LinesOf(state).size(), 2u);  // those of the first run only
    EXPECT_TRUE(CommandLineHas(state, "======散点高程赋值完成，请核查！======"));
}

// Three sheets in one drawing: three pairs with their texts beside them (1-6); the same points with the
// first two texts placed otherwise (7, 8), the first above its point, so that the two are taken in the
// wrong order and their lines cross; and five pairs in a column (9-18), the middle text far to the east.
constexpr char kDoubtfulMap[] = R"({
  "caption": "CadSim - [doubtful-test.dwg]",
  "entities": [
    {"kind": "circle", "color": 7, "center": [10, 20, 0], "radius": 1},
    {"kind": "text", "color": 7, "insertionPoint": [14, 20, 0], "height": 2, "textString": "101"},
    {"kind": "circle", "color": 7, "center": [30, 20.5, 0], "radius": 1},
    {"kind": "text", "color": 7, "insertionPoint": [34, 20.5, 0], "height": 2, "textString": "102"},
    {"kind": "circle", "color": 7, "center": [10, 60, 0], "radius": 1},
    {"kind": "text", "color": 7, "insertionPoint": [14, 60, 0], "height": 2, "textString": "103"},
    {"kind": "text", "color": 7, "insertionPoint": [12, 26, 0], "height": 2, "textString": "101"},
    {"kind": "text", "color": 7, "insertionPoint": [34, 21.5, 0], "height": 2, "textString": "102"},
    {"kind": "circle", "color": 7, "center": [100, 0, 0], "radius": 1},
    {"kind": "text", "color": 7, "insertionPoint": [102, 0, 0], "height": 2, "textString": "110"},
    {"kind": "circle", "color": 7, "center": [100, 10, 0], "radius": 1},
    {"kind": "text", "color": 7, "insertionPoint": [102, 10, 0], "height": 2, "textString": "111"},
    {"kind": "circle", "color": 7, "center": [100, 20, 0], "radius": 1},
    {"kind": "text", "color": 7, "insertionPoint": [130, 20, 0], "height": 2, "textString": "112"},
    {"kind": "circle", "color": 7, "center": [100, 30, 0], "radius": 1},
    {"kind": "text", "color": 7, "insertionPoint": [102, 30, 0], "height": 2, "textString": "113"},
    {"kind": "circle", "color": 7, "center": [100, 40, 0], "radius": 1},
    {"kind": "text", "color": 7, "insertionPoint": [102, 40, 0], "height": 2, "textString": "114"}
  ],
  "selections": [[1, 2, 3, 4, 5, 6], [1, 7, 3, 8, 5, 6], [9, 10, 11, 12, 13, 14, 15, 16, 17, 18]]
})";

TEST_F(Commands, ScatterDrawsLinesThatLookWrongInRedAndSaysHowManyBeforeTheBox) {
    CadSimProcess cad(folder.Path(), kDoubtfulMap);
    KorvenaWindow korvena;

    json state = RunScatter(cad, korvena, IDNO, 3);
    EXPECT_EQ(LineColours(state), (std::vector{2, 2, 2}));
    EXPECT_EQ(state["prompts"].size(), 1u);
    const std::vector<std::string> cleanCalls = CallShapes(state, 0);

    // Two labels in the wrong order: their two lines red, and said once, before the box.
    const std::size_t callsBefore = state["calls"].size();
    json asking;
    state = RunScatter(cad, korvena, IDNO, 6, &asking);
    EXPECT_EQ(LineColours(asking), (std::vector{2, 2, 2, 1, 1, 2}));
    const std::string notice = "======有 2 条连线可能配错，已画成红色，请重点检查======\n\r";
    ASSERT_EQ(asking["prompts"].size(), 3u);
    EXPECT_EQ(asking["prompts"][2], notice);
    EXPECT_TRUE(CommandLineHas(asking, "======有 2 条连线可能配错，已画成红色，请重点检查======"));
    // The calls of the clean sheet, and the one prompt more: the run's second, right after the grouping.
    std::vector<std::string> calls = CallShapes(state, callsBefore);
    auto said = std::find(calls.begin(), calls.end(), "Utility call Prompt");
    ASSERT_NE(said, calls.end());
    said = std::find(std::next(said), calls.end(), "Utility call Prompt");
    ASSERT_NE(said, calls.end());
    EXPECT_EQ(*std::prev(said), "Group call AppendItems");
    calls.erase(said);
    EXPECT_EQ(calls, cleanCalls);

    // A label far from its point: one red line; answered 是, everything goes on as before.
    state = RunScatter(cad, korvena, IDYES, 11, &asking);
    EXPECT_EQ(LineColours(asking), (std::vector{2, 2, 2, 1, 1, 2, 2, 2, 1, 2, 2}));
    EXPECT_EQ(asking["prompts"].back(), "======有 1 条连线可能配错，已画成红色，请重点检查======\n\r");
    EXPECT_EQ(state["entities"][12]["center"], json::parse("[100.0, 20.0, 112.0]"));
    EXPECT_EQ(LinesOf(state).size(), 6u);
    EXPECT_EQ(state["prompts"].size(), 6u);
    EXPECT_TRUE(CommandLineHas(state, "======散点高程赋值完成，请核查！======"));
}

TEST_F(Commands, MatchingThenPickThenSequentialContinuesFromThePickedHeight) {
    CadSimProcess cad(folder.Path(), kContourMap);
    KorvenaWindow korvena;

    korvena.Click(ControlId::Command4);
    json state;
    // The set is deleted after the closing line.
    ASSERT_TRUE(WaitFor(
        [&] { return CommandLineHas(state = cad.State(), "等高线高程赋值完成") && NoSetLeft(state); }, 20s));
    EXPECT_EQ(state["entities"][0]["elevation"], 125.5);
    EXPECT_EQ(state["entities"][1]["elevation"], 120.0);
    EXPECT_EQ(state["entities"][1]["color"], 250);
    EXPECT_FALSE(korvena.WaitForMessageBox(kQuietPeriod));

    korvena.Type(ControlId::Text1, L"1");
    korvena.Click(ControlId::Command6);
    ASSERT_TRUE(WaitFor([&] { return korvena.Text(ControlId::Text1) == L"125.5"; }, 20s));
    EXPECT_TRUE(WaitFor([&] { return NoSetLeft(cad.State()); }, 10s));

    korvena.Type(ControlId::Text2, L"5");
    korvena.Click(ControlId::Command1);
    ASSERT_TRUE(
        WaitFor([&] { return NoSetLeft(state = cad.State()) && CommandLineHas(state, "130.5"); }, 20s));
    EXPECT_EQ(state["entities"][4]["elevation"], 125.5);
    EXPECT_EQ(state["entities"][5]["elevation"], 130.5);
}

// Two contours, the second refusing its colour, then a spot height and its text: each command fails
// inside a call to the CAD, far below the window procedure that started it.
constexpr char kFailingMap[] = R"({
  "caption": "CadSim - [failing-test.dwg]",
  "entities": [
    {"kind": "lwpolyline", "color": 7, "vertices": [[0, 0], [40, 0]]},
    {"kind": "lwpolyline", "color": 7, "vertices": [[0, 10], [40, 10]]},
    {"kind": "circle", "color": 7, "center": [10, 50, 0], "radius": 2},
    {"kind": "text", "color": 7, "insertionPoint": [14, 50, 0], "height": 3, "textString": "123.45"}
  ],
  "selections": [[1, 2], [3, 4], [1]],
  "faults": {"failures": [{"entityId": 2, "member": "Color"}]}
})";

// The error thrown where a CAD call fails reaches the command's own error trap: the program shows its
// generic dialog and goes on. On the 32-bit build, whose exceptions cannot unwind through the system's
// frames, an error that crossed a window procedure, a timer procedure or a COM method would end the
// process instead.
TEST_F(Commands, AFailedCadCallEndsTheCommandWithTheGenericDialogAndTheProgramGoesOn) {
    CadSimProcess cad(folder.Path(), kFailingMap);
    KorvenaWindow korvena;
    const auto expectGenericDialog = [&] {
        ExpectErrorDialog(korvena, L"操作不当或其它未知原因！  ");
        EXPECT_TRUE(korvena.Process().Running());
    };

    // A write the CAD refuses: the second contour's colour.
    korvena.Type(ControlId::Text1, L"100");
    korvena.Type(ControlId::Text2, L"5");
    korvena.Click(ControlId::Command1);
    expectGenericDialog();
    json state = cad.State();
    EXPECT_EQ(state["entities"][0]["color"], 250);
    EXPECT_EQ(state["entities"][1]["color"], 7);
    EXPECT_TRUE(WaitFor([&] { return NoSetLeft(cad.State()); }, 10s));  // deleted after the dialog

    // An object that disappears: the user takes the check lines back in the CAD while the box asks.
    korvena.Click(ControlId::Command5);
    const auto box = korvena.WaitForMessageBox(20s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, L"检查");
    ASSERT_EQ(LinesOf(cad.State()).size(), 1u);
    ASSERT_TRUE(cad.Undo());
    ASSERT_TRUE(LinesOf(cad.State()).empty());
    ASSERT_TRUE(Answer(*box, IDYES));
    expectGenericDialog();
    EXPECT_TRUE(WaitFor([&] { return NoSetLeft(cad.State()); }, 10s));

    // The program still runs its commands.
    korvena.Type(ControlId::Text1, L"1");
    korvena.Click(ControlId::Command6);
    EXPECT_TRUE(WaitFor([&] { return korvena.Text(ControlId::Text1) == L"100"; }, 20s));
    EXPECT_FALSE(korvena.WaitForMessageBox(kQuietPeriod));
}

}  // namespace
}  // namespace korvena::e2e

const korvena::e2e::Program korvena::e2e::kThisProgram = KorvenaAndCadSimTests("commands_test");
