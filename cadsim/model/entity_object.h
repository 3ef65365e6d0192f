#pragma once
// An entity of the simulated drawing, as the CAD hands it out. Members by EntityType code:
//   every kind:        EntityType, ObjectName, Handle (get); Color (get, put: a 16-bit number);
//                      Delete (call: erases the entity; any later call on it fails)
//   23, 24 polylines:  Elevation (get; put: a number, or a text the CAD reads as a number)
//   24:                Coordinate(index) (get: X, Y of that vertex); Coordinates (get, put: X, Y of
//                      every vertex, flattened; at least two vertices)
//   22 point:          Coordinates (get, put: X, Y, Z)
//   4, 8, 16:          Center (get, put: X, Y, Z)
//   7, 21, 32:         InsertionPoint (get, put: X, Y, Z)
//   21, 32 texts:      TextString (get, put)
// There is one object per entity for the life of the simulation, so identity holds.

#include <memory>

#include "cadsim/model/sim_object.h"

namespace korvena::cadsim {

class EntityObject final : public SimObject {
public:
    EntityObject(std::weak_ptr<SimState> state, int id, EntityKind kind);

    int EntityId() const noexcept { return Id(); }

protected:
    unsigned AccessOf(Member member) const override;
    void CheckAlive(const SimState& state) const override;
    korvena::Variant DoGet(SimState& state, Member member,
                           const std::vector<korvena::Variant>& args) override;
    void DoPut(SimState& state, Member member, const korvena::Variant& value) override;
    // The put itself; DoPut records the entity as it was for the undo history once it succeeded.
    void PutValue(SimState& state, Entity& entity, Member member, const korvena::Variant& value);
    korvena::Variant DoCall(SimState& state, Member member,
                            const std::vector<korvena::Variant>& args) override;

private:
    Entity& Data(SimState& state) const;

    EntityKind kind_;
};

// The entity's handle as the CAD shows it: its id in upper-case hexadecimal.
std::wstring EntityHandle(int id);

}  // namespace korvena::cadsim
