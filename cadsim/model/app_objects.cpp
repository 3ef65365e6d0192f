#include "cadsim/model/app_objects.h"

#include <utility>

#include "cadsim/model/group_objects.h"
#include "cadsim/model/model_space_object.h"
#include "cadsim/model/selection_objects.h"
#include "cadsim/model/sim_errors.h"
#include "cadsim/model/sim_state.h"

namespace korvena::cadsim {

using korvena::Variant;

ApplicationObject::ApplicationObject(std::weak_ptr<SimState> state)
    : SimObject(std::move(state), ObjectKind::kApplication) {}

unsigned ApplicationObject::AccessOf(Member member) const {
    switch (member) {
        case Member::kVisible:
            return kGettable | kPuttable;
        case Member::kCaption:
        case Member::kName:
        case Member::kActiveDocument:
            return kGettable;
        default:
            return 0;
    }
}

Variant ApplicationObject::DoGet(SimState& state, Member member, const std::vector<Variant>& args) {
    ExpectArgumentCount(args, 0);
    switch (member) {
        case Member::kVisible:
            return state.visible;
        case Member::kCaption:
            return state.caption;
        case Member::kName:
            return state.applicationName;
        case Member::kActiveDocument:
            if (!state.documentOpen) throw NoDocument();
            return korvena::DispatchPtr(state.document);
        default:
            return SimObject::DoGet(state, member, args);
    }
}

void ApplicationObject::DoPut(SimState& state, Member member, const Variant& value) {
    if (member != Member::kVisible) return SimObject::DoPut(state, member, value);
    state.visible = value.Is<bool>() ? value.As<bool>() : korvena::ToLong(value) != 0;
}

DocumentObject::DocumentObject(std::weak_ptr<SimState> state)
    : SimObject(std::move(state), ObjectKind::kDocument) {}

unsigned DocumentObject::AccessOf(Member member) const {
    switch (member) {
        case Member::kUtility:
        case Member::kSelectionSets:
        case Member::kModelSpace:
        case Member::kGroups:
        case Member::kName:
            return kGettable;
        case Member::kStartUndoMark:
        case Member::kEndUndoMark:
            return kCallable;
        default:
            return 0;
    }
}

Variant DocumentObject::DoCall(SimState& state, Member member, const std::vector<Variant>& args) {
    if (member != Member::kStartUndoMark && member != Member::kEndUndoMark) {
        return SimObject::DoCall(state, member, args);
    }
    ExpectArgumentCount(args, 0);
    if (member == Member::kStartUndoMark) {
        state.StartUndoMark();
    } else {
        state.EndUndoMark();
    }
    return {};
}

Variant DocumentObject::DoGet(SimState& state, Member member, const std::vector<Variant>& args) {
    ExpectArgumentCount(args, 0);
    switch (member) {
        case Member::kUtility:
            return korvena::DispatchPtr(state.utility);
        case Member::kSelectionSets:
            return korvena::DispatchPtr(state.selectionSetsObject);
        case Member::kModelSpace:
            return korvena::DispatchPtr(state.modelSpace);
        case Member::kGroups:
            return korvena::DispatchPtr(state.groupsObject);
        case Member::kName:
            return state.documentName;
        default:
            return SimObject::DoGet(state, member, args);
    }
}

UtilityObject::UtilityObject(std::weak_ptr<SimState> state)
    : SimObject(std::move(state), ObjectKind::kUtility) {}

unsigned UtilityObject::AccessOf(Member member) const {
    return member == Member::kPrompt ? kCallable : 0;
}

Variant UtilityObject::DoCall(SimState& state, Member member, const std::vector<Variant>& args) {
    if (member != Member::kPrompt) return SimObject::DoCall(state, member, args);
    ExpectArgumentCount(args, 1);
    state.prompts.push_back(korvena::ToText(args[0]));
    return {};
}

}  // namespace korvena::cadsim
