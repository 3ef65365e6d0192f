#include "cadsim/server/cadsim_server.h"

#include <utility>

#include "cadsim/model/simulation_file.h"

namespace korvena::cadsim {

CadSimServer::CadSimServer(HINSTANCE instance, Simulation& simulation,
                           std::optional<std::filesystem::path> stateFile)
    : simulation_(simulation),
      stateFile_(std::move(stateFile)),
      objects_(ServedObjects::Create()),
      window_(instance, simulation, {[this] { return WriteState(); }, [this] { Closing(); }}) {}

CadSimServer::~CadSimServer() {
    simulation_.SetChangeListener({});
    simulation_.SetSelector({});
    activeObject_.Revoke();
    classObject_.Revoke();
}

void CadSimServer::Start() {
    window_.Create();
    simulation_.SetChangeListener([this] { window_.Refresh(); });
    simulation_.SetSelector([this](std::wstring_view setName) {
        // A client that calls in while the user selects is turned away until the selection ends.
        BusyScope busy(*objects_);
        return window_.Select(setName);
    });
    application_ = objects_->ToCom(simulation_.Application());
    const auto factory = NewApplicationFactory(application_);
    classObject_ = ClassObjectRegistration(kCadSimClassId, factory.Get());
    activeObject_ = ActiveObjectRegistration(application_.Get(), kCadSimClassId);
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

bool CadSimServer::WriteState() noexcept {
    if (!stateFile_) return false;
    try {
        SaveSimulationState(simulation_, *stateFile_);
        return true;
    } catch (...) {
        return false;
    }
}

void CadSimServer::Closing() noexcept {
    if (closed_) return;
    closed_ = true;
    // No new client finds this CAD from now on.
    activeObject_.Revoke();
    classObject_.Revoke();
    if (stateFile_) finalStateWritten_ = WriteState();
}

}  // namespace korvena::cadsim
