#include "cad/entity_identity.h"

#include <array>
#include <utility>

#include "base/ascii_case.h"
#include "cad/automation_error.h"

namespace korvena {

namespace {

// The commands have always spelled the member this way in their calls; the CAD ignores case.
constexpr std::wstring_view kEntityTypeCall = L"entitytype";

// The one table from class names to codes. Class names are the CAD's own identifiers, compared
// exactly.
constexpr std::array<std::pair<std::wstring_view, std::int32_t>, 9> kClasses{{
    {L"AcDbPolyline", entity_type::kLwPolyline},
    {L"AcDb2dPolyline", entity_type::kPolyline},
    {L"AcDbText", entity_type::kText},
    {L"AcDbMText", entity_type::kMText},
    {L"AcDbCircle", entity_type::kCircle},
    {L"AcDbArc", entity_type::kArc},
    {L"AcDbEllipse", entity_type::kEllipse},
    {L"AcDbPoint", entity_type::kPoint},
    {L"AcDbBlockReference", entity_type::kBlockReference},
}};

// The class name's code; nothing when the CAD answers ObjectName with something that is no name.
std::optional<std::int32_t> CodeOfClassName(const Variant& answer) {
    try {
        return EntityTypeOfClass(ClassName(answer));
    } catch (const AutomationError&) {
        return std::nullopt;
    }
}

// ObjectName, read when the CAD is not trusted with codes or the entity cannot say its code. A CAD
// that lacks the member cannot say what its entities are.
std::optional<Variant> ObjectName(Dispatch& entity) {
    try {
        return entity.Get(kObjectNameMember);
    } catch (const AutomationError& e) {
        if (e.Number() == error_number::kMemberNotSupported) return std::nullopt;
        throw;
    }
}

}  // namespace

std::int32_t EntityTypeOfClass(std::wstring_view className) {
    for (const auto& [name, code] : kClasses) {
        if (name == className) return code;
    }
    return entity_type::kOther;
}

std::int32_t EntityTypeCode(const Variant& answer) {
    return ToLong(answer);
}

std::wstring ClassName(const Variant& answer) {
    return ToText(answer);
}

std::optional<std::int32_t> IdentifyEntity(Dispatch& entity, EntityIdentity identity) {
    if (identity == EntityIdentity::kObjectName) {
        const std::optional<Variant> name = ObjectName(entity);
        return name ? CodeOfClassName(*name) : std::nullopt;
    }
    Variant code;
    try {
        code = entity.Get(kEntityTypeCall);
    } catch (const AutomationError& cannotSay) {
        if (cannotSay.Number() == error_number::kMemberNotSupported) throw;
        std::optional<Variant> name;
        try {
            name = ObjectName(entity);
        } catch (const AutomationError&) {
            throw cannotSay;
        }
        return name ? CodeOfClassName(*name) : std::nullopt;
    }
    return EntityTypeCode(code);
}

bool IsIdentityMember(std::wstring_view member) {
    return SameIgnoringAsciiCase(member, kEntityTypeMember) || SameIgnoringAsciiCase(member, kObjectNameMember);
}

std::optional<std::wstring> ClassKey(std::wstring_view member, const Variant& answer) {
    try {
        if (SameIgnoringAsciiCase(member, kEntityTypeMember)) {
            return std::wstring(kEntityTypeMember) + L" " + std::to_wstring(EntityTypeCode(answer));
        }
        if (SameIgnoringAsciiCase(member, kObjectNameMember)) {
            return std::wstring(kObjectNameMember) + L" " + ClassName(answer);
        }
    } catch (const AutomationError&) {
    }
    return std::nullopt;
}

}  // namespace korvena
