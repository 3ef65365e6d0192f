#include "cadsim/model/selection_objects.h"

#include <algorithm>
#include <utility>

#include "cadsim/model/sim_errors.h"
#include "cadsim/model/sim_state.h"

namespace korvena::cadsim {

using korvena::Variant;

SelectionSetObject::SelectionSetObject(std::weak_ptr<SimState> state, int serial, std::wstring name)
    : NamedEntityListObject(std::move(state), ObjectKind::kSelectionSet, serial, std::move(name)) {}

unsigned SelectionSetObject::AccessOf(Member member) const {
    switch (member) {
        case Member::kSelectOnScreen:
        case Member::kDelete:
            return kCallable;
        default:
            return NamedEntityListObject::AccessOf(member);
    }
}

void SelectionSetObject::CheckAlive(const SimState& state) const {
    NamedEntityListObject::CheckAlive(state);
    if (deleted_) throw ObjectErased();
}

Variant SelectionSetObject::DoCall(SimState& state, Member member, const std::vector<Variant>& args) {
    switch (member) {
        case Member::kSelectOnScreen: {
            ExpectArgumentCount(args, 0);
            // Entities that are not in the drawing (never were, or erased since) cannot be picked, and
            // an entity already in the set is not added twice.
            std::vector<int>& members = Members();
            for (int id : state.NextSelection(Name())) {
                if (state.drawing.Find(id) && std::find(members.begin(), members.end(), id) == members.end()) {
                    members.push_back(id);
                }
            }
            ++state.selectionsEnded;
            return {};
        }
        case Member::kDelete:
            ExpectArgumentCount(args, 0);
            state.RemoveSelectionSet(this);
            deleted_ = true;
            return {};
        default:
            return NamedEntityListObject::DoCall(state, member, args);
    }
}

}  // namespace korvena::cadsim
