#pragma once
// The simulated drawing: its entities in drawing order, each with a stable id and the geometry the
// CAD members expose. Plain data; the object model (entity_object.h and friends) reads and writes it.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvena::cadsim {

// Entity kinds by their EntityType code in AutoCAD's numbering; a custom entity (one of an add-on's
// classes) has none.
enum class EntityKind : std::int16_t {
    kCustom = -1,
    kArc = 4,
    kBlockReference = 7,
    kCircle = 8,
    kEllipse = 16,
    kLine = 19,
    kMText = 21,
    kPoint = 22,
    kPolyline = 23,    // old-style 2D polyline: X,Y vertices at one elevation
    kLwPolyline = 24,  // lightweight polyline; a donut is one too
    kText = 32,
};

inline constexpr std::int16_t kColorByLayer = 256;

using Point3 = std::array<double, 3>;

struct Vertex {
    double x = 0;
    double y = 0;
    double bulge = 0;  // tangent of a quarter of the segment's arc angle; 0 for a straight segment
};

// One entity. Only the fields of its kind mean anything:
//   arc, circle, ellipse: position = centre; block reference, texts: position = insertion point;
//   point: position = its coordinates; line: position = start, endPoint = end;
//   polylines (23, 24): vertices, elevation, closed, width; custom: position = where it is drawn,
//   className = its class.
struct Entity {
    int id = 0;
    EntityKind kind = EntityKind::kPoint;
    std::int16_t color = kColorByLayer;
    Point3 position{};
    Point3 endPoint{};
    double radius = 0;               // arc, circle
    double startAngle = 0;           // arc, radians
    double endAngle = 0;             // arc, radians
    Point3 majorAxis{1, 0, 0};       // ellipse, relative to its centre
    double radiusRatio = 1;          // ellipse: minor / major
    std::vector<Vertex> vertices{};  // polylines
    double elevation = 0;            // polylines
    bool closed = false;             // polylines
    double width = 0;                // polylines: constant width (a donut's ring)
    std::wstring blockName{};        // block reference
    double height = 0;               // texts
    std::wstring text{};             // texts
    std::wstring className{};        // custom entity: its class name, as ObjectName answers it
};

bool IsPolylineKind(EntityKind kind);  // 23, 24: Elevation and vertices
bool IsTextKind(EntityKind kind);      // 21, 32: textString and InsertionPoint
bool HasCenter(EntityKind kind);       // 4, 8, 16

std::optional<EntityKind> KindFromCode(int code);
// The name a drawing file uses for the kind ("lwpolyline", "blockReference", ...).
std::wstring_view KindName(EntityKind kind);
std::optional<EntityKind> KindFromName(std::wstring_view name);
// The kind's EntityType in the numbering of the IntelliCAD lineage (its developer reference, V9:
// Arc 3, BlockInsert 6, Circle 7, Ellipse 15, Line 21, LWPolyline 22, Mtext 23, PointEntity 24,
// Polyline 25, Text 32).
std::int16_t IntelliCadEntityType(EntityKind kind);
// The CAD's class name of the entity, as ObjectName answers it.
std::wstring ObjectNameOf(const Entity& entity);

// The entities of one drawing, kept in drawing order, which is the order of their ids.
class Drawing {
public:
    // Appends an entity. An id of 0 takes the next id; a given id must be above every id used so far
    // (ids are never reused, also not after an erase). Throws std::invalid_argument otherwise.
    Entity& Add(Entity entity);
    // Puts an entity back under its own id, as it was (an undo); replaces the one there.
    void Restore(Entity entity);
    // Removes the entity; false when there is none with that id.
    bool Erase(int id);

    Entity* Find(int id);
    const Entity* Find(int id) const;
    const std::map<int, Entity>& Entities() const noexcept { return entities_; }
    std::size_t Count() const noexcept { return entities_.size(); }
    // The highest id ever given out; the next entity gets LastId() + 1.
    int LastId() const noexcept { return lastId_; }

private:
    std::map<int, Entity> entities_;
    int lastId_ = 0;
};

}  // namespace korvena::cadsim
