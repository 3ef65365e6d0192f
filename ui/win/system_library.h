#pragma once
// Libraries the program loads while it runs come from the system folder only: never from the
// executable's folder or the search path, where a planted copy could stand.

#include <windows.h>

#include <string_view>

namespace korvena::ui {

// `name` (a file name such as L"atl.dll") from the system folder; null when it cannot be had.
// LOAD_LIBRARY_SEARCH_SYSTEM32 keeps what the library loads in turn to the system folder too; where
// that flag is unknown, the full path of the system copy. The library stays loaded.
HMODULE LoadSystemLibrary(std::wstring_view name) noexcept;

// The function `name` that `library` exports, as a `Function`; null when it has none.
template <typename Function>
Function ExportOf(HMODULE library, const char* name) noexcept {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace korvena::ui
