#pragma once
// Simulation: one simulated CAD with one drawing. It hands out the Application object (every other
// object is reached from there, as in the real CAD) and lets a test or the simulator's window look at
// and steer what happens behind it: the drawing, the command line, selection sets and groups,
// scripted selections, injected faults and the record of every call.
//
// Objects handed out stay valid after the Simulation is gone; every call on them then fails as on a
// disconnected server. Not thread-safe: calls and the methods below must come from one thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cad/dispatch.h"
#include "cadsim/model/call_record.h"
#include "cadsim/model/drawing.h"
#include "cadsim/model/faults.h"
#include "cadsim/model/simulation_setup.h"

namespace korvena::cadsim {

struct SimState;

class Simulation {
public:
    explicit Simulation(Drawing drawing = {});
    // Throws std::invalid_argument when a selection set or group names an entity the drawing lacks,
    // or two of them share a name.
    explicit Simulation(SimulationSetup setup);
    ~Simulation();
    Simulation(Simulation&&) noexcept;
    Simulation& operator=(Simulation&&) noexcept;
    Simulation(const Simulation&) = delete;
    Simulation& operator=(const Simulation&) = delete;

    // The application object; the same object every time.
    korvena::DispatchPtr Application() const;

    // Application and document state.
    const std::wstring& Caption() const;
    void SetCaption(std::wstring caption);
    const std::wstring& ApplicationName() const;
    const std::wstring& DocumentName() const;
    bool Visible() const;
    bool DocumentOpen() const;
    // Closing the document makes ActiveDocument fail, and every call on the document's objects.
    void SetDocumentOpen(bool open);

    // The drawing as it stands. Changes made here are seen by the objects at once; erase through
    // EraseEntity, so that selection sets and groups let go of the entity too.
    Drawing& CurrentDrawing();
    const Drawing& CurrentDrawing() const;
    // Erases the entity as its Delete does; false when the drawing has no such entity.
    bool EraseEntity(int id);
    // The object of an entity, the same one the CAD hands out; nullptr for an id it never had.
    korvena::DispatchPtr EntityObjectOf(int id);
    // The id of a live entity of this simulation behind an object; 0 for anything else.
    int EntityIdOf(const korvena::DispatchPtr& object) const;

    // Everything written to the command line, call by call, and all of it joined.
    const std::vector<std::wstring>& Prompts() const;
    std::wstring CommandLineText() const;

    // Live selection sets and groups, in order of creation, with their members.
    std::vector<NamedEntityList> SelectionSets() const;
    std::optional<NamedEntityList> FindSelectionSet(std::wstring_view name) const;
    std::vector<NamedEntityList> Groups() const;

    // SelectOnScreen takes the queued selections one after another: each adds the listed entities
    // in that order, skipping ids not in the drawing (never there, or erased) and entities already in
    // the set. With the queue empty it asks the selector; without one the selection stays empty.
    void QueueSelection(std::vector<int> entityIds);
    std::size_t PendingSelections() const;
    // SelectOnScreen calls that have returned so far, and StartUndoMark calls carried out.
    std::int64_t SelectionsEnded() const;
    std::int64_t UndoMarksStarted() const;
    std::vector<std::vector<int>> PendingSelectionList() const;
    void SetSelector(Selector selector);

    // The drawing's undo history (undo_history.h): whether an undo mark is open now, and the number of
    // steps an undo can take back.
    bool UndoMarkOpen() const;
    std::size_t UndoSteps() const;
    // What the CAD's undo command does (Ctrl+Z in the simulator's window): takes back the last step,
    // ending an open mark first, and says so on the command line. False when there was nothing left.
    bool Undo();

    // How the CAD's entities say what they are; fixed for the simulation's life.
    const CadAutomation& Automation() const;

    // Faults act from the next call on.
    Faults& CurrentFaults();
    const Faults& CurrentFaults() const;
    // The next `calls` calls succeed as usual; every call after them fails as on a disconnected server.
    void DieAfterCalls(std::int64_t calls);
    // Whether the next call would find the CAD gone.
    bool Disconnected() const;

    // Every call made on any object (lookups included), in order, and their number. Turning the
    // record off keeps the count.
    const std::vector<CallRecord>& Calls() const;
    std::int64_t CallCount() const;
    void SetRecording(bool on);
    void ClearCalls();

    // Called after every put and method call (whatever its outcome), e.g. to repaint a window.
    void SetChangeListener(std::function<void()> listener);

private:
    std::shared_ptr<SimState> state_;
};

}  // namespace korvena::cadsim
