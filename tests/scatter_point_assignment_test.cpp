#include "commands/scatter_point_assignment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "cadsim/model/call_record.h"
#include "cadsim/model/simulation.h"
#include "tests/sim_platform.h"

namespace korvena {
namespace {

using cadsim::Entity;
using cadsim::EntityKind;
using cadsim::Point3;
using testing::CommandBench;
using testing::Dialog;
using testing::ErrorDialog;

constexpr std::int16_t kOldColour = 7;
const Dialog kCheckDialog{std::wstring(kScatterCheckQuestion), std::wstring(kScatterCheckTitle), 68};

class ScatterAssignment : public ::testing::Test {
protected:
    int Add(Entity entity) {
        entity.color = kOldColour;
        return cad.CurrentDrawing().Add(std::move(entity)).id;
    }
    int Circle(double x, double y, double z = 0) {
        return Add({.kind = EntityKind::kCircle, .position = {x, y, z}, .radius = 1});
    }
    int Text(double x, double y, std::wstring text, EntityKind kind = EntityKind::kText) {
        return Add({.kind = kind, .position = {x, y, 0}, .height = 2, .text = std::move(text)});
    }
    void Run(std::vector<int> selection, std::optional<int> answer = message_box::kYes) {
        cad.QueueSelection(std::move(selection));
        if (answer) bench.platform.QueueAnswer(*answer);
        ScatterPointAssignment(bench.context);
    }
    const Entity& At(int id) { return *cad.CurrentDrawing().Find(id); }
    std::vector<const Entity*> Lines() {
        std::vector<const Entity*> lines;
        for (const auto& [id, entity] : cad.CurrentDrawing().Entities()) {
            if (entity.kind == EntityKind::kLine) lines.push_back(&entity);
        }
        return lines;
    }
    const std::vector<Dialog>& Dialogs() { return bench.platform.Dialogs(); }

    cadsim::Simulation cad{cadsim::Drawing{}};
    CommandBench bench{&cad};
};

TEST_F(ScatterAssignment, PairsByRankOfPositionAndChecksWithLinesBeforeWriting) {
    // Selected out of order; each text sits 2 units to the right of its point.
    const int c3 = Circle(0, 10), c1 = Circle(0, 0), c2 = Circle(10, 0);
    const int t2 = Text(12, 0, L"102"), t3 = Text(2, 10, L"103"), t1 = Text(2, 0, L"101");
    cad.SetSelector(nullptr);
    cad.QueueSelection({c3, t2, c1, t3, c2, t1});
    // Answer No first: the lines stay, grouped, and nothing is written.
    bench.platform.QueueAnswer(message_box::kNo);
    ScatterPointAssignment(bench.context);

    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 3u);
    const std::vector<std::pair<Point3, Point3>> expected{
        {{0, 0, 0}, {2, 0, 0}}, {{10, 0, 0}, {12, 0, 0}}, {{0, 10, 0}, {2, 10, 0}}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(lines[i]->position, expected[i].first);
        EXPECT_EQ(lines[i]->endPoint, expected[i].second);
        EXPECT_EQ(lines[i]->color, kCheckLineColour);
    }
    ASSERT_EQ(cad.Groups().size(), 1u);
    EXPECT_EQ(cad.Groups()[0].entityIds.size(), 3u);
    EXPECT_EQ(cad.Groups()[0].name.front(), L'.');
    EXPECT_EQ(Dialogs(), std::vector{kCheckDialog});
    for (int id : {c1, c2, c3, t1, t2, t3}) EXPECT_EQ(At(id).color, kOldColour);
    EXPECT_EQ(At(c1).position[2], 0);
    EXPECT_EQ(cad.Prompts(), std::vector<std::wstring>{L"======选择一个或多个散点、散点文本======\n\r"});
    EXPECT_TRUE(cad.SelectionSets().empty());

