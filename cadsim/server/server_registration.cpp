#include "cadsim/server/server_registration.h"

#include <windows.h>

#include <iterator>

#include "base/unique_handle.h"
#include "cad/win/com_error.h"
#include "cadsim/com/command_line.h"
#include "cadsim/server/com_server.h"

namespace korvena::cadsim {
namespace {

constexpr wchar_t kClassesRoot[] = L"Software\\Classes";
constexpr wchar_t kDescription[] = L"CadSim CAD simulator";

struct RegistryKeyTraits {
    using Handle = HKEY;
    static void Close(HKEY key) noexcept { RegCloseKey(key); }
};
// An open registry key.
using RegistryKey = UniqueHandle<RegistryKeyTraits>;

std::wstring ClassIdText(REFCLSID classId) {
    wchar_t text[40] = {};
    StringFromGUID2(classId, text, static_cast<int>(std::size(text)));
    return text;
}

std::wstring ClassesPath(const std::wstring& below) {
    return below.empty() ? kClassesRoot : std::wstring(kClassesRoot) + L"\\" + below;
}

[[noreturn]] void Throw(const std::wstring& what, LSTATUS status) {
    throw RegistryError(what + L": " + korvena::SystemErrorText(HRESULT_FROM_WIN32(status)));
}

// Creates HKLM\Software\Classes\<path> if needed and sets its default value.
void WriteDefault(const std::wstring& path, const std::wstring& value) {
    const std::wstring full = ClassesPath(path);
    HKEY opened = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, full.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_SET_VALUE, nullptr, &opened, nullptr);
    if (status != ERROR_SUCCESS) Throw(L"无法创建 HKLM\\" + full, status);
    const RegistryKey key(opened);
    status = RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) Throw(L"无法写入 HKLM\\" + full, status);
}

// On a 64-bit system the registry has two views: 32-bit programs see the CLSID keys of their own
// view (Wow6432Node), 64-bit programs the others, while ProgID keys are shared. COM looks for a local
// server in the client's view and then in the other, so a simulator of either bitness serves clients
// of both. Removing a class clears it from both views: the simulator registered last is the one COM
// starts, whatever the bitness of the one before. (On a 32-bit system the flags are ignored.)
constexpr REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

// The default value of HKLM\Software\Classes\<path> in `view`; empty when the key or the value is missing.
std::wstring ReadDefault(const std::wstring& path, REGSAM view) {
    const std::wstring full = ClassesPath(path);
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, full.c_str(), 0, KEY_QUERY_VALUE | view, &opened) !=
        ERROR_SUCCESS) {
        return {};
    }
    const RegistryKey key(opened);
    wchar_t value[256] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    const LSTATUS status = RegGetValueW(key.get(), nullptr, nullptr, RRF_RT_REG_SZ, nullptr, value, &size);
    return status == ERROR_SUCCESS ? std::wstring(value) : std::wstring();
}

// Deletes HKLM\Software\Classes\<parent>\<name> and everything below it, in `view`.
void DeleteTree(const std::wstring& parent, const std::wstring& name, REGSAM view) {
    const std::wstring full = ClassesPath(parent);
    HKEY opened = nullptr;
    LSTATUS status =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, full.c_str(), 0,
                      DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE | view, &opened);
    const RegistryKey key(opened);
    if (status == ERROR_FILE_NOT_FOUND) return;
    if (status == ERROR_SUCCESS) status = RegDeleteTreeW(key.get(), name.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        Throw(L"无法删除 HKLM\\" + full + L"\\" + name, status);
}

void RegisterClass(REFCLSID classId, const std::wstring& progId, const std::wstring& serverCommand) {
    const std::wstring classKey = L"CLSID\\" + ClassIdText(classId);
    WriteDefault(progId, kDescription);
    WriteDefault(progId + L"\\CLSID", ClassIdText(classId));
    WriteDefault(classKey, kDescription);
    WriteDefault(classKey + L"\\LocalServer32", serverCommand);
    WriteDefault(classKey + L"\\ProgID", progId);
}

// The class, and the name it was registered under while that name still points at it, in both views.
void UnregisterClass(REFCLSID classId) {
    const std::wstring classIdText = ClassIdText(classId);
    for (const REGSAM view : kViews) {
        const std::wstring progId = ReadDefault(L"CLSID\\" + classIdText + L"\\ProgID", view);
        DeleteTree(L"CLSID", classIdText, view);
        if (!progId.empty() && CompareStringOrdinal(ReadDefault(progId + L"\\CLSID", view).c_str(), -1,
                                                    classIdText.c_str(), -1, TRUE) == CSTR_EQUAL) {
            DeleteTree(L"", progId, view);
        }
    }
}

}  // namespace

std::wstring LocalServerCommand(const std::wstring& serverPath, const ServerOptions& options) {
    std::wstring command = L"\"" + serverPath + L"\"";
    if (options.drawingFile) command += L" --drawing " + QuoteArgument(*options.drawingFile);
    if (options.outFile) command += L" --out " + QuoteArgument(*options.outFile);
    return command;
}

std::wstring UnstartableServerCommand(const std::wstring& serverPath, const std::wstring& log) {
    return L"\"" + serverPath + L"\" --unable-to-start " + QuoteArgument(log);
}

void RegisterServer(const std::wstring& serverPath, const ServerOptions& options) {
    UnregisterServer();  // one name at a time
    RegisterClass(kCadSimClassId, options.progId.value_or(kCadProgId),
                  LocalServerCommand(serverPath, options));
    if (options.unstartableProgId && options.unableToStartLog) {
        RegisterClass(kUnstartableClassId, *options.unstartableProgId,
                      UnstartableServerCommand(serverPath, *options.unableToStartLog));
    }
}

void UnregisterServer() {
    UnregisterClass(kCadSimClassId);
    UnregisterClass(kUnstartableClassId);
}

}  // namespace korvena::cadsim
