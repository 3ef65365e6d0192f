#include "cadsim/model/simulation.h"

#include <set>
#include <stdexcept>
#include <utility>

#include "base/ascii_case.h"
#include "cadsim/model/app_objects.h"
#include "cadsim/model/entity_object.h"
#include "cadsim/model/group_objects.h"
#include "cadsim/model/member_names.h"
#include "cadsim/model/selection_objects.h"
#include "cadsim/model/sim_state.h"

namespace korvena::cadsim {

namespace {

void CheckNamedLists(const std::vector<NamedEntityList>& lists, const Drawing& drawing, const char* what) {
    for (std::size_t i = 0; i < lists.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (SameIgnoringAsciiCase(lists[i].name, lists[j].name)) {
                throw std::invalid_argument(std::string("two ") + what + " of the same name");
            }
        }
        if (lists[i].name.empty()) throw std::invalid_argument(std::string(what) + " without a name");
        std::set<int> seen;
        for (int id : lists[i].entityIds) {
            if (!drawing.Find(id)) {
                throw std::invalid_argument(std::string(what) + " names entity " + std::to_string(id) +
                                            ", which the drawing lacks");
            }
            if (!seen.insert(id).second) {
                throw std::invalid_argument(std::string(what) + " holds entity " + std::to_string(id) +
                                            " twice");
            }
        }
    }
}

template <class Object>
NamedEntityList Contents(const Object& object) {
    return {object.Name(), object.Members()};
}

}  // namespace

Simulation::Simulation(Drawing drawing)
    : Simulation([&drawing] {
          SimulationSetup setup;
          setup.drawing = std::move(drawing);
          return setup;
      }()) {}

Simulation::Simulation(SimulationSetup setup) : state_(std::make_shared<SimState>()) {
    CheckNamedLists(setup.selectionSets, setup.drawing, "selection sets");
    CheckNamedLists(setup.groups, setup.drawing, "groups");
    SimState& state = *state_;
    state.CreateObjects();
    state.caption = std::move(setup.caption);
    state.applicationName = std::move(setup.applicationName);
    state.documentName = std::move(setup.documentName);
    state.documentOpen = setup.documentOpen;
    state.visible = setup.visible;
    state.drawing = std::move(setup.drawing);
    for (auto& set : setup.selectionSets) state.AddSelectionSet(std::move(set));
    for (auto& group : setup.groups) state.AddGroup(std::move(group));
    state.scriptedSelections.assign(setup.selections.begin(), setup.selections.end());
    state.faults = std::move(setup.faults);
    state.automation = setup.automation;
}

Simulation::~Simulation() = default;
Simulation::Simulation(Simulation&&) noexcept = default;
Simulation& Simulation::operator=(Simulation&&) noexcept = default;

korvena::DispatchPtr Simulation::Application() const {
    return state_->application;
}

const std::wstring& Simulation::Caption() const {
    return state_->caption;
}
void Simulation::SetCaption(std::wstring caption) {
    state_->caption = std::move(caption);
}
const std::wstring& Simulation::ApplicationName() const {
    return state_->applicationName;
}
const std::wstring& Simulation::DocumentName() const {
    return state_->documentName;
}
bool Simulation::Visible() const {
    return state_->visible;
}
bool Simulation::DocumentOpen() const {
    return state_->documentOpen;
}
void Simulation::SetDocumentOpen(bool open) {
    state_->documentOpen = open;
}

Drawing& Simulation::CurrentDrawing() {
    return state_->drawing;
}
const Drawing& Simulation::CurrentDrawing() const {
    return state_->drawing;
}

bool Simulation::EraseEntity(int id) {
    if (!state_->drawing.Find(id)) return false;
    state_->EraseEntity(id);
    return true;
}

korvena::DispatchPtr Simulation::EntityObjectOf(int id) {
    return state_->EntityObjectFor(id);
}

int Simulation::EntityIdOf(const korvena::DispatchPtr& object) const {
    return state_->LiveEntityIdOf(object);
}

const std::vector<std::wstring>& Simulation::Prompts() const {
    return state_->prompts;
}

std::wstring Simulation::CommandLineText() const {
    std::wstring text;
    for (const auto& prompt : state_->prompts) text += prompt;
    return text;
}

std::vector<NamedEntityList> Simulation::SelectionSets() const {
    std::vector<NamedEntityList> sets;
    for (const auto& set : state_->selectionSets) sets.push_back(Contents(*set));
    return sets;
}

std::optional<NamedEntityList> Simulation::FindSelectionSet(std::wstring_view name) const {
    if (const auto set = state_->FindSelectionSet(name)) return Contents(*set);
    return std::nullopt;
}

std::vector<NamedEntityList> Simulation::Groups() const {
    std::vector<NamedEntityList> groups;
    for (const auto& group : state_->groups) groups.push_back(Contents(*group));
    return groups;
}

void Simulation::QueueSelection(std::vector<int> entityIds) {
    state_->scriptedSelections.push_back(std::move(entityIds));
}

std::int64_t Simulation::SelectionsEnded() const {
    return state_->selectionsEnded;
}

std::int64_t Simulation::UndoMarksStarted() const {
    return state_->undoMarksStarted;
}

std::size_t Simulation::PendingSelections() const {
    return state_->scriptedSelections.size();
}

std::vector<std::vector<int>> Simulation::PendingSelectionList() const {
    return {state_->scriptedSelections.begin(), state_->scriptedSelections.end()};
}

void Simulation::SetSelector(Selector selector) {
    state_->selector = std::move(selector);
}

bool Simulation::UndoMarkOpen() const {
    return state_->undo.markOpen;
}

std::size_t Simulation::UndoSteps() const {
    return state_->undo.steps.size();
}

bool Simulation::Undo() {
    const std::optional<std::size_t> undone = state_->UndoLastStep();
    state_->prompts.push_back(undone ? L"命令: U  放弃了一步（" + std::to_wstring(*undone) + L" 个对象）\n"
                                     : std::wstring(L"命令: U  已全部放弃\n"));
    state_->NotifyChanged();
    return undone.has_value();
}

Faults& Simulation::CurrentFaults() {
    return state_->faults;
}
const Faults& Simulation::CurrentFaults() const {
    return state_->faults;
}

const CadAutomation& Simulation::Automation() const {
    return state_->automation;
}

void Simulation::DieAfterCalls(std::int64_t calls) {
    state_->faults.disconnectAfterCall = state_->callCount + calls;
}

bool Simulation::Disconnected() const {
    const auto& limit = state_->faults.disconnectAfterCall;
    return limit && state_->callCount >= *limit;
}

const std::vector<CallRecord>& Simulation::Calls() const {
    return state_->calls;
}
std::int64_t Simulation::CallCount() const {
    return state_->callCount;
}
void Simulation::SetRecording(bool on) {
    state_->recording = on;
}
void Simulation::ClearCalls() {
    state_->calls.clear();
}

void Simulation::SetChangeListener(std::function<void()> listener) {
    state_->changeListener = std::move(listener);
}

}  // namespace korvena::cadsim
