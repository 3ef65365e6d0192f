#pragma once
// The About window's design: every control with its container, text, geometry in twips, font,
// colour, click and cursor, and how far down CenterForm puts the window. No window header here: the
// table is tested on the host; aboutfrm.cpp creates the controls from it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "about/about_links.h"
#include "ui/control_table.h"
#include "ui/font.h"

namespace korvena::about {

inline constexpr std::wstring_view kTitle = L"Lunebrook";
inline constexpr int kClientWidthTwips = 5100;
inline constexpr int kClientHeightTwips = 2160;

// The hand cursor of the link labels: 32 x 32, monochrome, hot spot at the tip of the finger.
inline constexpr int kHandCursorSize = 32;
inline constexpr int kHandHotSpotX = 6;
inline constexpr int kHandHotSpotY = 0;

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kGrey{128, 128, 128};

using ui::Font;

inline constexpr Font kDefaultFont{.face = L"Tahoma", .points = 8.25};
inline constexpr Font kCaptionFont{.face = L"Tahoma", .points = 9};
inline constexpr Font kSmallLinkFont{.face = L"Verdana", .points = 6.75};

// Control identifiers, in the order of the rows of kControls. IDOK and IDCANCEL (1, 2) stay free for
// the dialog keys.
enum class ControlId : int {
    picBGHead = 300,
    picBGHeadIcon,
    lblBGHeadInfo1,
    Label2,
    Label7,
    Label3,
    Label9,
    Label5,
    lblHomepage,
    Label6,
    Label4,
    Command1,
};

enum class ControlKind { Picture, Icon, Label, Button };
enum class Container { Window, picBGHead };

// One control. Positions are in twips, relative to the container's client area.
struct ControlRow {
    ControlId id;
    ControlKind kind;
    Container container;
    std::wstring_view text;
    int left;
    int top;
    int width;
    int height;
    Font font = kDefaultFont;
    Rgb colour = kBlack;        // text colour; for a picture its background
    Click click = Click::None;  // what a click on it does
    bool handCursor = false;    // the link style: the hand instead of the arrow
    std::wstring_view tooltip = {};
};

// The header line in the white band, beside the icon.
inline constexpr std::wstring_view kHeaderText = L"Lunebrook－地形图高程赋值工具";

inline constexpr std::size_t kControlCount = 12;

constexpr std::array<ControlRow, kControlCount> MakeControls() {
    using enum ControlKind;
    using enum Container;
    // clang-format off
    return {{
        // the white header band; a click opens the maker's site
        {.id = ControlId::picBGHead, .kind = Picture, .container = Window, .text = L"",
         .left = 0, .top = 0, .width = 5790, .height = 615, .colour = kWhite, .click = Click::OpenMakerSite},
        // the program's icon in the band; a click opens the maker's site
        {.id = ControlId::picBGHeadIcon, .kind = Icon, .container = picBGHead, .text = L"",
         .left = 240, .top = 120, .width = 480, .height = 480, .colour = kWhite, .click = Click::OpenMakerSite},
        // the header line beside the icon; a click opens the maker's site
        {.id = ControlId::lblBGHeadInfo1, .kind = Label, .container = picBGHead, .text = kHeaderText,
         .left = 840, .top = 240, .width = 4200, .height = 240,
         .font = {.face = L"Tahoma", .points = 9, .bold = true}, .colour = kBlack,
         .click = Click::OpenMakerSite, .tooltip = kOrganisationSiteAddress},
        // caption of the author's name
        {.id = ControlId::Label2, .kind = Label, .container = Window, .text = L"作 者：",
         .left = 600, .top = 720, .width = 600, .height = 210, .font = kCaptionFont, .colour = kRed},
        // the author's name
        {.id = ControlId::Label7, .kind = Label, .container = Window, .text = kAuthorName,
         .left = 1320, .top = 720, .width = 540, .height = 195, .colour = kBlue},
        // caption of the organisation
        {.id = ControlId::Label3, .kind = Label, .container = Window, .text = L"单 位：",
         .left = 600, .top = 1080, .width = 600, .height = 210, .font = kCaptionFont, .colour = kRed},
        // the organisation, a link to its site
        {.id = ControlId::Label9, .kind = Label, .container = Window, .text = kOrganisationName,
         .left = 1320, .top = 1080, .width = 1800, .height = 195,
         .font = {.face = L"Tahoma", .points = 8.25, .underline = true}, .colour = kBlue,
         .click = Click::OpenOrganisationSite, .handCursor = true, .tooltip = kOrganisationSiteAddress},
        // caption of the author's e-mail
        {.id = ControlId::Label5, .kind = Label, .container = Window, .text = L"E-mail：",
         .left = 555, .top = 1440, .width = 645, .height = 210, .font = kCaptionFont, .colour = kRed},
        // the author's e-mail address, a link that writes to it
        {.id = ControlId::lblHomepage, .kind = Label, .container = Window, .text = kAuthorMail,
         .left = 1320, .top = 1440, .width = 1950, .height = 180, .font = kSmallLinkFont, .colour = kBlue,
         .click = Click::MailAuthor, .handCursor = true},
        // caption of the download site
        {.id = ControlId::Label6, .kind = Label, .container = Window, .text = L"软件下载：",
         .left = 300, .top = 1800, .width = 900, .height = 210, .font = kCaptionFont, .colour = kRed},
        // the maker's site, a link to it
        {.id = ControlId::Label4, .kind = Label, .container = Window, .text = kMakerSiteText,
         .left = 1320, .top = 1800, .width = 1395, .height = 180,
         .font = {.face = L"Verdana", .points = 6.75, .underline = true}, .colour = kBlue,
         .click = Click::OpenMakerSite, .handCursor = true, .tooltip = kMakerName},
        // OK: closes the window
        {.id = ControlId::Command1, .kind = Button, .container = Window, .text = L"  确  定",
         .left = 3480, .top = 1440, .width = 1335, .height = 375,
         .font = {.face = L"SimSun", .points = 9, .chinese = true}, .colour = kBlack, .click = Click::Close},
    }};
    // clang-format on
}

inline constexpr ui::ControlTable<ControlRow, kControlCount> kControls{MakeControls()};

// The grey line under the header band, from (0, 615) to (5760, 615), drawn on the window itself.
struct LineRow {
    int x1;
    int y1;
    int x2;
    int y2;
    Rgb colour;
};
inline constexpr LineRow linBorder{.x1 = 0, .y1 = 615, .x2 = 5760, .y2 = 615, .colour = kGrey};

// CenterForm puts the About window one third of the free height down from the top, higher than the
// middle (twips::CenterFormPosition).
inline constexpr int kCenterFormShare = 3;

}  // namespace korvena::about
