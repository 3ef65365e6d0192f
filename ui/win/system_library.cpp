#include "ui/win/system_library.h"

#include <string>

namespace korvena::ui {

HMODULE LoadSystemLibrary(std::wstring_view name) noexcept {
    try {
        const std::wstring file(name);
        if (const HMODULE library = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
            return library;
        }
        wchar_t folder[MAX_PATH]{};
        const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length + 1 + file.size() >= MAX_PATH) return nullptr;
        const std::wstring path = std::wstring(folder, length) + L'\\' + file;
        return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    } catch (...) {
        return nullptr;  // only the strings can fail, out of memory
    }
}

}  // namespace korvena::ui
