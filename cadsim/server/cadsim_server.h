#pragma once
// CadSimServer: one simulated CAD as a running COM local server. It puts the simulation's application
// in front of COM (the class object and the running object table), gives the simulation its window, and
// lets that window do the interactive selections. While a selection waits for the user, or a busy spell
// runs (the drawing's busySpells, or one a test starts through the window), its message filter refuses
// every incoming call. The process ends when the window closes, never when
// clients let go: a CAD stays open until its user closes it.

#include <windows.h>
#include <wrl/client.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "cadsim/model/busy_schedule.h"
#include "cadsim/model/simulation.h"
#include "cadsim/server/busy_message_filter.h"
#include "cadsim/server/cad_window.h"
#include "cadsim/server/com_server.h"
#include "cadsim/server/served_object.h"

namespace korvena::cadsim {

class CadSimServer {
public:
    // Keeps a reference to the simulation for its whole life. `stateFile`: where the state goes on
    // request and when the window closes.
    CadSimServer(HINSTANCE instance, Simulation& simulation, std::optional<std::filesystem::path> stateFile);
    ~CadSimServer();
    CadSimServer(const CadSimServer&) = delete;
    CadSimServer& operator=(const CadSimServer&) = delete;

    // Creates the window (shown when the application is visible) and registers the application with
    // COM. Throws std::runtime_error or AutomationError when that fails.
    void Start();
    // Runs the message loop until the window has closed; the process's exit code: 0, or 3 when the
    // state could not be written at the end.
    int Run();

private:
    bool WriteState() noexcept;
    void Retire() noexcept;
    void Closing() noexcept;
    bool Busy();
    void Changed();
    void StartBusySpell(std::int64_t milliseconds);

    Simulation& simulation_;
    std::optional<std::filesystem::path> stateFile_;
    std::shared_ptr<ServedObjects> objects_;
    BusySchedule busySchedule_;
    std::int64_t selectionsEnded_ = 0;
    std::int64_t undoMarksStarted_ = 0;
    CadWindow window_;
    MessageFilterRegistration messageFilter_;
    Microsoft::WRL::ComPtr<IDispatch> application_;
    ComRegistration classObject_;
    ComRegistration activeObject_;
    bool closed_ = false;
    bool finalStateWritten_ = true;
};

}  // namespace korvena::cadsim
