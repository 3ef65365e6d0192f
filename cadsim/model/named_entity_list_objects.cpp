#include "cadsim/model/named_entity_list_objects.h"

#include <utility>

#include "cadsim/model/entity_object.h"
#include "cadsim/model/group_objects.h"
#include "cadsim/model/selection_objects.h"
#include "cadsim/model/sim_errors.h"
#include "cadsim/model/sim_state.h"

namespace korvena::cadsim {

using korvena::DispatchPtr;
using korvena::Variant;

struct SelectionSetsTraits {
    static constexpr ObjectKind kKind = ObjectKind::kSelectionSets;
    static constexpr const wchar_t* kNoSuchName = L"没有该名称的选择集";
    static auto& List(SimState& state) { return state.selectionSets; }
    static auto Find(const SimState& state, std::wstring_view name) { return state.FindSelectionSet(name); }
    static auto Add(SimState& state, std::wstring name) { return state.AddSelectionSet({std::move(name), {}}); }
    static void Changing(SimState&) {}  // selection sets are no part of the drawing's undo history
};

struct GroupsTraits {
    static constexpr ObjectKind kKind = ObjectKind::kGroups;
    static constexpr const wchar_t* kNoSuchName = L"没有该名称的编组";
    static auto& List(SimState& state) { return state.groups; }
    static auto Find(const SimState& state, std::wstring_view name) { return state.FindGroup(name); }
    static auto Add(SimState& state, std::wstring name) { return state.AddGroup({std::move(name), {}}); }
    static void Changing(SimState& state) { state.GroupsChanging(); }
};

template <typename Traits>
NamedEntityListsObject<Traits>::NamedEntityListsObject(std::weak_ptr<SimState> state)
    : SimObject(std::move(state), Traits::kKind) {}

template <typename Traits>
unsigned NamedEntityListsObject<Traits>::AccessOf(Member member) const {
    switch (member) {
        case Member::kAdd:
            return kCallable;
        case Member::kCount:
            return kGettable;
        case Member::kItem:
            return kGettable | kCallable;
        case Member::kNewEnum:
            return kEnumerable;
        default:
            return 0;
    }
}

template <typename Traits>
Variant NamedEntityListsObject<Traits>::DoGet(SimState& state, Member member, const std::vector<Variant>& args) {
    if (member == Member::kItem) return DoCall(state, member, args);
    ExpectArgumentCount(args, 0);
    if (member == Member::kCount) return static_cast<std::int32_t>(Traits::List(state).size());
    return SimObject::DoGet(state, member, args);
}

template <typename Traits>
Variant NamedEntityListsObject<Traits>::DoCall(SimState& state, Member member, const std::vector<Variant>& args) {
    ExpectArgumentCount(args, 1);
    if (member == Member::kAdd) {
        std::wstring name = NameArgument(args[0]);
        if (Traits::Find(state, name)) throw DuplicateName(name);
        Traits::Changing(state);
        return DispatchPtr(Traits::Add(state, std::move(name)));
    }
    if (member == Member::kItem) {
        if (args[0].Is<std::wstring>()) {
            if (auto list = Traits::Find(state, args[0].As<std::wstring>())) return DispatchPtr(list);
            throw korvena::InvalidCall(Traits::kNoSuchName);
        }
        const auto& lists = Traits::List(state);
        return DispatchPtr(lists[IndexArgument(args[0], lists.size())]);
    }
    return SimObject::DoCall(state, member, args);
}

template <typename Traits>
std::vector<DispatchPtr> NamedEntityListsObject<Traits>::DoEnumerate(SimState& state) {
    const auto& lists = Traits::List(state);
    return std::vector<DispatchPtr>(lists.begin(), lists.end());
}

template class NamedEntityListsObject<SelectionSetsTraits>;
template class NamedEntityListsObject<GroupsTraits>;

NamedEntityListObject::NamedEntityListObject(std::weak_ptr<SimState> state, ObjectKind kind, int serial,
                                             std::wstring name)
    : SimObject(std::move(state), kind, serial), name_(std::move(name)) {}

unsigned NamedEntityListObject::AccessOf(Member member) const {
    switch (member) {
        case Member::kCount:
        case Member::kName:
            return kGettable;
        case Member::kItem:
            return kGettable | kCallable;
        case Member::kNewEnum:
            return kEnumerable;
        default:
            return 0;
    }
}

Variant NamedEntityListObject::DoGet(SimState& state, Member member, const std::vector<Variant>& args) {
    if (member == Member::kItem) return DoCall(state, member, args);
    ExpectArgumentCount(args, 0);
    if (member == Member::kCount) return static_cast<std::int32_t>(members_.size());
    if (member == Member::kName) return name_;
    return SimObject::DoGet(state, member, args);
}

Variant NamedEntityListObject::DoCall(SimState& state, Member member, const std::vector<Variant>& args) {
    if (member != Member::kItem) return SimObject::DoCall(state, member, args);
    ExpectArgumentCount(args, 1);
    return DispatchPtr(state.EntityObjectFor(members_[IndexArgument(args[0], members_.size())]));
}

std::vector<DispatchPtr> NamedEntityListObject::DoEnumerate(SimState& state) {
    std::vector<DispatchPtr> items;
    items.reserve(members_.size());
    for (int id : members_) items.push_back(state.EntityObjectFor(id));
    return items;
}

}  // namespace korvena::cadsim
