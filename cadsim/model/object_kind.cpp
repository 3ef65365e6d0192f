#include "cadsim/model/object_kind.h"

#include <array>
#include <utility>

#include "base/ascii_case.h"
#include "cadsim/model/member_names.h"

namespace korvena::cadsim {

namespace {

constexpr std::array<std::pair<ObjectKind, std::wstring_view>, 9> kNames{{
    {ObjectKind::kApplication, L"Application"},
    {ObjectKind::kDocument, L"Document"},
    {ObjectKind::kUtility, L"Utility"},
    {ObjectKind::kSelectionSets, L"SelectionSets"},
    {ObjectKind::kSelectionSet, L"SelectionSet"},
    {ObjectKind::kModelSpace, L"ModelSpace"},
    {ObjectKind::kGroups, L"Groups"},
    {ObjectKind::kGroup, L"Group"},
    {ObjectKind::kEntity, L"Entity"},
}};

}  // namespace

std::wstring_view ObjectKindName(ObjectKind kind) {
    for (const auto& [known, name] : kNames) {
        if (known == kind) return name;
    }
    return L"?";
}

std::optional<ObjectKind> ObjectKindFromName(std::wstring_view name) {
    for (const auto& [kind, known] : kNames) {
        if (SameIgnoringAsciiCase(known, name)) return kind;
    }
    return std::nullopt;
}

}  // namespace korvena::cadsim
