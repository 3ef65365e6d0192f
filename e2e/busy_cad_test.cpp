// A CAD that is busy and refuses automation calls, end to end: korvena.exe waits it out, asks the user
// after ten seconds, gives up cleanly on Cancel and closes what the run left open once the CAD is free or
// before it ends, and stops at once when the CAD has gone. Also the exit and close requests and the
// command and web-link buttons while a command runs.

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "cad/win/com_apartment.h"
#include "e2e/support/about_window.h"
#include "e2e/support/cadsim_process.h"
#include "e2e/support/korvena_window.h"
#include "e2e/support/program.h"
#include "e2e/support/user_setting.h"

namespace korvena::e2e {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

const std::wstring kBusyQuestion =
    L"CAD 正忙，暂时不能响应本程序。\r\n请先在 CAD 中结束正在进行的命令或关闭它的对话框，然后点“重试”；"
    L"点“取消”结束本次操作。";

// Three contours, scripted selections, and `spells` as the drawing's busy spells.
std::string ContourMap(const std::string& selections, const std::string& spells) {
    return R"({
  "caption": "CadSim - [busy-test.dwg]",
  "entities": [
    {"kind": "lwpolyline", "color": 7, "vertices": [[0, 0], [40, 0]]},
    {"kind": "lwpolyline", "color": 7, "vertices": [[0, 10], [40, 10]]},
    {"kind": "text", "color": 7, "insertionPoint": [50, 10, 0], "height": 3, "textString": "120.9"}
  ],
  "selections": )" +
           selections + R"(,
  "faults": {"busySpells": )" +
           spells + R"(}
})";
}

constexpr char kScatterMap[] = R"({
  "caption": "CadSim - [busy-scatter.dwg]",
  "entities": [
    {"kind": "circle", "color": 7, "center": [10, 50, 0], "radius": 2},
    {"kind": "text", "color": 7, "insertionPoint": [14, 50, 0], "height": 3, "textString": "123.45"}
  ],
  "selections": [[1, 2]],
  "faults": {"busySpells": [{"afterSelection": 1, "milliseconds": 3000}]}
})";

class BusyCad : public ::testing::Test {
protected:
    void SetUp() override { KillProcessesNamed(L"cadsim.exe"); }
    void TearDown() override { KillProcessesNamed(L"cadsim.exe"); }

    // Waits until the simulator is busy; a spell that never came fails the test.
    static void ExpectBusySoon(const CadSimProcess& cad) {
        EXPECT_TRUE(WaitFor([&] { return cad.Busy(); }, 20s)) << "the CAD never got busy";
    }

    ComApartment apartment;
    TempFolder folder;
};

TEST_F(BusyCad, ThreeSecondsOfRefusalsAreWaitedOutSilentlyByEveryCommand) {
    CadSimProcess cad(folder.Path(),
                      ContourMap("[[1, 2], [2], [3], [1]]", R"([{"afterSelection": 1, "milliseconds": 3000},
                                                              {"afterSelection": 3, "milliseconds": 3000},
                                                              {"afterSelection": 4, "milliseconds": 3000}])"));
    KorvenaWindow korvena;

    // Sequential: busy right after the selection. A second command clicked meanwhile starts nothing,
    // nor does the web link open its site and the modal About window inside the wait (were the shell
    // asked, it would start nothing here).
    const UserSetting browser{L"Software\\Wine\\WineBrowser", L"Browsers", L"true"};
    korvena.Type(ControlId::Text1, L"100");
    korvena.Type(ControlId::Text2, L"5");
    korvena.Click(ControlId::Command1);
    ExpectBusySoon(cad);
    korvena.Click(ControlId::Command4);
    korvena.Click(ControlId::Command6);
    korvena.Click(ControlId::xpcmdbutton7);
    json state;
    ASSERT_TRUE(WaitFor([&] { return NoSetLeft(state = cad.State()) && CommandLineHas(state, "105"); }, 30s));
    EXPECT_EQ(state["entities"][0]["elevation"], 100.0);
    EXPECT_EQ(state["entities"][1]["elevation"], 105.0);
    EXPECT_EQ(state["entities"][1]["color"], 250);
    EXPECT_FALSE(korvena.WaitForMessageBox(1s));
    EXPECT_FALSE(AboutWindow::Shown(korvena.ProcessId()));
    EXPECT_TRUE(IsWindowEnabled(korvena.Handle()));
    EXPECT_FALSE(CommandLineHas(cad.State(), "需赋值的等高线"));
    EXPECT_EQ(cad.State()["selections"].size(), 3u) << "a dropped click took a scripted selection";

    // Matching: busy after its second selection (the references).
    korvena.Click(ControlId::Command4);
    ExpectBusySoon(cad);
    ASSERT_TRUE(WaitFor(
        [&] { return (state = cad.State())["entities"][1]["elevation"] == 120.0 && NoSetLeft(state); }, 30s));
    EXPECT_FALSE(korvena.WaitForMessageBox(1s));

    // Pick: busy right after the selection.
    korvena.Type(ControlId::Text1, L"1");
    korvena.Click(ControlId::Command6);
    ExpectBusySoon(cad);
    ASSERT_TRUE(WaitFor([&] { return korvena.Text(ControlId::Text1) == L"100"; }, 30s));
    EXPECT_TRUE(WaitFor([&] { return NoSetLeft(cad.State()); }, 10s));
    EXPECT_FALSE(korvena.WaitForMessageBox(1s));
}

