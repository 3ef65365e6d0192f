#include "commands/pick_elevation.h"

#include <gtest/gtest.h>

#include "cadsim/model/simulation.h"
#include "tests/sim_platform.h"

namespace korvena {
namespace {

using cadsim::EntityKind;
using testing::CommandBench;
using testing::ErrorDialog;

class Pick : public ::testing::Test {
protected:
    int Contour(double elevation) {
        return cad.CurrentDrawing()
            .Add({.kind = EntityKind::kLwPolyline, .vertices = {{0, 0}, {1, 0}}, .elevation = elevation})
            .id;
    }
    int Text(std::wstring text, EntityKind kind = EntityKind::kText) {
        return cad.CurrentDrawing().Add({.kind = kind, .height = 2, .text = std::move(text)}).id;
    }
    std::wstring Picked(std::vector<int> selection) {
        bench.window.SetText(Input::Text1, L"old");
        cad.QueueSelection(std::move(selection));
        PickElevation(bench.context);
        return bench.window.Text(Input::Text1);
    }

    cadsim::Simulation cad{cadsim::Drawing{}};
    CommandBench bench{&cad};
};

TEST_F(Pick, ContoursAndTextsGiveTheirHeight) {
    EXPECT_EQ(Picked({Contour(125.5)}), L"125.5");
    EXPECT_EQ(Picked({Contour(0.5)}), L"0.5");
    EXPECT_EQ(Picked({Contour(0)}), L"0");
    EXPECT_EQ(Picked({Text(L"130")}), L"130");
    EXPECT_EQ(Picked({Text(L"130.6", EntityKind::kMText)}), L"130");
    EXPECT_EQ(Picked({Text(L"-0.5")}), L"-1");
    EXPECT_EQ(Picked({Text(L"高程130")}), L"0");
    EXPECT_EQ(Picked({}), L"0");
    EXPECT_TRUE(bench.platform.Dialogs().empty());
    EXPECT_TRUE(cad.SelectionSets().empty());
    EXPECT_EQ(cad.Prompts().back(), L"======点选方法选择已赋高程的等高线或高程文本======\n\r");
    EXPECT_EQ(cad.Prompts().size(), 8u);  // no closing line
    EXPECT_EQ(bench.window.FocusMoves(), 0);
}

TEST_F(Pick, TheLastEntityInTheSetDecides) {
    const int first = Contour(90), last = Text(L"141.2");
    EXPECT_EQ(Picked({first, last}), L"141");
    EXPECT_EQ(Picked({last, first}), L"90");
}

TEST_F(Pick, EntityWithoutElevationEndsTheCommandAndKeepsText1) {
    // The CAD answers 438 for a circle's Elevation, so the frame's member-missing dialog shows.
    const int circle = cad.CurrentDrawing().Add({.kind = EntityKind::kCircle, .radius = 1}).id;
    EXPECT_EQ(Picked({Contour(100), circle}), L"old");
    EXPECT_EQ(bench.platform.Dialogs(), std::vector{ErrorDialog(kOldCadMessage)});
    EXPECT_TRUE(cad.SelectionSets().empty());
}

TEST_F(Pick, FailingReadKeepsText1) {
    cad.CurrentFaults().failures.push_back({cadsim::MemberSelector{.member = L"textString"}});
    EXPECT_EQ(Picked({Contour(100), Text(L"120")}), L"old");
    EXPECT_EQ(bench.platform.Dialogs(), std::vector{ErrorDialog(kUnknownErrorMessage)});
}

}  // namespace
}  // namespace korvena
