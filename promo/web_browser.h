#pragma once
// WebBrowser1 of a promotional panel: the system's web browser control, hosted by the AtlAxWin window
// class of the system's atl.dll.

#include <windows.h>
// After windows.h, whose types it uses.
#include <exdisp.h>
#include <wrl/client.h>

#include <string_view>

namespace korvena::promo {

// Whether the system has a browser engine: an HTML document object can be created. Where there is
// none this fails fast, while a browser control would still be created and then never show a page.
bool BrowserEngineAvailable() noexcept;

class WebBrowser {
public:
    // Creates the control as a child of `parent` over `box` (client pixels). False, with nothing
    // created, when the system has no browser engine or atl.dll or the control cannot be had: the
    // panel then shows its own background. The parent owns the control's window.
    bool Create(HWND parent, const RECT& box) noexcept;
    // Asks the control to show the page at `address`; nothing when there is no control. A page that
    // does not load is the browser's own affair.
    void Navigate(std::wstring_view address) noexcept;

    HWND Handle() const noexcept { return host_; }

private:
    HWND host_ = nullptr;
    Microsoft::WRL::ComPtr<IWebBrowser2> browser_;
};

}  // namespace korvena::promo