TEST_F(BusyCad, ScatterWaitsWhileDrawingTheLinesAndAfterTheAnswer) {
    CadSimProcess cad(folder.Path(), kScatterMap);
    KorvenaWindow korvena;
    korvena.Click(ControlId::Command5);
    ExpectBusySoon(cad);
    const auto box = korvena.WaitForMessageBox(30s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, L"检查");
    // Busy again from the answer on: the heights are written once it is over.
    cad.StartBusySpell(3s);
    ASSERT_TRUE(Answer(*box, IDYES));
    json state;
    ASSERT_TRUE(WaitFor(
        [&] { return NoSetLeft(state = cad.State()) && CommandLineHas(state, "散点高程赋值完成"); }, 30s));
    EXPECT_EQ(state["entities"][0]["center"], json::parse("[10.0, 50.0, 123.45]"));
    EXPECT_EQ(state["entities"][0]["color"], 251);
    EXPECT_FALSE(korvena.WaitForMessageBox(1s));
}

TEST_F(BusyCad, AfterTenSecondsTheUserIsAskedAndRetryFinishesTheRun) {
    CadSimProcess cad(folder.Path(),
                      ContourMap("[[1, 2]]", R"([{"afterSelection": 1, "milliseconds": 12000}])"));
    KorvenaWindow korvena;
    korvena.Type(ControlId::Text1, L"100");
    korvena.Click(ControlId::Command1);
    ExpectBusySoon(cad);
    const auto box = korvena.WaitForMessageBox(20s);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, L"提示");
    EXPECT_EQ(box->text, kBusyQuestion);
    EXPECT_EQ(GetWindow(box->window, GW_OWNER), korvena.Handle());
    EXPECT_NE(GetDlgItem(box->window, IDRETRY), nullptr);
    EXPECT_NE(GetDlgItem(box->window, IDCANCEL), nullptr);
    // Retry is the default button.
    EXPECT_EQ(GetWindowLongW(GetDlgItem(box->window, IDRETRY), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_TRUE(cad.Busy()) << "asked before ten seconds of refusals";

    ASSERT_TRUE(WaitFor([&] { return !cad.Busy(); }, 20s));
    ASSERT_TRUE(Answer(*box, IDRETRY));
    json state;
    ASSERT_TRUE(WaitFor([&] { return NoSetLeft(state = cad.State()) && CommandLineHas(state, "102"); }, 20s));
    EXPECT_EQ(state["entities"][1]["elevation"], 102.0);
    EXPECT_FALSE(korvena.WaitForMessageBox(1s));
}

// Cancel in the busy box with the run's undo step open, three times in one CAD that turns busy right
// after each undo mark: (a) the program asks the busy CAD nothing more, then closes the step and deletes
// the set on its own once the CAD is free, with no further command; (b) an exit while the CAD is busy
// for about two seconds more waits for it and closes them before the end; (c) an exit while the CAD
// stays busy ends the program within three seconds all the same, saying nothing.
TEST_F(BusyCad, WhatACancelledRunLeavesOpenIsClosedOnceTheCadIsFreeOrTheProgramEndsWithinThreeSeconds) {
    CadSimProcess cad(folder.Path(), ContourMap("[[1, 2], [1, 2], [1, 2]]", R"([
        {"afterUndoMark": 1, "milliseconds": 12000},
        {"afterUndoMark": 2, "milliseconds": 12000},
        {"afterUndoMark": 3, "milliseconds": 60000}])"));
    const auto cancelWithTheStepOpen = [&](const KorvenaWindow& korvena) {
        korvena.Type(ControlId::Text1, L"100");
        korvena.Click(ControlId::Command1);
        const auto box = korvena.WaitForMessageBox(20s);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text, kBusyQuestion);
        ASSERT_TRUE(Answer(*box, IDCANCEL));
        EXPECT_TRUE(korvena.WaitForNoMessageBox(5s));
        const json state = cad.State();
        EXPECT_TRUE(state["undoMarkOpen"]);
        EXPECT_EQ(state["selectionSets"].size(), 1u);
    };
    // Exits at once and waits for the end: true when the program ended within three seconds without a
    // message box meanwhile. The three seconds count from the moment the program starts to end, when its
    // main window goes (a loaded machine may take a while to hand it the click).
    const auto exitsQuietlyWithinThreeSeconds = [](KorvenaWindow& korvena) {
        korvena.Click(ControlId::Command3);
        EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(korvena.Handle()); }, 10s));
        const auto asked = std::chrono::steady_clock::now();
        bool boxSeen = false;
        const bool ended = WaitFor(
            [&] {
                boxSeen |= korvena.WaitForMessageBox(0ms).has_value();
                return !korvena.Process().Running();
            },
            3s, 10ms);
        EXPECT_TRUE(ended) << "still running after "
                           << std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count()
                           << " s";
        EXPECT_FALSE(boxSeen);
        return ended && !boxSeen;
    };

    {
        KorvenaWindow korvena;
        // (a)
        cancelWithTheStepOpen(korvena);
        ASSERT_TRUE(WaitFor([&] { return !cad.Busy(); }, 20s));
        json state;
        EXPECT_TRUE(WaitFor([&] { return !(state = cad.State())["undoMarkOpen"] && NoSetLeft(state); }, 10s));
        EXPECT_EQ(state["prompts"].size(), 1u) << "more than the cancelled run's prompt";
        EXPECT_EQ(state["entities"][0]["color"], 7);
        EXPECT_FALSE(korvena.WaitForMessageBox(500ms));
        // (b)
        cancelWithTheStepOpen(korvena);
        EXPECT_TRUE(cad.Busy());
        EXPECT_TRUE(exitsQuietlyWithinThreeSeconds(korvena));
        state = cad.State();
        EXPECT_FALSE(state["undoMarkOpen"]);
        EXPECT_TRUE(NoSetLeft(state));
    }
    // (c)
    KorvenaWindow korvena;
    cancelWithTheStepOpen(korvena);
    EXPECT_TRUE(exitsQuietlyWithinThreeSeconds(korvena));
    EXPECT_TRUE(cad.Busy());
    EXPECT_TRUE(cad.State()["undoMarkOpen"]) << "the busy CAD took a call";
}

