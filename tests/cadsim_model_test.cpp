#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "cad/automation_error.h"
#include "cad/dispatch.h"
#include "cadsim/model/entity_object.h"
#include "cadsim/model/sim_errors.h"
#include "cadsim/model/sim_object.h"
#include "cadsim/model/simulation.h"

namespace korvena::cadsim {
namespace {

using Doubles = std::vector<double>;

// The number of the AutomationError that `call` throws; 0 when it throws none.
template <class F>
std::int32_t ErrorNumberOf(F&& call) {
    try {
        call();
    } catch (const AutomationError& error) {
        return error.Number();
    }
    return 0;
}

Entity Polyline(EntityKind kind, double elevation) {
    Entity entity;
    entity.kind = kind;
    entity.elevation = elevation;
    entity.vertices = {{0, 0}, {10, 5}, {20, 0}};
    return entity;
}

Entity Placed(EntityKind kind, Point3 position, std::wstring text = {}) {
    Entity entity;
    entity.kind = kind;
    entity.position = position;
    entity.text = std::move(text);
    return entity;
}

// Ids: 1 lwpolyline, 2 polyline, 3 circle, 4 arc, 5 ellipse, 6 point, 7 block, 8 text, 9 mtext, 10 line.
Drawing MapDrawing() {
    Drawing drawing;
    drawing.Add(Polyline(EntityKind::kLwPolyline, 0));
    drawing.Add(Polyline(EntityKind::kPolyline, 100));
    drawing.Add(Placed(EntityKind::kCircle, {1, 2, 3}));
    drawing.Add(Placed(EntityKind::kArc, {4, 5, 6}));
    drawing.Add(Placed(EntityKind::kEllipse, {7, 8, 9}));
    drawing.Add(Placed(EntityKind::kPoint, {10, 11, 12}));
    drawing.Add(Placed(EntityKind::kBlockReference, {13, 14, 15}));
    drawing.Add(Placed(EntityKind::kText, {16, 17, 0}, L"125.5"));
    drawing.Add(Placed(EntityKind::kMText, {18, 19, 0}, L"高程130"));
    Entity line;
    line.kind = EntityKind::kLine;
    line.endPoint = {1, 1, 0};
    drawing.Add(line);
    return drawing;
}

class CadSim : public testing::Test {
protected:
    DispatchPtr App() { return sim_.Application(); }
    DispatchPtr Doc() { return ToObject(App()->Get(L"ActiveDocument")); }
    DispatchPtr Sets() { return ToObject(Doc()->Get(L"SelectionSets")); }
    DispatchPtr Groups() { return ToObject(Doc()->Get(L"Groups")); }
    DispatchPtr ModelSpace() { return ToObject(Doc()->Get(L"ModelSpace")); }
    DispatchPtr Entity(int id) { return sim_.EntityObjectOf(id); }
    DispatchPtr NewSet(const wchar_t* name) { return ToObject(Sets()->Call(L"Add", {name})); }
    static std::vector<int> IdsOf(Simulation& sim, const std::vector<Variant>& items) {
        std::vector<int> ids;
        for (const auto& item : items) ids.push_back(sim.EntityIdOf(ToObject(item)));
        return ids;
    }

