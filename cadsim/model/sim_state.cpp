#include "cadsim/model/sim_state.h"

#include <algorithm>
#include <utility>

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
        if (SameName(object->Name(), name)) return object;
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
    auto object = std::make_shared<EntityObject>(weak_from_this(), id, entity->kind);
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

void SimState::Record(CallRecord record) {
    if (!recording) return;
    record.atMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
    calls.push_back(std::move(record));
}

void SimState::NotifyChanged() const {
    if (changeListener) changeListener();
}

}  // namespace korvena::cadsim