TEST_F(BusyCad, ACadThatDiesWhileBusyEndsTheCommandAsADeadCad) {
    CadSimProcess cad(folder.Path(),
                      ContourMap("[[1, 2]]", R"([{"afterSelection": 1, "milliseconds": 60000}])"));
    KorvenaWindow korvena;
    korvena.Click(ControlId::Command1);
    ExpectBusySoon(cad);
    std::this_thread::sleep_for(500ms);
    cad.Kill();
    ExpectErrorDialog(korvena, L"操作不当或其它未知原因！  ");
    EXPECT_FALSE(korvena.WaitForMessageBox(1s));
}

// The user selects in the CAD's window; meanwhile the program is asked to end.
void ExitRequestedDuringTheSelection(const std::function<void(KorvenaWindow&)>& requestEnd) {
    KillProcessesNamed(L"cadsim.exe");
    TempFolder folder;
    CadSimProcess cad(folder.Path(), ContourMap("[]", "[]"));
    KorvenaWindow korvena;
    korvena.Type(ControlId::Text1, L"100");
    korvena.Click(ControlId::Command1);
    ASSERT_TRUE(WaitFor([&] { return cad.Selecting(); }, 20s));
    requestEnd(korvena);
    EXPECT_TRUE(StaysTrue([&] { return korvena.Process().Running(); })) << "ended in the middle of the run";
    cad.ClickEntity(2);
    cad.PressEnter();
    EXPECT_EQ(korvena.Process().Wait(20s), 0);
    const json state = cad.State();
    EXPECT_EQ(state["entities"][1]["elevation"], 100.0);
    EXPECT_TRUE(NoSetLeft(state));
    KillProcessesNamed(L"cadsim.exe");
}

TEST_F(BusyCad, ExitOrCloseDuringASelectionEndsTheProgramOnceTheRunIsDone) {
    ExitRequestedDuringTheSelection([](KorvenaWindow& korvena) { korvena.Click(ControlId::Command3); });
    ExitRequestedDuringTheSelection(
        [](KorvenaWindow& korvena) { PostMessageW(korvena.Handle(), WM_CLOSE, 0, 0); });
}

}  // namespace
}  // namespace korvena::e2e

const korvena::e2e::Program korvena::e2e::kThisProgram = KorvenaAndCadSimTests("busy_cad_test");