    // Yes: every point takes the text of its rank; the lines go, the (empty) group stays.
    Run({c3, t2, c1, t3, c2, t1});
    EXPECT_EQ(At(c1).position, (Point3{0, 0, 101}));
    EXPECT_EQ(At(c2).position, (Point3{10, 0, 102}));
    EXPECT_EQ(At(c3).position, (Point3{0, 10, 103}));
    for (int id : {c1, c2, c3, t1, t2, t3}) EXPECT_EQ(At(id).color, 251);
    EXPECT_EQ(Lines().size(), 3u);  // only those of the first run
    ASSERT_EQ(cad.Groups().size(), 2u);
    EXPECT_TRUE(cad.Groups()[1].entityIds.empty());
    EXPECT_EQ(cad.Prompts().back(), L"======散点高程赋值完成，请核查！======\n\r");
    EXPECT_TRUE(cad.SelectionSets().empty());
}

// The calls of a run as object, kind and member, without arguments: what the CAD is asked, not with what.
std::vector<std::wstring> CallShapes(const std::vector<cadsim::CallRecord>& calls) {
    std::vector<std::wstring> shapes;
    for (const auto& call : calls) {
        shapes.push_back(cadsim::ObjectLabel(call.objectKind, 0) + L" " +
                         std::wstring(cadsim::CallKindName(call.kind)) + L" " + call.member);
    }
    return shapes;
}

TEST_F(ScatterAssignment, CrossingLinesAreRedAndSaidOnceBeforeTheBoxInTheCallsOfACleanSheet) {
    // A clean sheet of three pairs, each text beside its point: every line yellow, nothing more said.
    const std::vector<int> clean{Circle(10, 20),       Text(14, 20, L"1"), Circle(30, 20.5),
                                 Text(34, 20.5, L"2"), Circle(10, 60),     Text(14, 60, L"3")};
    Run(clean, message_box::kNo);
    for (const Entity* line : Lines()) EXPECT_EQ(line->color, kCheckLineColour);
    EXPECT_EQ(cad.Prompts().size(), 1u);
    const std::vector<cadsim::CallRecord> cleanCalls = cad.Calls();

    // The same points, the first text written above its point: it comes after the second text in
    // position order, so the first two pairs take each other's texts and their lines cross.
    cad.ClearCalls();
    const std::size_t linesBefore = Lines().size();
    std::size_t promptsWhileAsking = 0;
    bench.platform.WhileDialogOpen([&] { promptsWhileAsking = cad.Prompts().size(); });
    Run({clean[0], Text(12, 26, L"1"), clean[2], Text(34, 21.5, L"2"), clean[4], Text(14, 60, L"3")},
        message_box::kNo);
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), linesBefore + 3);
    std::vector<std::int16_t> colours;
    for (std::size_t i = linesBefore; i < lines.size(); ++i) colours.push_back(lines[i]->color);
    EXPECT_EQ(colours, (std::vector<std::int16_t>{kDoubtfulCheckLineColour, kDoubtfulCheckLineColour,
                                                  kCheckLineColour}));
    const std::wstring notice = L"======有 2 条连线可能配错，已画成红色，请重点检查======\n\r";
    ASSERT_EQ(cad.Prompts().size(), 3u);
    EXPECT_EQ(cad.Prompts().back(), notice);
    EXPECT_EQ(promptsWhileAsking, 3u) << "said before the box";
    EXPECT_EQ(Dialogs().back(), kCheckDialog);

    // The calls are those of the clean sheet and the one prompt, written right after the grouping.
    std::vector<cadsim::CallRecord> calls = cad.Calls();
    const auto said = std::find_if(calls.begin(), calls.end(), [&](const cadsim::CallRecord& call) {
        return call.member == L"prompt" && call.arguments.find(L"有 2 条") != std::wstring::npos;
    });
    ASSERT_NE(said, calls.end());
    EXPECT_EQ(std::prev(said)->member, L"AppendItems");
    calls.erase(said);
    EXPECT_EQ(CallShapes(calls), CallShapes(cleanCalls));
}

TEST_F(ScatterAssignment, ALabelFarFromItsPointIsRedAndEverythingAfterTheBoxStaysTheSame) {
    // Five pairs in a column, each text 2 to the right of its point but the middle one, 20 away: more
    // than three times the median length of 2.
    std::vector<int> circles, texts, selection;
    for (int i = 0; i < 5; ++i) {
        circles.push_back(Circle(0, 10.0 * i, 1));
        texts.push_back(Text(i == 2 ? 20 : 2, 10.0 * i, std::to_wstring(100 + i)));
        selection.push_back(circles.back());
        selection.push_back(texts.back());
    }
    std::vector<std::int16_t> colours;
    bench.platform.WhileDialogOpen([&] {
        for (const Entity* line : Lines()) colours.push_back(line->color);
    });
    Run(selection);
    EXPECT_EQ(colours, (std::vector<std::int16_t>{2, 2, 1, 2, 2}));
    EXPECT_EQ(cad.Prompts(),
              (std::vector<std::wstring>{L"======选择一个或多个散点、散点文本======\n\r",
                                         L"======有 1 条连线可能配错，已画成红色，请重点检查======\n\r",
                                         L"======散点高程赋值完成，请核查！======\n\r"}));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(At(circles[i]).position[2], 100 + i);
    for (int id : texts) EXPECT_EQ(At(id).color, 251);
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(Dialogs(), std::vector{kCheckDialog});
}

