// What an entity is, on AutoCAD and on the CADs whose EntityType cannot be trusted: the class-name
// table, the rule for each kind of CAD and for an entity that cannot say its code, and every command
// on a CAD of another numbering, with a custom entity, and on a CAD that cannot say at all.

#include "cad/entity_identity.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <functional>

#include "cadsim/model/simulation.h"
#include "commands/matching_contour_assignment.h"
#include "commands/pick_elevation.h"
#include "commands/scatter_point_assignment.h"
#include "commands/sequential_contour_assignment.h"
#include "tests/sim_platform.h"

namespace korvena {
namespace {

using cadsim::CadAutomation;
using cadsim::EntityKind;
using cadsim::EntityTypeNumbering;
using cadsim::MemberSelector;
using cadsim::ObjectKind;
using testing::CommandBench;
using testing::Dialog;
using testing::ErrorDialog;

constexpr CadAutomation kOtherNumbering{EntityTypeNumbering::kIntelliCad, true};
constexpr CadAutomation kNoWayToSay{EntityTypeNumbering::kIntelliCad, false};
constexpr wchar_t kCompatibleProgId[] = L"BricscadApp.AcadApplication";
constexpr std::int32_t kNotImplemented = static_cast<std::int32_t>(0x80004001u);

TEST(EntityTypeOfClass, TheNineClassesOfTheCommandsAndNoOther) {
    EXPECT_EQ(EntityTypeOfClass(L"AcDbPolyline"), 24);
    EXPECT_EQ(EntityTypeOfClass(L"AcDb2dPolyline"), 23);
    EXPECT_EQ(EntityTypeOfClass(L"AcDbText"), 32);
    EXPECT_EQ(EntityTypeOfClass(L"AcDbMText"), 21);
    EXPECT_EQ(EntityTypeOfClass(L"AcDbCircle"), 8);
    EXPECT_EQ(EntityTypeOfClass(L"AcDbArc"), 4);
    EXPECT_EQ(EntityTypeOfClass(L"AcDbEllipse"), 16);
    EXPECT_EQ(EntityTypeOfClass(L"AcDbPoint"), 22);
    EXPECT_EQ(EntityTypeOfClass(L"AcDbBlockReference"), 7);
    // A 3D polyline is no contour, a MINSERT no block reference; class names are exact.
    for (const wchar_t* other : {L"AcDb3dPolyline", L"AcDbMInsertBlock", L"AcDbLine", L"AecDbWall",
                                 L"acdbpolyline", L"AcDbPolyline ", L""}) {
        EXPECT_EQ(EntityTypeOfClass(other), entity_type::kOther) << other;
    }
}

// One entity of each of two kinds, asked through the in-process simulator.
class Identify : public ::testing::Test {
protected:
    explicit Identify(CadAutomation automation = {}) : cad(Setup(automation)) {}

    static cadsim::SimulationSetup Setup(CadAutomation automation) {
        cadsim::SimulationSetup setup;
        setup.drawing.Add({.kind = EntityKind::kLwPolyline, .vertices = {{0, 0}, {1, 0}}});
        setup.drawing.Add({.kind = EntityKind::kCircle, .radius = 1});
        setup.drawing.Add({.kind = EntityKind::kCustom, .className = L"AecDbWall"});
        setup.automation = automation;
        return setup;
    }
    std::optional<std::int32_t> Identified(int id, EntityIdentity identity) {
        return IdentifyEntity(*cad.EntityObjectOf(id), identity);
    }
    // The members asked of entities, in order.
    std::vector<std::wstring> EntityCalls() {
        std::vector<std::wstring> members;
        for (const auto& call : cad.Calls()) {
            if (call.objectKind == ObjectKind::kEntity) members.push_back(call.member);
        }
        cad.ClearCalls();
        return members;
    }
    void Fail(std::wstring member, std::int32_t number) {
        cad.CurrentFaults().failures.push_back(
            {MemberSelector{.entityId = 1, .member = std::move(member)}, 0, number});
    }
    static std::int32_t ErrorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const AutomationError& e) {
            return e.Number();
        }
        return 0;
    }

