#pragma once
// What the selection sets and the groups have in common: a named list of entities, and the
// collection of such lists in the document.
//   Collection: Add(name) (call; fails when the name exists), Count, Item(index or name), enumeration
//   List:       Name, Count, Item(index), enumeration in the list's own order
// Names are compared without regard to case; indexes start at 0.

#include <memory>
#include <string>
#include <vector>

#include "cadsim/model/sim_object.h"

namespace korvena::cadsim {

// A collection of named entity lists. Traits tells it its kind, where SimState keeps the lists, how
// to find and add one, and the message when no list has the name asked for (see the .cpp).
template <typename Traits>
class NamedEntityListsObject : public SimObject {
public:
    explicit NamedEntityListsObject(std::weak_ptr<SimState> state);

protected:
    unsigned AccessOf(Member member) const override;
    korvena::Variant DoGet(SimState& state, Member member,
                           const std::vector<korvena::Variant>& args) override;
    korvena::Variant DoCall(SimState& state, Member member,
                            const std::vector<korvena::Variant>& args) override;
    std::vector<korvena::DispatchPtr> DoEnumerate(SimState& state) override;
};

// One named entity list. A derived object adds its own members to AccessOf and DoCall and hands
// the others back to these.
class NamedEntityListObject : public SimObject {
public:
    const std::wstring& Name() const noexcept { return name_; }
    // Entity ids, in the list's order.
    std::vector<int>& Members() noexcept { return members_; }
    const std::vector<int>& Members() const noexcept { return members_; }

protected:
    NamedEntityListObject(std::weak_ptr<SimState> state, ObjectKind kind, int serial, std::wstring name);

    unsigned AccessOf(Member member) const override;
    korvena::Variant DoGet(SimState& state, Member member,
                           const std::vector<korvena::Variant>& args) override;
    korvena::Variant DoCall(SimState& state, Member member,
                            const std::vector<korvena::Variant>& args) override;
    std::vector<korvena::DispatchPtr> DoEnumerate(SimState& state) override;

private:
    std::wstring name_;
    std::vector<int> members_;
};

}  // namespace korvena::cadsim
