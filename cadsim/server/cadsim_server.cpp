#include "cadsim/server/cadsim_server.h"

#include <utility>

#include "cadsim/model/simulation_file.h"

namespace korvena::cadsim {

CadSimServer::CadSimServer(HINSTANCE instance, Simulation& simulation,
                           std::optional<std::filesystem::path> stateFile)
    : simulation_(simulation),
      stateFile_(std::move(stateFile)),
      objects_(ServedObjects::Create()),
      busySchedule_(simulation.CurrentFaults().busySpells),
      window_(instance, simulation,
              {.writeState = [this] { return WriteState(); },
               .closing = [this] { Closing(); },
               .busy = [this] { return Busy(); },
               .startBusySpell = [this](std::int64_t milliseconds) { StartBusySpell(milliseconds); },
               .retire = [this] { Retire(); }}) {}

CadSimServer::~CadSimServer() {
    simulation_.SetChangeListener({});
    simulation_.SetSelector({});
    messageFilter_.Revoke();
    activeObject_.Revoke();
    classObject_.Revoke();
}

void CadSimServer::Start() {
    window_.Create();
    simulation_.SetChangeListener([this] { Changed(); });
    // A client that calls in while the user selects is turned away until the selection ends.
    simulation_.SetSelector([this](std::wstring_view setName) { return window_.Select(setName); });
    messageFilter_.Register(NewBusyMessageFilter([this] { return Busy(); }).Get());
    application_ = objects_->ToCom(simulation_.Application());
    const auto factory = NewApplicationFactory(application_);
    classObject_ = ComRegistration::ClassObject(kCadSimClassId, factory.Get());
    activeObject_ = ComRegistration::ActiveObject(application_.Get(), kCadSimClassId);
    window_.Refresh();
}

int CadSimServer::Run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    Closing();  // when the loop ended some other way than through the window
    return finalStateWritten_ ? 0 : 3;
}

namespace {
std::int64_t Now() {
    return static_cast<std::int64_t>(GetTickCount64());
}
}  // namespace

bool CadSimServer::Busy() {
    return window_.Selecting() || busySchedule_.Busy(Now());
}

void CadSimServer::Changed() {
    window_.Refresh();
    const std::int64_t ended = simulation_.SelectionsEnded();
    const std::int64_t marks = simulation_.UndoMarksStarted();
    if (ended == selectionsEnded_ && marks == undoMarksStarted_) return;
    selectionsEnded_ = ended;
    undoMarksStarted_ = marks;
    busySchedule_.Reached(ended, marks, Now());
    if (busySchedule_.Busy(Now())) window_.ShowBusySpell(*busySchedule_.BusyUntil() - Now());
}

void CadSimServer::StartBusySpell(std::int64_t milliseconds) {
    busySchedule_.StartSpell(milliseconds, Now());
    if (busySchedule_.Busy(Now())) window_.ShowBusySpell(*busySchedule_.BusyUntil() - Now());
}

bool CadSimServer::WriteState() noexcept {
    if (!stateFile_) return false;
    try {
        SaveSimulationState(simulation_, *stateFile_);
        return true;
    } catch (...) {
        return false;
    }
}

void CadSimServer::Retire() noexcept {
    activeObject_.Revoke();
    classObject_.Revoke();
}

void CadSimServer::Closing() noexcept {
    if (closed_) return;
    closed_ = true;
    Retire();  // no new client finds this CAD from now on
    if (stateFile_) finalStateWritten_ = WriteState();
}

}  // namespace korvena::cadsim
