#pragma once
// The kinds of object the simulated CAD hands out.

#include <optional>
#include <string_view>

namespace korvena::cadsim {

enum class ObjectKind {
    kApplication,
    kDocument,
    kUtility,
    kSelectionSets,
    kSelectionSet,
    kModelSpace,
    kGroups,
    kGroup,
    kEntity,
};

// "Application", "SelectionSet", "Entity", ...
std::wstring_view ObjectKindName(ObjectKind kind);
std::optional<ObjectKind> ObjectKindFromName(std::wstring_view name);

}  // namespace korvena::cadsim
