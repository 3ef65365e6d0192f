#pragma once
// The CAD simulator as the end-to-end tests see it: a cadsim.exe process with a drawing file, its
// window, and the state it writes out on request.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "e2e/support/process.h"

namespace korvena::e2e {

// The path of cadsim.exe, as given to the test executable on its command line.
const std::wstring& CadSimExe();
void SetCadSimExe(std::wstring path);

// Registers cadsim.exe as the CAD in this prefix (with options for a server that COM starts), or
// removes the registration. Throws std::runtime_error when the registration program fails.
void RegisterCadSim(const std::vector<std::wstring>& options = {});
void UnregisterCadSim();

// The visible top-level window of a process, or null.
HWND TopWindowOf(DWORD processId);

// Asks the simulator behind `window` to write its state to its --out file and reads it back.
nlohmann::json CadSimState(HWND window, const std::filesystem::path& outFile);

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
    // Ends the process at once, as a crash would.
    void Kill() { process_.Kill(); }
    // Closes the window as a user would and waits for the process; its exit code.
    long Close();

private:
    std::filesystem::path outFile_;
    ChildProcess process_;
};

// Whether a CAD is in the running object table under its class name.
bool CadIsRunning();

}  // namespace korvena::e2e
