#include "cadsim/model/sim_state.h"

#include <algorithm>
#include <utility>

#include "base/ascii_case.h"
#include "cadsim/model/app_objects.h"
#include "cadsim/model/entity_object.h"
#include "cadsim/model/group_objects.h"
#include "cadsim/model/model_space_object.h"
#include "cadsim/model/selection_objects.h"

namespace korvena::cadsim {

namespace {

template <class Object>
std::shared_ptr<Object> FindNamed(const std::vector<std::shared_ptr<Object>>& objects,
                                  std::wstring_view name) {
    for (const auto& object : objects) {
        if (SameIgnoringAsciiCase(object->Name(), name)) return object;
    }
    return nullptr;
}

void RemoveId(std::vector<int>& ids, int id) {
    ids.erase(std::remove(ids.begin(), ids.end(), id), ids.end());
}

}  // namespace

void SimState::CreateObjects() {
    const std::weak_ptr<SimState> self = weak_from_this();
    application = std::make_shared<ApplicationObject>(self);
    document = std::make_shared<DocumentObject>(self);
    utility = std::make_shared<UtilityObject>(self);
    selectionSetsObject = std::make_shared<SelectionSetsObject>(self);
    modelSpace = std::make_shared<ModelSpaceObject>(self);
    groupsObject = std::make_shared<GroupsObject>(self);
}

std::shared_ptr<EntityObject> SimState::EntityObjectFor(int id) {
    if (const auto found = entityObjects.find(id); found != entityObjects.end()) return found->second;
    const Entity* entity = drawing.Find(id);
    if (!entity) return nullptr;
    auto object = std::make_shared<EntityObject>(weak_from_this(), id, entity->kind, automation.objectNames);
    entityObjects.emplace(id, object);
    return object;
}

int SimState::LiveEntityIdOf(const korvena::DispatchPtr& object) const {
    const auto* entity = dynamic_cast<const EntityObject*>(object.get());
    if (!entity || !entity->BelongsTo(this) || !drawing.Find(entity->EntityId())) return 0;
    return entity->EntityId();
}

void SimState::EraseEntity(int id) {
    drawing.Erase(id);
    for (const auto& set : selectionSets) RemoveId(set->Members(), id);
    for (const auto& group : groups) RemoveId(group->Members(), id);
}

std::shared_ptr<SelectionSetObject> SimState::AddSelectionSet(NamedEntityList contents) {
    auto set = std::make_shared<SelectionSetObject>(weak_from_this(), ++lastSelectionSetSerial,
                                                    std::move(contents.name));
    set->Members() = std::move(contents.entityIds);
    selectionSets.push_back(set);
    return set;
}

std::shared_ptr<GroupObject> SimState::AddGroup(NamedEntityList contents) {
    auto group = std::make_shared<GroupObject>(weak_from_this(), ++lastGroupSerial, std::move(contents.name));
    group->Members() = std::move(contents.entityIds);
    groups.push_back(group);
    return group;
}

std::shared_ptr<SelectionSetObject> SimState::FindSelectionSet(std::wstring_view name) const {
    return FindNamed(selectionSets, name);
}

std::shared_ptr<GroupObject> SimState::FindGroup(std::wstring_view name) const {
    return FindNamed(groups, name);
}

void SimState::RemoveSelectionSet(const SelectionSetObject* set) {
    std::erase_if(selectionSets, [set](const auto& live) { return live.get() == set; });
}

std::vector<int> SimState::NextSelection(std::wstring_view setName) {
    if (!scriptedSelections.empty()) {
        std::vector<int> ids = std::move(scriptedSelections.front());
        scriptedSelections.pop_front();
        return ids;
    }
    if (selector) return selector(setName);
    return {};
}

namespace {

// The step a change of the current call belongs to: the open marked step, or the call's own.
UndoStep& StepForChange(UndoHistory& undo, std::int64_t call) {
    if (!undo.markOpen &&
        (undo.steps.empty() || undo.steps.back().marked || undo.steps.back().call != call)) {
        undo.steps.push_back({.call = call});
    }
    return undo.steps.back();
}

}  // namespace

void SimState::EntityChanging(int id, std::optional<Entity> before) {
    // The first image of the entity in the step is the one an undo goes back to.
    StepForChange(undo, callCount).entitiesBefore.try_emplace(id, std::move(before));
}

void SimState::GroupsChanging() {
    UndoStep& step = StepForChange(undo, callCount);
    if (step.groupsBefore) return;
    GroupsBefore before;
    for (const auto& group : groups) {
        before.groups.push_back(group);
        before.members.push_back(group->Members());
    }
    step.groupsBefore = std::move(before);
}

void SimState::StartUndoMark() {
    ++undoMarksStarted;
    EndUndoMark();
    undo.steps.push_back({.marked = true});
    undo.markOpen = true;
}

void SimState::EndUndoMark() {
    if (!undo.markOpen) return;
    undo.markOpen = false;
    if (undo.steps.back().Empty()) undo.steps.pop_back();
}

std::optional<std::size_t> SimState::UndoLastStep() {
    EndUndoMark();
    if (undo.steps.empty()) return std::nullopt;
    UndoStep step = std::move(undo.steps.back());
    undo.steps.pop_back();
    for (auto& [id, before] : step.entitiesBefore) {
        if (before) {
            drawing.Restore(std::move(*before));
        } else {
            drawing.Erase(id);
            for (const auto& set : selectionSets) RemoveId(set->Members(), id);
        }
    }
    if (step.groupsBefore) {
        groups = step.groupsBefore->groups;
        for (std::size_t i = 0; i < groups.size(); ++i) groups[i]->Members() = step.groupsBefore->members[i];
    }
    return step.entitiesBefore.size();
}

void SimState::Record(CallRecord record) {
    if (!recording) return;
    record.atMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
    calls.push_back(std::move(record));
}

void SimState::NotifyChanged() const {
    if (changeListener) changeListener();
}

}  // namespace korvena::cadsim