TEST_F(ScatterAssignment, OrdersByYThenXAndKeepsSelectionOrderForEqualPoints) {
    // Two points with equal Y (ordered by X), and two at the very same place (selection order).
    const int right = Circle(5, 0), left = Circle(1, 0), twinA = Circle(3, 3), twinB = Circle(3, 3);
    const int t1 = Text(0, -1, L"1"), t2 = Text(1, -1, L"2"), t3 = Text(2, -1, L"3"), t4 = Text(3, -1, L"4");
    Run({right, twinB, t4, left, twinA, t2, t3, t1});
    EXPECT_EQ(At(left).position[2], 1);
    EXPECT_EQ(At(right).position[2], 2);
    EXPECT_EQ(At(twinB).position[2], 3);
    EXPECT_EQ(At(twinA).position[2], 4);
}

TEST_F(ScatterAssignment, EveryPointKindIsPlacedAndWrittenByItsOwnProperty) {
    const int arc = Add({.kind = EntityKind::kArc, .position = {0, 0, 9}, .radius = 1, .endAngle = 3});
    const int ellipse = Add({.kind = EntityKind::kEllipse, .position = {0, 10, 0}, .radiusRatio = 0.5});
    const int block =
        Add({.kind = EntityKind::kBlockReference, .position = {0, 20, 0}, .blockName = L"SPOT"});
    const int point = Add({.kind = EntityKind::kPoint, .position = {0, 30, 0}});
    // A donut: its first vertex lies on the ring, at (4, 40), and places it.
    const int donut = Add({.kind = EntityKind::kLwPolyline,
                           .vertices = {{4, 40, 1}, {6, 40, 1}},
                           .elevation = 0,
                           .closed = true,
                           .width = 1});
    const int circle = Circle(0, 50, 5);
    std::vector<int> texts;
    for (int i = 0; i < 5; ++i)
        texts.push_back(Text(2, i * 10.0, std::to_wstring(100 + i), EntityKind::kMText));
    texts.push_back(Text(2, 50, L" 123.45 "));
    std::vector<int> selection{arc, ellipse, block, point, donut, circle};
    selection.insert(selection.end(), texts.begin(), texts.end());
    Run(selection);

    EXPECT_EQ(At(arc).position, (Point3{0, 0, 100}));
    EXPECT_EQ(At(ellipse).position, (Point3{0, 10, 101}));
    EXPECT_EQ(At(block).position, (Point3{0, 20, 102}));
    EXPECT_EQ(At(point).position, (Point3{0, 30, 103}));
    EXPECT_EQ(At(donut).elevation, 104);
    EXPECT_EQ(At(donut).vertices[0].x, 4);
    EXPECT_EQ(At(donut).vertices[1].bulge, 1);
    EXPECT_EQ(At(circle).position, (Point3{0, 50, 123.45}));
    EXPECT_TRUE(Lines().empty());
    EXPECT_TRUE(Dialogs().size() == 1 && Dialogs()[0] == kCheckDialog);
}

TEST_F(ScatterAssignment, LightweightPolylineGetsTheTextUnchangedForTheCadToConvert) {
    const int pline = Add({.kind = EntityKind::kLwPolyline, .vertices = {{0, 0}, {1, 0}}});
    const int text = Text(2, 0, L"87.6");
    Run({pline, text});
    EXPECT_EQ(At(pline).elevation, 87.6);
    EXPECT_EQ(At(pline).vertices.size(), 2u);
    bool sentAsText = false;
    for (const auto& call : cad.Calls()) {
        if (call.member == L"Elevation" && call.kind == cadsim::CallKind::kPut) {
            sentAsText = call.arguments == cadsim::RenderValue(Variant(L"87.6"));
        }
    }
    EXPECT_TRUE(sentAsText);
}

