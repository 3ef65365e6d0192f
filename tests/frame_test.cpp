#include "cad/frame.h"

#include <gtest/gtest.h>

#include <memory>

#include "cad/busy_cad.h"
#include "cadsim/model/object_kind.h"
#include "cadsim/model/simulation.h"
#include "tests/sim_platform.h"

namespace korvena {
namespace {

using testing::CommandBench;
using testing::Dialog;
using testing::ErrorDialog;

const Dialog kGeneric = ErrorDialog(L"操作不当或其它未知原因！  ");

cadsim::Drawing OneContour() {
    cadsim::Drawing drawing;
    drawing.Add({.kind = cadsim::EntityKind::kLwPolyline, .vertices = {{0, 0}, {1, 1}}});
    return drawing;
}

// The selection sets a run asked the CAD to add.
int SetsAdded(const cadsim::Simulation& cad) {
    int added = 0;
    for (const auto& call : cad.Calls()) {
        added += call.objectKind == cadsim::ObjectKind::kSelectionSets && call.member == L"Add";
    }
    return added;
}

// A command that makes a set, prompts and selects, then does `rest`.
void RunSelecting(CommandBench& bench, std::function<void(CommandFrame&, const DispatchPtr&)> rest = {}) {
    CommandFrame frame(bench.context);
    frame.Run([&](CommandFrame& f) {
        const DispatchPtr set = f.NewSelectionSet();
        f.CadPrompt(L"X");
        f.SelectOnScreen(set);
        if (rest) rest(f, set);
    });
}

TEST(CadPromptLine, FramesTheTextWithBarsThenLineFeedAndCarriageReturn) {
    const std::wstring line = CadPromptLine(L"X");
    EXPECT_EQ(line, L"======X======\n\r");
    EXPECT_EQ(line.size(), 15u);
}

TEST(CommandErrorMessage, OnlyAMissingMemberMeansAnOldCad) {
    EXPECT_EQ(CommandErrorMessage(438), L"该程序不支持R14，请选择R2000以上的版本！  ");
    EXPECT_EQ(CommandErrorMessage(13), L"操作不当或其它未知原因！  ");
    EXPECT_EQ(CommandErrorMessage(static_cast<std::int32_t>(0x800A01B6u)), L"操作不当或其它未知原因！  ");
}

TEST(ConnectCad, AttachesToTheRunningCadAndBringsItForward) {
    cadsim::Simulation cad(OneContour());
    CommandBench bench(&cad);
    ConnectCad(bench.link, bench.platform);
    EXPECT_EQ(bench.platform.Starts(), 0);
    EXPECT_TRUE(cad.Visible());
    EXPECT_EQ(bench.link.CadApp, cad.Application());
    EXPECT_NE(bench.link.CadDoc, nullptr);
    EXPECT_NE(bench.link.CadUtility, nullptr);
    EXPECT_EQ(bench.platform.Activations(), (std::vector<std::wstring>{cad.Caption()}));
    EXPECT_TRUE(bench.platform.Dialogs().empty());
}

TEST(ConnectCad, StartsTheCadOnceWhenNoneIsRunning) {
    cadsim::Simulation cad(OneContour());
    CommandBench bench(&cad, /*running=*/false);
    RunSelecting(bench);
    RunSelecting(bench);
    EXPECT_EQ(bench.platform.Starts(), 1);
    EXPECT_TRUE(bench.platform.Running());
    EXPECT_TRUE(bench.platform.Dialogs().empty());
}

TEST(ConnectCad, ACadThatCannotStartGivesItsDescriptionThenTheGenericDialog) {
    CommandBench bench(nullptr, /*running=*/false);
    RunSelecting(bench);
    EXPECT_EQ(bench.platform.Dialogs(),
              (std::vector<Dialog>{{L"无效的类字符串", std::nullopt, message_box::kOkOnly}, kGeneric}));
    EXPECT_EQ(bench.link.CadApp, nullptr);
}

TEST(ConnectCad, NoOpenDrawingKeepsTheEarlierDocumentAndFailsTheCommand) {
    cadsim::Simulation cad(OneContour());
    CommandBench bench(&cad);
    ConnectCad(bench.link, bench.platform);
    const DispatchPtr earlierDoc = bench.link.CadDoc;
    cad.SetDocumentOpen(false);
    RunSelecting(bench);
    EXPECT_EQ(bench.link.CadDoc, earlierDoc);
    EXPECT_EQ(bench.platform.Dialogs(), (std::vector{kGeneric}));
}

TEST(ConnectCad, NoDrawingOnTheFirstCommandLeavesTheDocumentEmpty) {
    cadsim::Simulation cad(OneContour());
    cad.SetDocumentOpen(false);
    CommandBench bench(&cad);
    RunSelecting(bench);
    EXPECT_EQ(bench.link.CadDoc, nullptr);
    EXPECT_EQ(bench.platform.Dialogs(), (std::vector{kGeneric}));  // ConnectCad itself says nothing
}

TEST(CommandFrame, ACadWindowThatCannotBeFoundEndsBeforeAnySet) {
    cadsim::Simulation cad(OneContour());
    cad.SetCaption(L"");
    CommandBench bench(&cad);
    RunSelecting(bench);
    EXPECT_EQ(bench.platform.Dialogs(), (std::vector{kGeneric}));
    EXPECT_EQ(SetsAdded(cad), 0);
    EXPECT_TRUE(cad.Prompts().empty());
}

TEST(CommandFrame, NamesEachSetWithAFreshRandomNumber) {
    cadsim::Simulation cad(OneContour());
    CommandBench bench(&cad);
    std::vector<std::wstring> names;
    for (int i = 0; i < 3; ++i) {
        RunSelecting(bench, [&](CommandFrame& f, const DispatchPtr& set) {
            names.push_back(ToText(set->Get(L"Name")));
            f.DeleteSet(set);
        });
    }
    for (const std::wstring& name : names) {
        EXPECT_TRUE(name == L"0" || (name.size() >= 2 && name.size() <= 8 && name[0] == L'.')) << name;
    }
    EXPECT_NE(names[0], names[1]);
    EXPECT_NE(names[1], names[2]);
    EXPECT_TRUE(cad.SelectionSets().empty());
}

TEST(CommandFrame, ANameTheCadAlreadyHasEndsInTheGenericDialog) {
    cadsim::Simulation cad(OneContour());
    CommandBench first(&cad);
    first.platform.SetTicks(1000);
    std::wstring name;  // the name the clock reading gives; the run leaves nothing
    RunSelecting(first, [&](CommandFrame& f, const DispatchPtr& set) {
        name = ToText(set->Get(L"Name"));
        f.DeleteSet(set);
    });
    cadsim::SimulationSetup setup{.drawing = OneContour(), .selectionSets = {{name, {}}}};
    cadsim::Simulation busy(std::move(setup));
    CommandBench second(&busy);
    second.platform.SetTicks(1000);
    RunSelecting(second);
    EXPECT_EQ(second.platform.Dialogs(), (std::vector{kGeneric}));
    ASSERT_EQ(busy.SelectionSets().size(), 1u);  // the other program's set is left alone
    EXPECT_EQ(busy.SelectionSets()[0].name, name);
}

TEST(CommandFrame, EveryEarlyEndDeletesTheSetsItCreatedAfterItsDialog) {
    cadsim::Simulation cad(OneContour());
    CommandBench bench(&cad);
    RunSelecting(bench, [](CommandFrame& f, const DispatchPtr&) {
        f.NewSelectionSet();
        f.EndEarly(L"count message");
    });
    EXPECT_EQ(bench.platform.Dialogs(), (std::vector{ErrorDialog(L"count message")}));
    EXPECT_TRUE(cad.SelectionSets().empty());

    RunSelecting(bench, [](CommandFrame&, const DispatchPtr&) { throw std::bad_alloc(); });
    EXPECT_EQ(bench.platform.Dialogs().back(), kGeneric);
    EXPECT_TRUE(cad.SelectionSets().empty());
}

TEST(CommandFrame, AFailingDeleteAfterAnEarlyEndStaysQuiet) {
    cadsim::Simulation cad(OneContour());
    CommandBench bench(&cad);
    cad.CurrentFaults().failures.push_back(
        {cadsim::MemberSelector{.object = cadsim::ObjectKind::kSelectionSet, .member = L"Delete"}});
    RunSelecting(bench, [](CommandFrame& f, const DispatchPtr&) { f.EndEarly(L"rejected"); });
    EXPECT_EQ(bench.platform.Dialogs(), (std::vector{ErrorDialog(L"rejected")}));
}

TEST(CommandFrame, WalksTheSetInSelectionOrder) {
    cadsim::Drawing drawing;
    for (int i = 0; i < 5; ++i) drawing.Add({.kind = cadsim::EntityKind::kText, .text = std::to_wstring(i)});
    cadsim::Simulation cad(std::move(drawing));
    cad.QueueSelection({4, 2, 5, 1});
    CommandBench bench(&cad);
    std::vector<std::wstring> texts;
    RunSelecting(bench, [&](CommandFrame& f, const DispatchPtr& set) {
        EXPECT_EQ(f.Count(set), 4);
        f.Walk(set, [&](const DispatchPtr& e) {
            EXPECT_TRUE(IsElevationText(f.EntityType(e)));
            texts.push_back(ToText(e->Get(L"textString")));
        });
    });
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"3", L"1", L"4", L"0"}));
}

