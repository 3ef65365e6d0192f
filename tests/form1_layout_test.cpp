#include "app/form1_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace korvena::form1 {
namespace {

using ui::PixelBox;

std::vector<const ControlRow*> ControlsIn(Container container) {
    std::vector<const ControlRow*> found;
    for (const ControlRow& row : kControls) {
        if (row.container == container) found.push_back(&row);
    }
    return found;
}

template <class Box>
bool Overlap(const Box& a, const Box& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

template <class Box>
bool Inside(const Box& inner, const Box& outer) {
    return inner.left >= outer.left && inner.top >= outer.top &&
           inner.left + inner.width <= outer.left + outer.width &&
           inner.top + inner.height <= outer.top + outer.height;
}

const ControlRow& FrameOf(const ControlRow& row) {
    return kControls.RowOf(row.container == Container::Frame1 ? ControlId::Frame1 : ControlId::Frame2);
}

TEST(Form1Layout, NoTwoControlsOfOneContainerOverlap) {
    for (const Container container : {Container::Window, Container::Frame1, Container::Frame2}) {
        const auto controls = ControlsIn(container);
        for (std::size_t i = 0; i < controls.size(); ++i) {
            for (std::size_t j = i + 1; j < controls.size(); ++j) {
                EXPECT_FALSE(Overlap(*controls[i], *controls[j]))
                    << static_cast<int>(controls[i]->id) << " and " << static_cast<int>(controls[j]->id);
            }
        }
    }
}

TEST(Form1Layout, EveryControlFitsInsideItsContainer) {
    for (const ControlRow& row : kControls) {
        int width = kClientWidthTwips;
        int height = kClientHeightTwips;
        if (row.container != Container::Window) {
            width = FrameOf(row).width;
            height = FrameOf(row).height;
        }
        EXPECT_GE(row.left, 0);
        EXPECT_GE(row.top, 0);
        EXPECT_LE(row.left + row.width, width) << static_cast<int>(row.id);
        EXPECT_LE(row.top + row.height, height) << static_cast<int>(row.id);
    }
}

TEST(Form1Layout, LabelsStandCentredBesideTheirInputs) {
    const std::pair<ControlId, ControlId> rows[] = {{ControlId::Label1, ControlId::Text1},
                                                    {ControlId::Label2, ControlId::Text2},
                                                    {ControlId::Label3, ControlId::Text3},
                                                    {ControlId::Label4, ControlId::Text5}};
    for (const auto& [labelId, inputId] : rows) {
        const ControlRow& label = kControls.RowOf(labelId);
        const ControlRow& input = kControls.RowOf(inputId);
        EXPECT_EQ(label.container, input.container);
        EXPECT_EQ(label.top, input.top + 75);
        EXPECT_LE(label.left + label.width, input.left);
        // 180 twips per full-width character at 9 point, on one line.
        EXPECT_EQ(label.width, 180 * static_cast<int>(label.text.size()));
        EXPECT_EQ(label.height, 180);
    }
}

TEST(Form1Layout, TabIndicesNumberTheControlsOnceEach) {
    std::set<int> indices;
    for (const ControlRow& row : kControls) indices.insert(row.tabIndex);
    EXPECT_EQ(indices.size(), kControlCount);
    EXPECT_EQ(*indices.begin(), 0);
    EXPECT_EQ(*indices.rbegin(), static_cast<int>(kControlCount) - 1);
}

// Tab and Shift+Tab follow the creation order: it must visit every input and button once, by tab index.
TEST(Form1Layout, TheTabOrderVisitsEachInputOnceByTabIndex) {
    std::vector<ControlId> focusable;
    for (const ControlId id : CreationOrder()) {
        if (TakesFocus(kControls.RowOf(id).kind)) focusable.push_back(id);
    }
    const std::set<ControlId> distinct(focusable.begin(), focusable.end());
    EXPECT_EQ(distinct.size(), focusable.size());
    EXPECT_TRUE(std::is_sorted(focusable.begin(), focusable.end(), [](ControlId a, ControlId b) {
        return kControls.RowOf(a).tabIndex < kControls.RowOf(b).tabIndex;
    }));
    for (const ControlRow& row : kControls) {
        EXPECT_EQ(distinct.contains(row.id), TakesFocus(row.kind)) << static_cast<int>(row.id);
    }
    for (const Input input : {Input::Text1, Input::Text2, Input::Text3, Input::Text5}) {
        EXPECT_EQ(std::count(focusable.begin(), focusable.end(), InputId(input)), 1);
    }
}

TEST(Form1Layout, FramesComeLastSoTheyLieBelowTheirControls) {
    const auto order = CreationOrder();
    EXPECT_EQ(kControls.RowOf(order[kControlCount - 2]).kind, ControlKind::Frame);
    EXPECT_EQ(kControls.RowOf(order[kControlCount - 1]).kind, ControlKind::Frame);
    EXPECT_TRUE(TakesFocus(kControls.RowOf(order.front()).kind));  // the first to take the focus
}

TEST(Form1Layout, InputsMapBothWays) {
    for (const Input input : {Input::Text1, Input::Text2, Input::Text3, Input::Text5}) {
        EXPECT_EQ(InputOf(InputId(input)), input);
        EXPECT_EQ(kControls.RowOf(InputId(input)).kind, ControlKind::TextInput);
    }
    EXPECT_EQ(InputOf(ControlId::Command1), std::nullopt);
    EXPECT_EQ(InputOf(ControlId::Label1), std::nullopt);
}

TEST(Form1Layout, IdentifiersStayClearOfTheDialogKeys) {
    EXPECT_FALSE(kControls.IsControlId(1));  // IDOK, sent for Enter
    EXPECT_FALSE(kControls.IsControlId(2));  // IDCANCEL, sent for Esc
    EXPECT_TRUE(kControls.IsControlId(static_cast<int>(ControlId::Frame2)));
    EXPECT_TRUE(kControls.IsControlId(static_cast<int>(ControlId::Command3)));
    EXPECT_FALSE(kControls.IsControlId(static_cast<int>(ControlId::Command3) + 1));
}

// In pixels, on every screen: a control in a frame stands inside the frame, everything inside the client
// area, and no two controls overlap but a frame and its own controls.
TEST(ToClientPixels, KeepsTheLayoutWholeOnEveryScreen) {
    for (const int dpi : {96, 120, 144, 168, 192}) {
        SCOPED_TRACE(dpi);
        const double tpp = twips::TwipsPerPixel(dpi);
        const PixelBox client{0, 0, twips::ToPixels(kClientWidthTwips, tpp),
                              twips::ToPixels(kClientHeightTwips, tpp)};
        for (const ControlRow& row : kControls) {
            const PixelBox box = ToClientPixels(row, tpp, tpp);
            EXPECT_TRUE(Inside(box, client)) << static_cast<int>(row.id);
            if (row.container != Container::Window) {
                EXPECT_TRUE(Inside(box, ToClientPixels(FrameOf(row), tpp, tpp))) << static_cast<int>(row.id);
            }
            for (const ControlRow& other : kControls) {
                const bool related = other.id == row.id ||
                                     (row.container != Container::Window && FrameOf(row).id == other.id) ||
                                     (other.container != Container::Window && FrameOf(other).id == row.id);
                if (!related) {
                    EXPECT_FALSE(Overlap(box, ToClientPixels(other, tpp, tpp)))
                        << static_cast<int>(row.id) << " and " << static_cast<int>(other.id);
                }
            }
        }
    }
}

TEST(ToClientPixels, PlacesAFrameChildByTheFrameConvertedOnItsOwn) {
    const double tpp = twips::TwipsPerPixel(144);
    for (const ControlRow& row : kControls) {
        if (row.container == Container::Window) continue;
        const PixelBox frame = ToClientPixels(FrameOf(row), tpp, tpp);
        const PixelBox own = ui::PixelBoxOf(row, tpp, tpp);
        EXPECT_EQ(ToClientPixels(row, tpp, tpp),
                  (PixelBox{frame.left + own.left, frame.top + own.top, own.width, own.height}));
    }
}

}  // namespace
}  // namespace korvena::form1