TEST_F(ScatterAssignment, EveryCheckLineAndTheGroupGoIntoTheOneDocumentFetchedOnce) {
    std::vector<int> selection;
    for (int i = 0; i < 3; ++i) {
        selection.push_back(Circle(10.0 * i, 0));
        selection.push_back(Text(10.0 * i + 2, 0, std::to_wstring(100 + i)));
    }
    Run(selection, message_box::kNo);
    int documents = 0, modelSpaces = 0;
    for (const auto& call : cad.Calls()) {
        if (call.kind != cadsim::CallKind::kGet) continue;
        if (call.member == L"ActiveDocument") ++documents;
        if (call.member == L"ModelSpace") ++modelSpaces;
    }
    EXPECT_EQ(documents, 2);  // the connection's, and the run's
    EXPECT_EQ(modelSpaces, 1);
    EXPECT_EQ(Lines().size(), 3u);
    ASSERT_EQ(cad.Groups().size(), 1u);
    EXPECT_EQ(cad.Groups()[0].entityIds.size(), 3u);
}

TEST_F(ScatterAssignment, PointMovedWhileTheLinesAreCheckedKeepsItsNewPlace) {
    const int circle = Circle(3, 4, 0);
    const int text = Text(5, 4, L"77");
    bench.platform.WhileDialogOpen([&] { cad.CurrentDrawing().Find(circle)->position = {30, 40, 0}; });
    Run({circle, text});
    EXPECT_EQ(At(circle).position, (Point3{30, 40, 77}));
}

TEST_F(ScatterAssignment, CheckLinesLieAtZeroWhateverTheHeights) {
    const int circle = Circle(3, 4, 250);
    const int text = Add({.kind = EntityKind::kText, .position = {5, 4, 80}, .height = 2, .text = L"1"});
    Run({circle, text}, message_box::kNo);
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_EQ(Lines()[0]->position, (Point3{3, 4, 0}));
    EXPECT_EQ(Lines()[0]->endPoint, (Point3{5, 4, 0}));
}

TEST_F(ScatterAssignment, TextThatIsNoNumberStopsAtItsPairAndKeepsTheRest) {
    std::vector<int> circles, texts, selection;
    for (int i = 0; i < 5; ++i) {
        circles.push_back(Circle(0, i * 10.0, 7));
        texts.push_back(Text(2, i * 10.0, i == 2 ? L"abc" : std::to_wstring(100 + i)));
        selection.push_back(circles.back());
        selection.push_back(texts.back());
    }
    Run(selection);
    EXPECT_EQ(At(circles[0]).position[2], 100);
    EXPECT_EQ(At(circles[1]).position[2], 101);
    for (int i = 2; i < 5; ++i) {
        EXPECT_EQ(At(circles[i]).position[2], 7);
        EXPECT_EQ(At(circles[i]).color, kOldColour);
        EXPECT_EQ(At(texts[i]).color, kOldColour);
    }
    EXPECT_EQ(Lines().size(), 3u);
    ASSERT_EQ(cad.Groups().size(), 1u);
    EXPECT_EQ(cad.Groups()[0].entityIds.size(), 3u);
    EXPECT_EQ(Dialogs(), (std::vector{kCheckDialog, ErrorDialog(L"操作不当或其它未知原因！  ")}));
    EXPECT_EQ(cad.Prompts().size(), 1u);
    EXPECT_TRUE(cad.SelectionSets().empty());
}

TEST_F(ScatterAssignment, TextsAreReadWithAPointWhateverTheLocale) {
    // "123,45" is not a number in a drawing; a comma locale must not turn it into 12345.
    const int circle = Circle(0, 0, 3);
    Run({circle, Text(2, 0, L"123,45")});
    EXPECT_EQ(At(circle).position[2], 3);
    EXPECT_EQ(Dialogs().back(), ErrorDialog(L"操作不当或其它未知原因！  "));
}

TEST_F(ScatterAssignment, MoreThanFiveHundredPairsEndBeforeAnythingIsDrawn) {
    std::vector<int> selection;
    for (int i = 0; i < 501; ++i) {
        selection.push_back(Circle(i, 0));
        selection.push_back(Text(i, 1, L"1"));
    }
    Run(selection, std::nullopt);
    EXPECT_TRUE(Lines().empty());
    EXPECT_TRUE(cad.Groups().empty());
    EXPECT_EQ(Dialogs(), std::vector{ErrorDialog(L"操作不当或其它未知原因！  ")});
    EXPECT_TRUE(cad.SelectionSets().empty());
}

