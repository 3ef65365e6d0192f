// cadsim.exe: the simulated CAD as a COM local server (server_options.h has the command line).
// Exit codes: 0 done; 1 the server could not start or register; 2 a bad command line or drawing file;
// 3 the state could not be written when the window closed.

#include <windows.h>

#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "cad/automation_error.h"
#include "cad/win/com_apartment.h"
#include "cadsim/model/simulation.h"
#include "cadsim/model/simulation_file.h"
#include "cadsim/server/cadsim_server.h"
#include "cadsim/server/server_options.h"
#include "cadsim/server/server_registration.h"

namespace korvena::cadsim {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitBadInput = 2;
constexpr wchar_t kTitle[] = L"CadSim";

std::wstring Widen(const char* text) {
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    const UINT codePage = length > 0 ? CP_UTF8 : CP_ACP;
    const int needed = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, wide.data(), needed);
    wide.resize(static_cast<std::size_t>(needed - 1));
    return wide;
}

// On the standard error output as UTF-8 when there is one (a script or a test reads it), else in a
// message box (started by a person from the desktop).
void Report(const std::wstring& message) {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error != nullptr && error != INVALID_HANDLE_VALUE && GetFileType(error) != FILE_TYPE_UNKNOWN) {
        const std::wstring line = L"cadsim: " + message + L"\n";
        const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr,
                                             0, nullptr, nullptr);
        std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
        WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(), size,
                            nullptr, nullptr);
        DWORD written = 0;
        if (WriteFile(error, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) return;
    }
    MessageBoxW(nullptr, message.c_str(), kTitle, MB_OK | MB_ICONERROR);
}

std::vector<std::wstring> Arguments() {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 1; argv != nullptr && i < count; ++i) arguments.emplace_back(argv[i]);
    LocalFree(argv);
    return arguments;
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring FullPath(const std::wstring& file) {
    const DWORD needed = GetFullPathNameW(file.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return file;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(file.c_str(), needed, full.data(), nullptr);
    full.resize(length < needed ? length : 0);
    return full.empty() ? file : full;
}

// The drawing file's setup, or the empty drawing; nothing (and the reason reported) when it is bad.
std::optional<SimulationSetup> LoadSetup(const ServerOptions& options) {
    if (!options.drawingFile) return SimulationSetup{};
    try {
        SimulationSetup setup = LoadSimulationSetup(*options.drawingFile);
        // The checks a simulation makes of its selection sets and groups, made now.
        Simulation check(setup);
        return setup;
    } catch (const std::exception& error) {
        Report(L"图形文件 " + *options.drawingFile + L" 不可用: " + Widen(error.what()));
        return std::nullopt;
    }
}

int Register(ServerOptions options) {
    if (options.drawingFile) options.drawingFile = FullPath(*options.drawingFile);
    if (options.outFile) options.outFile = FullPath(*options.outFile);
    if (options.unableToStartLog) options.unableToStartLog = FullPath(*options.unableToStartLog);
    // A drawing that COM could not start from is refused now rather than at the first client's call.
    if (!LoadSetup(options)) return kExitBadInput;
    try {
        RegisterServer(ModulePath(), options);
        return 0;
    } catch (const RegistryError& error) {
        Report(error.Message());
        return kExitFailure;
    }
}

int Unregister() {
    try {
        UnregisterServer();
        return 0;
    } catch (const RegistryError& error) {
        Report(error.Message());
        return kExitFailure;
    }
}

// A CAD that is installed but cannot start: each attempt adds a line to the log, and the process ends
// without ever offering its class, so the client's start fails.
int FailToStart(const std::wstring& log) {
    std::ofstream(std::filesystem::path(log), std::ios::binary | std::ios::app) << "start attempted\n";
    return kExitFailure;
}

int Serve(HINSTANCE instance, const ServerOptions& options) {
    std::optional<SimulationSetup> setup = LoadSetup(options);
    if (!setup) return kExitBadInput;
    // Started by hand the CAD shows at once; started by COM it waits for a client to make it visible.
    if (!options.embedding) setup->visible = true;
    try {
        korvena::ComApartment apartment;
        Simulation simulation(std::move(*setup));
        std::optional<std::filesystem::path> stateFile;
        if (options.outFile) stateFile = *options.outFile;
        int exitCode = 0;
        {
            CadSimServer server(instance, simulation, std::move(stateFile));
            server.Start();
            exitCode = server.Run();
        }
        if (exitCode != 0) Report(L"状态文件 " + *options.outFile + L" 写不进去");
        return exitCode;
    } catch (const korvena::AutomationError& error) {
        Report(L"无法启动: " + error.Description());
    } catch (const std::exception& error) {
        Report(L"无法启动: " + Widen(error.what()));
    }
    return kExitFailure;
}

int Main(HINSTANCE instance) {
    ServerOptions options;
    try {
        options = ParseServerOptions(Arguments());
    } catch (const OptionError& error) {
        Report(error.Message());
        return kExitBadInput;
    }
    switch (options.action) {
        case ServerAction::kRegister:
            return Register(std::move(options));
        case ServerAction::kUnregister:
            return Unregister();
        case ServerAction::kRun:
            break;
    }
    if (options.unableToStartLog) return FailToStart(*options.unableToStartLog);
    return Serve(instance, options);
}

}  // namespace
}  // namespace korvena::cadsim

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    try {
        return korvena::cadsim::Main(instance);
    } catch (...) {
        return 1;
    }
}
