#pragma once
// The document's selection sets.
//   SelectionSets: Add(name) (call; fails when the name exists), Count, Item(index or name), enumeration
//   SelectionSet:  SelectOnScreen (call), Count, Item(index), Name, Delete (call), enumeration in
//                  selection order. Delete removes the set from the document, never its entities;
//                  any later call on the set fails.
// Names are compared without regard to case; indexes start at 0.

#include <memory>
#include <string>
#include <vector>

#include "cadsim/model/named_entity_list_objects.h"

namespace korvena::cadsim {

struct SelectionSetsTraits;  // in named_entity_list_objects.cpp

class SelectionSetsObject final : public NamedEntityListsObject<SelectionSetsTraits> {
public:
    using NamedEntityListsObject::NamedEntityListsObject;
};

// Members() are entity ids in selection order.
class SelectionSetObject final : public NamedEntityListObject {
public:
    SelectionSetObject(std::weak_ptr<SimState> state, int serial, std::wstring name);

    bool Deleted() const noexcept { return deleted_; }

protected:
    unsigned AccessOf(Member member) const override;
    void CheckAlive(const SimState& state) const override;
    korvena::Variant DoCall(SimState& state, Member member,
                            const std::vector<korvena::Variant>& args) override;

private:
    bool deleted_ = false;
};

}  // namespace korvena::cadsim
