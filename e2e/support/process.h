#pragma once
// Processes for the end-to-end tests: start a program, wait for it, end it, count instances.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvena::e2e {

// A Windows path for a path given on the Linux side (/work/... → Z:\work\...); others unchanged.
std::wstring WindowsPath(std::wstring_view path);

// A started process, ended (if still running) when the owner goes.
class ChildProcess {
public:
    ChildProcess() = default;
    // Starts `program` with `arguments` (quoted as needed), on the desktop of the calling thread.
    // Throws std::runtime_error on failure.
    ChildProcess(const std::wstring& program, const std::vector<std::wstring>& arguments);
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;

    DWORD Id() const noexcept { return id_; }
    HANDLE Handle() const noexcept { return process_; }
    bool Running() const;
    // Waits for the end; the exit code, or -1 on time-out.
    long Wait(std::chrono::milliseconds timeout);
    void Kill();

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Runs a program to its end and gives its exit code (-1 on time-out).
long RunToEnd(const std::wstring& program, const std::vector<std::wstring>& arguments,
              std::chrono::milliseconds timeout = std::chrono::seconds(30));

// The ids of running processes whose executable file name is `exeName` (case-insensitive).
std::vector<DWORD> ProcessesNamed(std::wstring_view exeName);
// The visible top-level windows of a process, in the system's order (topmost first).
std::vector<HWND> VisibleWindowsOf(DWORD processId);
// A window's class name.
std::wstring ClassNameOf(HWND window);
// Ends every process named `exeName`.
void KillProcessesNamed(std::wstring_view exeName);

// "32-bit" or "64-bit": of an executable file, and of a running process (a 32-bit process on a 64-bit
// system runs under WoW64). Something else when it cannot be told.
std::string BitnessOfFile(const std::wstring& exe);
std::string BitnessOfProcess(DWORD processId);

// Polls `done` (pumping this thread's messages) until it holds or the time runs out. Waits for what
// must happen are given generous bounds (seconds, not the tens of milliseconds it takes on an idle
// machine): the bound costs nothing when the event comes, and the tests run beside builds.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout,
             std::chrono::milliseconds step = std::chrono::milliseconds(20));

// How long a test watches for something that must not happen after the step that could cause it (a
// dialog, a window, a change of focus): many times what the program takes for such a step on an idle
// machine, so that a fault would still show while the machine is loaded.
inline constexpr std::chrono::milliseconds kQuietPeriod{500};

// Whether `holds` stays true, polled, for the whole of `period`.
bool StaysTrue(const std::function<bool()>& holds, std::chrono::milliseconds period = kQuietPeriod);

// A fresh folder under the system's temporary folder, removed when the owner goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const noexcept { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace korvena::e2e
