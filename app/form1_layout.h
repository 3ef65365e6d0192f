#pragma once
// The main window's design: every control with its container, text, geometry in twips and tab index,
// and the rules that place it in the client area and give the creation order. No window header here:
// the table and its rules are tested on the host; form1.cpp creates the controls from them.

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

#include "cad/main_window_inputs.h"
#include "ui/control_table.h"
#include "ui/font.h"

namespace korvena::form1 {

inline constexpr std::wstring_view kCaption = L"Korvena程序 V2.0";
inline constexpr int kClientWidthTwips = 4200;
inline constexpr int kClientHeightTwips = 4800;
inline constexpr ui::Font kCaptionFont{
    .face = L"宋体", .points = 9, .chinese = true};  // frames, labels, buttons
inline constexpr ui::Font kInputFont{.face = L"宋体", .points = 10.5, .chinese = true};
// CenterForm puts the main window one fifth of the free height down from the top
// (twips::CenterFormPosition).
inline constexpr int kCenterFormShare = 5;
inline constexpr std::wstring_view kLabelTip = L"设计线桩号";

// Control identifiers, in the order of the rows of kControls. None is 1 or 2 (IDOK, IDCANCEL), which
// the dialog keys send for Enter and Esc.
enum class ControlId : int {
    Frame2 = 100,
    Text5,
    Command5,
    Label4,
    Frame1,
    Text1,
    Text2,
    Text3,
    Command4,
    Command1,
    Command6,
    Label1,
    Label2,
    Label3,
    xpcmdbutton6,
    xpcmdbutton7,
    Command3,
};

enum class ControlKind { Frame, Label, TextInput, Button };
enum class Container { Window, Frame1, Frame2 };

// One control. Positions are in twips, relative to the container's client area (for a frame, its
// top-left corner).
struct ControlRow {
    ControlId id;
    ControlKind kind;
    Container container;
    std::wstring_view text;  // caption or initial text, leading blanks included
    int left;
    int top;
    int width;
    int height;
    int tabIndex;
};

inline constexpr std::size_t kControlCount = 17;

// The whole window, row by row; ControlId values follow the same order.
constexpr std::array<ControlRow, kControlCount> MakeControls() {
    using enum ControlKind;
    using enum Container;
    // clang-format off
    return {{
        // the scatter points' group
        {.id = ControlId::Frame2, .kind = Frame, .container = Window, .text = L"散点",
         .left = 120, .top = 120, .width = 3975, .height = 1335, .tabIndex = 7},
        // the colour number scatter points get
        {.id = ControlId::Text5, .kind = TextInput, .container = Frame2, .text = L"251",
         .left = 2400, .top = 240, .width = 855, .height = 330, .tabIndex = 8},
        // gives the picked scatter points their elevations
        {.id = ControlId::Command5, .kind = Button, .container = Frame2, .text = L"  散点自动赋值",
         .left = 1080, .top = 720, .width = 1455, .height = 375, .tabIndex = 10},
        // caption of Text5
        {.id = ControlId::Label4, .kind = Label, .container = Frame2, .text = L"赋值后散点颜色号",
         .left = 720, .top = 315, .width = 1440, .height = 180, .tabIndex = 9},
        // the contours' group
        {.id = ControlId::Frame1, .kind = Frame, .container = Window, .text = L"等高线",
         .left = 120, .top = 1560, .width = 3975, .height = 2415, .tabIndex = 0},
        // the elevation of the first contour
        {.id = ControlId::Text1, .kind = TextInput, .container = Frame1, .text = L"",
         .left = 2160, .top = 360, .width = 855, .height = 330, .tabIndex = 3},
        // the step between one contour's elevation and the next
        {.id = ControlId::Text2, .kind = TextInput, .container = Frame1, .text = L"2",
         .left = 2160, .top = 840, .width = 855, .height = 330, .tabIndex = 2},
        // the colour number contours get
        {.id = ControlId::Text3, .kind = TextInput, .container = Frame1, .text = L"250",
         .left = 2160, .top = 1320, .width = 855, .height = 330, .tabIndex = 1},
        // gives the picked contours one elevation, Text1's
        {.id = ControlId::Command4, .kind = Button, .container = Frame1, .text = L"  等高线高程相等",
         .left = 2160, .top = 1800, .width = 1575, .height = 375, .tabIndex = 11},
        // gives the contours a fence crosses elevations one step apart
        {.id = ControlId::Command1, .kind = Button, .container = Frame1, .text = L"  等高线等差赋值",
         .left = 240, .top = 1800, .width = 1695, .height = 375, .tabIndex = 12},
        // picks an elevation in the drawing into Text1
        {.id = ControlId::Command6, .kind = Button, .container = Frame1, .text = L"   选择",
         .left = 3160, .top = 360, .width = 615, .height = 375, .tabIndex = 13},
        // caption of Text1
        {.id = ControlId::Label1, .kind = Label, .container = Frame1, .text = L"首根等高线高程（米）",
         .left = 240, .top = 435, .width = 1800, .height = 180, .tabIndex = 6},
        // caption of Text2
        {.id = ControlId::Label2, .kind = Label, .container = Frame1, .text = L"等高线高程差值（米）",
         .left = 240, .top = 915, .width = 1800, .height = 180, .tabIndex = 5},
        // caption of Text3
        {.id = ControlId::Label3, .kind = Label, .container = Frame1, .text = L"赋值后等高线颜色号",
         .left = 240, .top = 1395, .width = 1620, .height = 180, .tabIndex = 4},
        // help: opens the help file
        {.id = ControlId::xpcmdbutton6, .kind = Button, .container = Window, .text = L"   帮 助",
         .left = 1560, .top = 4200, .width = 1095, .height = 375, .tabIndex = 14},
        // more programs: opens the maker's site and the About window
        {.id = ControlId::xpcmdbutton7, .kind = Button, .container = Window, .text = L"  更多软件",
         .left = 240, .top = 4200, .width = 1095, .height = 375, .tabIndex = 15},
        // exit: ends the program
        {.id = ControlId::Command3, .kind = Button, .container = Window, .text = L"   退 出",
         .left = 2880, .top = 4200, .width = 1095, .height = 375, .tabIndex = 16},
    }};
    // clang-format on
}

inline constexpr ui::ControlTable<ControlRow, kControlCount> kControls{MakeControls()};

constexpr bool TakesFocus(ControlKind kind) {
    return kind == ControlKind::TextInput || kind == ControlKind::Button;
}

// Each Input of the commands and the control behind it.
inline constexpr std::pair<Input, ControlId> kInputControls[] = {
    {Input::Text1, ControlId::Text1},
    {Input::Text2, ControlId::Text2},
    {Input::Text3, ControlId::Text3},
    {Input::Text5, ControlId::Text5},
};

constexpr ControlId InputId(Input input) {
    for (const auto& [each, id] : kInputControls) {
        if (each == input) return id;
    }
    return ControlId::Text1;
}

// The Input a control is, if it is one.
constexpr std::optional<Input> InputOf(ControlId id) {
    for (const auto& [input, each] : kInputControls) {
        if (each == id) return input;
    }
    return std::nullopt;
}

// The order in which the window creates its controls, which is also their z-order, top first: by tab
// index, so that Tab and Shift+Tab (which follow the z-order) visit the controls in tab order; the
// frames last, at the bottom, where they do not paint over the controls that stand on them.
constexpr std::array<ControlId, kControlCount> CreationOrder() {
    std::array<ControlRow, kControlCount> sorted = kControls.Rows();
    std::sort(sorted.begin(), sorted.end(), [](const ControlRow& a, const ControlRow& b) {
        const bool aFrame = a.kind == ControlKind::Frame;
        const bool bFrame = b.kind == ControlKind::Frame;
        return aFrame != bFrame ? bFrame : a.tabIndex < b.tabIndex;
    });
    std::array<ControlId, kControlCount> order{};
    std::transform(sorted.begin(), sorted.end(), order.begin(), [](const ControlRow& s) { return s.id; });
    return order;
}

// Where a control stands in the window's client area, in pixels: the frames are its siblings, not its
// parents, so a control in a frame adds the frame's own position (each converted on its own).
inline ui::PixelBox ToClientPixels(const ControlRow& row, double twipsPerPixelX, double twipsPerPixelY) {
    ui::PixelBox box = ui::PixelBoxOf(row, twipsPerPixelX, twipsPerPixelY);
    if (row.container != Container::Window) {
        const ControlId frame = row.container == Container::Frame1 ? ControlId::Frame1 : ControlId::Frame2;
        const ui::PixelBox origin = ui::PixelBoxOf(kControls.RowOf(frame), twipsPerPixelX, twipsPerPixelY);
        box.left += origin.left;
        box.top += origin.top;
    }
    return box;
}

}  // namespace korvena::form1