    cadsim::Simulation cad;
};

TEST_F(Identify, OnAutoCadTheCodeAloneUnlessTheEntityCannotSayIt) {
    EXPECT_EQ(Identified(1, EntityIdentity::kEntityType), 24);
    EXPECT_EQ(EntityCalls(), std::vector<std::wstring>{L"entitytype"});

    // A custom entity's EntityType is not implemented: its class decides, a kind no command accepts.
    EXPECT_EQ(Identified(3, EntityIdentity::kEntityType), entity_type::kOther);
    EXPECT_EQ(EntityCalls(), (std::vector<std::wstring>{L"entitytype", L"ObjectName"}));

    // Any other error the CAD raises is the same; a member it lacks stays the command's error (438).
    Fail(L"EntityType", static_cast<std::int32_t>(0x80040205u));
    EXPECT_EQ(Identified(1, EntityIdentity::kEntityType), 24);
    cad.CurrentFaults().failures.clear();
    cad.CurrentFaults().missingMembers.push_back({.entityId = 1, .member = L"EntityType"});
    EXPECT_EQ(ErrorOf([&] { Identified(1, EntityIdentity::kEntityType); }), 438);
    cad.CurrentFaults().missingMembers.clear();

    // When the class name fails too, the code's error is the command's; without one, nothing can say.
    Fail(L"EntityType", kNotImplemented);
    Fail(L"ObjectName", 5);
    EXPECT_EQ(ErrorOf([&] { Identified(1, EntityIdentity::kEntityType); }), kNotImplemented);
    cad.CurrentFaults().failures.pop_back();
    cad.CurrentFaults().missingMembers.push_back({.entityId = 1, .member = L"ObjectName"});
    EXPECT_EQ(Identified(1, EntityIdentity::kEntityType), std::nullopt);
}

class IdentifyOnAnotherNumbering : public Identify {
protected:
    IdentifyOnAnotherNumbering() : Identify(kOtherNumbering) {}
};

TEST_F(IdentifyOnAnotherNumbering, TheClassNameDecidesAndTheCodeIsNeverAsked) {
    EXPECT_EQ(cad.EntityObjectOf(1)->Get(L"EntityType"), Variant(std::int16_t{22}));  // AutoCAD's point
    cad.ClearCalls();
    EXPECT_EQ(Identified(1, EntityIdentity::kObjectName), 24);
    EXPECT_EQ(Identified(2, EntityIdentity::kObjectName), 8);
    EXPECT_EQ(Identified(3, EntityIdentity::kObjectName), entity_type::kOther);
    EXPECT_EQ(EntityCalls(), (std::vector<std::wstring>{L"ObjectName", L"ObjectName", L"ObjectName"}));

    // A class name that is no string, or none at all: the CAD cannot say. A failing read is an error.
    cad.CurrentFaults().answers.push_back(
        {MemberSelector{.entityId = 2, .member = L"ObjectName"}, Variant(8)});
    EXPECT_EQ(Identified(2, EntityIdentity::kObjectName), std::nullopt);
    Fail(L"ObjectName", static_cast<std::int32_t>(0x80040205u));
    EXPECT_EQ(ErrorOf([&] { Identified(1, EntityIdentity::kObjectName); }),
              static_cast<std::int32_t>(0x80040205u));
    cad.CurrentFaults().missingMembers.push_back({.member = L"ObjectName"});
    EXPECT_EQ(Identified(3, EntityIdentity::kObjectName), std::nullopt);
}

// ---- every command ----

