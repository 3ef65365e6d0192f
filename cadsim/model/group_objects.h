#pragma once
// The drawing's groups.
//   Groups: Add(name) (call; fails when the name exists), Count, Item(index or name), enumeration
//   Group:  AppendItems(array of entities) (call), Name, Count, Item(index), enumeration
// AppendItems takes entity objects handed out by this simulation (the same object, or the one the
// COM server unwraps); anything else, or an erased entity, fails the whole call. An entity already
// in the group is not added twice; an empty array is accepted and changes nothing.

#include <memory>
#include <string>
#include <vector>

#include "cadsim/model/named_entity_list_objects.h"

namespace korvena::cadsim {

struct GroupsTraits;  // in named_entity_list_objects.cpp

class GroupsObject final : public NamedEntityListsObject<GroupsTraits> {
public:
    using NamedEntityListsObject::NamedEntityListsObject;
};

class GroupObject final : public NamedEntityListObject {
public:
    GroupObject(std::weak_ptr<SimState> state, int serial, std::wstring name);

protected:
    unsigned AccessOf(Member member) const override;
    korvena::Variant DoCall(SimState& state, Member member,
                            const std::vector<korvena::Variant>& args) override;
};

}  // namespace korvena::cadsim
