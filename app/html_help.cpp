#include "app/html_help.h"

#include <string_view>

namespace korvena {
namespace {

using HtmlHelpFunction = HWND(WINAPI*)(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data);
constexpr UINT kDisplayTopic = 0;  // HH_DISPLAY_TOPIC: the file at its default topic
constexpr std::wstring_view kLibrary = L"hhctrl.ocx";

// hhctrl.ocx from the system folder. LOAD_LIBRARY_SEARCH_SYSTEM32 keeps the library and what it
// loads in turn to the system folder; where that flag is unknown, the full path of the system copy.
HMODULE LoadFromSystemFolder() noexcept {
    if (const HMODULE library = LoadLibraryExW(kLibrary.data(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return library;
    }
    wchar_t folder[MAX_PATH]{};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length + 1 + kLibrary.size() >= MAX_PATH) return nullptr;
    std::wstring path(folder, length);
    path += L'\\';
    path += kLibrary;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// Looked up once; the library stays loaded for the program's life, as the viewer's windows live in it.
HtmlHelpFunction HtmlHelpEntry() noexcept {
    static const HtmlHelpFunction entry = []() noexcept -> HtmlHelpFunction {
        const HMODULE library = LoadFromSystemFolder();
        if (library == nullptr) return nullptr;
        return reinterpret_cast<HtmlHelpFunction>(
            reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpW")));
    }();
    return entry;
}

}  // namespace

void ShowHelpTopic(HWND owner, const std::wstring& helpFile) noexcept {
    if (const HtmlHelpFunction htmlHelp = HtmlHelpEntry()) {
        // A missing or unreadable file gives no window and no message; the result is not needed.
        htmlHelp(owner, helpFile.c_str(), kDisplayTopic, 0);
    }
}

}  // namespace korvena
