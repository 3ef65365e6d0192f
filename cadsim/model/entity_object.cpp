#include "cadsim/model/entity_object.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "cadsim/model/sim_errors.h"
#include "cadsim/model/sim_state.h"
#include "cad/convert.h"

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

EntityObject::EntityObject(std::weak_ptr<SimState> state, int id, EntityKind kind)
    : SimObject(std::move(state), ObjectKind::kEntity, id, static_cast<int>(kind)), kind_(kind) {}

unsigned EntityObject::AccessOf(Member member) const {
    switch (member) {
        case Member::kEntityType:
        case Member::kObjectName:
        case Member::kHandle:
            return kGettable;
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
            return static_cast<std::int32_t>(entity.kind);
        case Member::kObjectName:
            return std::wstring(ObjectNameOf(entity.kind));
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
