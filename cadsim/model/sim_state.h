#pragma once
// The state behind every object of one simulation. Objects reach it through a weak reference, so an
// object the program still holds after its simulation has ended answers as a disconnected server.
// Model-internal: the program and the COM server use Simulation.
//
// Not thread-safe: the owner serialises all calls (the COM server runs them on its one thread).

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "cadsim/model/call_record.h"
#include "cadsim/model/drawing.h"
#include "cadsim/model/faults.h"
#include "cadsim/model/simulation_setup.h"
#include "cadsim/model/undo_history.h"

namespace korvena::cadsim {

class ApplicationObject;
class DocumentObject;
class UtilityObject;
class SelectionSetsObject;
class SelectionSetObject;
class ModelSpaceObject;
class GroupsObject;
class GroupObject;
class EntityObject;

struct SimState : std::enable_shared_from_this<SimState> {
    std::wstring caption;
    std::wstring applicationName;
    std::wstring documentName;
    bool visible = false;
    bool documentOpen = true;

    Drawing drawing;
    std::vector<std::wstring> prompts;

    std::vector<std::shared_ptr<SelectionSetObject>> selectionSets;  // live, in order of creation
    int lastSelectionSetSerial = 0;
    std::vector<std::shared_ptr<GroupObject>> groups;
    int lastGroupSerial = 0;

    std::deque<std::vector<int>> scriptedSelections;
    Selector selector;
    std::int64_t selectionsEnded = 0;   // SelectOnScreen calls that have returned
    std::int64_t undoMarksStarted = 0;  // StartUndoMark calls carried out

    Faults faults;
    CadAutomation automation;

    UndoHistory undo;

    std::vector<CallRecord> calls;
    bool recording = true;
    std::chrono::steady_clock::time_point began = std::chrono::steady_clock::now();
    std::int64_t callCount = 0;
    std::function<void()> changeListener;

    // One object each, handed out every time, so identity holds.
    std::shared_ptr<ApplicationObject> application;
    std::shared_ptr<DocumentObject> document;
    std::shared_ptr<UtilityObject> utility;
    std::shared_ptr<SelectionSetsObject> selectionSetsObject;
    std::shared_ptr<ModelSpaceObject> modelSpace;
    std::shared_ptr<GroupsObject> groupsObject;
    std::unordered_map<int, std::shared_ptr<EntityObject>> entityObjects;

    // Builds the fixed objects; call once right after make_shared.
    void CreateObjects();

    // The one object of an entity (created on first use); nullptr when the drawing never had it.
    std::shared_ptr<EntityObject> EntityObjectFor(int id);
    // The live entity behind an object handed back by the caller; 0 when it is none of ours or erased.
    int LiveEntityIdOf(const korvena::DispatchPtr& object) const;
    // Erases an entity and drops it from every selection set and group.
    void EraseEntity(int id);

    std::shared_ptr<SelectionSetObject> AddSelectionSet(NamedEntityList contents);
    std::shared_ptr<GroupObject> AddGroup(NamedEntityList contents);
    std::shared_ptr<SelectionSetObject> FindSelectionSet(std::wstring_view name) const;
    std::shared_ptr<GroupObject> FindGroup(std::wstring_view name) const;
    void RemoveSelectionSet(const SelectionSetObject* set);

    // The undo history, fed by the objects as they change the drawing (within the current call).
    // Before an entity changes (its state as it was) or right after it was made (`before` empty).
    void EntityChanging(int id, std::optional<Entity> before);
    // Before a group is made or its members change.
    void GroupsChanging();
    void StartUndoMark();
    void EndUndoMark();
    // Takes back the last step; the number of entities it touched, nothing when there was no step.
    std::optional<std::size_t> UndoLastStep();

    // The next selection: scripted, else from the selector, else none.
    std::vector<int> NextSelection(std::wstring_view setName);

    // Inside a call, after it was counted: whether the CAD is gone by now.
    bool CallFindsCadGone() const {
        return faults.disconnectAfterCall && callCount > *faults.disconnectAfterCall;
    }
    void Record(CallRecord record);
    void NotifyChanged() const;
};

}  // namespace korvena::cadsim
