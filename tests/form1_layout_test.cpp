#include "app/form1_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace korvena::form1 {
namespace {

std::vector<const ControlRow*> ControlsIn(Container container) {
    std::vector<const ControlRow*> found;
    for (const ControlRow& row : kControls) {
        if (row.container == container) found.push_back(&row);
    }
    return found;
}

bool Overlap(const ControlRow& a, const ControlRow& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
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
            const ControlRow& frame =
                RowOf(row.container == Container::Frame1 ? ControlId::Frame1 : ControlId::Frame2);
            width = frame.width;
            height = frame.height;
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
    for (const auto& [label, input] : rows) {
        EXPECT_EQ(RowOf(label).container, RowOf(input).container);
        EXPECT_EQ(RowOf(label).top, RowOf(input).top + 75);
        EXPECT_LE(RowOf(label).left + RowOf(label).width, RowOf(input).left);
        // 180 twips per full-width character at 9 point, on one line.
        EXPECT_EQ(RowOf(label).width, 180 * static_cast<int>(RowOf(label).text.size()));
        EXPECT_EQ(RowOf(label).height, 180);
    }
}

TEST(Form1Layout, TabIndicesAreZeroToSixteenOnce) {
    std::set<int> indices;
    for (const ControlRow& row : kControls) indices.insert(row.tabIndex);
    EXPECT_EQ(indices.size(), kControlCount);
    EXPECT_EQ(*indices.begin(), 0);
    EXPECT_EQ(*indices.rbegin(), 16);
}

TEST(Form1Layout, CreationOrderGivesTheTabCycle) {
    std::vector<ControlId> focusable;
    for (const ControlId id : CreationOrder()) {
        if (TakesFocus(RowOf(id).kind)) focusable.push_back(id);
    }
    const std::vector<ControlId> expected = {
        ControlId::Text3,        ControlId::Text2,        ControlId::Text1,    ControlId::Text5,
        ControlId::Command5,     ControlId::Command4,     ControlId::Command1, ControlId::Command6,
        ControlId::xpcmdbutton6, ControlId::xpcmdbutton7, ControlId::Command3};
    EXPECT_EQ(focusable, expected);
}

TEST(Form1Layout, FramesComeLastSoTheyLieBelowTheirControls) {
    const auto order = CreationOrder();
    EXPECT_EQ(RowOf(order[kControlCount - 2]).kind, ControlKind::Frame);
    EXPECT_EQ(RowOf(order[kControlCount - 1]).kind, ControlKind::Frame);
    EXPECT_EQ(order.front(), ControlId::Text3);  // the first to take the focus
}

TEST(Form1Layout, InputsMapBothWays) {
    for (const Input input : {Input::Text1, Input::Text2, Input::Text3, Input::Text5}) {
        EXPECT_EQ(InputOf(InputId(input)), input);
        EXPECT_EQ(RowOf(InputId(input)).kind, ControlKind::TextInput);
    }
    EXPECT_EQ(InputOf(ControlId::Command1), std::nullopt);
    EXPECT_EQ(InputOf(ControlId::Label1), std::nullopt);
}

TEST(Form1Layout, IdentifiersStayClearOfTheDialogKeys) {
    EXPECT_FALSE(IsControlId(1));  // IDOK, sent for Enter
    EXPECT_FALSE(IsControlId(2));  // IDCANCEL, sent for Esc
    EXPECT_TRUE(IsControlId(static_cast<int>(ControlId::Frame2)));
    EXPECT_TRUE(IsControlId(static_cast<int>(ControlId::Command3)));
    EXPECT_FALSE(IsControlId(static_cast<int>(ControlId::Command3) + 1));
}

TEST(ToClientPixels, PlacesFrameChildrenByTheFrameAtStandardResolution) {
    EXPECT_EQ(ToClientPixels(RowOf(ControlId::Text1), 15, 15), (PixelBox{152, 128, 57, 22}));
    EXPECT_EQ(ToClientPixels(RowOf(ControlId::Text3), 15, 15), (PixelBox{152, 192, 57, 22}));
    EXPECT_EQ(ToClientPixels(RowOf(ControlId::Text5), 15, 15), (PixelBox{168, 24, 57, 22}));
    EXPECT_EQ(ToClientPixels(RowOf(ControlId::Label1), 15, 15), (PixelBox{24, 133, 120, 12}));
    // 3160 twips into the frame is 210.67 pixels: 211, after the frame's own 8.
    EXPECT_EQ(ToClientPixels(RowOf(ControlId::Command6), 15, 15), (PixelBox{219, 128, 41, 25}));
    EXPECT_EQ(ToClientPixels(RowOf(ControlId::Command3), 15, 15), (PixelBox{192, 280, 73, 25}));
    EXPECT_EQ(ToClientPixels(RowOf(ControlId::Frame1), 15, 15), (PixelBox{8, 104, 265, 161}));
}

TEST(ToClientPixels, ScalesOneAndAHalfTimesAt144Dpi) {
    const double tpp = twips::TwipsPerPixel(144);
    EXPECT_EQ(ToClientPixels(RowOf(ControlId::Text1), tpp, tpp), (PixelBox{228, 192, 86, 33}));
    EXPECT_EQ(ToClientPixels(RowOf(ControlId::Frame2), tpp, tpp), (PixelBox{12, 12, 398, 134}));
    EXPECT_EQ(ToClientPixels(RowOf(ControlId::xpcmdbutton7), tpp, tpp), (PixelBox{24, 420, 110, 38}));
}

}  // namespace
}  // namespace korvena::form1