// Giving up on a busy CAD surfaces in a command as CadBusyCancelled from the call that was refused.
TEST(CommandFrame, AGivenUpCommandEndsSilentlyAndTheNextOneDeletesItsSetsFirst) {
    cadsim::Simulation cad(OneContour());
    CommandBench bench(&cad);
    RunSelecting(bench, [&](CommandFrame& f, const DispatchPtr&) {
        f.NewSelectionSet();
        throw CadBusyCancelled{};
    });
    EXPECT_TRUE(bench.platform.Dialogs().empty());
    // Nothing was asked of the CAD after the refusal: both sets are still there.
    EXPECT_EQ(cad.SelectionSets().size(), 2u);
    EXPECT_EQ(bench.link.Open.Sets.size(), 2u);

    std::size_t setsWhenWorkStarts = 99;
    RunSelecting(bench, [&](CommandFrame& f, const DispatchPtr& set) {
        setsWhenWorkStarts = cad.SelectionSets().size();
        f.DeleteSet(set);
    });
    EXPECT_EQ(setsWhenWorkStarts, 1u);  // the new run's own set only
    EXPECT_TRUE(cad.SelectionSets().empty());
    EXPECT_TRUE(bench.link.Open.Sets.empty());
    EXPECT_TRUE(bench.platform.Dialogs().empty());
}

