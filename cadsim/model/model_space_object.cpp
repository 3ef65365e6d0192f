#include "cadsim/model/model_space_object.h"

#include <iterator>
#include <utility>

#include "cadsim/model/entity_object.h"
#include "cadsim/model/sim_state.h"

namespace korvena::cadsim {

using korvena::DispatchPtr;
using korvena::Variant;

ModelSpaceObject::ModelSpaceObject(std::weak_ptr<SimState> state)
    : SimObject(std::move(state), ObjectKind::kModelSpace) {}

unsigned ModelSpaceObject::AccessOf(Member member) const {
    switch (member) {
        case Member::kAddLine:
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

Variant ModelSpaceObject::DoGet(SimState& state, Member member, const std::vector<Variant>& args) {
    if (member == Member::kItem) return DoCall(state, member, args);
    ExpectArgumentCount(args, 0);
    if (member == Member::kCount) return static_cast<std::int32_t>(state.drawing.Count());
    return SimObject::DoGet(state, member, args);
}

Variant ModelSpaceObject::DoCall(SimState& state, Member member, const std::vector<Variant>& args) {
    if (member == Member::kItem) {
        ExpectArgumentCount(args, 1);
        const auto& entities = state.drawing.Entities();
        const std::size_t index = IndexArgument(args[0], entities.size());
        return DispatchPtr(state.EntityObjectFor(std::next(entities.begin(), index)->first));
    }
    if (member != Member::kAddLine) return SimObject::DoCall(state, member, args);
    ExpectArgumentCount(args, 2);
    Entity line;
    line.kind = EntityKind::kLine;
    line.position = PointArgument(args[0]);
    line.endPoint = PointArgument(args[1]);
    const int id = state.drawing.Add(std::move(line)).id;
    state.EntityChanging(id, std::nullopt);
    return DispatchPtr(state.EntityObjectFor(id));
}

std::vector<DispatchPtr> ModelSpaceObject::DoEnumerate(SimState& state) {
    std::vector<DispatchPtr> items;
    items.reserve(state.drawing.Count());
    for (const auto& [id, entity] : state.drawing.Entities()) items.push_back(state.EntityObjectFor(id));
    return items;
}

}  // namespace korvena::cadsim