    Simulation sim_{MapDrawing()};
};

TEST_F(CadSim, MemberNamesIgnoreCase) {
    EXPECT_EQ(Entity(3)->Get(L"entitytype"), Variant(std::int32_t{8}));
    EXPECT_EQ(Entity(3)->Get(L"ENTITYTYPE"), Variant(std::int32_t{8}));
    EXPECT_EQ(Entity(8)->Get(L"textString"), Variant(L"125.5"));
    EXPECT_EQ(Entity(8)->Get(L"TEXTSTRING"), Variant(L"125.5"));
    EXPECT_EQ(Entity(3)->Get(L"center"), Variant(Doubles{1, 2, 3}));
    ToObject(Doc()->Get(L"utility"))->Call(L"prompt", {L"x"});
    EXPECT_EQ(sim_.Prompts(), std::vector<std::wstring>{L"x"});
    auto* entity = dynamic_cast<SimObject*>(Entity(1).get());
    ASSERT_NE(entity, nullptr);
    EXPECT_TRUE(entity->HasMember(L"eLeVaTiOn"));
}

TEST_F(CadSim, MembersAnObjectLacksAre438) {
    constexpr std::int32_t kNotSupported = error_number::kMemberNotSupported;
    EXPECT_EQ(ErrorNumberOf([&] { Entity(3)->Get(L"TextString"); }), kNotSupported);
    EXPECT_EQ(ErrorNumberOf([&] { Entity(3)->Get(L"StartPoint"); }), kNotSupported);  // arcs and ellipses
    EXPECT_EQ(ErrorNumberOf([&] { Entity(3)->Get(L"Elevation"); }), kNotSupported);   // only polylines
    EXPECT_EQ(ErrorNumberOf([&] { Entity(2)->Get(L"Coordinate", {std::int16_t{0}}); }), kNotSupported);
    EXPECT_EQ(ErrorNumberOf([&] { Entity(8)->Get(L"Center"); }), kNotSupported);
    EXPECT_EQ(ErrorNumberOf([&] { Entity(10)->Get(L"InsertionPoint"); }), kNotSupported);
    EXPECT_EQ(ErrorNumberOf([&] { Entity(1)->Put(L"EntityType", std::int32_t{8}); }), kNotSupported);
    EXPECT_EQ(ErrorNumberOf([&] { Entity(1)->Enumerate(); }), kNotSupported);
    EXPECT_EQ(ErrorNumberOf([&] { App()->Call(L"Quit"); }), kNotSupported);
    EXPECT_EQ(ErrorNumberOf([&] { Sets()->Put(L"Count", std::int32_t{1}); }), kNotSupported);
    auto* circle = dynamic_cast<SimObject*>(Entity(3).get());
    EXPECT_FALSE(circle->HasMember(L"Elevation"));
    EXPECT_FALSE(circle->HasMember(L""));
}

TEST_F(CadSim, APropertyCanBeReadThroughCall) {
    EXPECT_EQ(Entity(2)->Call(L"Elevation"), Variant(100.0));
    EXPECT_EQ(Sets()->Call(L"Count"), Variant(std::int32_t{0}));
}

TEST_F(CadSim, WrongArgumentsFailWithoutBeing438) {
    const std::vector<std::function<void()>> calls = {
        [&] { ToObject(Doc()->Get(L"Utility"))->Call(L"Prompt", {7.0}); },
        [&] {
            ToObject(Doc()->Get(L"Utility"))->Call(L"Prompt", {L"a", L"b"});
        },
        [&] { ToObject(Doc()->Get(L"Utility"))->Call(L"Prompt"); },
        [&] { Entity(1)->Get(L"Coordinate"); },
        [&] { Entity(1)->Get(L"Coordinate", {std::int32_t{3}}); },
        [&] { Entity(1)->Get(L"Coordinate", {std::int32_t{-1}}); },
        [&] { Entity(1)->Get(L"Coordinate", {0.5}); },
        [&] { Entity(1)->Get(L"EntityType", {std::int32_t{0}}); },
        [&] {
            Entity(3)->Put(L"Center", Doubles{1, 2});
        },
        [&] {
            Entity(3)->Put(L"Center", Doubles{1, 2, 3, 4});
        },
        [&] {
            Entity(3)->Put(L"Center", Doubles{1, 2, std::nan("")});
        },
        [&] { Entity(6)->Put(L"Coordinates", L"1,2,3"); },
        [&] {
            Entity(1)->Put(L"Coordinates", Doubles{1, 2, 3});
        },
        [&] {
            Entity(1)->Put(L"Coordinates", Doubles{1, 2});
        },
        [&] { Entity(1)->Put(L"Color", L"2"); },
        [&] { Entity(1)->Put(L"Color", std::int32_t{40000}); },
        [&] { Entity(8)->Put(L"TextString", 1.0); },
        [&] {
            ModelSpace()->Call(L"AddLine", {Doubles{0, 0, 0}});
        },
        [&] {
            ModelSpace()->Call(L"AddLine", {Doubles{0, 0, 0}, DispatchPtr()});
        },
        [&] { ModelSpace()->Call(L"Item", {std::int32_t{10}}); },
        [&] { Sets()->Call(L"Add", {L""}); },
        [&] { Sets()->Call(L"Item", {L"none"}); },
        [&] { NewSet(L"s")->Call(L"SelectOnScreen", {std::int16_t{0}}); },
        [&] { ToObject(Groups()->Call(L"Add", {L"g"}))->Call(L"AppendItems", {Entity(1)}); },
    };
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const std::int32_t number = ErrorNumberOf(calls[i]);
        EXPECT_NE(number, 0) << "call " << i;
        EXPECT_NE(number, error_number::kMemberNotSupported) << "call " << i;
    }
}

TEST_F(CadSim, ApplicationAnswersItsStateAndTheSameDocument) {
    EXPECT_EQ(App()->Get(L"Visible"), Variant(false));
    App()->Put(L"Visible", true);
    EXPECT_TRUE(sim_.Visible());
    EXPECT_EQ(App()->Get(L"Caption"), Variant(sim_.Caption()));
    EXPECT_EQ(Doc(), Doc());
    EXPECT_EQ(ToObject(Doc()->Get(L"ModelSpace")), ToObject(Doc()->Get(L"modelspace")));
}

TEST_F(CadSim, WithoutAnOpenDrawingTheDocumentFails) {
    const DispatchPtr document = Doc();
    sim_.SetDocumentOpen(false);
    const std::int32_t number = ErrorNumberOf([&] { App()->Get(L"ActiveDocument"); });
    EXPECT_NE(number, 0);
    EXPECT_NE(number, error_number::kMemberNotSupported);
    EXPECT_NE(ErrorNumberOf([&] { document->Get(L"Utility"); }), 0);
    EXPECT_NE(ErrorNumberOf([&] { Entity(1)->Get(L"EntityType"); }), 0);
    EXPECT_EQ(App()->Get(L"Caption"), Variant(sim_.Caption()));  // the application still answers
}

TEST_F(CadSim, AddingAnExistingNameFailsAndKeepsTheFirst) {
    const DispatchPtr first = NewSet(L".7055475");
    const std::int32_t number = ErrorNumberOf([&] { NewSet(L".7055475"); });
    EXPECT_EQ(number, sim_error::kDuplicateName);
    EXPECT_NE(ErrorNumberOf([&] {
                  Sets()->Call(L"Add", {L"ABC"});
                  Sets()->Call(L"Add", {L"abc"});
              }),
              0);
    EXPECT_EQ(Sets()->Get(L"Count"), Variant(std::int32_t{2}));
    EXPECT_EQ(ToObject(Sets()->Call(L"Item", {L".7055475"})), first);
    EXPECT_EQ(ToObject(Sets()->Get(L"Item", {std::int32_t{0}})), first);

    ToObject(Groups()->Call(L"Add", {L"check"}));
    EXPECT_EQ(ErrorNumberOf([&] { Groups()->Call(L"Add", {L"CHECK"}); }), sim_error::kDuplicateName);
    EXPECT_EQ(Groups()->Get(L"Count"), Variant(std::int32_t{1}));
}

TEST_F(CadSim, ScriptedSelectionsAreTakenInOrderAndKeepTheirOrder) {
    sim_.QueueSelection({3, 1, 2});
    sim_.QueueSelection({9, 8});
    const DispatchPtr first = NewSet(L"a");
    const DispatchPtr second = NewSet(L"b");
    first->Call(L"SelectOnScreen");
    second->Call(L"SelectOnScreen");
    EXPECT_EQ(IdsOf(sim_, first->Enumerate()), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(IdsOf(sim_, second->Enumerate()), (std::vector<int>{9, 8}));
    EXPECT_EQ(first->Get(L"Count"), Variant(std::int32_t{3}));
    EXPECT_EQ(sim_.EntityIdOf(ToObject(first->Call(L"Item", {std::int32_t{1}}))), 1);
    EXPECT_EQ(sim_.FindSelectionSet(L"a")->entityIds, (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(sim_.PendingSelections(), 0u);
}

TEST_F(CadSim, SelectionSkipsEntitiesNotInTheDrawingAndRepeats) {
    Entity(4)->Call(L"Delete");
    sim_.QueueSelection({5, 99, 4, 5, 1});
    sim_.QueueSelection({1, 2});
    const DispatchPtr set = NewSet(L"s");
    set->Call(L"SelectOnScreen");
    set->Call(L"SelectOnScreen");  // a second selection adds to the set
    EXPECT_EQ(sim_.FindSelectionSet(L"s")->entityIds, (std::vector<int>{5, 1, 2}));
}

TEST_F(CadSim, WithoutAScriptTheSelectorIsAskedElseNothingIsSelected) {
    const DispatchPtr set = NewSet(L"empty");
    set->Call(L"SelectOnScreen");
    EXPECT_EQ(set->Get(L"Count"), Variant(std::int32_t{0}));

    std::wstring askedFor;
    sim_.SetSelector([&](std::wstring_view name) {
        askedFor = name;
        return std::vector<int>{7, 6};
    });
    sim_.QueueSelection({2});
    const DispatchPtr scripted = NewSet(L"scripted");
    const DispatchPtr picked = NewSet(L"picked");
    scripted->Call(L"SelectOnScreen");
    EXPECT_TRUE(askedFor.empty());
    picked->Call(L"SelectOnScreen");
    EXPECT_EQ(askedFor, L"picked");
    EXPECT_EQ(IdsOf(sim_, picked->Enumerate()), (std::vector<int>{7, 6}));
}

TEST_F(CadSim, DeletingASetRemovesItButNotItsEntities) {
    sim_.QueueSelection({1, 2});
    const DispatchPtr set = NewSet(L"gone");
    NewSet(L"stays");
    set->Call(L"SelectOnScreen");
    set->Call(L"Delete");
    EXPECT_FALSE(sim_.FindSelectionSet(L"gone"));
    EXPECT_EQ(sim_.SelectionSets().size(), 1u);
    EXPECT_EQ(Sets()->Get(L"Count"), Variant(std::int32_t{1}));
    EXPECT_EQ(sim_.CurrentDrawing().Count(), 10u);
    EXPECT_EQ(ErrorNumberOf([&] { set->Get(L"Count"); }), sim_error::kObjectErased);
    NewSet(L"gone");  // the name is free again
}

TEST(CadSimSetup, SetsAndGroupsPresentAtTheStartAreLiveAndBlockTheirNames) {
    SimulationSetup setup;
    setup.drawing = MapDrawing();
    setup.selectionSets = {{L".7055475", {3, 1}}};
    setup.groups = {{L"check", {10}}};
    Simulation sim{std::move(setup)};
    const DispatchPtr doc = ToObject(ToObject(sim.Application())->Get(L"ActiveDocument"));
    const DispatchPtr sets = ToObject(doc->Get(L"SelectionSets"));
    EXPECT_EQ(ErrorNumberOf([&] { sets->Call(L"Add", {L".7055475"}); }), sim_error::kDuplicateName);
    EXPECT_EQ(ToObject(sets->Call(L"Item", {L".7055475"}))->Get(L"Count"), Variant(std::int32_t{2}));
    EXPECT_EQ(ErrorNumberOf([&] { ToObject(doc->Get(L"Groups"))->Call(L"Add", {L"check"}); }),
              sim_error::kDuplicateName);
}

TEST_F(CadSim, ErasingThroughTheSimulationActsAsDelete) {
    sim_.QueueSelection({4, 5});
    const DispatchPtr set = NewSet(L"s");
    set->Call(L"SelectOnScreen");
    EXPECT_TRUE(sim_.EraseEntity(4));
    EXPECT_FALSE(sim_.EraseEntity(4));
    EXPECT_EQ(IdsOf(sim_, set->Enumerate()), (std::vector<int>{5}));
}

TEST_F(CadSim, TheChangeListenerHearsPutsAndCallsOnly) {
    int heard = 0;
    sim_.SetChangeListener([&] { ++heard; });
    Entity(1)->Get(L"Color");
    EXPECT_EQ(heard, 0);
    Entity(1)->Put(L"Color", std::int16_t{1});
    ErrorNumberOf([&] { Entity(1)->Put(L"Elevation", L"abc"); });
    Entity(1)->Call(L"Delete");
    EXPECT_EQ(heard, 3);
}

TEST_F(CadSim, AnEntityIsTheSameObjectWhereverItIsHandedOut) {
    sim_.QueueSelection({3});
    const DispatchPtr set = NewSet(L"s");
    set->Call(L"SelectOnScreen");
    const DispatchPtr fromSet = ToObject(set->Enumerate().at(0));
    EXPECT_EQ(fromSet, ToObject(set->Call(L"Item", {std::int32_t{0}})));
    EXPECT_EQ(fromSet, ToObject(ModelSpace()->Call(L"Item", {std::int32_t{2}})));
    EXPECT_EQ(fromSet, Entity(3));
    EXPECT_EQ(sim_.EntityIdOf(fromSet), 3);
}

TEST_F(CadSim, GroupsTakeOnlyLiveEntitiesOfTheirOwnDrawing) {
    const DispatchPtr group = ToObject(Groups()->Call(L"Add", {L".5"}));
    group->Call(L"AppendItems", {std::vector<DispatchPtr>{Entity(10), Entity(3)}});
    group->Call(L"AppendItems", {std::vector<DispatchPtr>{Entity(3)}});  // already a member
    group->Call(L"AppendItems", {std::vector<DispatchPtr>{}});
    EXPECT_EQ(IdsOf(sim_, group->Enumerate()), (std::vector<int>{10, 3}));

    Simulation other{MapDrawing()};
    EXPECT_NE(ErrorNumberOf([&] {
                  group->Call(L"AppendItems", {std::vector<DispatchPtr>{Entity(1), other.EntityObjectOf(1)}});
              }),
              0);
    Entity(2)->Call(L"Delete");
    EXPECT_NE(ErrorNumberOf([&] { group->Call(L"AppendItems", {std::vector<DispatchPtr>{Entity(2)}}); }), 0);
    EXPECT_NE(ErrorNumberOf([&] { group->Call(L"AppendItems", {std::vector<DispatchPtr>{nullptr}}); }), 0);
    EXPECT_EQ(sim_.Groups().at(0).entityIds, (std::vector<int>{10, 3}));  // failed appends add nothing
}

TEST_F(CadSim, AddLineAppendsALineAtTheEndOfTheDrawing) {
    const DispatchPtr line = ToObject(ModelSpace()->Call(L"AddLine", {Doubles{1, 2, 0}, Doubles{3, 4, 0}}));
    EXPECT_EQ(sim_.EntityIdOf(line), 11);
    const cadsim::Entity& data = *sim_.CurrentDrawing().Find(11);
    EXPECT_EQ(data.kind, EntityKind::kLine);
    EXPECT_EQ(data.color, kColorByLayer);
    EXPECT_EQ(data.position, (Point3{1, 2, 0}));
    EXPECT_EQ(data.endPoint, (Point3{3, 4, 0}));
    EXPECT_EQ(ModelSpace()->Get(L"Count"), Variant(std::int32_t{11}));
    line->Put(L"Color", std::int16_t{2});
    EXPECT_EQ(sim_.CurrentDrawing().Find(11)->color, 2);
}

TEST_F(CadSim, DeletedEntitiesLeaveDrawingSetsAndGroups) {
    sim_.QueueSelection({1, 10, 2});
    const DispatchPtr set = NewSet(L"s");
    set->Call(L"SelectOnScreen");
    const DispatchPtr group = ToObject(Groups()->Call(L"Add", {L"g"}));
    group->Call(L"AppendItems", {std::vector<DispatchPtr>{Entity(10)}});
    Entity(10)->Call(L"Delete");
    EXPECT_EQ(sim_.CurrentDrawing().Find(10), nullptr);
    EXPECT_EQ(sim_.FindSelectionSet(L"s")->entityIds, (std::vector<int>{1, 2}));
    EXPECT_EQ(group->Get(L"Count"), Variant(std::int32_t{0}));
    EXPECT_EQ(ErrorNumberOf([&] { Entity(10)->Get(L"EntityType"); }), sim_error::kObjectErased);
    EXPECT_EQ(ErrorNumberOf([&] { Entity(10)->Call(L"Delete"); }), sim_error::kObjectErased);
    // Ids are never reused.
    ModelSpace()->Call(L"AddLine", {Doubles{0, 0, 0}, Doubles{1, 0, 0}});
    EXPECT_EQ(sim_.CurrentDrawing().LastId(), 11);
}

TEST_F(CadSim, EntityTypeAndGeometryByKind) {
    const int codes[] = {24, 23, 8, 4, 16, 22, 7, 32, 21, 19};
    for (int id = 1; id <= 10; ++id) {
        EXPECT_EQ(Entity(id)->Get(L"EntityType"), Variant(std::int32_t{codes[id - 1]})) << id;
    }
    EXPECT_EQ(Entity(1)->Get(L"Coordinate", {std::int16_t{1}}), Variant(Doubles{10, 5}));
    EXPECT_EQ(Entity(1)->Get(L"Coordinates"), Variant(Doubles{0, 0, 10, 5, 20, 0}));
    EXPECT_EQ(Entity(6)->Get(L"Coordinates"), Variant(Doubles{10, 11, 12}));
    EXPECT_EQ(Entity(4)->Get(L"Center"), Variant(Doubles{4, 5, 6}));
    EXPECT_EQ(Entity(7)->Get(L"InsertionPoint"), Variant(Doubles{13, 14, 15}));
    EXPECT_EQ(Entity(9)->Get(L"TextString"), Variant(L"高程130"));
    EXPECT_EQ(Entity(3)->Get(L"Color"), Variant(std::int16_t{256}));
    EXPECT_EQ(Entity(3)->Get(L"ObjectName"), Variant(L"AcDbCircle"));
    EXPECT_EQ(Entity(10)->Get(L"Handle"), Variant(L"A"));
    EXPECT_EQ(EntityHandle(26), L"1A");
}

TEST(CadSimAutomation, EachCadSaysWhatItsEntitiesAreInItsOwnWay) {
    SimulationSetup setup;
    setup.drawing = MapDrawing();
    Entity custom = Placed(EntityKind::kCustom, {1, 1, 0});
    custom.className = L"AecDbWall";
    setup.drawing.Add(custom);  // 11
    setup.automation.entityTypes = EntityTypeNumbering::kIntelliCad;
    Simulation other(setup);
    const int codes[] = {22, 25, 7, 3, 15, 24, 6, 32, 23, 21};
    for (int id = 1; id <= 10; ++id) {
        EXPECT_EQ(other.EntityObjectOf(id)->Get(L"EntityType"), Variant(std::int16_t(codes[id - 1]))) << id;
    }
    EXPECT_EQ(other.EntityObjectOf(1)->Get(L"ObjectName"), Variant(L"AcDbPolyline"));
    // An add-on's entity: its own class name; its EntityType is not implemented, on any CAD.
    EXPECT_EQ(other.EntityObjectOf(11)->Get(L"ObjectName"), Variant(L"AecDbWall"));
    EXPECT_EQ(ErrorNumberOf([&] { other.EntityObjectOf(11)->Get(L"EntityType"); }),
              sim_error::kNotImplemented);

    setup.automation = {EntityTypeNumbering::kNotImplemented, false};
    Simulation neither(setup);
    EXPECT_EQ(ErrorNumberOf([&] { neither.EntityObjectOf(3)->Get(L"EntityType"); }),
              sim_error::kNotImplemented);
    EXPECT_EQ(ErrorNumberOf([&] { neither.EntityObjectOf(3)->Get(L"ObjectName"); }),
              error_number::kMemberNotSupported);
    EXPECT_EQ(neither.Automation(), setup.automation);
}

TEST_F(CadSim, ArcsAndCirclesHaveARadiusArcsAndEllipsesAStartPoint) {
    sim_.CurrentDrawing().Find(4)->radius = 2;
    sim_.CurrentDrawing().Find(4)->startAngle = std::acos(-1.0) / 2;
    const auto start = ToDoubles(Entity(4)->Get(L"StartPoint"), 3);
    EXPECT_NEAR(start[0], 4, 1e-12);
    EXPECT_NEAR(start[1], 7, 1e-12);
    EXPECT_EQ(start[2], 6);
    EXPECT_EQ(Entity(5)->Get(L"StartPoint"), Variant(Doubles{8, 8, 9}));  // the end of its major axis
    Entity(3)->Put(L"Radius", 2.5);
    EXPECT_EQ(Entity(3)->Get(L"Radius"), Variant(2.5));
    EXPECT_NE(ErrorNumberOf([&] { Entity(3)->Put(L"Radius", -1.0); }), 0);
    EXPECT_NE(ErrorNumberOf([&] { Entity(4)->Put(L"StartPoint", Doubles{0, 0, 0}); }), 0);
}

TEST_F(CadSim, WritesChangeTheDrawing) {
    Entity(5)->Put(L"Center", Doubles{7, 8, 123.45});
    Entity(6)->Put(L"Coordinates", Doubles{1, 2, 3});
    Entity(7)->Put(L"InsertionPoint", Doubles{0, 0, 9});
    Entity(8)->Put(L"textString", L"99");
    Entity(1)->Put(L"Coordinates", Doubles{5, 5, 6, 6});
    Entity(2)->Put(L"Color", std::int32_t{3});  // a 16-bit value in a wider integer is fine
    const Drawing& drawing = sim_.CurrentDrawing();
    EXPECT_EQ(drawing.Find(5)->position, (Point3{7, 8, 123.45}));
    EXPECT_EQ(drawing.Find(6)->position, (Point3{1, 2, 3}));
    EXPECT_EQ(drawing.Find(7)->position, (Point3{0, 0, 9}));
    EXPECT_EQ(drawing.Find(8)->text, L"99");
    EXPECT_EQ(drawing.Find(1)->vertices.size(), 2u);
    EXPECT_EQ(drawing.Find(2)->color, 3);
}

TEST_F(CadSim, ElevationTakesANumberOrATextThatIsOne) {
    Entity(1)->Put(L"Elevation", 105.0);
    EXPECT_EQ(sim_.CurrentDrawing().Find(1)->elevation, 105.0);
    Entity(1)->Put(L"Elevation", L" 123.45 ");
    EXPECT_EQ(sim_.CurrentDrawing().Find(1)->elevation, 123.45);
    Entity(2)->Put(L"Elevation", L"-8.5e1");
    EXPECT_EQ(Entity(2)->Get(L"Elevation"), Variant(-85.0));
    Entity(2)->Put(L"Elevation", std::int16_t{7});
    EXPECT_EQ(Entity(2)->Get(L"Elevation"), Variant(7.0));

    for (const wchar_t* text : {L"abc", L"", L"12,5", L"高程125", L"1.2.3", L"nan", L"inf", L"0x10", L"1e"}) {
        const std::int32_t number = ErrorNumberOf([&] { Entity(1)->Put(L"Elevation", text); });
        EXPECT_NE(number, 0) << text;
        EXPECT_NE(number, error_number::kMemberNotSupported) << text;
    }
    EXPECT_NE(ErrorNumberOf([&] { Entity(1)->Put(L"Elevation", std::numeric_limits<double>::quiet_NaN()); }),
              0);
    EXPECT_EQ(sim_.CurrentDrawing().Find(1)->elevation, 123.45);  // refused values change nothing
}

TEST_F(CadSim, PromptsReachTheCommandLineExactlyAndInOrder) {
    const DispatchPtr utility = ToObject(Doc()->Get(L"Utility"));
    utility->Call(L"Prompt", {L"======X======\n\r"});
    utility->Call(L"prompt", {L" 第二行 "});
    EXPECT_EQ(sim_.Prompts(), (std::vector<std::wstring>{L"======X======\n\r", L" 第二行 "}));
    EXPECT_EQ(sim_.CommandLineText(), L"======X======\n\r 第二行 ");
}

// Faults.

TEST_F(CadSim, ARefusedColourFailsAndOthersAreWritten) {
    sim_.CurrentFaults().refusedColors = {300};
    Entity(1)->Put(L"Color", std::int16_t{7});
    EXPECT_EQ(ErrorNumberOf([&] { Entity(1)->Put(L"Color", std::int16_t{300}); }), sim_error::kValueRefused);
    EXPECT_EQ(sim_.CurrentDrawing().Find(1)->color, 7);
}

TEST_F(CadSim, AMissingMemberIs438OnThatKindOnly) {
    sim_.CurrentFaults().missingMembers.push_back({ObjectKind::kEntity, 24, 0, L"elevation"});
    EXPECT_EQ(ErrorNumberOf([&] { Entity(1)->Put(L"Elevation", 1.0); }), error_number::kMemberNotSupported);
    EXPECT_EQ(ErrorNumberOf([&] { Entity(1)->Get(L"ELEVATION"); }), error_number::kMemberNotSupported);
    EXPECT_FALSE(dynamic_cast<SimObject*>(Entity(1).get())->HasMember(L"Elevation"));
    Entity(2)->Put(L"Elevation", 1.0);

    sim_.CurrentFaults().missingMembers.push_back({ObjectKind::kDocument, 0, 0, L"Groups"});
    EXPECT_EQ(ErrorNumberOf([&] { Doc()->Get(L"Groups"); }), error_number::kMemberNotSupported);
}

TEST_F(CadSim, AMemberCanAnswerAWrongValue) {
    const Variant nan = std::numeric_limits<double>::quiet_NaN();
    sim_.CurrentFaults().answers.push_back({{ObjectKind::kEntity, 8, 0, L"Center"}, Doubles{1}});
    sim_.CurrentFaults().answers.push_back({{ObjectKind::kEntity, 0, 2, L"Elevation"}, L"not a number"});
    sim_.CurrentFaults().answers.push_back({{ObjectKind::kEntity, 22, 0, L"EntityType"}, nan});
    sim_.CurrentFaults().answers.push_back({{ObjectKind::kSelectionSets, 0, 0, L"Count"}, 2e9});
    EXPECT_EQ(Entity(3)->Get(L"center"), Variant(Doubles{1}));
    EXPECT_EQ(Entity(4)->Get(L"Center"), Variant(Doubles{4, 5, 6}));  // other kinds answer the truth
    EXPECT_EQ(Entity(2)->Get(L"Elevation"), Variant(L"not a number"));
    EXPECT_EQ(Entity(1)->Get(L"Elevation"), Variant(0.0));
    EXPECT_TRUE(std::isnan(Entity(6)->Get(L"EntityType").As<double>()));
    EXPECT_EQ(Sets()->Get(L"Count"), Variant(2e9));
}

TEST_F(CadSim, AFailingMemberFailsAfterItsAllowance) {
    FailingMember failure{{ObjectKind::kModelSpace, 0, 0, L"AddLine"}, 1};
    sim_.CurrentFaults().failures.push_back(failure);
    ModelSpace()->Call(L"AddLine", {Doubles{0, 0, 0}, Doubles{1, 0, 0}});
    EXPECT_EQ(ErrorNumberOf([&] {
                  ModelSpace()->Call(L"AddLine", {Doubles{0, 0, 0}, Doubles{1, 0, 0}});
              }),
              sim_error::kInjectedFailure);
    EXPECT_EQ(sim_.CurrentDrawing().Count(), 11u);
}

TEST_F(CadSim, ADeadCadFailsEveryCallAsDisconnected) {
    const DispatchPtr document = Doc();
    sim_.DieAfterCalls(2);
    EXPECT_FALSE(sim_.Disconnected());
    Entity(1)->Get(L"EntityType");
    Entity(1)->Put(L"Color", std::int16_t{1});
    EXPECT_TRUE(sim_.Disconnected());
    EXPECT_EQ(ErrorNumberOf([&] { Entity(1)->Put(L"Color", std::int16_t{2}); }), sim_error::kDisconnected);
    EXPECT_EQ(ErrorNumberOf([&] { App()->Get(L"Caption"); }), sim_error::kDisconnected);
    EXPECT_EQ(ErrorNumberOf([&] { document->Enumerate(); }), sim_error::kDisconnected);
    EXPECT_THROW(dynamic_cast<SimObject*>(App().get())->LookUp(L"Caption"), AutomationError);
    EXPECT_EQ(sim_error::kDisconnected, static_cast<std::int32_t>(0x80010108u));
    EXPECT_EQ(sim_.CurrentDrawing().Find(1)->color, 1);
}

TEST(CadSimLifetime, ObjectsOutlivingTheirSimulationAnswerAsDisconnected) {
    DispatchPtr app;
    DispatchPtr entity;
    {
        Simulation sim{MapDrawing()};
        app = sim.Application();
        entity = sim.EntityObjectOf(1);
    }
    EXPECT_EQ(ErrorNumberOf([&] { app->Get(L"Caption"); }), sim_error::kDisconnected);
    EXPECT_EQ(ErrorNumberOf([&] { entity->Call(L"Delete"); }), sim_error::kDisconnected);
}

// The call record.

TEST_F(CadSim, EveryCallIsRecordedAndCounted) {
    const DispatchPtr circle = Entity(3);
    circle->Put(L"Color", std::int16_t{2});
    ErrorNumberOf([&] { circle->Get(L"elevation"); });
    ErrorNumberOf([&] { circle->Get(L"Center", {L"x"}); });
    ModelSpace();  // ActiveDocument, then ModelSpace

    const auto& calls = sim_.Calls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(sim_.CallCount(), 5);
    EXPECT_EQ(RecordText(calls[0]), L"Entity#3 put Color(int16:2) -> ok");
    EXPECT_EQ(calls[1].member, L"elevation");
    EXPECT_TRUE(calls[1].failed);
    EXPECT_EQ(calls[1].errorNumber, error_number::kMemberNotSupported);
    EXPECT_EQ(calls[2].arguments, L"string:\"x\"");
    EXPECT_EQ(calls[2].errorNumber, sim_error::kWrongArgumentCount);
    EXPECT_EQ(RecordText(calls[3]), L"Application get ActiveDocument() -> object:Document");
    EXPECT_EQ(calls[4].kind, CallKind::kGet);

    sim_.SetRecording(false);
    circle->Get(L"Center");
    EXPECT_EQ(sim_.Calls().size(), 5u);
    EXPECT_EQ(sim_.CallCount(), 6);
    EXPECT_TRUE(dynamic_cast<SimObject*>(circle.get())->LookUp(L"CENTER"));
    EXPECT_EQ(sim_.CallCount(), 7);
}

TEST_F(CadSim, UndoTakesBackAMarkedRunWholeAndUnmarkedChangesOneByOne) {
    Entity(1)->Put(L"Color", std::int16_t{1});  // outside marks: a step per call
    Entity(1)->Put(L"Elevation", 5.0);
    Doc()->Call(L"StartUndoMark");
    Doc()->Call(L"EndUndoMark");  // an empty mark leaves no step
    Doc()->Call(L"StartUndoMark");
    Entity(2)->Put(L"Elevation", 7.0);
    Entity(3)->Put(L"Color", std::int16_t{2});
    const DispatchPtr line = ToObject(ModelSpace()->Call(L"AddLine", {Doubles{0, 0, 0}, Doubles{1, 1, 0}}));
    EXPECT_TRUE(sim_.UndoMarkOpen());
    Doc()->Call(L"StartUndoMark");  // marks do not nest: this ends the open step first
    const DispatchPtr group = ToObject(Groups()->Call(L"Add", {L"g"}));
    group->Call(L"AppendItems", {std::vector<DispatchPtr>{Entity(10)}});
    Entity(10)->Call(L"Delete");
    Doc()->Call(L"EndUndoMark");
    Doc()->Call(L"EndUndoMark");  // an end without a start does nothing
    EXPECT_EQ(sim_.UndoSteps(), 4u);

    EXPECT_TRUE(sim_.Undo());  // the group and the deleted line, with its membership
    ASSERT_NE(sim_.CurrentDrawing().Find(10), nullptr);
    EXPECT_TRUE(sim_.Groups().empty());
    EXPECT_TRUE(sim_.Undo());  // the marked run: two writes and the new line
    EXPECT_EQ(sim_.CurrentDrawing().Find(2)->elevation, 100);
    EXPECT_EQ(sim_.CurrentDrawing().Find(3)->color, kColorByLayer);
    EXPECT_EQ(sim_.EntityIdOf(line), 0);
    EXPECT_TRUE(sim_.Undo());
    EXPECT_EQ(sim_.CurrentDrawing().Find(1)->elevation, 0);
    EXPECT_EQ(sim_.CurrentDrawing().Find(1)->color, 1);
    EXPECT_TRUE(sim_.Undo());
    EXPECT_EQ(sim_.CurrentDrawing().Find(1)->color, kColorByLayer);
    EXPECT_FALSE(sim_.Undo());
    EXPECT_NE(sim_.CommandLineText().find(L"命令: U  放弃了一步（3 个对象）"), std::wstring::npos);
    EXPECT_NE(sim_.CommandLineText().find(L"已全部放弃"), std::wstring::npos);
}

TEST_F(CadSim, AFailedChangeMakesNoStepAndUndoEndsAnOpenMark) {
    sim_.CurrentFaults().refusedColors.push_back(3);
    EXPECT_NE(ErrorNumberOf([&] { Entity(1)->Put(L"Color", std::int16_t{3}); }), 0);
    EXPECT_NE(ErrorNumberOf([&] { Entity(3)->Put(L"Elevation", 1.0); }), 0);
    EXPECT_EQ(sim_.UndoSteps(), 0u);
    Doc()->Call(L"StartUndoMark");
    Entity(1)->Put(L"Elevation", 9.0);
    EXPECT_TRUE(sim_.Undo());
    EXPECT_FALSE(sim_.UndoMarkOpen());
    EXPECT_EQ(sim_.CurrentDrawing().Find(1)->elevation, 0);
    Entity(1)->Put(L"Elevation", 9.0);  // after the undo, changes are steps of their own again
    EXPECT_EQ(sim_.UndoSteps(), 1u);
}

TEST(RenderValue, ShowsTypeAndExactValue) {
    EXPECT_EQ(RenderValue(Variant()), L"empty");
    EXPECT_EQ(RenderValue(Variant(std::int32_t{24})), L"int32:24");
    EXPECT_EQ(RenderValue(Variant(0.1)), L"double:0.1");
    EXPECT_EQ(RenderValue(Variant(Doubles{1, -2.5, 1e300})), L"doubles:[1,-2.5,1e+300]");
    EXPECT_EQ(RenderValue(Variant(L"a\"\\\n\r")), L"string:\"a\\\"\\\\\\n\\r\"");
    Simulation sim{MapDrawing()};
    EXPECT_EQ(RenderValue(Variant(std::vector<DispatchPtr>{sim.EntityObjectOf(2), nullptr})),
              L"objects:[Entity#2,null]");
}

}  // namespace
}  // namespace korvena::cadsim
