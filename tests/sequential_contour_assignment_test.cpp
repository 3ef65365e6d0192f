#include "commands/sequential_contour_assignment.h"

#include <gtest/gtest.h>

#include <iomanip>

#include "cadsim/model/simulation.h"
#include "tests/sim_platform.h"

namespace korvena {
namespace {

using cadsim::Entity;
using cadsim::EntityKind;
using cadsim::MemberSelector;
using cadsim::ObjectKind;
using testing::CommandBench;
using testing::ErrorDialog;

constexpr std::int16_t kOldColour = 7;

// Three contours (ids 1, 2, 3), a circle (4) and one more contour (5).
cadsim::Drawing ContourMap() {
    cadsim::Drawing drawing;
    for (int i = 0; i < 3; ++i) {
        drawing.Add({.kind = EntityKind::kLwPolyline, .color = kOldColour, .vertices = {{0, i * 10.0}, {50, i * 10.0}}});
    }
    drawing.Add({.kind = EntityKind::kCircle, .color = kOldColour, .position = {5, 5, 0}, .radius = 1});
    drawing.Add({.kind = EntityKind::kPolyline, .color = kOldColour, .vertices = {{0, 40}, {50, 40}}});
    return drawing;
}

class SequentialAssignment : public ::testing::Test {
protected:
    void Run(std::vector<int> selection, std::wstring start, std::wstring interval, std::wstring colour = L"250") {
        cad.QueueSelection(std::move(selection));
        bench.window.SetText(Input::Text1, start);
        bench.window.SetText(Input::Text2, interval);
        bench.window.SetText(Input::Text3, colour);
        SequentialContourAssignment(bench.context);
    }
    double Elevation(int id) { return cad.CurrentDrawing().Find(id)->elevation; }
    std::int16_t Colour(int id) { return cad.CurrentDrawing().Find(id)->color; }

