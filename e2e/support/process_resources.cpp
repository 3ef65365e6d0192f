#include "e2e/support/process_resources.h"

#include <psapi.h>
#include <winternl.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

namespace korvena::e2e {

namespace {

// Wine keeps each process's GDI objects in a handle table of its own and publishes its address in
// the process's PEB, where Windows has its shared GDI handle table. An entry is 24 bytes in either
// bitness: the object (8), the owner (4), the unique number (2), the type (1, 0 for a free entry),
// flags (1) and a user pointer (8). The table has 65536 entries.
constexpr std::size_t kGdiEntrySize = 24;
constexpr std::size_t kGdiEntryTypeOffset = 14;
constexpr std::size_t kGdiEntries = 0x10000;
// GdiSharedHandleTable and ImageBaseAddress in the 64-bit PEB, and ImageBaseAddress in the 32-bit one.
constexpr std::size_t kPeb64GdiTableOffset = 0xF8;
constexpr std::size_t kPeb64ImageBaseOffset = 0x10;
constexpr std::size_t kPeb32GdiTableOffset = 0x94;
constexpr std::size_t kPeb32ImageBaseOffset = 0x08;
// A 32-bit process on a 64-bit system has a 64-bit PEB beside its own, as under WoW64; Wine keeps it
// in the page below the 32-bit PEB.
constexpr std::size_t kPeb64BelowPeb32 = 0x1000;

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

template <class Field>
Field ReadField(HANDLE process, const std::byte* structure, std::size_t offset) {
    Field field{};
    Read(process, structure + offset, &field, sizeof field);
    return field;
}

bool IsWow64(HANDLE process) {
    BOOL wow64 = FALSE;
    if (!IsWow64Process(process, &wow64)) {
        throw std::runtime_error("IsWow64Process failed, error " + std::to_string(GetLastError()));
    }
    return wow64 != FALSE;
}

// The address of the process's GDI handle table. A 64-bit process publishes it in its one PEB. A
// 32-bit one publishes it in the 64-bit PEB where Wine keeps one (its own PEB's field stays empty);
// that PEB is recognised by the image base, which both PEBs hold.
std::uint64_t GdiHandleTableAddress(HANDLE process) {
    // A 32-bit reader cannot reach every address of a 64-bit process, and a 64-bit reader finds the
    // PEB of a 32-bit one elsewhere: count a process of one's own bitness.
    if (IsWow64(process) != IsWow64(GetCurrentProcess())) {
        throw std::runtime_error("the GDI objects of a process of another bitness are not counted here");
    }
    const auto query = NtdllFunction<QueryInformationProcess>("NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION basic{};
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) {
        throw std::runtime_error("cannot find the PEB of the process");
    }
    const auto* peb = reinterpret_cast<const std::byte*>(basic.PebBaseAddress);
#ifdef _WIN64
    return ReadField<std::uint64_t>(process, peb, kPeb64GdiTableOffset);
#else
    if (const auto table = ReadField<std::uint32_t>(process, peb, kPeb32GdiTableOffset)) return table;
    const std::byte* peb64 = peb - kPeb64BelowPeb32;
    const auto imageBase = ReadField<std::uint32_t>(process, peb, kPeb32ImageBaseOffset);
    if (ReadField<std::uint64_t>(process, peb64, kPeb64ImageBaseOffset) != imageBase) {
        throw std::runtime_error("the 32-bit process has no 64-bit PEB where Wine keeps one");
    }
    return ReadField<std::uint64_t>(process, peb64, kPeb64GdiTableOffset);
#endif
}

DWORD GdiObjectsFromHandleTable(HANDLE process) {
    const std::uint64_t table = GdiHandleTableAddress(process);
    if (table == 0) throw std::runtime_error("the process has no GDI handle table");
    if (table > std::numeric_limits<std::uintptr_t>::max()) {
        throw std::runtime_error("the GDI handle table lies beyond this process's reach");
    }
    std::vector<unsigned char> entries(kGdiEntries * kGdiEntrySize);
    Read(process, reinterpret_cast<const void*>(static_cast<std::uintptr_t>(table)), entries.data(),
         entries.size());
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
