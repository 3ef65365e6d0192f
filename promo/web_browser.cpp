#include "promo/web_browser.h"

#include <string>
#include <utility>

#include "cad/automation_error.h"
#include "cad/win/bstr.h"
#include "ui/win/system_library.h"

namespace korvena::promo {

namespace {

using Microsoft::WRL::ComPtr;

// The HTML document class of the system's browser engine.
constexpr CLSID kClsidHtmlDocument = {
    0x25336920, 0x03f9, 0x11cf, {0x8f, 0xd0, 0x00, 0xaa, 0x00, 0x68, 0x6f, 0x13}};
// The host window class, and the control it creates from its window text.
constexpr wchar_t kHostClass[] = L"AtlAxWin";
constexpr wchar_t kBrowserProgId[] = L"Shell.Explorer.2";

using AtlAxWinInitFunction = BOOL(WINAPI*)();
using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);

// atl.dll from the system folder, loaded and initialised once, kept for the program's life. Null when
// it cannot be had.
AtlAxGetControlFunction SystemAtl() noexcept {
    static const AtlAxGetControlFunction getControl = []() -> AtlAxGetControlFunction {
        const HMODULE atl = ui::LoadSystemLibrary(L"atl.dll");
        if (atl == nullptr) return nullptr;
        const auto init = ui::ExportOf<AtlAxWinInitFunction>(atl, "AtlAxWinInit");
        if (init == nullptr || !init()) return nullptr;
        return ui::ExportOf<AtlAxGetControlFunction>(atl, "AtlAxGetControl");
    }();
    return getControl;
}

}  // namespace

bool BrowserEngineAvailable() noexcept {
    ComPtr<IUnknown> document;
    return SUCCEEDED(
        CoCreateInstance(kClsidHtmlDocument, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&document)));
}

bool WebBrowser::Create(HWND parent, const RECT& box) noexcept {
    if (!BrowserEngineAvailable()) return false;
    const AtlAxGetControlFunction getControl = SystemAtl();
    if (getControl == nullptr) return false;

    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    const HWND host =
        CreateWindowExW(0, kHostClass, kBrowserProgId, WS_CHILD | WS_VISIBLE, box.left, box.top,
                        box.right - box.left, box.bottom - box.top, parent, nullptr, instance, nullptr);
    if (host == nullptr) return false;
    ComPtr<IUnknown> control;
    ComPtr<IWebBrowser2> browser;
    if (FAILED(getControl(host, control.GetAddressOf())) || control == nullptr ||
        FAILED(control.As(&browser))) {
        DestroyWindow(host);
        return false;
    }
    host_ = host;
    browser_ = std::move(browser);
    return true;
}

void WebBrowser::Navigate(std::wstring_view address) noexcept {
    if (browser_ == nullptr) return;
    try {
        const Bstr url(address);
        // The result is the browser's own affair: a page that fails to load changes nothing here.
        (void)browser_->Navigate(url.Get(), nullptr, nullptr, nullptr, nullptr);
    } catch (const AutomationError&) {
        // Out of memory for the address: no page, as when it does not load.
    }
}

}  // namespace korvena::promo
