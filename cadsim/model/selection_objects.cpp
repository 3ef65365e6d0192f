#include "cadsim/model/selection_objects.h"

#include <algorithm>
#include <utility>

#include "cadsim/model/entity_object.h"
#include "cadsim/model/sim_errors.h"
#include "cadsim/model/sim_state.h"

namespace korvena::cadsim {

using korvena::DispatchPtr;
using korvena::Variant;

SelectionSetsObject::SelectionSetsObject(std::weak_ptr<SimState> state)
    : SimObject(std::move(state), ObjectKind::kSelectionSets) {}

unsigned SelectionSetsObject::AccessOf(Member member) const {
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

Variant SelectionSetsObject::DoGet(SimState& state, Member member, const std::vector<Variant>& args) {
    if (member == Member::kItem) return DoCall(state, member, args);
    ExpectArgumentCount(args, 0);
    if (member == Member::kCount) return static_cast<std::int32_t>(state.selectionSets.size());
    return SimObject::DoGet(state, member, args);
}

Variant SelectionSetsObject::DoCall(SimState& state, Member member, const std::vector<Variant>& args) {
    ExpectArgumentCount(args, 1);
    if (member == Member::kAdd) {
        std::wstring name = NameArgument(args[0]);
        if (state.FindSelectionSet(name)) ThrowDuplicateName(name);
        return DispatchPtr(state.AddSelectionSet({std::move(name), {}}));
    }
    if (member == Member::kItem) {
        if (args[0].Is<std::wstring>()) {
            if (auto set = state.FindSelectionSet(args[0].As<std::wstring>())) return DispatchPtr(set);
            ThrowInvalidArgument(L"没有该名称的选择集");
        }
        return DispatchPtr(state.selectionSets[IndexArgument(args[0], state.selectionSets.size())]);
    }
    return SimObject::DoCall(state, member, args);
}

std::vector<DispatchPtr> SelectionSetsObject::DoEnumerate(SimState& state) {
    return std::vector<DispatchPtr>(state.selectionSets.begin(), state.selectionSets.end());
}

SelectionSetObject::SelectionSetObject(std::weak_ptr<SimState> state, int serial, std::wstring name)
    : SimObject(std::move(state), ObjectKind::kSelectionSet, serial), name_(std::move(name)) {}

unsigned SelectionSetObject::AccessOf(Member member) const {
    switch (member) {
        case Member::kSelectOnScreen:
        case Member::kDelete:
            return kCallable;
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

void SelectionSetObject::CheckAlive(const SimState& state) const {
    SimObject::CheckAlive(state);
    if (deleted_) ThrowObjectErased();
}

Variant SelectionSetObject::DoGet(SimState& state, Member member, const std::vector<Variant>& args) {
    if (member == Member::kItem) return DoCall(state, member, args);
    ExpectArgumentCount(args, 0);
    if (member == Member::kCount) return static_cast<std::int32_t>(members_.size());
    if (member == Member::kName) return name_;
    return SimObject::DoGet(state, member, args);
}

Variant SelectionSetObject::DoCall(SimState& state, Member member, const std::vector<Variant>& args) {
    switch (member) {
        case Member::kItem:
            ExpectArgumentCount(args, 1);
            return DispatchPtr(state.EntityObjectFor(members_[IndexArgument(args[0], members_.size())]));
        case Member::kSelectOnScreen: {
            ExpectArgumentCount(args, 0);
            // Entities that are not in the drawing (never were, or erased since) cannot be picked, and
            // an entity already in the set is not added twice.
            for (int id : state.NextSelection(name_)) {
                if (state.drawing.Find(id) &&
                    std::find(members_.begin(), members_.end(), id) == members_.end()) {
                    members_.push_back(id);
                }
            }
            return {};
        }
        case Member::kDelete:
            ExpectArgumentCount(args, 0);
            state.RemoveSelectionSet(this);
            deleted_ = true;
            return {};
        default:
            return SimObject::DoCall(state, member, args);
    }
}

std::vector<DispatchPtr> SelectionSetObject::DoEnumerate(SimState& state) {
    std::vector<DispatchPtr> items;
    items.reserve(members_.size());
    for (int id : members_) items.push_back(state.EntityObjectFor(id));
    return items;
}

}  // namespace korvena::cadsim
