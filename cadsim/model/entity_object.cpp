#include "cadsim/model/entity_object.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "cad/convert.h"
#include "cadsim/model/sim_errors.h"
#include "cadsim/model/sim_state.h"

namespace korvena::cadsim {

using korvena::Variant;

namespace {

std::int16_t ColorValue(const Variant& value) {
    const std::int32_t color = korvena::ToLong(value);
    if (color < std::numeric_limits<std::int16_t>::min() ||
        color > std::numeric_limits<std::int16_t>::max()) {
        throw korvena::Overflow();
    }
    return static_cast<std::int16_t>(color);
}

double ElevationValue(const Variant& value) {
    if (value.Is<std::wstring>()) return korvena::TextNumber(value.As<std::wstring>());
    return korvena::ToDouble(value);  // refuses NaN and infinities
}

std::vector<Vertex> VerticesValue(const Variant& value) {
    const std::vector<double> flat = korvena::ToDoubles(value, 4);
    if (flat.size() % 2 != 0) throw korvena::InvalidCall(L"坐标个数须为偶数");
    std::vector<Vertex> vertices;
    for (std::size_t i = 0; i < flat.size(); i += 2) vertices.push_back({flat[i], flat[i + 1]});
    return vertices;
}

// The code EntityType answers in the CAD's numbering. A custom entity's wrapper comes from the SDK's
// template, whose EntityType is not implemented, whatever the CAD.
Variant EntityTypeOf(const SimState& state, const Entity& entity) {
    if (entity.kind == EntityKind::kCustom) throw NotImplemented();
    switch (state.automation.entityTypes) {
        case EntityTypeNumbering::kAutoCad:
            return static_cast<std::int32_t>(entity.kind);
        case EntityTypeNumbering::kIntelliCad:
            return IntelliCadEntityType(entity.kind);
        case EntityTypeNumbering::kNotImplemented:
            break;
    }
    throw NotImplemented();
}

// Where an arc starts (at its start angle) or an ellipse (at the end of its major axis: the drawing's
// ellipses are whole).
Point3 StartPointOf(const Entity& entity) {
    const Point3& c = entity.position;
    if (entity.kind == EntityKind::kEllipse) {
        return {c[0] + entity.majorAxis[0], c[1] + entity.majorAxis[1], c[2] + entity.majorAxis[2]};
    }
    return {c[0] + entity.radius * std::cos(entity.startAngle),
            c[1] + entity.radius * std::sin(entity.startAngle), c[2]};
}

}  // namespace

std::wstring EntityHandle(int id) {
    constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring handle;
    auto rest = static_cast<unsigned>(id);
    do {
        handle.insert(handle.begin(), kDigits[rest % 16]);
        rest /= 16;
    } while (rest != 0);
    return handle;
}

EntityObject::EntityObject(std::weak_ptr<SimState> state, int id, EntityKind kind, bool hasObjectName)
    : SimObject(std::move(state), ObjectKind::kEntity, id, static_cast<int>(kind)),
      kind_(kind),
      hasObjectName_(hasObjectName) {}

unsigned EntityObject::AccessOf(Member member) const {
    switch (member) {
        case Member::kEntityType:
        case Member::kHandle:
            return kGettable;
        case Member::kObjectName:
            return hasObjectName_ ? kGettable : 0;
        case Member::kRadius:
            return kind_ == EntityKind::kArc || kind_ == EntityKind::kCircle ? kGettable | kPuttable : 0;
        case Member::kStartPoint:
            return kind_ == EntityKind::kArc || kind_ == EntityKind::kEllipse ? kGettable : 0;
        case Member::kColor:
            return kGettable | kPuttable;
        case Member::kDelete:
            return kCallable;
        case Member::kElevation:
            return IsPolylineKind(kind_) ? kGettable | kPuttable : 0;
        case Member::kCoordinate:
            return kind_ == EntityKind::kLwPolyline ? kGettable : 0;
        case Member::kCoordinates:
            return kind_ == EntityKind::kLwPolyline || kind_ == EntityKind::kPoint ? kGettable | kPuttable
                                                                                   : 0;
        case Member::kCenter:
            return HasCenter(kind_) ? kGettable | kPuttable : 0;
        case Member::kInsertionPoint:
            return kind_ == EntityKind::kBlockReference || IsTextKind(kind_) ? kGettable | kPuttable : 0;
        case Member::kTextString:
            return IsTextKind(kind_) ? kGettable | kPuttable : 0;
        default:
            return 0;
    }
}

void EntityObject::CheckAlive(const SimState& state) const {
    SimObject::CheckAlive(state);
    if (!state.drawing.Find(Id())) throw ObjectErased();
}

Entity& EntityObject::Data(SimState& state) const {
    Entity* entity = state.drawing.Find(Id());
    if (!entity) throw ObjectErased();
    return *entity;
}

Variant EntityObject::DoGet(SimState& state, Member member, const std::vector<Variant>& args) {
    const Entity& entity = Data(state);
    if (member == Member::kCoordinate) {
        ExpectArgumentCount(args, 1);
        const Vertex& vertex = entity.vertices[IndexArgument(args[0], entity.vertices.size())];
        return std::vector<double>{vertex.x, vertex.y};
    }
    ExpectArgumentCount(args, 0);
    switch (member) {
        case Member::kEntityType:
            return EntityTypeOf(state, entity);
        case Member::kObjectName:
            return ObjectNameOf(entity);
        case Member::kRadius:
            return entity.radius;
        case Member::kStartPoint:
            return PointValue(StartPointOf(entity));
        case Member::kHandle:
            return EntityHandle(entity.id);
        case Member::kColor:
            return entity.color;
        case Member::kElevation:
            return entity.elevation;
        case Member::kCoordinates:
            if (entity.kind == EntityKind::kPoint) return PointValue(entity.position);
            {
                std::vector<double> flat;
                flat.reserve(entity.vertices.size() * 2);
                for (const Vertex& vertex : entity.vertices) {
                    flat.push_back(vertex.x);
                    flat.push_back(vertex.y);
                }
                return flat;
            }
        case Member::kCenter:
        case Member::kInsertionPoint:
            return PointValue(entity.position);
        case Member::kTextString:
            return entity.text;
        default:
            return SimObject::DoGet(state, member, args);
    }
}

void EntityObject::DoPut(SimState& state, Member member, const Variant& value) {
    Entity& entity = Data(state);
    Entity before = entity;
    PutValue(state, entity, member, value);
    state.EntityChanging(Id(), std::move(before));
}

void EntityObject::PutValue(SimState& state, Entity& entity, Member member, const Variant& value) {
    switch (member) {
        case Member::kColor: {
            const std::int16_t color = ColorValue(value);
            const auto& refused = state.faults.refusedColors;
            if (std::find(refused.begin(), refused.end(), color) != refused.end()) throw ValueRefused();
            entity.color = color;
            return;
        }
        case Member::kElevation:
            entity.elevation = ElevationValue(value);
            return;
        case Member::kCoordinates:
            if (entity.kind == EntityKind::kPoint) {
                entity.position = PointArgument(value);
            } else {
                // A new vertex list keeps the bulges of the vertices that stay.
                std::vector<Vertex> vertices = VerticesValue(value);
                for (std::size_t i = 0; i < vertices.size() && i < entity.vertices.size(); ++i) {
                    vertices[i].bulge = entity.vertices[i].bulge;
                }
                entity.vertices = std::move(vertices);
            }
            return;
        case Member::kCenter:
        case Member::kInsertionPoint:
            entity.position = PointArgument(value);
            return;
        case Member::kTextString:
            entity.text = korvena::ToText(value);
            return;
        case Member::kRadius: {
            const double radius = korvena::ToDouble(value);
            if (!(radius > 0)) throw korvena::InvalidCall(L"半径须为正数");
            entity.radius = radius;
            return;
        }
        default:
            SimObject::DoPut(state, member, value);
    }
}

Variant EntityObject::DoCall(SimState& state, Member member, const std::vector<Variant>& args) {
    if (member != Member::kDelete) return SimObject::DoCall(state, member, args);
    ExpectArgumentCount(args, 0);
    state.EntityChanging(Id(), Data(state));
    state.GroupsChanging();  // the entity leaves its groups
    state.EraseEntity(Id());
    return {};
}

}  // namespace korvena::cadsim