TEST(CommandFrame, AnUndoStepLeftOpenByAGivenUpCommandIsClosedByTheNextOne) {
    cadsim::Simulation cad(OneContour());
    CommandBench bench(&cad);
    RunSelecting(bench, [&](CommandFrame& f, const DispatchPtr&) {
        f.BeginChanges();
        throw CadBusyCancelled{};
    });
    EXPECT_TRUE(bench.platform.Dialogs().empty());
    EXPECT_TRUE(cad.UndoMarkOpen()) << "the CAD was asked for something after the user gave up";
    EXPECT_NE(bench.link.Open.UndoDocument, nullptr);

    bool markOpenWhenWorkStarts = true;
    RunSelecting(bench, [&](CommandFrame& f, const DispatchPtr& set) {
        markOpenWhenWorkStarts = cad.UndoMarkOpen();
        f.DeleteSet(set);
    });
    EXPECT_FALSE(markOpenWhenWorkStarts);
    EXPECT_EQ(bench.link.Open.UndoDocument, nullptr);
    EXPECT_TRUE(cad.SelectionSets().empty());
}

// Check lines are the run's own until the user is shown them: a run given up before leaves them open
// with its step and set, and closing what it left deletes them inside the step, before the step ends.
TEST(CommandFrame, UnshownCheckLinesOfAGivenUpRunAreDeletedInsideItsStep) {
    cadsim::Simulation cad(OneContour());
    CommandBench bench(&cad);
    const auto drawLine = [&] {
        const DispatchPtr modelSpace = ToObject(ToObject(bench.link.CadDoc)->Get(L"ModelSpace"));
        return ToObject(
            modelSpace->Call(L"AddLine", {std::vector<double>{0, 0, 0}, std::vector<double>{1, 1, 0}}));
    };
    std::vector<DispatchPtr> lines;  // the command's own references
    RunSelecting(bench, [&](CommandFrame& f, const DispatchPtr&) {
        f.BeginChanges();
        f.DrawnForChecking(lines.emplace_back(drawLine()));
        f.Ask(L"shown", L"t", message_box::kYesNo);
        f.BeginChanges();
        for (int i = 0; i < 2; ++i) f.DrawnForChecking(lines.emplace_back(drawLine()));
        throw CadBusyCancelled{};
    });
    EXPECT_EQ(bench.link.Open.CheckLines.size(), 2u);
    EXPECT_NE(bench.link.Open.UndoDocument, nullptr);
    EXPECT_EQ(bench.link.Open.Sets.size(), 1u);
    EXPECT_EQ(cad.CurrentDrawing().Count(), 4u);

    cad.ClearCalls();
    CloseWhatIsLeftOpen(bench.link);
    EXPECT_TRUE(bench.link.Open.Empty());
    EXPECT_EQ(cad.CurrentDrawing().Count(), 2u);  // the contour and the line the user was shown
    EXPECT_FALSE(cad.UndoMarkOpen());
    EXPECT_TRUE(cad.SelectionSets().empty());
    std::vector<std::wstring> calls;
    for (const auto& call : cad.Calls()) {
        calls.push_back(std::wstring(cadsim::ObjectKindName(call.objectKind)) + L" " + call.member);
    }
    EXPECT_EQ(calls, (std::vector<std::wstring>{L"Entity Delete", L"Entity Delete", L"Document EndUndoMark",
                                                L"SelectionSet Delete"}));

    // After an error the lines drawn stay in the drawing, the run's own or not.
    RunSelecting(bench, [&](CommandFrame& f, const DispatchPtr&) {
        f.DrawnForChecking(lines.emplace_back(drawLine()));
        throw TypeMismatch();
    });
    EXPECT_TRUE(bench.link.Open.Empty());
    EXPECT_EQ(cad.CurrentDrawing().Count(), 3u);
}

