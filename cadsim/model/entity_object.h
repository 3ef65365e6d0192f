#pragma once
// An entity of the simulated drawing, as the CAD hands it out. Members by kind (AutoCAD's codes):
//   every kind:        EntityType (get: the code in the CAD's numbering, CadAutomation; a custom
//                      entity's fails with E_NOTIMPL), ObjectName (get: the class name; missing when
//                      the CAD's entities have none), Handle (get); Color (get, put: a 16-bit number);
//                      Delete (call: erases the entity; any later call on it fails)
//   23, 24 polylines:  Elevation (get; put: a number, or a text the CAD reads as a number)
//   24:                Coordinate(index) (get: X, Y of that vertex); Coordinates (get, put: X, Y of
//                      every vertex, flattened; at least two vertices)
//   22 point:          Coordinates (get, put: X, Y, Z)
//   4, 8, 16:          Center (get, put: X, Y, Z)
//   4, 8:              Radius (get, put: a positive number)
//   4, 16:             StartPoint (get: X, Y, Z where the curve starts)
//   7, 21, 32:         InsertionPoint (get, put: X, Y, Z)
//   21, 32 texts:      TextString (get, put)
// There is one object per entity for the life of the simulation, so identity holds.

#include <memory>

#include "cadsim/model/sim_object.h"

namespace korvena::cadsim {

class EntityObject final : public SimObject {
public:
    // `hasObjectName`: whether the CAD's entities answer ObjectName (CadAutomation).
    EntityObject(std::weak_ptr<SimState> state, int id, EntityKind kind, bool hasObjectName);

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
    bool hasObjectName_;
};

// The entity's handle as the CAD shows it: its id in upper-case hexadecimal.
std::wstring EntityHandle(int id);

}  // namespace korvena::cadsim
