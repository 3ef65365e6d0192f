#include "e2e/support/process_resources.h"

#include <psapi.h>
#include <winternl.h>

#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace korvena::e2e {

namespace {

// Wine keeps each process's GDI objects in a handle table of its own and publishes its address in
// the process's PEB, where Windows has its shared GDI handle table. An entry is 24 bytes: the
// object (8), the owner (4), the unique number (2), the type (1, 0 for a free entry), flags (1) and
// a user pointer (8). The table has 65536 entries.
constexpr std::size_t kGdiEntrySize = 24;
constexpr std::size_t kGdiEntryTypeOffset = 14;
constexpr std::size_t kGdiEntries = 0x10000;
#ifdef _WIN64
constexpr std::size_t kPebGdiTableOffset = 0xF8;
#else
constexpr std::size_t kPebGdiTableOffset = 0x94;
#endif

using QueryInformationProcess = LONG(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
using QuerySystemInformation = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);

template <class Function>
Function NtdllFunction(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

void Read(HANDLE process, const void* at, void* into, std::size_t size) {
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, at, into, size, &read) || read != size) {
        throw std::runtime_error("cannot read the memory of the process, error " +
                                 std::to_string(GetLastError()));
    }
}

DWORD GdiObjectsFromHandleTable(HANDLE process) {
    const auto query = NtdllFunction<QueryInformationProcess>("NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION basic{};
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) {
        throw std::runtime_error("cannot find the PEB of the process");
    }
    const void* table = nullptr;
    Read(process, reinterpret_cast<const std::byte*>(basic.PebBaseAddress) + kPebGdiTableOffset, &table,
         sizeof table);
    if (!table) throw std::runtime_error("the process has no GDI handle table");
    std::vector<unsigned char> entries(kGdiEntries * kGdiEntrySize);
    Read(process, table, entries.data(), entries.size());
    DWORD used = 0;
    for (std::size_t i = 0; i < kGdiEntries; ++i) {
        if (entries[i * kGdiEntrySize + kGdiEntryTypeOffset] != 0) ++used;
    }
    return used;
}

// The system's list of every open handle (SystemHandleInformation): a count, then one entry per
// handle that starts with the owning process's id.
struct SystemHandleEntry {
    ULONG ownerProcessId;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

DWORD HandlesFromSystemList(DWORD processId) {
    const auto query = NtdllFunction<QuerySystemInformation>("NtQuerySystemInformation");
    if (!query) throw std::runtime_error("no NtQuerySystemInformation");
    std::vector<std::byte> buffer(1 << 20);
    LONG status = 0;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                           nullptr)) == kInfoLengthMismatch) {
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0) throw std::runtime_error("cannot list the system's handles");
    ULONG count = 0;
    std::memcpy(&count, buffer.data(), sizeof count);
    const std::size_t first =
        alignof(SystemHandleEntry) > sizeof count ? alignof(SystemHandleEntry) : sizeof count;
    DWORD owned = 0;
    for (ULONG i = 0; i < count; ++i) {
        SystemHandleEntry entry;
        std::memcpy(&entry, buffer.data() + first + i * sizeof entry, sizeof entry);
        if (entry.ownerProcessId == processId) ++owned;
    }
    return owned;
}

struct WindowCount {
    DWORD processId;
    DWORD count = 0;
};

BOOL CALLBACK CountChild(HWND window, LPARAM param) {
    auto* windows = reinterpret_cast<WindowCount*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == windows->processId) ++windows->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param) {
    CountChild(window, param);
    EnumChildWindows(window, CountChild, param);  // every descendant, not only the direct children
    return TRUE;
}

// Every window of the process, hidden and message-only ones included: the USER objects a program
// makes in numbers (menus, icons and hooks are not counted this way).
DWORD WindowsOfProcess(DWORD processId) {
    WindowCount windows{processId};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
         window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
        CountTopLevel(window, reinterpret_cast<LPARAM>(&windows));
    }
    return windows.count;
}

// A process with a window always holds USER objects: a zero means the system does not count them.
bool SystemCountsGuiObjects(HANDLE process) {
    return GetGuiResources(process, GR_USEROBJECTS) != 0;
}

}  // namespace

ProcessResources SampleResources(HANDLE process, DWORD processId) {
    ProcessResources sample;
    if (!GetProcessHandleCount(process, &sample.handles)) {
        throw std::runtime_error("GetProcessHandleCount failed, error " + std::to_string(GetLastError()));
    }
    // A running process holds handles: a zero means the system does not count them (Wine).
    if (sample.handles == 0) sample.handles = HandlesFromSystemList(processId);
    if (SystemCountsGuiObjects(process)) {
        sample.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
        sample.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    } else {
        sample.gdiObjects = GdiObjectsFromHandleTable(process);
        sample.userObjects = WindowsOfProcess(processId);
    }
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) {
        throw std::runtime_error("GetProcessMemoryInfo failed, error " + std::to_string(GetLastError()));
    }
    // The commit charge is the process's private bytes; Wine leaves PrivateUsage at 0 for another process.
    sample.privateBytes = counters.PagefileUsage;
    return sample;
}

std::string CountingMethod(HANDLE process) {
    DWORD handles = 0;
    std::string method = GetProcessHandleCount(process, &handles) && handles != 0
                             ? "handles by GetProcessHandleCount"
                             : "handles from the system's handle list (GetProcessHandleCount answers 0 here)";
    method += SystemCountsGuiObjects(process)
                  ? ", GDI and USER objects by GetGuiResources"
                  : ", GDI objects from the process's GDI handle table and USER objects "
                    "as its windows (GetGuiResources answers 0 here)";
    return method;
}

}  // namespace korvena::e2e
