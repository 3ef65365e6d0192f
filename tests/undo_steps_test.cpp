// One undo step per command: the frame's undo marks, the rule that no mark is open while the program
// waits for the user, each command's steps undone in the simulated CAD, and a CAD without marks.

#include <gtest/gtest.h>

#include "cad/frame.h"
#include "cadsim/model/simulation.h"
#include "commands/matching_contour_assignment.h"
#include "commands/pick_elevation.h"
#include "commands/scatter_point_assignment.h"
#include "commands/sequential_contour_assignment.h"
#include "tests/sim_platform.h"

namespace korvena {
namespace {

using cadsim::EntityKind;
using cadsim::MemberSelector;
using cadsim::ObjectKind;
using testing::CommandBench;
using testing::ErrorDialog;

constexpr std::int16_t kOldColour = 7;

int CountCalls(const cadsim::Simulation& cad, std::wstring_view member) {
    int count = 0;
    for (const auto& call : cad.Calls()) count += call.member == member ? 1 : 0;
    return count;
}

class UndoSteps : public ::testing::Test {
protected:
    UndoSteps() {
        // Whenever the program waits for the user, in a dialog or a selection, no mark may be open.
        bench.platform.WhileDialogOpen([this] { markOpenWhileWaiting |= cad.UndoMarkOpen(); });
        cad.SetSelector([this](std::wstring_view) {
            markOpenWhileWaiting |= cad.UndoMarkOpen();
            return std::vector<int>{};
        });
    }
    ~UndoSteps() override { EXPECT_FALSE(markOpenWhileWaiting); }

    int Contour(double elevation = 0) {
        return cad.CurrentDrawing()
            .Add({.kind = EntityKind::kLwPolyline, .color = kOldColour, .vertices = {{0, 0}, {1, 1}},
                  .elevation = elevation})
            .id;
    }
    std::vector<int> Contours(int count) {
        std::vector<int> ids;
        for (int i = 0; i < count; ++i) ids.push_back(Contour());
        return ids;
    }
    const cadsim::Entity& At(int id) { return *cad.CurrentDrawing().Find(id); }
    void RunInFrame(const std::function<void(CommandFrame&)>& work) {
        CommandFrame frame(bench.context);
        frame.Run(work);
    }
    void LackUndoMarks() {
        for (const wchar_t* member : {L"StartUndoMark", L"EndUndoMark"}) {
            cad.CurrentFaults().missingMembers.push_back({.object = ObjectKind::kDocument, .member = member});
        }
    }

