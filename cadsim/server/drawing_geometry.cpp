#include "cadsim/server/drawing_geometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace korvena::cadsim {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;
// Steps of a full circle or ellipse.
constexpr int kFullTurnSteps = 64;
// Extents of a drawing whose entities all sit on one point, around that point.
constexpr double kSinglePointHalfSize = 10;

Point2 operator+(Point2 a, Point2 b) {
    return {a.x + b.x, a.y + b.y};
}
Point2 operator-(Point2 a, Point2 b) {
    return {a.x - b.x, a.y - b.y};
}
Point2 operator*(Point2 a, double f) {
    return {a.x * f, a.y * f};
}
double Dot(Point2 a, Point2 b) {
    return a.x * b.x + a.y * b.y;
}
double Cross(Point2 a, Point2 b) {
    return a.x * b.y - a.y * b.x;
}
double Length(Point2 a) {
    return std::hypot(a.x, a.y);
}

Point2 Flat(const Point3& p) {
    return {p[0], p[1]};
}

// Appends the points strictly between `from` and the end of a bulged segment to `to`.
void AppendBulge(std::vector<Point2>& path, Point2 from, Point2 to, double bulge) {
    const Point2 chord = to - from;
    const double length = Length(chord);
    if (std::abs(bulge) < 1e-12 || length == 0 || !std::isfinite(bulge)) return;
    const double sweep = 4 * std::atan(bulge);  // positive: counter-clockwise
    // The centre lies on the chord's left normal, at (c / 2) * (1 - b^2) / (2 b) from its middle.
    const Point2 normal{-chord.y / length, chord.x / length};
    const double offset = length / 2 * (1 - bulge * bulge) / (2 * bulge);
    const Point2 centre = (from + to) * 0.5 + normal * offset;
    const double radius = Length(from - centre);
    const double start = std::atan2(from.y - centre.y, from.x - centre.x);
    const int steps = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / kChordAngle)));
    for (int k = 1; k < steps; ++k) {
        const double angle = start + sweep * k / steps;
        path.push_back({centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
    }
}

std::vector<Point2> ArcPath(Point2 centre, double radius, double start, double sweep) {
    const int steps = std::max(2, static_cast<int>(std::ceil(std::abs(sweep) / kChordAngle)));
    std::vector<Point2> path;
    path.reserve(static_cast<std::size_t>(steps) + 1);
    for (int k = 0; k <= steps; ++k) {
        const double angle = start + sweep * k / steps;
        path.push_back({centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
    }
    return path;
}

std::vector<Point2> EllipsePath(Point2 centre, Point2 major, double ratio) {
    const Point2 minor{-major.y * ratio, major.x * ratio};
    std::vector<Point2> path;
    path.reserve(kFullTurnSteps + 1);
    for (int k = 0; k <= kFullTurnSteps; ++k) {
        const double t = kTwoPi * k / kFullTurnSteps;
        path.push_back(centre + major * std::cos(t) + minor * std::sin(t));
    }
    return path;
}

double PointSegmentDistance(Point2 p, Point2 a, Point2 b) {
    const Point2 ab = b - a;
    const double lengthSquared = Dot(ab, ab);
    double t = lengthSquared == 0 ? 0 : Dot(p - a, ab) / lengthSquared;
    t = std::clamp(t, 0.0, 1.0);
    return Length(p - (a + ab * t));
}

double PointBoxDistance(Point2 p, const Box& box) {
    const double dx = std::max({box.left - p.x, 0.0, p.x - box.right});
    const double dy = std::max({box.top - p.y, 0.0, p.y - box.bottom});
    return std::hypot(dx, dy);
}

// Where along p + t r (0 <= t <= 1) the segment q .. q + s is first met; nothing when never.
std::optional<double> SegmentCrossing(Point2 p, Point2 r, Point2 q, Point2 s) {
    const double denominator = Cross(r, s);
    const Point2 qp = q - p;
    if (std::abs(denominator) < 1e-12) {
        if (std::abs(Cross(qp, r)) > 1e-9) return std::nullopt;  // parallel, apart
        const double rr = Dot(r, r);
        if (rr == 0) return std::nullopt;
        // On one line: the overlap of the two parameter ranges, if any.
        const double t0 = Dot(qp, r) / rr;
        const double t1 = t0 + Dot(s, r) / rr;
        const double low = std::max(0.0, std::min(t0, t1));
        const double high = std::min(1.0, std::max(t0, t1));
        if (low > high) return std::nullopt;
        return low;
    }
    const double t = Cross(qp, s) / denominator;
    const double u = Cross(qp, r) / denominator;
    if (t < 0 || t > 1 || u < 0 || u > 1) return std::nullopt;
    return t;
}

// Where along p + t r (0 <= t <= 1) the box is first entered (0 when p is inside); Liang-Barsky.
std::optional<double> BoxEntry(Point2 p, Point2 r, const Box& box) {
    double low = 0;
    double high = 1;
    const std::array<std::pair<double, double>, 4> edges{{
        {-r.x, p.x - box.left},
        {r.x, box.right - p.x},
        {-r.y, p.y - box.top},
        {r.y, box.bottom - p.y},
    }};
    for (const auto& [direction, room] : edges) {
        if (direction == 0) {
            if (room < 0) return std::nullopt;
            continue;
        }
        const double t = room / direction;
        if (direction < 0) {
            low = std::max(low, t);
        } else {
            high = std::min(high, t);
        }
        if (low > high) return std::nullopt;
    }
    return low;
}

Box MarkerBox(Point2 centre) {
    return {centre.x - kMarkerHalfSize, centre.y - kMarkerHalfSize, centre.x + kMarkerHalfSize,
            centre.y + kMarkerHalfSize};
}

void Include(Box& box, Point2 p, bool& empty) {
    if (empty) {
        box = {p.x, p.y, p.x, p.y};
        empty = false;
        return;
    }
    box.left = std::min(box.left, p.x);
    box.top = std::min(box.top, p.y);
    box.right = std::max(box.right, p.x);
    box.bottom = std::max(box.bottom, p.y);
}

bool IsFinite(Point2 p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Line breaks between the lines of a text shape (a shape always has one line at least).
double BreaksOf(const EntityShape& shape) {
    return shape.lines.empty() ? 0.0 : static_cast<double>(shape.lines.size() - 1);
}

}  // namespace

std::vector<Point2> PolylinePath(const std::vector<Vertex>& vertices, bool closed) {
    std::vector<Point2> path;
    if (vertices.empty()) return path;
    path.push_back({vertices[0].x, vertices[0].y});
    const std::size_t segments = closed && vertices.size() > 1 ? vertices.size() : vertices.size() - 1;
    for (std::size_t i = 0; i < segments; ++i) {
        const Vertex& from = vertices[i];
        const Vertex& to = vertices[(i + 1) % vertices.size()];
        AppendBulge(path, {from.x, from.y}, {to.x, to.y}, from.bulge);
        path.push_back({to.x, to.y});
    }
    return path;
}

std::vector<std::wstring> TextLines(const std::wstring& text) {
    std::vector<std::wstring> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\n' || c == L'\r') {
            const wchar_t pair = c == L'\n' ? L'\r' : L'\n';
            if (i + 1 < text.size() && text[i + 1] == pair) ++i;
            lines.emplace_back();
        } else if (c == L'\\' && i + 1 < text.size() && text[i + 1] == L'P') {
            ++i;
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

double TextWidthFactor(const std::wstring& line) {
    double width = 0;
    for (const wchar_t c : line) width += c >= 0x2E80 ? 1.0 : 0.6;
    return width;
}

EntityShape ShapeOf(const Entity& entity) {
    EntityShape shape;
    shape.id = entity.id;
    shape.kind = entity.kind;
    shape.color = entity.color;
    const Point2 position = Flat(entity.position);
    switch (entity.kind) {
        case EntityKind::kLwPolyline:
        case EntityKind::kPolyline:
            shape.paths.push_back(PolylinePath(entity.vertices, entity.closed));
            shape.width = std::isfinite(entity.width) ? std::abs(entity.width) : 0;
            if (entity.elevation != 0) shape.elevation = entity.elevation;
            break;
        case EntityKind::kLine:
            shape.paths.push_back({position, Flat(entity.endPoint)});
            break;
        case EntityKind::kCircle:
            shape.paths.push_back(ArcPath(position, std::abs(entity.radius), 0, kTwoPi));
            break;
        case EntityKind::kArc: {
            double sweep = std::fmod(entity.endAngle - entity.startAngle, kTwoPi);
            if (sweep <= 0) sweep += kTwoPi;  // counter-clockwise; equal angles: the whole circle
            if (!std::isfinite(sweep)) sweep = kTwoPi;
            shape.paths.push_back(ArcPath(position, std::abs(entity.radius), entity.startAngle, sweep));
            break;
        }
        case EntityKind::kEllipse:
            shape.paths.push_back(EllipsePath(position, Flat(entity.majorAxis), entity.radiusRatio));
            break;
        case EntityKind::kPoint:
            shape.style = ShapeStyle::kCross;
            shape.anchor = position;
            break;
        case EntityKind::kBlockReference:
        case EntityKind::kCustom:  // the simulator does not know its geometry: shown where it is
            shape.style = ShapeStyle::kMarker;
            shape.anchor = position;
            break;
        case EntityKind::kText:
        case EntityKind::kMText:
            shape.style = ShapeStyle::kText;
            shape.anchor = position;
            shape.lines = TextLines(entity.text);
            shape.textHeight = std::isfinite(entity.height) ? std::abs(entity.height) : 0;
            shape.hangsDown = entity.kind == EntityKind::kMText;
            break;
    }
    // Geometry a person cannot see (NaN from a test's drawing) is left out rather than drawn wildly.
    for (auto& path : shape.paths) {
        path.erase(std::remove_if(path.begin(), path.end(), [](Point2 p) { return !IsFinite(p); }),
                   path.end());
    }
    return shape;
}

std::vector<EntityShape> ShapesOf(const Drawing& drawing) {
    std::vector<EntityShape> shapes;
    shapes.reserve(drawing.Count());
    for (const auto& [id, entity] : drawing.Entities()) shapes.push_back(ShapeOf(entity));
    return shapes;
}

Box ExtentsOf(const std::vector<EntityShape>& shapes) {
    Box box;
    bool empty = true;
    for (const EntityShape& shape : shapes) {
        const double half = shape.width / 2;
        for (const auto& path : shape.paths) {
            for (const Point2 p : path) {
                Include(box, {p.x - half, p.y - half}, empty);
                Include(box, {p.x + half, p.y + half}, empty);
            }
        }
        if (shape.style == ShapeStyle::kPaths || !IsFinite(shape.anchor)) continue;
        Include(box, shape.anchor, empty);
        if (shape.style == ShapeStyle::kText) {
            double widest = 0;
            for (const auto& line : shape.lines) widest = std::max(widest, TextWidthFactor(line));
            const double height = shape.textHeight * (1 + kTextLineSpacing * BreaksOf(shape));
            const double far = shape.hangsDown ? shape.anchor.y - height : shape.anchor.y + shape.textHeight;
            Include(box, {shape.anchor.x + widest * shape.textHeight, far}, empty);
        }
    }
    if (empty) return {0, 0, 100, 100};
    if (box.right - box.left < 1e-9 && box.bottom - box.top < 1e-9) {
        return {box.left - kSinglePointHalfSize, box.top - kSinglePointHalfSize,
                box.right + kSinglePointHalfSize, box.bottom + kSinglePointHalfSize};
    }
    return box;
}

DrawingView::DrawingView(const Box& extents, const Box& area, double margin) : area_(area) {
    const double usableWidth = std::max(1.0, area.right - area.left - 2 * margin);
    const double usableHeight = std::max(1.0, area.bottom - area.top - 2 * margin);
    const double width = extents.right - extents.left;
    const double height = extents.bottom - extents.top;
    constexpr double kHuge = std::numeric_limits<double>::max();
    const double byWidth = width > 0 ? usableWidth / width : kHuge;
    const double byHeight = height > 0 ? usableHeight / height : kHuge;
    scale_ = std::min(byWidth, byHeight);
    if (!(scale_ > 0) || scale_ == kHuge) scale_ = 1;
    originX_ = (extents.left + extents.right) / 2;
    originY_ = (extents.top + extents.bottom) / 2;
}

Point2 DrawingView::ToScreen(Point2 p) const {
    return {(area_.left + area_.right) / 2 + (p.x - originX_) * scale_,
            (area_.top + area_.bottom) / 2 - (p.y - originY_) * scale_};
}

double TextPixelHeight(const EntityShape& shape, const DrawingView& view) {
    return std::max(shape.textHeight * view.Scale(), kMinTextPixels);
}

Box TextBox(const EntityShape& shape, const DrawingView& view) {
    const double height = TextPixelHeight(shape, view);
    const Point2 anchor = view.ToScreen(shape.anchor);
    double widest = 0;
    for (const auto& line : shape.lines) widest = std::max(widest, TextWidthFactor(line));
    const double below = kTextLineSpacing * height * BreaksOf(shape);
    if (shape.hangsDown) return {anchor.x, anchor.y, anchor.x + widest * height, anchor.y + height + below};
    return {anchor.x, anchor.y - height, anchor.x + widest * height, anchor.y + below};
}

double DistanceTo(const EntityShape& shape, const DrawingView& view, Point2 pixel) {
    switch (shape.style) {
        case ShapeStyle::kCross:
        case ShapeStyle::kMarker:
            return PointBoxDistance(pixel, MarkerBox(view.ToScreen(shape.anchor)));
        case ShapeStyle::kText:
            return PointBoxDistance(pixel, TextBox(shape, view));
        case ShapeStyle::kPaths:
            break;
    }
    double nearest = std::numeric_limits<double>::infinity();
    for (const auto& path : shape.paths) {
        if (path.size() == 1) nearest = std::min(nearest, Length(pixel - view.ToScreen(path[0])));
        for (std::size_t i = 1; i < path.size(); ++i) {
            nearest = std::min(
                nearest, PointSegmentDistance(pixel, view.ToScreen(path[i - 1]), view.ToScreen(path[i])));
        }
    }
    return std::max(0.0, nearest - shape.width * view.Scale() / 2);
}

int HitTest(const std::vector<EntityShape>& shapes, const DrawingView& view, Point2 pixel, double tolerance) {
    int picked = 0;
    double best = tolerance;
    for (const EntityShape& shape : shapes) {
        const double distance = DistanceTo(shape, view, pixel);
        if (distance <= best) {
            best = distance;
            picked = shape.id;
        }
    }
    return picked;
}

std::vector<int> FenceCrossings(const std::vector<EntityShape>& shapes, const DrawingView& view, Point2 from,
                                Point2 to) {
    const Point2 fence = to - from;
    if (Length(fence) == 0) return {};
    std::vector<std::pair<double, int>> met;  // (where along the fence, id); drawing order breaks ties
    for (const EntityShape& shape : shapes) {
        std::optional<double> first;
        auto consider = [&first](std::optional<double> t) {
            if (t && (!first || *t < *first)) first = t;
        };
        switch (shape.style) {
            case ShapeStyle::kCross:
            case ShapeStyle::kMarker:
                consider(BoxEntry(from, fence, MarkerBox(view.ToScreen(shape.anchor))));
                break;
            case ShapeStyle::kText:
                consider(BoxEntry(from, fence, TextBox(shape, view)));
                break;
            case ShapeStyle::kPaths:
                for (const auto& path : shape.paths) {
                    for (std::size_t i = 1; i < path.size(); ++i) {
                        const Point2 a = view.ToScreen(path[i - 1]);
                        consider(SegmentCrossing(from, fence, a, view.ToScreen(path[i]) - a));
                    }
                }
                break;
        }
        if (first) met.emplace_back(*first, shape.id);
    }
    std::stable_sort(met.begin(), met.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<int> ids;
    ids.reserve(met.size());
    for (const auto& entry : met) ids.push_back(entry.second);
    return ids;
}

std::optional<Point2> ClickPointOf(const std::vector<EntityShape>& shapes, const DrawingView& view, int id) {
    const auto shape = std::find_if(shapes.begin(), shapes.end(), [id](const auto& s) { return s.id == id; });
    if (shape == shapes.end()) return std::nullopt;

    std::vector<Point2> candidates;
    switch (shape->style) {
        case ShapeStyle::kCross:
        case ShapeStyle::kMarker: {
            const Point2 centre = view.ToScreen(shape->anchor);
            for (const Point2 step :
                 {Point2{0, 0}, Point2{2, 0}, Point2{-2, 0}, Point2{0, 2}, Point2{0, -2}}) {
                candidates.push_back(centre + step);
            }
            break;
        }
        case ShapeStyle::kText: {
            const Box box = TextBox(*shape, view);
            for (const double fy : {0.5, 0.25, 0.75}) {
                for (const double fx : {0.5, 0.25, 0.75, 0.1, 0.9}) {
                    candidates.push_back(
                        {box.left + (box.right - box.left) * fx, box.top + (box.bottom - box.top) * fy});
                }
            }
            break;
        }
        case ShapeStyle::kPaths:
            for (const auto& path : shape->paths) {
                for (std::size_t i = 1; i < path.size(); ++i) {
                    const Point2 a = view.ToScreen(path[i - 1]);
                    const Point2 b = view.ToScreen(path[i]);
                    for (const double f : {0.5, 0.25, 0.75}) candidates.push_back(a + (b - a) * f);
                }
                if (path.size() == 1) candidates.push_back(view.ToScreen(path[0]));
            }
            break;
    }
    for (const Point2 candidate : candidates) {
        const Point2 pixel{std::round(candidate.x), std::round(candidate.y)};
        if (!IsFinite(pixel) || !view.Area().Contains(pixel)) continue;
        if (HitTest(shapes, view, pixel) == id) return pixel;
    }
    return std::nullopt;
}

Rgb ColourOfNumber(int number) {
    static constexpr std::array<Rgb, 10> kBasic{{
        {64, 64, 64},     // 0, by block: as by layer
        {230, 0, 0},      // red
        {215, 175, 0},    // yellow, deep enough to show on the light background
        {0, 170, 0},      // green
        {0, 170, 190},    // cyan
        {0, 0, 230},      // blue
        {210, 0, 210},    // magenta
        {0, 0, 0},        // black on the light background (white on a dark one)
        {128, 128, 128},  // dark grey
        {192, 192, 192},  // light grey
    }};
    static constexpr std::array<Rgb, 6> kGreys{{
        {51, 51, 51},
        {91, 91, 91},
        {132, 132, 132},
        {173, 173, 173},
        {214, 214, 214},
        {255, 255, 255},
    }};
    if (number >= 0 && number <= 9) return kBasic[static_cast<std::size_t>(number)];
    if (number >= 250 && number <= 255) return kGreys[static_cast<std::size_t>(number - 250)];
    if (number < 10 || number > 249) return kBasic[0];

    // 10 to 249: 24 hues of 15 degrees; within a hue, even numbers are full colour and odd ones pale,
    // and each pair is darker than the one before.
    static constexpr std::array<double, 5> kValues{1.0, 0.8, 0.6, 0.5, 0.3};
    const double hue = (number / 10 - 1) * 15.0;
    const int shade = number % 10;
    const double value = kValues[static_cast<std::size_t>(shade / 2)];
    const double saturation = shade % 2 == 0 ? 1.0 : 0.5;
    auto channel = [&](double n) {
        const double k = std::fmod(n + hue / 60, 6.0);
        const double level = value - value * saturation * std::max(0.0, std::min({k, 4 - k, 1.0}));
        return static_cast<std::uint8_t>(std::lround(level * 255));
    };
    return {channel(5), channel(3), channel(1)};
}

}  // namespace korvena::cadsim
