#include "app/html_help.h"

#include <string_view>

#include "ui/win/system_library.h"

namespace korvena {
namespace {

using HtmlHelpFunction = HWND(WINAPI*)(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data);
constexpr UINT kDisplayTopic = 0;  // HH_DISPLAY_TOPIC: the file at its default topic
constexpr std::wstring_view kLibrary = L"hhctrl.ocx";

// Looked up once; the library stays loaded for the program's life, as the viewer's windows live in it.
HtmlHelpFunction HtmlHelpEntry() noexcept {
    static const HtmlHelpFunction entry = []() noexcept -> HtmlHelpFunction {
        const HMODULE library = ui::LoadSystemLibrary(kLibrary);
        return library == nullptr ? nullptr : ui::ExportOf<HtmlHelpFunction>(library, "HtmlHelpW");
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
