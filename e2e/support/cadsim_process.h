#pragma once
// The CAD simulator as the end-to-end tests see it: a cadsim.exe process with a drawing file, its
// window, and the state it writes out on request.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "e2e/support/process.h"
#include "e2e/support/program.h"

namespace korvena::e2e {

// Registers cadsim.exe as the CAD in this prefix (with options for a server that COM starts, or the
// class name to answer to: server_options.h), or removes the registration. A registration replaces
// the one before. Throws std::runtime_error when the registration program fails.
void RegisterCadSim(const std::vector<std::wstring>& options = {});
void UnregisterCadSim();

// The visible top-level window of a process, or null.
HWND TopWindowOf(DWORD processId);

// Asks the simulator behind `window` to write its state to its --out file and reads it back.
nlohmann::json CadSimState(HWND window, const std::filesystem::path& outFile);
// Of such a state: no selection set left in the drawing; the CAD's command line holds `text` (UTF-8).
bool NoSetLeft(const nlohmann::json& state);
bool CommandLineHas(const nlohmann::json& state, const std::string& text);

// A simulator started by the test, waiting until its application is in the running object table.
class CadSimProcess {
public:
    CadSimProcess(const std::filesystem::path& folder, const std::string& drawingJson);
    HWND Window() const { return TopWindowOf(process_.Id()); }
    DWORD Id() const { return process_.Id(); }
    const std::filesystem::path& OutFile() const { return outFile_; }
    nlohmann::json State() const { return CadSimState(Window(), outFile_); }
    // The interactive selection, as a person makes it in the simulator's window.
    bool Selecting() const;
    void ClickEntity(int id) const;  // throws std::runtime_error when no pixel picks it
    void PressEnter() const;
    // The CAD busy and refusing automation calls: whether it is now, and a spell from now on.
    bool Busy() const;
    void StartBusySpell(std::chrono::milliseconds length) const;
    // Stops being the CAD that clients find (a new simulator can take over); its clients are still served.
    void Retire() const;
    // Lines written to the command line so far, and live selection sets; -1 when it does not answer.
    long PromptCount() const;
    long SelectionSetCount() const;
    // Ends the process at once, as a crash would.
    void Kill() { process_.Kill(); }
    // The CAD's undo of its last step, as Ctrl+Z does it; false when there was nothing to undo.
    bool Undo() const;
    // Ctrl+Z pressed in the simulator's window through the system's keyboard input.
    void PressCtrlZ() const;
    // Closes the window as a user would and waits for the process; its exit code.
    long Close();

private:
    std::filesystem::path outFile_;
    ChildProcess process_;
};

// Under Wine a COM server that was killed stays registered with the prefix's RPC service, and a later
// CoCreateInstance of its class fails with 0x800706BA instead of starting a new server. Stopping the
// service (COM starts it again on demand) forgets such servers. Call only with no simulator running:
// the running object table goes too. Throws std::runtime_error when the service does not stop.
void ForgetKilledServers();

// Whether a simulator is in the running object table (under its own class, whatever name it answers to).
bool CadIsRunning();

}  // namespace korvena::e2e
