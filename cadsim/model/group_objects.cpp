#include "cadsim/model/group_objects.h"

#include <algorithm>
#include <utility>

#include "cadsim/model/sim_errors.h"
#include "cadsim/model/sim_state.h"

namespace korvena::cadsim {

using korvena::DispatchPtr;
using korvena::Variant;

GroupObject::GroupObject(std::weak_ptr<SimState> state, int serial, std::wstring name)
    : NamedEntityListObject(std::move(state), ObjectKind::kGroup, serial, std::move(name)) {}

unsigned GroupObject::AccessOf(Member member) const {
    if (member == Member::kAppendItems) return kCallable;
    return NamedEntityListObject::AccessOf(member);
}

Variant GroupObject::DoCall(SimState& state, Member member, const std::vector<Variant>& args) {
    if (member != Member::kAppendItems) return NamedEntityListObject::DoCall(state, member, args);
    ExpectArgumentCount(args, 1);
    if (!args[0].Is<std::vector<DispatchPtr>>()) {
        throw korvena::TypeMismatch(L"需要实体对象数组");
    }
    std::vector<int> ids;
    for (const DispatchPtr& object : args[0].As<std::vector<DispatchPtr>>()) {
        const int id = state.LiveEntityIdOf(object);
        if (id == 0) throw korvena::InvalidCall(L"不是图形中的实体");
        ids.push_back(id);
    }
    state.GroupsChanging();
    std::vector<int>& members = Members();
    for (int id : ids) {
        if (std::find(members.begin(), members.end(), id) == members.end()) members.push_back(id);
    }
    return {};
}

}  // namespace korvena::cadsim
