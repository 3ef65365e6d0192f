// The simulator window's geometry, command strip and command line, without a window.

#include "cadsim/server/drawing_geometry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>

#include "cadsim/server/command_strip.h"
#include "cadsim/server/server_options.h"
#include "cadsim/server/server_registration.h"

namespace korvena::cadsim {
namespace {

Entity Polyline(int id, std::vector<Vertex> vertices) {
    Entity entity;
    entity.id = id;
    entity.kind = EntityKind::kLwPolyline;
    entity.vertices = std::move(vertices);
    return entity;
}

Entity Donut(int id, double x, double radius, double width) {
    Entity entity = Polyline(id, {{x - radius, 0, 1}, {x + radius, 0, 1}});
    entity.closed = true;
    entity.width = width;
    return entity;
}

Entity Positioned(int id, EntityKind kind, double x, double y, std::wstring text = {}) {
    Entity entity;
    entity.id = id;
    entity.kind = kind;
    entity.position = {x, y, 0};
    entity.text = std::move(text);
    entity.height = 2;
    return entity;
}

bool PassesNear(const std::vector<Point2>& path, Point2 target) {
    for (const Point2 p : path) {
        if (std::hypot(p.x - target.x, p.y - target.y) < 0.01) return true;
    }
    return false;
}

// 0..100 by 0..50 in a 220 by 120 pixel area with a margin of 10: two pixels per unit, origin at (10, 110).
DrawingView TestView() {
    return DrawingView({0, 0, 100, 50}, {0, 0, 220, 120}, 10);
}

TEST(PolylinePath, TurnsBulgesIntoArcsOnTheRightSide) {
    // A positive bulge runs counter-clockwise: from (0,0) to (2,0) it passes below the chord.
    const auto ccw = PolylinePath({{0, 0, 1}, {2, 0, 0}}, false);
    EXPECT_TRUE(PassesNear(ccw, {1, -1}));
    EXPECT_EQ(ccw.back(), (Point2{2, 0}));
    EXPECT_TRUE(PassesNear(PolylinePath({{0, 0, -1}, {2, 0, 0}}, false), {1, 1}));
    // A donut: two half circles around (1, 0) of radius 1, closed back to its first vertex.
    const auto donut = PolylinePath({{0, 0, 1}, {2, 0, 1}}, true);
    EXPECT_TRUE(PassesNear(donut, {1, -1}));
    EXPECT_TRUE(PassesNear(donut, {1, 1}));
    EXPECT_EQ(donut.front(), donut.back());
}

TEST(DrawingView, FitsTheExtentsWithYUp) {
    const DrawingView view = TestView();
    EXPECT_DOUBLE_EQ(view.Scale(), 2);
    EXPECT_EQ(view.ToScreen({0, 0}), (Point2{10, 110}));
    EXPECT_EQ(view.ToScreen({100, 50}), (Point2{210, 10}));
}

TEST(ExtentsOf, GivesEmptyAndSinglePointDrawingsARoom) {
    const Box empty = ExtentsOf({});
    EXPECT_DOUBLE_EQ(empty.right - empty.left, 100);
    const Box single = ExtentsOf({ShapeOf(Positioned(1, EntityKind::kPoint, 5, 5))});
    EXPECT_GT(single.right, single.left);
    EXPECT_GT(single.bottom, single.top);
}

TEST(HitTest, PicksTheNearestEntityWithinTheTolerance) {
    const std::vector<EntityShape> shapes{
        ShapeOf(Polyline(1, {{0, 10}, {100, 10}})),          // y = 90 on screen
        ShapeOf(Polyline(2, {{0, 13}, {100, 13}})),          // y = 84
        ShapeOf(Positioned(3, EntityKind::kPoint, 50, 40)),  // (110, 30)
        ShapeOf(Positioned(4, EntityKind::kText, 70, 30, L"125.5")),
        ShapeOf(Donut(5, 5, 5, 4)),  // centre (20, 110), ring 8 pixels wide
    };
    const DrawingView view = TestView();
    EXPECT_EQ(HitTest(shapes, view, {40, 89}), 1);
    EXPECT_EQ(HitTest(shapes, view, {40, 86}), 2);
    EXPECT_EQ(HitTest(shapes, view, {40, 97}), 0) << "beyond five pixels";
    EXPECT_EQ(HitTest(shapes, view, {113, 33}), 3) << "on the cross";
    // The text stands on its base line at (150, 50): its box is above that.
    EXPECT_EQ(HitTest(shapes, view, {155, 45}), 4);
    EXPECT_EQ(HitTest(shapes, view, {155, 58}), 0);
    // The ring's centre line is 10 pixels from its middle; its width brings it within reach.
    EXPECT_EQ(HitTest(shapes, view, {20, 105}), 5);
    EXPECT_EQ(HitTest(shapes, view, {20, 110}), 0) << "the hole in the middle";
}

TEST(HitTest, TheLaterEntityWinsATie) {
    const std::vector<EntityShape> shapes{ShapeOf(Polyline(1, {{0, 10}, {100, 10}})),
                                          ShapeOf(Polyline(2, {{0, 10}, {100, 10}}))};
    EXPECT_EQ(HitTest(shapes, TestView(), {40, 90}), 2);
}

TEST(FenceCrossings, ListsEntitiesInTheOrderTheFenceMeetsThem) {
    const std::vector<EntityShape> shapes{
        ShapeOf(Polyline(1, {{0, 30}, {100, 30}})),
        ShapeOf(Polyline(2, {{0, 10}, {100, 10}})),
        ShapeOf(Polyline(3, {{0, 20}, {40, 20}})),  // ends left of the fence
        ShapeOf(Positioned(4, EntityKind::kPoint, 50, 45)),
        ShapeOf(Positioned(5, EntityKind::kText, 48, 0, L"88")),
    };
    const DrawingView view = TestView();
    const Point2 bottom = view.ToScreen({50, -2});
    const Point2 top = view.ToScreen({50, 49});
    EXPECT_EQ(FenceCrossings(shapes, view, bottom, top), (std::vector<int>{5, 2, 1, 4}));
    EXPECT_EQ(FenceCrossings(shapes, view, top, bottom), (std::vector<int>{4, 1, 2, 5}));
    EXPECT_TRUE(FenceCrossings(shapes, view, top, top).empty());
}

TEST(ClickPointOf, GivesAPixelThatPicksTheEntity) {
    const std::vector<EntityShape> shapes{
        ShapeOf(Polyline(1, {{0, 10}, {100, 10}})),
        ShapeOf(Polyline(2, {{0, 11}, {100, 11}})),  // two pixels above the first
        ShapeOf(Positioned(3, EntityKind::kText, 20, 30, L"高程")),
        ShapeOf(Positioned(4, EntityKind::kBlockReference, 90, 45)),
    };
    const DrawingView view = TestView();
    for (const int id : {1, 2, 3, 4}) {
        const auto pixel = ClickPointOf(shapes, view, id);
        ASSERT_TRUE(pixel.has_value()) << id;
        EXPECT_EQ(pixel->x, std::round(pixel->x));
        EXPECT_EQ(HitTest(shapes, view, *pixel), id);
    }
    EXPECT_FALSE(ClickPointOf(shapes, view, 9).has_value());
}

TEST(TextLines, BreaksAtLineEndsAndParagraphCodes) {
    EXPECT_EQ(TextLines(L"a\n\rb\\Pc\r\nd"), (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
    EXPECT_EQ(TextLines(L""), (std::vector<std::wstring>{L""}));
}

TEST(CommandStripLines, ShowsTheLastPromptsLineByLine) {
    const std::wstring text = L"one\n\r======二======\n\rthree\nfour";
    EXPECT_EQ(CommandStripLines(text, false, 10),
              (std::vector<std::wstring>{L"one", L"======二======", L"three", L"four"}));
    EXPECT_EQ(CommandStripLines(text, false, 2), (std::vector<std::wstring>{L"three", L"four"}));
    EXPECT_EQ(CommandStripLines(L"x\n\r", true, 5), (std::vector<std::wstring>{L"x", L"选择对象:"}));
    EXPECT_EQ(CommandStripLines(L"", true, 5), (std::vector<std::wstring>{L"选择对象:"}));
}

TEST(ColourOfNumber, GivesTheStandardColours) {
    EXPECT_EQ(ColourOfNumber(1), (Rgb{230, 0, 0}));
    EXPECT_EQ(ColourOfNumber(5), (Rgb{0, 0, 230}));
    EXPECT_EQ(ColourOfNumber(7), (Rgb{0, 0, 0}));
    EXPECT_EQ(ColourOfNumber(250), (Rgb{51, 51, 51}));
    EXPECT_EQ(ColourOfNumber(256), ColourOfNumber(0));
    EXPECT_EQ(ColourOfNumber(10), (Rgb{255, 0, 0}));
    EXPECT_EQ(ColourOfNumber(90), (Rgb{0, 255, 0}));
    EXPECT_EQ(ColourOfNumber(171), (Rgb{128, 128, 255})) << "odd numbers are pale";
    EXPECT_EQ(ColourOfNumber(178), (Rgb{0, 0, 77})) << "the last pair is the darkest";
    EXPECT_EQ(ColourOfNumber(-3), ColourOfNumber(256));
}

TEST(ParseServerOptions, ReadsSwitchesAndFiles) {
    const auto run =
        ParseServerOptions({L"--drawing", L"C:\\a b\\map.json", L"-Embedding", L"--out", L"s.json"});
    EXPECT_EQ(run.action, ServerAction::kRun);
    EXPECT_TRUE(run.embedding);
    EXPECT_EQ(run.drawingFile, L"C:\\a b\\map.json");
    EXPECT_EQ(run.outFile, L"s.json");
    EXPECT_EQ(ParseServerOptions({L"/regserver"}).action, ServerAction::kRegister);
    EXPECT_EQ(ParseServerOptions({L"-UNREGSERVER"}).action, ServerAction::kUnregister);

    for (const auto& bad : std::vector<std::vector<std::wstring>>{{L"--drawing"},
                                                                  {L"--out", L"a", L"--out", L"b"},
                                                                  {L"/RegServer", L"/UnregServer"},
                                                                  {L"/UnregServer", L"--out", L"a"},
                                                                  {L"--frobnicate"},
                                                                  {L"map.json"},
                                                                  {L"--progid", L"ZWCAD.Application"},
                                                                  {L"/RegServer", L"--progid"},
                                                                  {L"/RegServer", L"--unstartable", L"A"},
                                                                  {L"/UnregServer", L"--progid", L"A"}}) {
        EXPECT_THROW(ParseServerOptions(bad), OptionError) << bad.front();
    }
}

TEST(ParseServerOptions, NamesTheClassesToRegisterAndTheCadThatCannotStart) {
    const auto registration =
        ParseServerOptions({L"/RegServer", L"--progid", L"AutoCAD.Application.23", L"--unstartable",
                            L"AutoCAD.Application", L"--unable-to-start", L"C:\\log.txt"});
    EXPECT_EQ(registration.progId, L"AutoCAD.Application.23");
    EXPECT_EQ(registration.unstartableProgId, L"AutoCAD.Application");
    EXPECT_EQ(registration.unableToStartLog, L"C:\\log.txt");
    // As COM starts the class that cannot start.
    const auto started = ParseServerOptions({L"--unable-to-start", L"C:\\log.txt", L"-Embedding"});
    EXPECT_EQ(started.action, ServerAction::kRun);
    EXPECT_EQ(started.unableToStartLog, L"C:\\log.txt");
    EXPECT_EQ(UnstartableServerCommand(L"C:\\bin\\cadsim.exe", L"C:\\a b\\log.txt"),
              L"\"C:\\bin\\cadsim.exe\" --unable-to-start \"C:\\a b\\log.txt\"");
}

TEST(LocalServerCommand, QuotesTheServerAndItsFiles) {
    ServerOptions options;
    options.drawingFile = L"C:\\maps\\demo map.json";
    options.outFile = L"C:\\out.json";
    EXPECT_EQ(LocalServerCommand(L"C:\\bin\\cadsim.exe", options),
              L"\"C:\\bin\\cadsim.exe\" --drawing \"C:\\maps\\demo map.json\" --out C:\\out.json");
    EXPECT_EQ(LocalServerCommand(L"C:\\bin\\cadsim.exe", {}), L"\"C:\\bin\\cadsim.exe\"");
}

}  // namespace
}  // namespace korvena::cadsim
