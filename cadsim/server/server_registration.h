#pragma once
// Registration of cadsim.exe as the CAD's COM class, under HKEY_LOCAL_MACHINE\Software\Classes (Wine
// reads classes only from there, not from the user's hive):
//
//   <ProgID>                                 (default) = a description
//   <ProgID>\CLSID                           (default) = {C934515B-...}
//   CLSID\{C934515B-...}                     (default) = a description
//   CLSID\{C934515B-...}\LocalServer32       (default) = "<cadsim.exe>" [--drawing "<file>"] [--out "<file>"]
//   CLSID\{C934515B-...}\ProgID              (default) = <ProgID>
//
// <ProgID> is AutoCAD.Application unless --progid names another. With --unstartable, a second class
// {2D347E72-...} goes under that name the same way, its LocalServer32 being
// "<cadsim.exe>" --unable-to-start "<log>".
//
// The process writes wherever it runs; it is the project's scripts that only ever run it inside a test
// prefix.

#include <stdexcept>
#include <string>

#include "cadsim/server/server_options.h"

namespace korvena::cadsim {

// A registry write or delete that failed; Message() says which key and why.
class RegistryError : public std::runtime_error {
public:
    explicit RegistryError(std::wstring message)
        : std::runtime_error("registry"), message_(std::move(message)) {}
    const std::wstring& Message() const noexcept { return message_; }

private:
    std::wstring message_;
};

// The LocalServer32 command: the server quoted, then its options with their files as given.
std::wstring LocalServerCommand(const std::wstring& serverPath, const ServerOptions& options);

// Writes the keys above; the option files should be absolute already (COM starts the server in
// another folder). Throws RegistryError.
void RegisterServer(const std::wstring& serverPath, const ServerOptions& options);

// The LocalServer32 command of the class that cannot start.
std::wstring UnstartableServerCommand(const std::wstring& serverPath, const std::wstring& log);

// Removes the simulator's classes, and their ProgIDs when they still name them (a ProgID that another
// program registered since is left alone). Keys that are not there are fine. Throws RegistryError.
void UnregisterServer();

}  // namespace korvena::cadsim
