#pragma once
// Twips and pixels: how our windows turn their geometry, kept in twips (1/1440 inch), into the
// pixels of the screen they run on, and where CenterForm puts a window. No window header here: the
// rules are plain arithmetic and are tested on the host.

#include <cmath>
#include <cstdint>

namespace korvena::twips {

inline constexpr double kTwipsPerInch = 1440.0;

// Twips per pixel of a screen with `dpi` dots per inch: 15 at 96, 10 at 144, 7.5 at 192.
constexpr double TwipsPerPixel(int dpi) noexcept {
    return kTwipsPerInch / dpi;
}

// The nearest integer; a value exactly halfway goes to the even neighbour (2.5 -> 2, 3.5 -> 4).
// Independent of the floating-point rounding mode.
inline std::int64_t Nearest(double value) noexcept {
    const double below = std::floor(value);
    const double fraction = value - below;
    auto result = static_cast<std::int64_t>(below);
    if (fraction > 0.5 || (fraction == 0.5 && result % 2 != 0)) {
        ++result;
    }
    return result;
}

// Integer division of two lengths: both operands first go to the nearest integer (halves to even),
// then the quotient drops its remainder, truncating toward zero (-22 by 15 is -1). A divisor that
// rounds to zero counts as one.
inline std::int64_t IntegerDivide(double dividend, double divisor) noexcept {
    const std::int64_t whole = Nearest(divisor);
    return Nearest(dividend) / (whole == 0 ? 1 : whole);
}

// A length of a control or of the window's client area, in pixels.
inline int ToPixels(double lengthTwips, double twipsPerPixel) noexcept {
    return static_cast<int>(Nearest(lengthTwips / twipsPerPixel));
}

// Font height in pixels for a size in points (72 points to the inch) on a screen of `dpi`.
inline int PointsToPixels(double points, int dpi) noexcept {
    return static_cast<int>(Nearest(points * dpi / 72.0));
}

// A window's outer rectangle as the window itself keeps it, in twips.
struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// The arguments of a SetWindowPos call: position and size in pixels.
struct PixelRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t cx = 0;
    std::int32_t cy = 0;

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The pixels that pinning the window on top passes to SetWindowPos, converted from its twips:
// x = left / twips-per-pixel-x, divided in floating point and rounded to the nearest (halves to even);
// y, cx, cy by IntegerDivide of top by twips-per-pixel-y, width by x, height by y.
// So x is rounded while the other three are truncated.
inline PixelRect SetWindowPosPixels(const TwipsRect& rect, double twipsPerPixelX,
                                    double twipsPerPixelY) noexcept {
    return PixelRect{
        .x = static_cast<std::int32_t>(Nearest(rect.left / twipsPerPixelX)),
        .y = static_cast<std::int32_t>(IntegerDivide(rect.top, twipsPerPixelY)),
        .cx = static_cast<std::int32_t>(IntegerDivide(rect.width, twipsPerPixelX)),
        .cy = static_cast<std::int32_t>(IntegerDivide(rect.height, twipsPerPixelY)),
    };
}

// Where pinning on top actually puts the window: SetWindowPosPixels, except that the window keeps the
// pixel size it has. The two agree whenever twips per pixel is a whole number (96, 120, 144 dpi);
// on other screens (7.5 at 192 dpi, 8.57 at 168 dpi) dividing by the rounded factor would shrink or
// grow the window and cut off its bottom row of buttons.
inline PixelRect PinnedPlacement(const TwipsRect& rect, double twipsPerPixelX, double twipsPerPixelY,
                                 std::int32_t currentWidth, std::int32_t currentHeight) noexcept {
    PixelRect placement = SetWindowPosPixels(rect, twipsPerPixelX, twipsPerPixelY);
    placement.cx = currentWidth;
    placement.cy = currentHeight;
    return placement;
}

// The position CenterForm gives a window, in twips, reckoned in single precision and not rounded:
// centred across the screen, and 1/`freeHeightShare` of the free height down from the top (the main
// window a fifth, the About window and the promotional panels a third).
struct FormPosition {
    float left = 0;
    float top = 0;

    friend bool operator==(const FormPosition&, const FormPosition&) = default;
};

inline FormPosition CenterFormPosition(float screenWidth, float screenHeight, float windowWidth,
                                       float windowHeight, int freeHeightShare) noexcept {
    return FormPosition{
        .left = (screenWidth - windowWidth) / 2.0F,
        .top = (screenHeight - windowHeight) / static_cast<float>(freeHeightShare),
    };
}

}  // namespace korvena::twips
