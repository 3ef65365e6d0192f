#include "cadsim/model/member_names.h"

#include <array>
#include <utility>

#include "base/ascii_case.h"

namespace korvena::cadsim {

namespace {

constexpr std::array<std::pair<Member, std::wstring_view>, 31> kNames{{
    {Member::kVisible, L"Visible"},
    {Member::kCaption, L"Caption"},
    {Member::kActiveDocument, L"ActiveDocument"},
    {Member::kName, L"Name"},
    {Member::kUtility, L"Utility"},
    {Member::kSelectionSets, L"SelectionSets"},
    {Member::kModelSpace, L"ModelSpace"},
    {Member::kGroups, L"Groups"},

    {Member::kPrompt, L"Prompt"},
    {Member::kAdd, L"Add"},
    {Member::kCount, L"Count"},
    {Member::kItem, L"Item"},
    {Member::kNewEnum, L"_NewEnum"},
    {Member::kSelectOnScreen, L"SelectOnScreen"},
    {Member::kDelete, L"Delete"},
    {Member::kAddLine, L"AddLine"},
    {Member::kAppendItems, L"AppendItems"},
    {Member::kEntityType, L"EntityType"},
    {Member::kObjectName, L"ObjectName"},
    {Member::kHandle, L"Handle"},
    {Member::kColor, L"Color"},
    {Member::kElevation, L"Elevation"},
    {Member::kCoordinate, L"Coordinate"},
    {Member::kCoordinates, L"Coordinates"},
    {Member::kCenter, L"Center"},
    {Member::kInsertionPoint, L"InsertionPoint"},
    {Member::kTextString, L"TextString"},
    {Member::kStartUndoMark, L"StartUndoMark"},
    {Member::kEndUndoMark, L"EndUndoMark"},
    {Member::kRadius, L"Radius"},
    {Member::kStartPoint, L"StartPoint"},
}};

}  // namespace

Member FindMember(std::wstring_view name) {
    for (const auto& [member, spelling] : kNames) {
        if (SameIgnoringAsciiCase(name, spelling)) return member;
    }
    return Member::kUnknown;
}

std::wstring_view MemberName(Member member) {
    for (const auto& [known, spelling] : kNames) {
        if (known == member) return spelling;
    }
    return {};
}

}  // namespace korvena::cadsim