// A set of a CAD that refuses every call while `busy`, as a quiet wait gives them up.
class RefusingSet final : public Dispatch {
public:
    explicit RefusingSet(const bool& busy) : busy_(busy) {}
    Variant Get(std::wstring_view, const std::vector<Variant>&) override { return Answer(); }
    void Put(std::wstring_view, const Variant&) override { Answer(); }
    Variant Call(std::wstring_view, const std::vector<Variant>&) override { return Answer(); }
    std::vector<Variant> Enumerate() override { return {}; }
    int calls = 0;

private:
    Variant Answer() {
        if (busy_) throw CadBusyCancelled{};
        ++calls;
        return {};
    }
    const bool& busy_;
};

TEST(CloseWhatIsLeftOpen, KeepsTheRestWhileTheCadIsBusyAndDropsWhatIsGone) {
    bool busy = true;
    CadLink link;
    const auto first = std::make_shared<RefusingSet>(busy), second = std::make_shared<RefusingSet>(busy);
    link.Open.Sets = {first, second};
    EXPECT_THROW(CloseWhatIsLeftOpen(link), CadBusyCancelled);
    EXPECT_EQ(link.Open.Sets.size(), 2u);
    busy = false;
    CloseWhatIsLeftOpen(link);
    EXPECT_TRUE(link.Open.Empty());
    EXPECT_EQ(first->calls + second->calls, 2);

    // A CAD that has gone: every call fails, and nothing is left to try again.
    cadsim::Simulation cad(OneContour());
    CommandBench bench(&cad);
    RunSelecting(bench, [&](CommandFrame& f, const DispatchPtr&) {
        f.BeginChanges();
        throw CadBusyCancelled{};
    });
    cad.DieAfterCalls(0);
    CloseWhatIsLeftOpen(bench.link);
    EXPECT_TRUE(bench.link.Open.Empty());
}

TEST(CommandFrame, LeftoverSetsThatAreGoneAlreadyAreNoError) {
    cadsim::Simulation cad(OneContour());
    CommandBench bench(&cad);
    RunSelecting(bench, [&](CommandFrame&, const DispatchPtr&) { throw CadBusyCancelled{}; });
    ASSERT_EQ(cad.SelectionSets().size(), 1u);
    // The user deleted it in the CAD meanwhile.
    ToObject(bench.link.Open.Sets.at(0))->Call(L"Delete");
    RunSelecting(bench, [&](CommandFrame& f, const DispatchPtr& set) { f.DeleteSet(set); });
    EXPECT_TRUE(bench.platform.Dialogs().empty());
    EXPECT_TRUE(cad.SelectionSets().empty());
}

}  // namespace
}  // namespace korvena