TEST_F(ScatterAssignment, UnequalCountsAndUnknownKindsEndWithTheirMessages) {
    const int c1 = Circle(0, 0), c2 = Circle(0, 5), c3 = Circle(0, 9);
    const int t1 = Text(1, 0, L"1"), t2 = Text(1, 5, L"2"), t3 = Text(1, 9, L"3");
    const int line = Add({.kind = EntityKind::kLine, .position = {0, 0, 0}, .endPoint = {1, 1, 0}});
    Run({c1, c2, c3, t1, t2, line}, std::nullopt);
    EXPECT_EQ(Dialogs().back(), ErrorDialog(L"散点个数(4)与散点高程个数(2)不相等！"));

    for (EntityKind kind : {EntityKind::kLine, EntityKind::kPolyline}) {
        const int other =
            Add({.kind = kind, .position = {0, 0, 0}, .endPoint = {1, 1, 0}, .vertices = {{0, 0}, {1, 1}}});
        Run({c1, c2, other, t1, t2, t3}, std::nullopt);
        EXPECT_EQ(Dialogs().back(), ErrorDialog(kScatterNotAPointMessage));
    }
    EXPECT_EQ(Dialogs().size(), 3u);
    EXPECT_EQ(Lines().size(), 2u);  // the two of the selections: nothing drawn
    EXPECT_TRUE(cad.Groups().empty());
    EXPECT_TRUE(cad.SelectionSets().empty());
    EXPECT_EQ(At(c1).color, kOldColour);
}

TEST_F(ScatterAssignment, ColourIsReadFromText5BeforeTheSelection) {
    const int circle = Circle(0, 0);
    const int text = Text(1, 0, L"1");
    const std::vector<std::pair<std::wstring, std::int16_t>> cases{
        {L"abc", 0}, {L"2.5", 2}, {L"3.5", 4}, {L"7 x", 7}};
    for (const auto& [input, colour] : cases) {
        bench.window.SetText(Input::Text5, input);
        Run({circle, text});
        EXPECT_EQ(At(circle).color, colour) << input;
        EXPECT_EQ(At(text).color, colour) << input;
    }
    const std::size_t promptsBefore = cad.Prompts().size();
    bench.window.SetText(Input::Text5, L"40000");
    Run({circle, text}, std::nullopt);
    EXPECT_EQ(cad.Prompts().size(), promptsBefore);
    EXPECT_EQ(Dialogs().back(), ErrorDialog(L"操作不当或其它未知原因！  "));
    EXPECT_TRUE(cad.SelectionSets().empty());
}

TEST_F(ScatterAssignment, EmptySelectionStillAsksAndChangesNothing) {
    Run({}, message_box::kYes);
    EXPECT_EQ(Dialogs(), std::vector{kCheckDialog});
    EXPECT_EQ(cad.Prompts().back(), L"======散点高程赋值完成，请核查！======\n\r");
    EXPECT_EQ(cad.CurrentDrawing().Count(), 0u);
    EXPECT_TRUE(cad.SelectionSets().empty());
}

TEST_F(ScatterAssignment, RefusedColourKeepsThePairsElevation) {
    const int circle = Circle(0, 0, 1);
    const int text = Text(1, 0, L"50");
    cad.CurrentFaults().refusedColors.push_back(251);
    Run({circle, text});
    EXPECT_EQ(At(circle).position[2], 50);
    EXPECT_EQ(At(circle).color, kOldColour);
    EXPECT_EQ(Lines().size(), 1u);
    EXPECT_EQ(Dialogs().back(), ErrorDialog(L"操作不当或其它未知原因！  "));
}

TEST_F(ScatterAssignment, HoldsNoEntityOfTheDrawingWhenItWritesItsClosingLine) {
    // The closing line tells the user the program is done with the drawing; COM's release of every
    // entity held past it would keep the program busy after it, dropping the user's next click.
    const std::vector<int> ids{Circle(0, 0), Text(2, 0, L"101"), Circle(0, 10), Text(2, 10, L"102")};
    long heldAtClosingLine = -1;
    cad.SetChangeListener([&] {
        const std::vector<std::wstring>& prompts = cad.Prompts();
        if (heldAtClosingLine >= 0 || prompts.empty() ||
            prompts.back().find(kScatterDoneNotice) == std::wstring::npos)
            return;
        heldAtClosingLine = 0;
        // Each entity's one object is held by the model and by the copy asked for here.
        for (const int id : ids) heldAtClosingLine += cad.EntityObjectOf(id).use_count() - 2;
    });
    Run(ids);
    EXPECT_EQ(heldAtClosingLine, 0);
    EXPECT_EQ(At(ids[0]).position[2], 101);
}

