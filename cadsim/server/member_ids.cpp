#include "cadsim/server/member_ids.h"

#include <array>

#include "base/ascii_case.h"
#include "cadsim/model/drawing.h"
#include "cadsim/model/member_names.h"

namespace korvena::cadsim {
namespace {

struct EntityMemberId {
    Member member;
    std::int32_t id;
};

// What every entity class has, with one number in all of them.
constexpr std::array<EntityMemberId, 5> kEveryEntity{{
    {Member::kHandle, 0x400},
    {Member::kObjectName, 0x401},
    {Member::kDelete, 0x404},
    {Member::kColor, 0x500},
    {Member::kEntityType, 0x576},
}};

struct ClassMemberId {
    EntityKind kind;
    Member member;
    std::int32_t id;
};

// Each class's own members that the simulator has; lines and custom entities have only those of every
// entity.
constexpr std::array<ClassMemberId, 19> kClassMembers{{
    {EntityKind::kArc, Member::kStartPoint, 1},
    {EntityKind::kArc, Member::kCenter, 2},
    {EntityKind::kArc, Member::kRadius, 4},
    {EntityKind::kCircle, Member::kCenter, 1},
    {EntityKind::kCircle, Member::kRadius, 2},
    {EntityKind::kEllipse, Member::kStartPoint, 1},
    {EntityKind::kEllipse, Member::kCenter, 2},
    {EntityKind::kPoint, Member::kCoordinates, 1},
    {EntityKind::kLwPolyline, Member::kCoordinates, 1},
    {EntityKind::kLwPolyline, Member::kElevation, 0xc},
    {EntityKind::kLwPolyline, Member::kCoordinate, 0xe},
    {EntityKind::kPolyline, Member::kCoordinates, 1},
    {EntityKind::kPolyline, Member::kElevation, 0xc},
    {EntityKind::kPolyline, Member::kCoordinate, 0x11},
    {EntityKind::kText, Member::kTextString, 1},
    {EntityKind::kText, Member::kInsertionPoint, 0xb},
    {EntityKind::kMText, Member::kTextString, 1},
    {EntityKind::kMText, Member::kInsertionPoint, 8},
    {EntityKind::kBlockReference, Member::kInsertionPoint, 1},
}};

// The model's number of the member on such an object, if it has one.
std::optional<std::int32_t> ModelId(ObjectKind object, int entityType, Member member) {
    if (member == Member::kUnknown) return std::nullopt;
    if (object != ObjectKind::kEntity) {
        if (member == Member::kNewEnum) return kNewEnumId;
        return static_cast<std::int32_t>(member);
    }
    for (const EntityMemberId& known : kEveryEntity) {
        if (known.member == member) return known.id;
    }
    for (const ClassMemberId& known : kClassMembers) {
        if (static_cast<int>(known.kind) == entityType && known.member == member) return known.id;
    }
    return std::nullopt;
}

// The member behind the model's number on such an object.
std::optional<Member> ModelMember(ObjectKind object, int entityType, std::int32_t id) {
    if (object != ObjectKind::kEntity) {
        if (id == kNewEnumId) return Member::kNewEnum;
        if (id > 0 && !MemberName(static_cast<Member>(id)).empty()) return static_cast<Member>(id);
        return std::nullopt;
    }
    for (const EntityMemberId& known : kEveryEntity) {
        if (known.id == id) return known.member;
    }
    for (const ClassMemberId& known : kClassMembers) {
        if (static_cast<int>(known.kind) == entityType && known.id == id) return known.member;
    }
    return std::nullopt;
}

}  // namespace

MemberIds& MemberIds::Instance() {
    static MemberIds ids;
    return ids;
}

std::int32_t MemberIds::IdOf(ObjectKind object, int entityType, std::wstring_view name) {
    if (const std::optional<std::int32_t> id = ModelId(object, entityType, FindMember(name))) return *id;
    std::wstring key = LowerAscii(name);
    if (const auto found = ids_.find(key); found != ids_.end()) return found->second;
    const std::int32_t id = nextId_++;
    ids_.emplace(std::move(key), id);
    names_.emplace(id, std::wstring(name));
    return id;
}

std::optional<std::wstring> MemberIds::NameOf(ObjectKind object, int entityType, std::int32_t id) const {
    if (const std::optional<Member> member = ModelMember(object, entityType, id)) {
        return std::wstring(MemberName(*member));
    }
    if (const auto found = names_.find(id); found != names_.end()) return found->second;
    return std::nullopt;
}

}  // namespace korvena::cadsim