    cadsim::Simulation cad{cadsim::Drawing{}};
    CommandBench bench{&cad};
    bool markOpenWhileWaiting = false;
};

TEST_F(UndoSteps, TheFrameClosesTheStepBeforeEveryWaitAndAtEveryEnd) {
    const int id = Contour();
    const auto change = [&](CommandFrame&) {
        cad.EntityObjectOf(id)->Put(L"Color", std::int16_t{1});
    };
    // Before a further selection, before an error dialog, and at the normal end.
    RunInFrame([&](CommandFrame& f) {
        f.BeginChanges();
        change(f);
        f.SelectOnScreen(f.NewSelectionSet());
        f.BeginChanges();
        change(f);
        f.EndEarly(L"stop");
    });
    EXPECT_EQ(cad.UndoSteps(), 2u);
    RunInFrame([&](CommandFrame& f) {
        f.BeginChanges();
        change(f);
        throw TypeMismatch();
    });
    RunInFrame([&](CommandFrame& f) {
        f.BeginChanges();
        f.BeginChanges();  // a second begin while open starts no second mark
        change(f);
    });
    EXPECT_FALSE(cad.UndoMarkOpen());
    EXPECT_EQ(cad.UndoSteps(), 4u);
    EXPECT_EQ(CountCalls(cad, L"StartUndoMark"), CountCalls(cad, L"EndUndoMark"));
    EXPECT_EQ(bench.platform.Dialogs(),
              (std::vector{ErrorDialog(L"stop"), ErrorDialog(L"操作不当或其它未知原因！  ")}));
}

TEST_F(UndoSteps, ASequentialRunIsTakenBackByOneUndo) {
    const std::vector<int> ids = Contours(50);
    cad.QueueSelection(ids);
    bench.window.SetText(Input::Text1, L"100");
    SequentialContourAssignment(bench.context);
    EXPECT_EQ(At(ids.back()).elevation, 100 + 49 * 2);
    EXPECT_EQ(cad.UndoSteps(), 1u);

    EXPECT_TRUE(cad.Undo());
    for (int id : ids) {
        EXPECT_EQ(At(id).elevation, 0);
        EXPECT_EQ(At(id).color, kOldColour);
    }
    EXPECT_FALSE(cad.Undo());
}

TEST_F(UndoSteps, AMatchingRunIsTakenBackByOneUndo) {
    const std::vector<int> targets = Contours(5);
    const int reference = Contour(125);
    cad.QueueSelection(targets);
    cad.QueueSelection({reference});
    MatchingContourAssignment(bench.context);
    EXPECT_EQ(At(targets[4]).elevation, 125);
    EXPECT_TRUE(cad.Undo());
    for (int id : targets) EXPECT_EQ(At(id).elevation, 0);
    EXPECT_EQ(At(reference).elevation, 125);
    EXPECT_EQ(cad.UndoSteps(), 0u);
}

TEST_F(UndoSteps, AConfirmedScatterRunIsTwoStepsHeightsThenCheckLines) {
    cadsim::Drawing& drawing = cad.CurrentDrawing();
    const int point = drawing.Add({.kind = EntityKind::kCircle, .color = kOldColour, .position = {0, 0, 0}}).id;
    const int text = drawing.Add({.kind = EntityKind::kText, .color = kOldColour, .position = {2, 0, 0},
                                  .text = L"88.5"}).id;
    const std::size_t entitiesBefore = drawing.Count();
    cad.QueueSelection({point, text});
    bench.platform.QueueAnswer(message_box::kYes);
    ScatterPointAssignment(bench.context);
    EXPECT_EQ(At(point).position[2], 88.5);
    EXPECT_EQ(drawing.Count(), entitiesBefore);  // the check line is gone again
    EXPECT_EQ(cad.UndoSteps(), 2u);

    EXPECT_TRUE(cad.Undo());  // heights and colours back, the check line back in its group
    EXPECT_EQ(At(point).position[2], 0);
    EXPECT_EQ(At(text).color, kOldColour);
    EXPECT_EQ(drawing.Count(), entitiesBefore + 1);
    ASSERT_EQ(cad.Groups().size(), 1u);
    EXPECT_EQ(cad.Groups()[0].entityIds.size(), 1u);

    EXPECT_TRUE(cad.Undo());  // the line and its group gone
    EXPECT_EQ(drawing.Count(), entitiesBefore);
    EXPECT_TRUE(cad.Groups().empty());
}

TEST_F(UndoSteps, PickElevationSetsNoMark) {
    cad.QueueSelection({Contour(42)});
    PickElevation(bench.context);
    EXPECT_EQ(bench.window.Text(Input::Text1), L"42");
    EXPECT_EQ(CountCalls(cad, L"StartUndoMark"), 0);
    EXPECT_EQ(cad.UndoSteps(), 0u);
}

TEST_F(UndoSteps, ACadWithoutUndoMarksRunsEveryCommandUnchangedAndSilently) {
    LackUndoMarks();
    const std::vector<int> ids = Contours(3);
    cad.QueueSelection(ids);
    bench.window.SetText(Input::Text1, L"10");
    SequentialContourAssignment(bench.context);
    EXPECT_EQ(At(ids[2]).elevation, 14);
    EXPECT_EQ(CountCalls(cad, L"StartUndoMark"), 1);  // asked once, then left alone
    EXPECT_EQ(CountCalls(cad, L"EndUndoMark"), 0);
    EXPECT_EQ(cad.UndoSteps(), 6u);  // each put a step of its own

    const int point = cad.CurrentDrawing().Add({.kind = EntityKind::kPoint, .position = {0, 0, 0}}).id;
    const int text = cad.CurrentDrawing().Add({.kind = EntityKind::kText, .position = {1, 0, 0}, .text = L"7"}).id;
    cad.QueueSelection({point, text});
    bench.platform.QueueAnswer(message_box::kYes);
    ScatterPointAssignment(bench.context);
    EXPECT_EQ(At(point).position[2], 7);

    // A CAD that has the members but refuses them.
    cad.CurrentFaults().missingMembers.clear();
    cad.CurrentFaults().failures.push_back(
        {MemberSelector{.object = ObjectKind::kDocument, .member = L"StartUndoMark"}});
    cad.QueueSelection({ids[0]});
    cad.QueueSelection({ids[1]});
    MatchingContourAssignment(bench.context);
    EXPECT_EQ(At(ids[0]).elevation, 12);
    EXPECT_EQ(bench.platform.Dialogs().size(), 1u);  // the scatter check box only
}

TEST_F(UndoSteps, AnEndTheCadRefusesIsNotReported) {
    cad.CurrentFaults().failures.push_back(
        {MemberSelector{.object = ObjectKind::kDocument, .member = L"EndUndoMark"}});
    const std::vector<int> ids = Contours(2);
    cad.QueueSelection(ids);
    bench.window.SetText(Input::Text1, L"5");
    SequentialContourAssignment(bench.context);
    EXPECT_EQ(At(ids[1]).elevation, 7);
    EXPECT_TRUE(bench.platform.Dialogs().empty());
}

}  // namespace
}  // namespace korvena
