#pragma once
// What another process holds of the system, sampled from outside: kernel handles, GDI objects, USER
// objects and private bytes. A soak compares samples to find leaks.

#include <windows.h>

#include <cstdint>
#include <string>

namespace korvena::e2e {

struct ProcessResources {
    DWORD handles = 0;               // GetProcessHandleCount, or the system's handle list under Wine
    DWORD gdiObjects = 0;            // GetGuiResources(GR_GDIOBJECTS), or see GuiCountSource
    DWORD userObjects = 0;           // GetGuiResources(GR_USEROBJECTS), or see GuiCountSource
    std::uint64_t privateBytes = 0;  // the commit charge (PagefileUsage)
};

// Samples the process (a handle with query and read access, as CreateProcess gives). Throws
// std::runtime_error when a counter cannot be read.
ProcessResources SampleResources(HANDLE process, DWORD processId);

// How SampleResources counts on this system: by GetProcessHandleCount and GetGuiResources where the
// system answers them; under Wine, which answers 0 for every process, from the system's handle list,
// the process's own GDI handle table and its windows (see process_resources.cpp).
std::string CountingMethod(HANDLE process);

}  // namespace korvena::e2e
