#pragma once
// MemberIds: the DISPIDs of the served objects, one table for the whole process, so that a DISPID a
// client keeps for one object means the same member on every other object of its class.
//
// Entities have the DISPIDs of AutoCAD's type library, which differ from class to class where the
// classes differ: the members every entity class has from the interfaces it derives from keep one
// number in all of them (Handle 0x400, ObjectName 0x401, Delete 0x404, Color 0x500, EntityType
// 0x576), while a class's own members are numbered within the class (a circle's Center is 1, an arc's
// is 2, where the arc has its StartPoint; a text's InsertionPoint is 11, a multi-line text's 8). The
// other objects' members keep their Member number. "_NewEnum" is the enumeration's standard DISPID; any
// other name an object answers to (an injected answer) gets a number of its own, from 0x10000 up, the
// first time it is seen. Names are matched without regard to case. Use from the server's one thread.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "cadsim/model/object_kind.h"

namespace korvena::cadsim {

inline constexpr std::int32_t kNewEnumId = -4;  // DISPID_NEWENUM

class MemberIds {
public:
    static MemberIds& Instance();

    // The number for a name on an object of this kind (for an entity, of this EntityType code of the
    // drawing's), given out now if it has none yet.
    std::int32_t IdOf(ObjectKind object, int entityType, std::wstring_view name);
    // The name behind a number on such an object, in its first spelling; nothing for a number that
    // names no member of it.
    std::optional<std::wstring> NameOf(ObjectKind object, int entityType, std::int32_t id) const;

private:
    std::map<std::wstring, std::int32_t> ids_;  // names without a number of the model's, by lower-cased name
    std::map<std::int32_t, std::wstring> names_;
    std::int32_t nextId_ = 0x10000;
};

}  // namespace korvena::cadsim
