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

#include "cadsim/model/sim_object.h"

namespace korvena::cadsim {

class SelectionSetsObject final : public SimObject {
public:
    explicit SelectionSetsObject(std::weak_ptr<SimState> state);

protected:
    unsigned AccessOf(Member member) const override;
    korvena::Variant DoGet(SimState& state, Member member,
                           const std::vector<korvena::Variant>& args) override;
    korvena::Variant DoCall(SimState& state, Member member,
                            const std::vector<korvena::Variant>& args) override;
    std::vector<korvena::DispatchPtr> DoEnumerate(SimState& state) override;
};

class SelectionSetObject final : public SimObject {
public:
    SelectionSetObject(std::weak_ptr<SimState> state, int serial, std::wstring name);

    const std::wstring& Name() const noexcept { return name_; }
    // Entity ids in selection order.
    std::vector<int>& Members() noexcept { return members_; }
    const std::vector<int>& Members() const noexcept { return members_; }
    bool Deleted() const noexcept { return deleted_; }

protected:
    unsigned AccessOf(Member member) const override;
    void CheckAlive(const SimState& state) const override;
    korvena::Variant DoGet(SimState& state, Member member,
                           const std::vector<korvena::Variant>& args) override;
    korvena::Variant DoCall(SimState& state, Member member,
                            const std::vector<korvena::Variant>& args) override;
    std::vector<korvena::DispatchPtr> DoEnumerate(SimState& state) override;

private:
    std::wstring name_;
    std::vector<int> members_;
    bool deleted_ = false;
};

}  // namespace korvena::cadsim
