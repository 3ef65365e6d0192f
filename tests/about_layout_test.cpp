#include "about/about_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

namespace korvena::about {
namespace {

bool Overlap(const ControlRow& a, const ControlRow& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

TEST(AboutLayout, TheHeaderBandSpansTheWindowOnEveryScreen) {
    const ControlRow& head = kControls.RowOf(ControlId::picBGHead);
    for (const int dpi : {96, 120, 144, 168, 192}) {
        const double tpp = twips::TwipsPerPixel(dpi);
        // The white band starts at the corner and runs on beyond the right edge, where it is cut off.
        const ui::PixelBox band = ui::PixelBoxOf(head, tpp, tpp);
        EXPECT_EQ(band.left, 0);
        EXPECT_EQ(band.top, 0);
        EXPECT_GT(band.width, twips::ToPixels(kClientWidthTwips, tpp)) << dpi;
        EXPECT_LT(band.height, twips::ToPixels(kClientHeightTwips, tpp)) << dpi;
    }
    // The grey line is the band's lower edge, across the whole window.
    EXPECT_EQ(linBorder.y1, head.height);
    EXPECT_EQ(linBorder.y2, linBorder.y1);
    EXPECT_GE(linBorder.x2, kClientWidthTwips);
    EXPECT_EQ(linBorder.colour, kGrey);
}

TEST(AboutLayout, ControlsFitTheirContainerWithoutOverlapping) {
    const ControlRow& head = kControls.RowOf(ControlId::picBGHead);
    for (const ControlRow& row : kControls) {
        SCOPED_TRACE(static_cast<int>(row.id));
        EXPECT_GE(row.left, 0);
        EXPECT_GE(row.top, 0);
        if (row.container == Container::picBGHead) {
            EXPECT_LE(row.left + row.width, kClientWidthTwips);  // the visible part of the band
            EXPECT_LE(row.top + row.height, head.height);
        } else if (row.id != ControlId::picBGHead) {
            EXPECT_LE(row.left + row.width, kClientWidthTwips);
            EXPECT_LE(row.top + row.height, kClientHeightTwips);
            EXPECT_GE(row.top, head.height);  // below the band
        }
        for (const ControlRow& other : kControls) {
            if (&other != &row && other.container == row.container) {
                EXPECT_FALSE(Overlap(row, other)) << static_cast<int>(other.id);
            }
        }
    }
}

// The red captions end at one right edge and their values, on the same line, begin at one left edge.
TEST(AboutLayout, CaptionsAndTheirValuesLineUp) {
    std::set<int> captionEnds;
    std::set<int> valueStarts;
    for (const ControlRow& caption : kControls) {
        if (caption.colour != kRed) continue;
        SCOPED_TRACE(static_cast<int>(caption.id));
        EXPECT_EQ(caption.kind, ControlKind::Label);
        EXPECT_EQ(caption.click, Click::None);
        EXPECT_EQ(caption.font, kCaptionFont);
        captionEnds.insert(caption.left + caption.width);
        int values = 0;
        for (const ControlRow& value : kControls) {
            if (value.colour == kBlue && value.top == caption.top) {
                ++values;
                valueStarts.insert(value.left);
                EXPECT_LT(caption.left + caption.width, value.left);
            }
        }
        EXPECT_EQ(values, 1);
    }
    EXPECT_EQ(captionEnds.size(), 1u);
    EXPECT_EQ(valueStarts.size(), 1u);
}

// A blue label that opens something is a link: it shows the hand; and only links show it.
TEST(AboutLinks, LinksAreBlueLabelsWithTheHandAndATarget) {
    for (const ControlRow& row : kControls) {
        const bool link =
            row.kind == ControlKind::Label && row.colour == kBlue && !ShellTarget(row.click).empty();
        EXPECT_EQ(row.handCursor, link) << static_cast<int>(row.id);
    }
}

TEST(AboutLinks, EachClickOpensItsTarget) {
    for (const ControlId id :
         {ControlId::picBGHead, ControlId::picBGHeadIcon, ControlId::lblBGHeadInfo1, ControlId::Label4}) {
        EXPECT_EQ(ShellTarget(kControls.RowOf(id).click), MakerSiteAddress) << static_cast<int>(id);
    }
    EXPECT_EQ(ShellTarget(kControls.RowOf(ControlId::Label9).click), kOrganisationSiteAddress);
    EXPECT_EQ(ShellTarget(kControls.RowOf(ControlId::lblHomepage).click), L"mailto:lin@lunebrook.example");
    EXPECT_EQ(kControls.RowOf(ControlId::Command1).click, Click::Close);
    EXPECT_EQ(ShellTarget(Click::Close), L"");
    EXPECT_EQ(ShellTarget(Click::None), L"");
    // The label shows the site's own address.
    EXPECT_NE(MakerSiteAddress.find(kControls.RowOf(ControlId::Label4).text), std::wstring_view::npos);
}

TEST(AboutLinks, TooltipsNameTheSiteBehindTheLink) {
    EXPECT_EQ(kControls.RowOf(ControlId::Label9).tooltip, kOrganisationSiteAddress);
    EXPECT_EQ(kControls.RowOf(ControlId::lblBGHeadInfo1).tooltip, kOrganisationSiteAddress);
    EXPECT_EQ(kControls.RowOf(ControlId::Label4).tooltip, L"Lunebrook");
    EXPECT_TRUE(kControls.RowOf(ControlId::lblHomepage).tooltip.empty());
}

TEST(AboutLinks, AddressesLieInTheReservedExampleDomain) {
    for (const std::wstring_view address : {MakerSiteAddress, kOrganisationSiteAddress, kAuthorMail}) {
        const std::wstring_view host = address.substr(0, address.find_last_not_of(L'/') + 1);
        EXPECT_TRUE(host.ends_with(L".example"));
    }
}

TEST(AboutCenterForm, CentresAcrossAndOneThirdDown) {
    // 1280 x 1024 pixels at 15 twips per pixel; a window of 346 x 169 pixels.
    const twips::FormPosition position =
        twips::CenterFormPosition(19200, 15360, 5190, 2535, kCenterFormShare);
    EXPECT_FLOAT_EQ(position.left, 7005);
    EXPECT_FLOAT_EQ(position.top, 4275);
    // Not rounded: a third of 100 twips stays a fraction.
    EXPECT_FLOAT_EQ(twips::CenterFormPosition(1000, 1000, 500, 900, kCenterFormShare).top, 100.0F / 3.0F);
    EXPECT_FLOAT_EQ(twips::CenterFormPosition(1001, 1000, 500, 900, kCenterFormShare).left, 250.5F);
}

// ---- The pictures the window is built with ---------------------------------------------------------

std::vector<std::uint8_t> ReadPicture(const char* name) {
    std::ifstream in(std::string(KORVENA_SOURCE_DIR) + "/about/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned Word(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes.at(at) | (bytes.at(at + 1) << 8);
}

TEST(AboutPictures, HandCursorIsMonochrome32WithItsHotSpotOnTheFingerTip) {
    const std::vector<std::uint8_t> cursor = ReadPicture("hand.cur");
    ASSERT_GE(cursor.size(), 22u + 40 + 8 + 2 * 128);
    EXPECT_EQ(Word(cursor, 2), 2u);  // a cursor
    EXPECT_EQ(Word(cursor, 4), 1u);  // one image
    EXPECT_EQ(cursor[6], kHandCursorSize);
    EXPECT_EQ(cursor[7], kHandCursorSize);
    EXPECT_EQ(Word(cursor, 10), static_cast<unsigned>(kHandHotSpotX));
    EXPECT_EQ(Word(cursor, 12), static_cast<unsigned>(kHandHotSpotY));
    EXPECT_EQ(Word(cursor, 22 + 14), 1u);  // one bit per pixel
    // Rows are stored bottom-up, 4 bytes each: the XOR image, then the AND mask. At the hot spot the
    // cursor is opaque (mask 0) and black (image 0).
    const std::size_t image = 22 + 40 + 8;
    const std::size_t topRow = (kHandCursorSize - 1 - kHandHotSpotY) * 4;
    const int bit = 7 - kHandHotSpotX % 8;
    EXPECT_EQ((cursor[image + topRow + kHandHotSpotX / 8] >> bit) & 1, 0);
    EXPECT_EQ((cursor[image + 128 + topRow + kHandHotSpotX / 8] >> bit) & 1, 0);
}

TEST(AboutPictures, HeaderIconIsTrueColour32) {
    const std::vector<std::uint8_t> icon = ReadPicture("header.ico");
    ASSERT_GE(icon.size(), 22u + 40);
    EXPECT_EQ(Word(icon, 2), 1u);  // an icon
    EXPECT_EQ(icon[6], 32);
    EXPECT_EQ(icon[7], 32);
    EXPECT_EQ(Word(icon, 22 + 14), 32u);  // 32 bits per pixel
}

}  // namespace
}  // namespace korvena::about