// Contours 1-3 for the sequential run, the reference contour 4 for matching 1 and 2 and for a pick, a
// circle and an arc with their texts (5-8) for the scatter points, and a custom entity (9).
cadsim::SimulationSetup EveryCommandMap(CadAutomation automation) {
    cadsim::SimulationSetup setup;
    cadsim::Drawing& d = setup.drawing;
    d.Add({.kind = EntityKind::kLwPolyline, .color = 7, .vertices = {{0, 0}, {40, 0}}});
    d.Add({.kind = EntityKind::kLwPolyline, .color = 7, .vertices = {{0, 10}, {40, 10}}});
    d.Add({.kind = EntityKind::kPolyline, .color = 7, .vertices = {{0, 20}, {40, 20}}});
    d.Add({.kind = EntityKind::kLwPolyline, .color = 7, .vertices = {{50, 0}, {90, 0}}, .elevation = 125.5});
    d.Add({.kind = EntityKind::kCircle, .color = 7, .position = {10, 50, 0}, .radius = 2});
    d.Add({.kind = EntityKind::kText, .color = 7, .position = {14, 50, 0}, .height = 3, .text = L"88.5"});
    d.Add({.kind = EntityKind::kArc, .color = 7, .position = {10, 80, 0}, .radius = 2, .endAngle = 3});
    d.Add({.kind = EntityKind::kMText, .color = 7, .position = {14, 80, 0}, .height = 3, .text = L"90.25"});
    d.Add({.kind = EntityKind::kCustom, .color = 7, .position = {60, 60, 0}, .className = L"AecDbWall"});
    setup.automation = automation;
    return setup;
}

struct Outcome {
    std::vector<cadsim::Entity> entities;
    std::vector<Dialog> dialogs;
    std::vector<std::wstring> prompts;
    std::wstring text1;
    std::size_t setsLeft = 0;
    std::vector<cadsim::CallRecord> calls;
};

// Runs the four commands on `selections` (the sequential run's, matching's two, the pick's, the
// scatter run's, answered 是) with the CAD reached under `progId`.
Outcome RunEveryCommand(CadAutomation automation, const std::wstring& progId,
                        const std::vector<std::vector<int>>& selections) {
    cadsim::Simulation cad(EveryCommandMap(automation));
    CommandBench bench(nullptr);
    bench.platform.Install(progId, &cad, true);
    for (const auto& selection : selections) cad.QueueSelection(selection);
    bench.window.SetText(Input::Text1, L"100");
    bench.window.SetText(Input::Text2, L"5");
    SequentialContourAssignment(bench.context);
    MatchingContourAssignment(bench.context);
    PickElevation(bench.context);
    bench.platform.QueueAnswer(message_box::kYes);
    ScatterPointAssignment(bench.context);

    Outcome outcome{{},
                    bench.platform.Dialogs(),
                    cad.Prompts(),
                    bench.window.Text(Input::Text1),
                    cad.SelectionSets().size(),
                    cad.Calls()};
    for (const auto& [id, entity] : cad.CurrentDrawing().Entities()) outcome.entities.push_back(entity);
    return outcome;
}

const std::vector<std::vector<int>> kEverySelection{{1, 2, 3}, {1, 2}, {4}, {4}, {5, 6, 7, 8}};

// A call as the test compares it: on which object, which member (in lower case), how, with what.
std::wstring CallText(const cadsim::CallRecord& call) {
    std::wstring member = call.member;
    for (wchar_t& c : member) c = static_cast<wchar_t>(std::towlower(c));
    return cadsim::ObjectLabel(call.objectKind, call.objectId) + L" " +
           std::wstring(cadsim::CallKindName(call.kind)) + L" " + member + L"(" + call.arguments + L")";
}

