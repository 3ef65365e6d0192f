#pragma once
// What an entity is. The commands tell entities apart by AutoCAD's EntityType codes. AutoCAD's own
// codes are read as they are; every other CAD is asked for the entity's class name (ObjectName), which
// one table turns into the same codes, because what such a CAD's EntityType answers is not AutoCAD's
// numbering for certain. Either way one call per entity.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cad/dispatch.h"

namespace korvena {

// AutoCAD's EntityType codes of the kinds the commands accept, and one for every other kind.
namespace entity_type {
inline constexpr std::int32_t kArc = 4;
inline constexpr std::int32_t kBlockReference = 7;
inline constexpr std::int32_t kCircle = 8;
inline constexpr std::int32_t kEllipse = 16;
inline constexpr std::int32_t kMText = 21;
inline constexpr std::int32_t kPoint = 22;
inline constexpr std::int32_t kPolyline = 23;    // old-style 2D polyline
inline constexpr std::int32_t kLwPolyline = 24;  // lightweight polyline, also a donut
inline constexpr std::int32_t kText = 32;
inline constexpr std::int32_t kOther = 0;  // no code of AutoCAD's: a kind no command accepts
}  // namespace entity_type

inline constexpr std::wstring_view kEntityTypeMember = L"EntityType";
inline constexpr std::wstring_view kObjectNameMember = L"ObjectName";

// How the program asks the CAD it is attached to what an entity is.
enum class EntityIdentity {
    kEntityType,  // AutoCAD: the code; the class name only for an entity that cannot say its code
    kObjectName,  // any other CAD: the class name, whatever its EntityType says
};

// The code of a class name: AcDbPolyline 24, AcDb2dPolyline 23, AcDbText 32, AcDbMText 21,
// AcDbCircle 8, AcDbArc 4, AcDbEllipse 16, AcDbPoint 22, AcDbBlockReference 7; kOther for every
// other class (AcDb3dPolyline, AcDbMInsertBlock, AcDbLine, a custom entity's class, ...).
std::int32_t EntityTypeOfClass(std::wstring_view className);

// The two answers as the commands read them; each throws AutomationError for an answer of the
// wrong kind.
std::int32_t EntityTypeCode(const Variant& answer);  // a whole number (ToLong)
std::wstring ClassName(const Variant& answer);       // a string

// What an entity is, as AutoCAD's code, with one call to the CAD (two for an entity that cannot say
// its code):
//   kEntityType: its EntityType. When that read fails with an error the CAD raised other than a
//     member it lacks (438, which stays the command's error), the entity cannot say its code (a
//     custom entity's EntityType is not implemented) and its ObjectName is asked instead; when that
//     fails too, the EntityType's error is the command's.
//   kObjectName: its ObjectName, mapped with EntityTypeOfClass; a failing read is the command's error.
// Nothing when the CAD cannot say what the entity is at all: it lacks ObjectName, or answers it with
// something other than a string. A CadBusyCancelled goes through.
std::optional<std::int32_t> IdentifyEntity(Dispatch& entity, EntityIdentity identity);

// Whether a member, in any case, is one of the two through which an entity says what it is. Every
// entity has both, from the interface every entity class derives from.
bool IsIdentityMember(std::wstring_view member);

// The key that objects of one class share their member IDs under, from an answer to EntityType
// ("EntityType 24") or ObjectName ("ObjectName AcDbCircle"), read with the conversions above;
// nothing for another member or an answer those conversions refuse.
std::optional<std::wstring> ClassKey(std::wstring_view member, const Variant& answer);

}  // namespace korvena