    cadsim::Simulation cad{ContourMap()};
    CommandBench bench{&cad};
};

TEST_F(SequentialAssignment, NumbersContoursInSelectionOrder) {
    Run({3, 1, 2}, L"100", L"5");
    EXPECT_EQ(Elevation(3), 100);
    EXPECT_EQ(Elevation(1), 105);
    EXPECT_EQ(Elevation(2), 110);
    for (int id : {1, 2, 3}) EXPECT_EQ(Colour(id), 250);
    EXPECT_EQ(cad.Prompts(), (std::vector<std::wstring>{
                                 L"======根据等高线高程大小，点选或Fence方法选择一根或多根等高线======\n\r",
                                 L"======最后选择的等高线高程为 110 ======\n\r",
                                 L"======等高线高程赋值完成，请核查！======\n\r",
                             }));
    EXPECT_TRUE(bench.platform.Dialogs().empty());
    EXPECT_EQ(bench.window.FocusMoves(), 1);
    EXPECT_TRUE(cad.SelectionSets().empty());
    EXPECT_TRUE(cad.Visible());
    EXPECT_EQ(bench.platform.Starts(), 0);
}

TEST_F(SequentialAssignment, WritesElevationBeforeColour) {
    Run({1}, L"100", L"5");
    std::vector<std::wstring> writes;
    for (const auto& call : cad.Calls()) {
        if (call.objectKind == ObjectKind::kEntity && call.kind == cadsim::CallKind::kPut) writes.push_back(call.member);
    }
    EXPECT_EQ(writes, (std::vector<std::wstring>{L"Elevation", L"Color"}));
}

TEST_F(SequentialAssignment, AcceptsNegativeAndZeroIntervals) {
    Run({1, 2, 5}, L"100", L"-5");
    EXPECT_EQ(Elevation(1), 100);
    EXPECT_EQ(Elevation(2), 95);
    EXPECT_EQ(Elevation(5), 90);
    Run({1, 2, 5}, L"42.5", L"0");
    for (int id : {1, 2, 5}) EXPECT_EQ(Elevation(id), 42.5);
}

TEST_F(SequentialAssignment, ComputesEachElevationAfresh) {
    // With these inputs the two ways part: 0.7 + 3 × 0.1 is 1, adding 0.1 three times 0.9999999999999999.
    ASSERT_NE(0.7 + 0.1 + 0.1 + 0.1, 0.7 + 3 * 0.1);
    Run({1, 2, 3, 5}, L"0.7", L"0.1");
    EXPECT_EQ(Elevation(5), 0.7 + 3 * 0.1) << std::setprecision(17) << Elevation(5);
}

TEST_F(SequentialAssignment, EmptySelectionReportsStartMinusInterval) {
    Run({}, L"100", L"5");
    EXPECT_EQ(cad.Prompts().at(1), L"======最后选择的等高线高程为 95 ======\n\r");
    EXPECT_EQ(bench.window.FocusMoves(), 1);
    EXPECT_TRUE(cad.SelectionSets().empty());
}

TEST_F(SequentialAssignment, WritesTheLastElevationInTheSystemsNumberForm) {
    Run({1}, L"0.5", L"0");
    EXPECT_EQ(cad.Prompts().at(1), L"======最后选择的等高线高程为 .5 ======\n\r");
}

TEST_F(SequentialAssignment, ConvertsInputsLeniently) {
    Run({1, 2}, L"高程", L"2,5", L"7.5");
    EXPECT_EQ(Elevation(1), 0);
    EXPECT_EQ(Elevation(2), 2);
    EXPECT_EQ(Colour(1), 8);
    Run({1}, L"1", L"1", L"6.5");
    EXPECT_EQ(Colour(1), 6);
}

TEST_F(SequentialAssignment, ReadsTheInputsOnlyAfterTheSelection) {
    cad.SetSelector([this](std::wstring_view) {
        bench.window.SetText(Input::Text1, L"300");
        return std::vector<int>{1};
    });
    bench.window.SetText(Input::Text1, L"100");
    SequentialContourAssignment(bench.context);
    EXPECT_EQ(Elevation(1), 300);
}

TEST_F(SequentialAssignment, RejectedEntityEndsTheCommandAndLeavesNoSet) {
    Run({1, 2, 4, 3}, L"100", L"5");
    EXPECT_EQ(Elevation(1), 100);
    EXPECT_EQ(Elevation(2), 105);
    EXPECT_EQ(Elevation(3), 0);
    EXPECT_EQ(Colour(3), kOldColour);
    EXPECT_EQ(bench.platform.Dialogs(), (std::vector{ErrorDialog(L"不能识别等高线对象，请选择多段线！   ")}));
    EXPECT_EQ(cad.Prompts().size(), 1u);  // the selection prompt only
    EXPECT_EQ(bench.window.FocusMoves(), 0);
    EXPECT_TRUE(cad.SelectionSets().empty());
}

TEST_F(SequentialAssignment, RefusedColourKeepsTheElevationAlreadyWritten) {
    cad.CurrentFaults().refusedColors.push_back(250);
    Run({1, 2}, L"100", L"5");
    EXPECT_EQ(Elevation(1), 100);
    EXPECT_EQ(Colour(1), kOldColour);
    EXPECT_EQ(Elevation(2), 0);
    EXPECT_EQ(bench.platform.Dialogs(), (std::vector{ErrorDialog(L"操作不当或其它未知原因！  ")}));
    EXPECT_TRUE(cad.SelectionSets().empty());
}

TEST_F(SequentialAssignment, ColourOverflowTouchesNothing) {
    Run({1, 2}, L"100", L"5", L"40000");
    EXPECT_EQ(Elevation(1), 0);
    EXPECT_EQ(Colour(1), kOldColour);
    EXPECT_EQ(bench.platform.Dialogs(), (std::vector{ErrorDialog(L"操作不当或其它未知原因！  ")}));
    EXPECT_TRUE(cad.SelectionSets().empty());
    EXPECT_EQ(bench.window.FocusMoves(), 0);
}

TEST_F(SequentialAssignment, ElevationBeyondADoubleIsAnErrorNotInfinity) {
    Run({1, 2}, L"1E308", L"1E308");
    EXPECT_EQ(Elevation(1), 1e308);
    EXPECT_EQ(Elevation(2), 0);
    EXPECT_EQ(bench.platform.Dialogs(), (std::vector{ErrorDialog(L"操作不当或其它未知原因！  ")}));
}

TEST_F(SequentialAssignment, OldCadWithoutElevationGetsTheVersionMessage) {
    cad.CurrentFaults().missingMembers.push_back(
        MemberSelector{.object = ObjectKind::kEntity, .entityType = 24, .member = L"Elevation"});
    Run({1}, L"100", L"5");
    EXPECT_EQ(bench.platform.Dialogs(), (std::vector{ErrorDialog(L"该程序不支持R14，请选择R2000以上的版本！  ")}));
    EXPECT_TRUE(cad.SelectionSets().empty());
}

TEST_F(SequentialAssignment, WrongAnswersFromTheCadEndInTheGenericDialog) {
    cad.CurrentFaults().answers.push_back(
        {MemberSelector{.object = ObjectKind::kEntity, .entityId = 2, .member = L"EntityType"}, Variant(L"24")});
    Run({1, 2, 3}, L"100", L"5");
    EXPECT_EQ(Elevation(1), 100);
    EXPECT_EQ(Elevation(3), 0);
    EXPECT_EQ(bench.platform.Dialogs(), (std::vector{ErrorDialog(L"操作不当或其它未知原因！  ")}));
}

TEST_F(SequentialAssignment, CadDyingMidwayEndsInOneDialog) {
    cad.QueueSelection({1, 2, 3});
    bench.window.SetText(Input::Text1, L"100");
    // Let the connection, the set and the first contour through, then pull the plug.
    cad.SetChangeListener([this] {
        if (Elevation(1) == 100 && !cad.Disconnected()) cad.DieAfterCalls(1);
    });
    SequentialContourAssignment(bench.context);
    EXPECT_EQ(Elevation(1), 100);
    EXPECT_EQ(Elevation(3), 0);
    EXPECT_EQ(bench.platform.Dialogs(), (std::vector{ErrorDialog(L"操作不当或其它未知原因！  ")}));
}

}  // namespace
}  // namespace korvena