// The dialog or the set's deletion is what tells the user the command has ended. COM releases each
// object with a call of its own, so on every end short of 是 the entities the run held are let go of
// only after the set is deleted, by the program between commands.
TEST_F(ScatterAssignment, OnEveryOtherEndTheEntitiesGoOnlyAfterTheSetIsDeleted) {
    std::vector<int> pairs;
    for (int i = 0; i < 501; ++i) {
        pairs.push_back(Circle(i, 0));
        pairs.push_back(Text(i, 2, L"1"));
    }
    const std::vector<int> answeredNo(pairs.begin(), pairs.begin() + 6);
    const std::vector<int> unequal(pairs.begin(), pairs.begin() + 5);
    long heldAtDeletion = -1;
    std::vector<int> ids;
    cad.SetChangeListener([&] {
        const cadsim::CallRecord& call = cad.Calls().back();
        if (call.objectKind != cadsim::ObjectKind::kSelectionSet || call.member != L"Delete") return;
        heldAtDeletion = 0;
        // Each entity's one object is held by the model and by the copy asked for here.
        for (const int id : ids) heldAtDeletion += cad.EntityObjectOf(id).use_count() > 2 ? 1 : 0;
    });
    for (const auto& [selection, answer] :
         {std::pair{answeredNo, std::optional<int>{message_box::kNo}},
          std::pair{unequal, std::optional<int>{}}, std::pair{pairs, std::optional<int>{}}}) {
        ids = selection;
        heldAtDeletion = -1;
        Run(selection, answer);
        EXPECT_EQ(heldAtDeletion, static_cast<long>(ids.size())) << ids.size();
        EXPECT_TRUE(cad.SelectionSets().empty());
        long toLetGo = 0;
        for (const DispatchPtr& object : bench.link.ToLetGoOf) toLetGo += cad.EntityIdOf(object) != 0 ? 1 : 0;
        EXPECT_GE(toLetGo, static_cast<long>(ids.size()));
        bench.link.ToLetGoOf.clear();
    }
    EXPECT_EQ(Dialogs(), (std::vector{kCheckDialog, ErrorDialog(L"散点个数(3)与散点高程个数(2)不相等！"),
                                      ErrorDialog(L"操作不当或其它未知原因！  ")}));
}

// Check lines are the run's own until the user has seen them: while an error's dialog shows, the lines
// drawn so far are still open in the link; after it they are the drawing's, as the error leaves them.
TEST_F(ScatterAssignment, CheckLinesAreTheRunsOwnUntilTheUserIsAsked) {
    std::vector<int> selection;
    for (int i = 0; i < 4; ++i) {
        selection.push_back(Circle(0, i * 10.0));
        selection.push_back(Text(2, i * 10.0, L"1"));
    }
    cad.CurrentFaults().failures.push_back(
        {cadsim::MemberSelector{.object = cadsim::ObjectKind::kModelSpace, .member = L"AddLine"}, 2});
    std::size_t openWhileTheErrorShows = 99;
    bench.platform.WhileDialogOpen([&] { openWhileTheErrorShows = bench.link.Open.CheckLines.size(); });
    Run(selection, std::nullopt);
    EXPECT_EQ(openWhileTheErrorShows, 2u);
    EXPECT_EQ(Lines().size(), 2u);
    EXPECT_TRUE(bench.link.Open.Empty());
    EXPECT_EQ(Dialogs(), std::vector{ErrorDialog(L"操作不当或其它未知原因！  ")});

    // Shown to the user: no longer the run's own.
    cad.CurrentFaults().failures.clear();
    bench.platform.WhileDialogOpen([&] { openWhileTheErrorShows = bench.link.Open.CheckLines.size(); });
    Run(selection, message_box::kNo);
    EXPECT_EQ(openWhileTheErrorShows, 0u);
}

}  // namespace
}  // namespace korvena