TEST(EveryCommand, OnACadOfAnotherNumberingGivesAutoCadsResultsWithOneClassNameForEachCode) {
    const Outcome autocad = RunEveryCommand({}, L"AutoCAD.Application", kEverySelection);
    const Outcome other = RunEveryCommand(kOtherNumbering, kCompatibleProgId, kEverySelection);

    EXPECT_TRUE(autocad.dialogs.size() == 1 && autocad.dialogs[0].title == std::wstring(kScatterCheckTitle));
    EXPECT_EQ(other.dialogs, autocad.dialogs);
    EXPECT_EQ(other.prompts, autocad.prompts);
    EXPECT_EQ(autocad.text1, L"125.5");
    EXPECT_EQ(other.text1, autocad.text1);
    EXPECT_EQ(other.setsLeft, 0u);
    ASSERT_EQ(autocad.entities.size(), 9u);
    ASSERT_EQ(other.entities.size(), autocad.entities.size());
    EXPECT_EQ(autocad.entities[2].elevation, 110);
    EXPECT_EQ(autocad.entities[6].position, (cadsim::Point3{10, 80, 90.25}));
    for (std::size_t i = 0; i < autocad.entities.size(); ++i) {
        EXPECT_EQ(other.entities[i].color, autocad.entities[i].color) << i;
        EXPECT_EQ(other.entities[i].elevation, autocad.entities[i].elevation) << i;
        EXPECT_EQ(other.entities[i].position, autocad.entities[i].position) << i;
    }

    // The same calls in the same order, each EntityType replaced by ObjectName; AutoCAD never asked it.
    ASSERT_EQ(other.calls.size(), autocad.calls.size());
    int codesAsked = 0;
    for (std::size_t i = 0; i < autocad.calls.size(); ++i) {
        std::wstring expected = CallText(autocad.calls[i]);
        EXPECT_EQ(expected.find(L"objectname"), std::wstring::npos) << expected;
        if (const auto at = expected.find(L" get entitytype("); at != std::wstring::npos) {
            expected.replace(at, 16, L" get objectname(");
            ++codesAsked;
        }
        EXPECT_EQ(CallText(other.calls[i]), expected) << i;
    }
    EXPECT_EQ(codesAsked, 3 + 3 + 1 + 4) << "one identification per entity walked";
}

TEST(EveryCommand, ACustomEntityMeetsEachCommandsRuleForAWrongKind) {
    // The custom entity second in each selection; the scatter run with as many texts as others.
    const Outcome outcome =
        RunEveryCommand({}, L"AutoCAD.Application", {{1, 9, 2}, {1, 2}, {4, 9}, {9}, {5, 9, 6, 8}});
    EXPECT_EQ(outcome.dialogs,
              (std::vector{ErrorDialog(kNotAContourMessage), ErrorDialog(kNotAContourMessage),
                           ErrorDialog(L"该程序不支持R14，请选择R2000以上的版本！  "),
                           ErrorDialog(kScatterNotAPointMessage)}));
    EXPECT_EQ(outcome.entities[0].elevation, 100) << "the contour before it is written";
    EXPECT_EQ(outcome.entities[1].elevation, 0);
    EXPECT_EQ(outcome.text1, L"100");
    EXPECT_EQ(outcome.entities[4].color, 7);
    EXPECT_EQ(outcome.setsLeft, 0u);
}

TEST(EveryCommand, ACadThatCannotSayWhatItsEntitiesAreWritesNothingAndSaysSo) {
    const Outcome outcome = RunEveryCommand(kNoWayToSay, kCompatibleProgId, kEverySelection);
    EXPECT_EQ(outcome.dialogs, std::vector<Dialog>(4, ErrorDialog(kUnsupportedCadMessage)));
    const cadsim::Drawing untouched = EveryCommandMap(kNoWayToSay).drawing;
    ASSERT_EQ(outcome.entities.size(), untouched.Count()) << "no check line";
    for (const cadsim::Entity& entity : outcome.entities) {
        EXPECT_EQ(entity.color, 7) << entity.id;
        EXPECT_EQ(entity.elevation, untouched.Find(entity.id)->elevation) << entity.id;
        EXPECT_EQ(entity.position, untouched.Find(entity.id)->position) << entity.id;
    }
    EXPECT_EQ(outcome.text1, L"100");
    EXPECT_EQ(outcome.setsLeft, 0u);
}

}  // namespace
}  // namespace korvena
