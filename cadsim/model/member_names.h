#pragma once
// The member names the simulated CAD answers to. Names are matched without regard to case, as a
// late-bound caller may spell them ("entitytype", "textString", "center"); Member gives each name one
// stable number, which the COM server also uses as its DISPID on every object but an entity
// (member_ids.h).

#include <string>
#include <string_view>

namespace korvena::cadsim {

enum class Member {
    kUnknown = 0,
    // application
    kVisible,
    kCaption,
    kActiveDocument,
    kName,
    // document
    kUtility,
    kSelectionSets,
    kModelSpace,
    kGroups,
    // utility
    kPrompt,
    // collections
    kAdd,
    kCount,
    kItem,
    kNewEnum,  // "_NewEnum": the collection's enumeration
    kSelectOnScreen,
    kDelete,
    kAddLine,
    kAppendItems,
    // entities
    kEntityType,
    kObjectName,
    kHandle,
    kColor,
    kElevation,
    kCoordinate,
    kCoordinates,
    kCenter,
    kInsertionPoint,
    kTextString,
    // document, added later (numbers stay as they were)
    kStartUndoMark,
    kEndUndoMark,
    // arcs, circles, ellipses
    kRadius,
    kStartPoint,
};

// The member of that name, in any case; kUnknown when the CAD has no such name at all.
Member FindMember(std::wstring_view name);
// The member's own spelling ("EntityType", "_NewEnum"); empty for kUnknown.
std::wstring_view MemberName(Member member);

}  // namespace korvena::cadsim
