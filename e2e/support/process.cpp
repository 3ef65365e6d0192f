#include "e2e/support/process.h"

#include <tlhelp32.h>

#include <random>
#include <stdexcept>
#include <thread>
#include <utility>

#include "cadsim/com/command_line.h"

namespace korvena::e2e {

std::wstring WindowsPath(std::wstring_view path) {
    std::wstring result(path);
    if (!result.empty() && result[0] == L'/') {
        for (wchar_t& c : result) {
            if (c == L'/') c = L'\\';
        }
        result = L"Z:" + result;
    }
    return result;
}

namespace {

// The name of the calling thread's desktop; empty for the default one.
std::wstring ThreadDesktopName() {
    wchar_t name[256]{};
    const HDESK desktop = GetThreadDesktop(GetCurrentThreadId());
    if (desktop == nullptr || !GetUserObjectInformationW(desktop, UOI_NAME, name, sizeof name, nullptr))
        return {};
    return std::wstring(name) == L"Default" ? std::wstring() : std::wstring(name);
}

}  // namespace

ChildProcess::ChildProcess(const std::wstring& program, const std::vector<std::wstring>& arguments) {
    std::wstring commandLine = CommandLine(WindowsPath(program), arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring desktop = ThreadDesktopName();
    if (!desktop.empty()) startup.lpDesktop = desktop.data();
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        throw std::runtime_error("cannot start a program, error " + std::to_string(GetLastError()));
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
}

ChildProcess::~ChildProcess() {
    Kill();
    if (process_) CloseHandle(process_);
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), id_(std::exchange(other.id_, 0)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        Kill();
        if (process_) CloseHandle(process_);
        process_ = std::exchange(other.process_, nullptr);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

bool ChildProcess::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

long ChildProcess::Wait(std::chrono::milliseconds timeout) {
    if (!process_) return -1;
    if (WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return static_cast<long>(code);
}

void ChildProcess::Kill() {
    if (Running()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
}

long RunToEnd(const std::wstring& program, const std::vector<std::wstring>& arguments,
              std::chrono::milliseconds timeout) {
    ChildProcess child(program, arguments);
    return child.Wait(timeout);
}

std::string BitnessOfFile(const std::wstring& exe) {
    DWORD type = 0;
    if (!GetBinaryTypeW(exe.c_str(), &type)) return "not a program";
    return type == SCS_64BIT_BINARY   ? "64-bit"
           : type == SCS_32BIT_BINARY ? "32-bit"
                                      : "neither 32- nor 64-bit";
}

std::string BitnessOfProcess(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return "not running";
    BOOL wow64 = FALSE;
    const BOOL known = IsWow64Process(process, &wow64);
    CloseHandle(process);
    if (!known) return "unknown";
    // Under WoW64 a process is 32-bit; otherwise it has the system's bitness, which is this program's
    // unless this program itself runs under WoW64.
    BOOL selfWow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &selfWow64);
    return wow64 || (sizeof(void*) == 4 && !selfWow64) ? "32-bit" : "64-bit";
}

std::vector<DWORD> ProcessesNamed(std::wstring_view exeName) {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (CompareStringOrdinal(entry.szExeFile, -1, exeName.data(), static_cast<int>(exeName.size()),
                                 TRUE) == CSTR_EQUAL) {
            ids.push_back(entry.th32ProcessID);
        }
    }
    CloseHandle(snapshot);
    return ids;
}

void KillProcessesNamed(std::wstring_view exeName) {
    for (DWORD id : ProcessesNamed(exeName)) {
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout,
             std::chrono::milliseconds step) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (true) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        std::this_thread::sleep_for(step);
    }
}

bool StaysTrue(const std::function<bool()>& holds, std::chrono::milliseconds period) {
    // It stays true until the period is over exactly when it does not turn false before.
    return !WaitFor([&] { return !holds(); }, period) && holds();
}

TempFolder::TempFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("korvena-e2e-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<HWND> VisibleWindowsOf(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM param) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->processId && IsWindowVisible(window)) s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ClassNameOf(HWND window) {
    wchar_t name[256]{};
    GetClassNameW(window, name, 256);
    return name;
}

}  // namespace korvena::e2e
