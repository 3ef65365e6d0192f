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

#include "cadsim/model/sim_object.h"

namespace korvena::cadsim {

class GroupsObject final : public SimObject {
public:
    explicit GroupsObject(std::weak_ptr<SimState> state);

protected:
    unsigned AccessOf(Member member) const override;
    korvena::Variant DoGet(SimState& state, Member member,
                           const std::vector<korvena::Variant>& args) override;
    korvena::Variant DoCall(SimState& state, Member member,
                            const std::vector<korvena::Variant>& args) override;
    std::vector<korvena::DispatchPtr> DoEnumerate(SimState& state) override;
};

class GroupObject final : public SimObject {
public:
    GroupObject(std::weak_ptr<SimState> state, int serial, std::wstring name);

    const std::wstring& Name() const noexcept { return name_; }
    std::vector<int>& Members() noexcept { return members_; }
    const std::vector<int>& Members() const noexcept { return members_; }

protected:
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
