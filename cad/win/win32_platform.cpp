#include "cad/win/win32_platform.h"

#include <wrl/client.h>

#include <memory>
#include <utility>

#include "cad/win/busy_call.h"
#include "cad/win/com_dispatch.h"
#include "cad/win/com_error.h"

namespace korvena {
namespace {

using Microsoft::WRL::ComPtr;

// Failures of the COM services keep their HRESULT as the number, with the system's description.
[[noreturn]] void ThrowPlatformError(HRESULT hr) {
    throw AutomationError(static_cast<std::int32_t>(hr), SystemErrorText(hr));
}

CLSID ClassOf(std::wstring_view progId) {
    const std::wstring name(progId);
    CLSID clsid{};
    const HRESULT hr = CLSIDFromProgID(name.c_str(), &clsid);
    if (FAILED(hr)) ThrowPlatformError(hr);
    return clsid;
}

// A new connection to the CAD behind `object`; asking a remote object for IDispatch is a call to its
// server, which may be busy.
DispatchPtr DispatchFrom(IUnknown& object, const std::shared_ptr<BusyCadWait>& busyWait) {
    ComPtr<IDispatch> dispatch;
    const HRESULT hr = CallWhileBusy(busyWait.get(), [&] { return object.QueryInterface(IID_PPV_ARGS(&dispatch)); });
    if (FAILED(hr)) ThrowPlatformError(hr);
    auto connection = std::make_shared<ComConnection>();
    connection->busyWait = busyWait;
    return std::make_shared<ComDispatch>(std::move(dispatch), std::move(connection), L"Application");
}

std::wstring WindowTitle(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, title.data(), length + 1);
    title.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return title;
}

struct WindowSearch {
    std::wstring_view title;
    HWND exact = nullptr;
    HWND firstPrefix = nullptr;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM context) noexcept {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    if (!IsWindowVisible(window)) return TRUE;
    try {
        const std::wstring title = WindowTitle(window);
        if (title == search.title) {
            search.exact = window;
            return FALSE;
        }
        if (search.firstPrefix == nullptr && title.starts_with(search.title)) search.firstPrefix = window;
    } catch (...) {
        // Out of memory for one title: that window is passed over.
    }
    return TRUE;
}

}  // namespace

Win32Platform::Win32Platform(std::wstring applicationTitle)
    : applicationTitle_(std::move(applicationTitle)) {}

DispatchPtr Win32Platform::GetRunningObject(std::wstring_view progId) {
    const CLSID clsid = ClassOf(progId);
    ComPtr<IUnknown> running;
    // Taking a busy CAD's object out of the table is refused like any call to it.
    const HRESULT hr =
        CallWhileBusy(busyWait_.get(), [&] { return GetActiveObject(clsid, nullptr, running.ReleaseAndGetAddressOf()); });
    if (FAILED(hr)) ThrowPlatformError(hr);
    if (!running) ThrowPlatformError(E_POINTER);
    return DispatchFrom(*running.Get(), busyWait_);
}

DispatchPtr Win32Platform::CreateObject(std::wstring_view progId) {
    const CLSID clsid = ClassOf(progId);
    ComPtr<IDispatch> created;
    const HRESULT hr = CallWhileBusy(busyWait_.get(), [&] {
        return CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, __uuidof(IDispatch),
                                reinterpret_cast<void**>(created.ReleaseAndGetAddressOf()));
    });
    if (FAILED(hr)) ThrowPlatformError(hr);
    if (!created) ThrowPlatformError(E_POINTER);
    return DispatchFrom(*created.Get(), busyWait_);
}

void Win32Platform::ActivateWindow(std::wstring_view title) {
    const HWND window = FindWindowByTitle(title);
    if (window == nullptr) throw InvalidCall();
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
}

int Win32Platform::ShowMessage(std::wstring_view text, std::optional<std::wstring_view> title, int style) {
    const std::wstring body(text);
    const std::wstring caption = title ? std::wstring(*title) : applicationTitle_;
    return MessageBoxW(owner_, body.c_str(), caption.c_str(), static_cast<UINT>(style));
}

std::uint64_t Win32Platform::ClockTicks() {
    LARGE_INTEGER ticks{};
    QueryPerformanceCounter(&ticks);
    return static_cast<std::uint64_t>(ticks.QuadPart);
}

HWND FindWindowByTitle(std::wstring_view title) {
    if (title.empty()) return nullptr;
    WindowSearch search{title};
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&search));
    return search.exact != nullptr ? search.exact : search.firstPrefix;
}

}  // namespace korvena
