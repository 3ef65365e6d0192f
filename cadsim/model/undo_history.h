#pragma once
// The undo history of the simulated drawing, as data: each step keeps what its changes overwrote, so
// that undoing it puts the drawing and its groups back as they were before the step.
//
// The changes between StartUndoMark and EndUndoMark of the document make one step; a change made
// outside such marks is a step of its own (one call, one step). Marks do not nest: a start while a
// step is open ends that step first, an end without a start does nothing. A step with no change is
// not kept.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "cadsim/model/drawing.h"

namespace korvena::cadsim {

class GroupObject;

// The groups of the drawing with their members, as they were.
struct GroupsBefore {
    std::vector<std::shared_ptr<GroupObject>> groups;
    std::vector<std::vector<int>> members;
};

struct UndoStep {
    // Per entity the step changed: the entity as it was, or nothing when the step made it.
    std::map<int, std::optional<Entity>> entitiesBefore{};
    std::optional<GroupsBefore> groupsBefore{};
    bool marked = false;     // between an undo start and end mark
    std::int64_t call = 0;   // an unmarked step: the number of the call that made it
    bool Empty() const { return entitiesBefore.empty() && !groupsBefore; }
};

struct UndoHistory {
    std::vector<UndoStep> steps;  // oldest first
    bool markOpen = false;        // the last step is open and takes every change until the end mark
};

}  // namespace korvena::cadsim
