#include "cadsim/model/drawing.h"

#include <array>
#include <stdexcept>
#include <utility>

#include "base/ascii_case.h"
#include "cadsim/model/member_names.h"

namespace korvena::cadsim {

namespace {

struct KindNames {
    EntityKind kind;
    std::wstring_view fileName;
    std::wstring_view objectName;
    std::int16_t intelliCadCode;  // the IntelliCAD lineage's EntityType (its 0 is "UnknownEntity")
};

constexpr std::array<KindNames, 11> kKinds{{
    {EntityKind::kCustom, L"custom", L"", 0},  // its own class name
    {EntityKind::kArc, L"arc", L"AcDbArc", 3},
    {EntityKind::kBlockReference, L"blockReference", L"AcDbBlockReference", 6},
    {EntityKind::kCircle, L"circle", L"AcDbCircle", 7},
    {EntityKind::kEllipse, L"ellipse", L"AcDbEllipse", 15},
    {EntityKind::kLine, L"line", L"AcDbLine", 21},
    {EntityKind::kMText, L"mtext", L"AcDbMText", 23},
    {EntityKind::kPoint, L"point", L"AcDbPoint", 24},
    {EntityKind::kPolyline, L"polyline", L"AcDb2dPolyline", 25},
    {EntityKind::kLwPolyline, L"lwpolyline", L"AcDbPolyline", 22},
    {EntityKind::kText, L"text", L"AcDbText", 32},
}};

const KindNames& NamesOf(EntityKind kind) {
    for (const auto& names : kKinds) {
        if (names.kind == kind) return names;
    }
    throw std::invalid_argument("unknown entity kind");
}

}  // namespace

bool IsPolylineKind(EntityKind kind) {
    return kind == EntityKind::kPolyline || kind == EntityKind::kLwPolyline;
}

bool IsTextKind(EntityKind kind) {
    return kind == EntityKind::kText || kind == EntityKind::kMText;
}

bool HasCenter(EntityKind kind) {
    return kind == EntityKind::kArc || kind == EntityKind::kCircle || kind == EntityKind::kEllipse;
}

std::optional<EntityKind> KindFromCode(int code) {
    for (const auto& names : kKinds) {
        if (static_cast<int>(names.kind) == code) return names.kind;
    }
    return std::nullopt;
}

std::wstring_view KindName(EntityKind kind) {
    return NamesOf(kind).fileName;
}

std::optional<EntityKind> KindFromName(std::wstring_view name) {
    for (const auto& names : kKinds) {
        if (SameIgnoringAsciiCase(names.fileName, name)) return names.kind;
    }
    return std::nullopt;
}

std::int16_t IntelliCadEntityType(EntityKind kind) {
    return NamesOf(kind).intelliCadCode;
}

std::wstring ObjectNameOf(const Entity& entity) {
    if (entity.kind == EntityKind::kCustom) return entity.className;
    return std::wstring(NamesOf(entity.kind).objectName);
}

Entity& Drawing::Add(Entity entity) {
    if (entity.id == 0) entity.id = lastId_ + 1;
    if (entity.id <= lastId_) {
        throw std::invalid_argument("entity id " + std::to_string(entity.id) + " is not above " +
                                    std::to_string(lastId_));
    }
    NamesOf(entity.kind);  // rejects a kind the drawing does not know
    lastId_ = entity.id;
    const int id = entity.id;
    return entities_.emplace(id, std::move(entity)).first->second;
}

void Drawing::Restore(Entity entity) {
    const int id = entity.id;
    entities_.insert_or_assign(id, std::move(entity));
}

bool Drawing::Erase(int id) {
    return entities_.erase(id) > 0;
}

Entity* Drawing::Find(int id) {
    const auto found = entities_.find(id);
    return found == entities_.end() ? nullptr : &found->second;
}

const Entity* Drawing::Find(int id) const {
    const auto found = entities_.find(id);
    return found == entities_.end() ? nullptr : &found->second;
}

}  // namespace korvena::cadsim
