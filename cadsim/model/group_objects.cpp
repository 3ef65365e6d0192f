#include "cadsim/model/group_objects.h"

#include <algorithm>
#include <utility>

#include "cadsim/model/entity_object.h"
#include "cadsim/model/sim_errors.h"
#include "cadsim/model/sim_state.h"

namespace korvena::cadsim {

using korvena::DispatchPtr;
using korvena::Variant;

GroupsObject::GroupsObject(std::weak_ptr<SimState> state)
    : SimObject(std::move(state), ObjectKind::kGroups) {}

unsigned GroupsObject::AccessOf(Member member) const {
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

Variant GroupsObject::DoGet(SimState& state, Member member, const std::vector<Variant>& args) {
    if (member == Member::kItem) return DoCall(state, member, args);
    ExpectArgumentCount(args, 0);
    if (member == Member::kCount) return static_cast<std::int32_t>(state.groups.size());
    return SimObject::DoGet(state, member, args);
}

Variant GroupsObject::DoCall(SimState& state, Member member, const std::vector<Variant>& args) {
    ExpectArgumentCount(args, 1);
    if (member == Member::kAdd) {
        std::wstring name = NameArgument(args[0]);
        if (state.FindGroup(name)) ThrowDuplicateName(name);
        return DispatchPtr(state.AddGroup({std::move(name), {}}));
    }
    if (member == Member::kItem) {
        if (args[0].Is<std::wstring>()) {
            if (auto group = state.FindGroup(args[0].As<std::wstring>())) return DispatchPtr(group);
            ThrowInvalidArgument(L"没有该名称的编组");
        }
        return DispatchPtr(state.groups[IndexArgument(args[0], state.groups.size())]);
    }
    return SimObject::DoCall(state, member, args);
}

std::vector<DispatchPtr> GroupsObject::DoEnumerate(SimState& state) {
    return std::vector<DispatchPtr>(state.groups.begin(), state.groups.end());
}

GroupObject::GroupObject(std::weak_ptr<SimState> state, int serial, std::wstring name)
    : SimObject(std::move(state), ObjectKind::kGroup, serial), name_(std::move(name)) {}

unsigned GroupObject::AccessOf(Member member) const {
    switch (member) {
        case Member::kAppendItems:
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

Variant GroupObject::DoGet(SimState& state, Member member, const std::vector<Variant>& args) {
    if (member == Member::kItem) return DoCall(state, member, args);
    ExpectArgumentCount(args, 0);
    if (member == Member::kCount) return static_cast<std::int32_t>(members_.size());
    if (member == Member::kName) return name_;
    return SimObject::DoGet(state, member, args);
}

Variant GroupObject::DoCall(SimState& state, Member member, const std::vector<Variant>& args) {
    ExpectArgumentCount(args, 1);
    if (member == Member::kItem) {
        return DispatchPtr(state.EntityObjectFor(members_[IndexArgument(args[0], members_.size())]));
    }
    if (member != Member::kAppendItems) return SimObject::DoCall(state, member, args);

    if (!args[0].Is<std::vector<DispatchPtr>>()) {
        throw korvena::AutomationError(korvena::error_number::kTypeMismatch, L"需要实体对象数组");
    }
    std::vector<int> ids;
    for (const DispatchPtr& object : args[0].As<std::vector<DispatchPtr>>()) {
        const int id = state.LiveEntityIdOf(object);
        if (id == 0) ThrowInvalidArgument(L"不是图形中的实体");
        ids.push_back(id);
    }
    for (int id : ids) {
        if (std::find(members_.begin(), members_.end(), id) == members_.end()) members_.push_back(id);
    }
    return {};
}

std::vector<DispatchPtr> GroupObject::DoEnumerate(SimState& state) {
    std::vector<DispatchPtr> items;
    items.reserve(members_.size());
    for (int id : members_) items.push_back(state.EntityObjectFor(id));
    return items;
}

}  // namespace korvena::cadsim
