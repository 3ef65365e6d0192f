#pragma once
// The model space of the simulated drawing: every entity, in drawing order.
//   AddLine(start, end) (call; three doubles each) → the new line, appended to the drawing
//   Count, Item(index), enumeration

#include <memory>
#include <vector>

#include "cadsim/model/sim_object.h"

namespace korvena::cadsim {

class ModelSpaceObject final : public SimObject {
public:
    explicit ModelSpaceObject(std::weak_ptr<SimState> state);

protected:
    unsigned AccessOf(Member member) const override;
    korvena::Variant DoGet(SimState& state, Member member,
                           const std::vector<korvena::Variant>& args) override;
    korvena::Variant DoCall(SimState& state, Member member,
                            const std::vector<korvena::Variant>& args) override;
    std::vector<korvena::DispatchPtr> DoEnumerate(SimState& state) override;
};

}  // namespace korvena::cadsim
