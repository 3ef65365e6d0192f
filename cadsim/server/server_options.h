#pragma once
// The command line of cadsim.exe:
//
//   cadsim.exe [--drawing FILE] [--out FILE]              start by hand: the window shows at once
//   cadsim.exe -Embedding [--drawing FILE] [--out FILE]   started by COM: the window shows when a
//                                                         client sets Visible
//   cadsim.exe /RegServer [--drawing FILE] [--out FILE] [--progid NAME]
//              [--unstartable NAME --unable-to-start LOG]
//                                                         register as the CAD; COM then starts the
//                                                         server with the drawing and out options
//   cadsim.exe /UnregServer                               remove the registration
//   cadsim.exe --unable-to-start LOG                      a CAD that is installed but cannot start:
//                                                         notes the attempt in LOG, ends with 1
//
// --drawing: the simulation file to start from (simulation_file.h); without it an empty drawing.
// --out: where the state goes on request and when the window closes.
// --progid: the class name to register under (AutoCAD.Application when not given): a compatible
//   CAD's ("ZWCAD.Application") or one AutoCAD version's ("AutoCAD.Application.23"). A registration
//   replaces the one before, so the simulator answers to one name at a time.
// --unstartable: a second class name to register, for a CAD that is installed but cannot start (its
//   server is cadsim.exe --unable-to-start LOG), e.g. "AutoCAD.Application" pointing at a newer
//   AutoCAD than the one that runs.
// Switches take "/" or "-" and any case; options take "--" and are followed by their value.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvena::cadsim {

enum class ServerAction { kRun, kRegister, kUnregister };

struct ServerOptions {
    ServerAction action = ServerAction::kRun;
    bool embedding = false;
    std::optional<std::wstring> drawingFile{};
    std::optional<std::wstring> outFile{};
    std::optional<std::wstring> progId{};
    std::optional<std::wstring> unstartableProgId{};
    std::optional<std::wstring> unableToStartLog{};
};

// A command line cadsim.exe does not understand; Message() says what and how to call it.
class OptionError : public std::runtime_error {
public:
    explicit OptionError(std::wstring message);
    const std::wstring& Message() const noexcept { return message_; }

private:
    std::wstring message_;
};

// The arguments without the program's own name.
ServerOptions ParseServerOptions(const std::vector<std::wstring>& arguments);

}  // namespace korvena::cadsim
