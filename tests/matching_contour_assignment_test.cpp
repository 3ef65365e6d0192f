#include "commands/matching_contour_assignment.h"

#include <gtest/gtest.h>

#include "cadsim/model/simulation.h"
#include "tests/sim_platform.h"

namespace korvena {
namespace {

using cadsim::Entity;
using cadsim::EntityKind;
using testing::CommandBench;
using testing::ErrorDialog;

constexpr std::int16_t kOldColour = 7;
const std::wstring kDoneLine = L"======等高线高程赋值完成，请核查！======\n\r";

class MatchingAssignment : public ::testing::Test {
protected:
    int Contour(double elevation = 0, EntityKind kind = EntityKind::kLwPolyline) {
        return cad.CurrentDrawing()
            .Add({.kind = kind, .color = kOldColour, .vertices = {{0, 0}, {9, 0}}, .elevation = elevation})
            .id;
    }
    int Text(std::wstring text) {
        return cad.CurrentDrawing()
            .Add({.kind = EntityKind::kText, .color = kOldColour, .height = 2, .text = std::move(text)})
            .id;
    }
    void Run(std::vector<int> targets, std::vector<int> references) {
        cad.QueueSelection(std::move(targets));
        cad.QueueSelection(std::move(references));
        MatchingContourAssignment(bench.context);
    }
    double Elevation(int id) { return cad.CurrentDrawing().Find(id)->elevation; }
    std::int16_t Colour(int id) { return cad.CurrentDrawing().Find(id)->color; }
    const std::vector<testing::Dialog>& Dialogs() { return bench.platform.Dialogs(); }

    cadsim::Simulation cad{cadsim::Drawing{}};
    CommandBench bench{&cad};
};

TEST_F(MatchingAssignment, EachTargetTakesTheReferenceOfItsRank) {
    const int t1 = Contour(), t2 = Contour(0, EntityKind::kPolyline), t3 = Contour();
    const int r1 = Contour(125.8), r2 = Text(L"120"), r3 = Contour(133.25);
    Run({t3, t1, t2}, {r1, r2, r3});
    EXPECT_EQ(Elevation(t3), 125.8);  // a reference contour passes its elevation on exactly
    EXPECT_EQ(Elevation(t1), 120);
    EXPECT_EQ(Elevation(t2), 133.25);
    for (int id : {t1, t2, t3}) EXPECT_EQ(Colour(id), 250);
    EXPECT_EQ(Colour(r1), kOldColour);
    EXPECT_EQ(cad.Prompts(),
              (std::vector<std::wstring>{
                  L"======点选或Fence方法选择一根或多根【需赋值的等高线】======\n\r",
                  L"======点选或Fence方法选择一根或多根与【需赋值的等高线】高程对应相等的等高线======\n\r",
                  kDoneLine}));
    EXPECT_TRUE(Dialogs().empty());
    EXPECT_TRUE(cad.SelectionSets().empty());
    EXPECT_EQ(bench.window.FocusMoves(), 0);
}

TEST_F(MatchingAssignment, TextsGiveTheWholeMetreBelowTheirLeadingNumber) {
    const int t1 = Contour(), t2 = Contour(), t3 = Contour(5);
    Run({t1, t2, t3}, {Text(L"125.8"), Text(L"-2.5"), Text(L"高程125")});
    EXPECT_EQ(Elevation(t1), 125);
    EXPECT_EQ(Elevation(t2), -3);
    EXPECT_EQ(Elevation(t3), 0);
}

TEST_F(MatchingAssignment, OneReferenceServesEveryTarget) {
    std::vector<int> targets;
    for (int i = 0; i < 5; ++i) targets.push_back(Contour());
    Run(targets, {Text(L"88.9")});
    for (int id : targets) EXPECT_EQ(Elevation(id), 88);
    EXPECT_TRUE(Dialogs().empty());

    Run({}, {Contour(50)});  // and none at all: nothing changes, the run still completes
    EXPECT_TRUE(Dialogs().empty());
    EXPECT_EQ(cad.Prompts().back(), kDoneLine);
    Run({}, {});
    EXPECT_TRUE(Dialogs().empty());
    EXPECT_EQ(cad.Prompts().back(), kDoneLine);
    EXPECT_TRUE(cad.SelectionSets().empty());
    // Targets first, then references.
    std::vector<int> deleted;
    for (const auto& call : cad.Calls()) {
        if (call.objectKind == cadsim::ObjectKind::kSelectionSet && call.member == L"Delete") {
            deleted.push_back(call.objectId);
        }
    }
    ASSERT_GE(deleted.size(), 2u);
    EXPECT_LT(deleted[deleted.size() - 2], deleted.back());
}

TEST_F(MatchingAssignment, UnequalCountsChangeNothing) {
    const int t1 = Contour(), t2 = Contour(), t3 = Contour();
    Run({t1, t2, t3}, {Contour(10), Contour(20)});
    Run({t1, t2, t3}, {});
    EXPECT_EQ(
        Dialogs(),
        (std::vector{ErrorDialog(L"【需赋值的等高线】个数(3)与【高程对应相等的等高线】个数(2)不相等！"),
                     ErrorDialog(L"【需赋值的等高线】个数(3)与【高程对应相等的等高线】个数(0)不相等！")}));
    for (int id : {t1, t2, t3}) EXPECT_EQ(Colour(id), kOldColour);
    EXPECT_EQ(cad.Prompts().size(), 4u);  // the two selection prompts of each run
    EXPECT_TRUE(cad.SelectionSets().empty());
}

TEST_F(MatchingAssignment, RejectedEntitiesEndTheCommand) {
    const int line = cad.CurrentDrawing().Add({.kind = EntityKind::kLine, .endPoint = {1, 1, 0}}).id;
    const int circle = cad.CurrentDrawing().Add({.kind = EntityKind::kCircle, .radius = 1}).id;
    const int t1 = Contour(), t2 = Contour(), t3 = Contour();

    // A line among the references: before any target is touched.
    Run({t1, t2}, {Contour(10), line});
    EXPECT_EQ(Colour(t1), kOldColour);
    // A circle among the targets: those before it keep their new values.
    Run({t1, t2, circle, t3}, {Contour(10), Contour(20), Contour(30), Contour(40)});
    EXPECT_EQ(Elevation(t1), 10);
    EXPECT_EQ(Elevation(t2), 20);
    EXPECT_EQ(Colour(t3), kOldColour);
    EXPECT_EQ(Dialogs(), (std::vector(2, ErrorDialog(L"不能识别等高线对象，请选择多段线！   "))));
    EXPECT_TRUE(cad.SelectionSets().empty());
}

TEST_F(MatchingAssignment, ColourOverflowEndsBeforeAnySelection) {
    bench.window.SetText(Input::Text3, L"40000");
    Run({Contour()}, {Contour(1)});
    EXPECT_TRUE(cad.Prompts().empty());
    EXPECT_TRUE(cad.SelectionSets().empty());
    EXPECT_EQ(Dialogs(), std::vector{ErrorDialog(L"操作不当或其它未知原因！  ")});
}

}  // namespace
}  // namespace korvena
