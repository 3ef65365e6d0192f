#pragma once
// The geometry of the simulator's window, kept free of window headers: every entity as paths in
// drawing units, the view that fits the drawing into the window (y up), and what a click or a fence
// line picks in window pixels. Painting and picking both work from the same shapes, so what a person
// sees is what a click hits.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cadsim/model/drawing.h"

namespace korvena::cadsim {

struct Point2 {
    double x = 0;
    double y = 0;

    friend bool operator==(const Point2&, const Point2&) = default;
};

// An axis-aligned box; in drawing units or in pixels (then top < bottom).
struct Box {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    bool Contains(Point2 p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
};

// How an entity looks on screen.
enum class ShapeStyle {
    kPaths,   // polylines, lines, circles, arcs, ellipses: `paths`
    kCross,   // a point: a small cross at `anchor`
    kMarker,  // a block reference: a small marker at `anchor`
    kText,    // texts: `lines` at `anchor`
};

struct EntityShape {
    int id = 0;
    EntityKind kind = EntityKind::kPoint;
    std::int16_t color = kColorByLayer;
    ShapeStyle style = ShapeStyle::kPaths;
    std::vector<std::vector<Point2>> paths{};  // drawing units; a closed outline repeats its first point
    double width = 0;                          // drawing units: a wide polyline's ring (donut)
    std::optional<double> elevation{};         // polylines that have been given a height
    Point2 anchor{};                           // crosses, markers, texts
    std::vector<std::wstring> lines{};         // texts, one entry per line
    double textHeight = 0;                     // drawing units
    bool hangsDown = false;                    // multi-line text: the anchor is the top left, lines go down;
                             // single-line text: the anchor is on the base line of its one line
};

// Arcs and bulged segments are approximated by chords of at most this angle.
inline constexpr double kChordAngle = 3.14159265358979323846 / 32;
// Half the size of a point's cross or a block reference's marker, in pixels.
inline constexpr double kMarkerHalfSize = 4;
// The distance between the base lines of two lines of a text, in text heights.
inline constexpr double kTextLineSpacing = 1.4;
// Texts never get smaller than this on screen, in pixels.
inline constexpr double kMinTextPixels = 10;
// How far from an entity a click still picks it, in pixels.
inline constexpr double kPickTolerance = 5;

EntityShape ShapeOf(const Entity& entity);
std::vector<EntityShape> ShapesOf(const Drawing& drawing);

// The points of a polyline with its bulges turned into chords; closed: back to the first vertex.
std::vector<Point2> PolylinePath(const std::vector<Vertex>& vertices, bool closed);

// The text's lines: a line feed, a carriage return (or both) and the paragraph code \P break them.
std::vector<std::wstring> TextLines(const std::wstring& text);
// The width of a line in units of the text height (CJK characters square, the others narrower).
double TextWidthFactor(const std::wstring& line);

// The drawing's extents in drawing units; a drawing without entities gets a fixed 100 by 100.
Box ExtentsOf(const std::vector<EntityShape>& shapes);

// Fits extents into a pixel area with a margin, keeping the aspect ratio, y pointing up.
class DrawingView {
public:
    DrawingView(const Box& extents, const Box& area, double margin);

    Point2 ToScreen(Point2 p) const;
    // Pixels per drawing unit.
    double Scale() const noexcept { return scale_; }
    const Box& Area() const noexcept { return area_; }

private:
    Box area_;
    double scale_ = 1;
    double originX_ = 0;  // the drawing point shown at the area's centre
    double originY_ = 0;
};

// A text's box on screen and the pixel height of its characters.
double TextPixelHeight(const EntityShape& shape, const DrawingView& view);
Box TextBox(const EntityShape& shape, const DrawingView& view);

// The shape's distance from a pixel, in pixels (0 inside a text box or on a wide ring).
double DistanceTo(const EntityShape& shape, const DrawingView& view, Point2 pixel);

// The entity a click at `pixel` picks: the nearest within the tolerance, the later one in drawing
// order when two are as near; 0 for none.
int HitTest(const std::vector<EntityShape>& shapes, const DrawingView& view, Point2 pixel,
            double tolerance = kPickTolerance);

// The entities the fence line from `from` to `to` crosses, in the order the line meets them.
std::vector<int> FenceCrossings(const std::vector<EntityShape>& shapes, const DrawingView& view, Point2 from,
                                Point2 to);

// A whole pixel inside the view's area where a click picks the entity; nothing when there is none
// (the entity is gone, outside the area, or covered by others everywhere).
std::optional<Point2> ClickPointOf(const std::vector<EntityShape>& shapes, const DrawingView& view, int id);

// The colour of a colour number as red, green, blue: 1 red, 2 yellow, 3 green, 4 cyan, 5 blue,
// 6 magenta, 7 black (the window's background is light), 8 and 9 greys, 10 to 249 the hue wheel,
// 250 to 255 greys from dark to white, everything else (256 by layer, 0 by block) a dark grey.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};
Rgb ColourOfNumber(int number);

}  // namespace korvena::cadsim
