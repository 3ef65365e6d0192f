#include "cadsim/model/busy_schedule.h"

#include <gtest/gtest.h>

#include "cadsim/model/simulation.h"
#include "cadsim/model/simulation_file.h"

namespace korvena::cadsim {
namespace {

TEST(BusySchedule, ASpellStartsWhenItsSelectionHasEndedAndLastsItsTime) {
    BusySchedule schedule(
        {{.afterSelection = 2, .milliseconds = 3000}, {.afterSelection = 1, .milliseconds = 500}});
    EXPECT_FALSE(schedule.Busy(0));
    schedule.Reached(1, 0, 100);
    EXPECT_TRUE(schedule.Busy(100));
    EXPECT_TRUE(schedule.Busy(599));
    EXPECT_FALSE(schedule.Busy(600));
    schedule.Reached(1, 0, 700);  // the same selection again starts nothing
    EXPECT_FALSE(schedule.Busy(700));
    schedule.Reached(2, 0, 1000);
    EXPECT_TRUE(schedule.Busy(3999));
    EXPECT_FALSE(schedule.Busy(4000));
}

TEST(BusySchedule, ASpellCanWaitForAnUndoMarkInsteadOfASelection) {
    BusySchedule schedule({{.afterUndoMark = 2, .milliseconds = 1000}});
    schedule.Reached(5, 1, 100);
    EXPECT_FALSE(schedule.Busy(100));
    schedule.Reached(5, 2, 200);
    EXPECT_TRUE(schedule.Busy(1199));
    EXPECT_FALSE(schedule.Busy(1200));
}

TEST(BusySchedule, SpellsStartedFromOutsideOverlapAndNeverShortenOneAnother) {
    BusySchedule schedule;
    schedule.StartSpell(1000, 0);
    schedule.StartSpell(200, 100);
    EXPECT_EQ(schedule.BusyUntil(), 1000);
    schedule.StartSpell(2000, 500);
    EXPECT_EQ(schedule.BusyUntil(), 2500);
    EXPECT_FALSE(schedule.Busy(2500));
}

TEST(BusySchedule, TheSimulationCountsEndedSelectionsAndTheFileKeepsTheSpells) {
    SimulationSetup setup;
    setup.faults.busySpells = {{.afterSelection = 1, .milliseconds = 25000}};
    setup.selections = {{}, {}};
    Simulation cad(setup);
    const DispatchPtr sets =
        ToObject(ToObject(cad.Application()->Get(L"ActiveDocument"))->Get(L"SelectionSets"));
    const DispatchPtr set = ToObject(sets->Call(L"Add", {L"a"}));
    EXPECT_EQ(cad.SelectionsEnded(), 0);
    set->Call(L"SelectOnScreen");
    set->Call(L"SelectOnScreen");
    EXPECT_EQ(cad.SelectionsEnded(), 2);
    EXPECT_EQ(cad.UndoMarksStarted(), 0);
    ToObject(cad.Application()->Get(L"ActiveDocument"))->Call(L"StartUndoMark");
    EXPECT_EQ(cad.UndoMarksStarted(), 1);

    const SimulationSetup read = ParseSimulationSetup(
        R"({"faults": {"busySpells": [{"afterSelection": 3, "milliseconds": 25000}, {"milliseconds": 10},
                                      {"afterUndoMark": 2, "milliseconds": 5}]}})");
    EXPECT_EQ(read.faults.busySpells, (std::vector<BusySpell>{{.afterSelection = 3, .milliseconds = 25000},
                                                              {.afterSelection = 1, .milliseconds = 10},
                                                              {.afterUndoMark = 2, .milliseconds = 5}}));
    EXPECT_EQ(ParseSimulationSetup(SimulationStateJson(Simulation(read))).faults.busySpells,
              read.faults.busySpells);
    EXPECT_THROW(
        ParseSimulationSetup(R"({"faults": {"busySpells": [{"afterSelection": 0, "milliseconds": 1}]}})"),
        std::exception);
    EXPECT_THROW(
        ParseSimulationSetup(
            R"({"faults": {"busySpells": [{"afterSelection": 1, "afterUndoMark": 1, "milliseconds": 1}]}})"),
        std::exception);
}

}  // namespace
}  // namespace korvena::cadsim
