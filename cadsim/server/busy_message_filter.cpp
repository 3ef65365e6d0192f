#include "cadsim/server/busy_message_filter.h"

#include <atomic>
#include <utility>

#include "cad/win/com_error.h"

namespace korvena::cadsim {
namespace {

class BusyMessageFilter final : public IMessageFilter {
public:
    explicit BusyMessageFilter(std::function<bool()> busy) : busy_(std::move(busy)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IMessageFilter) {
            *out = static_cast<IMessageFilter*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        try {
            return busy_ && busy_() ? SERVERCALL_REJECTED : SERVERCALL_ISHANDLED;
        } catch (...) {
            return SERVERCALL_ISHANDLED;
        }
    }
    // The simulator calls no other server: nothing of its own is ever refused.
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }

private:
    ~BusyMessageFilter() = default;

    std::atomic<ULONG> references_{1};
    std::function<bool()> busy_;
};

}  // namespace

Microsoft::WRL::ComPtr<IMessageFilter> NewBusyMessageFilter(std::function<bool()> busy) {
    Microsoft::WRL::ComPtr<IMessageFilter> filter;
    *filter.ReleaseAndGetAddressOf() = new BusyMessageFilter(std::move(busy));
    return filter;
}

void MessageFilterRegistration::Register(IMessageFilter* filter) {
    Revoke();
    const HRESULT hr = CoRegisterMessageFilter(filter, previous_.ReleaseAndGetAddressOf());
    if (FAILED(hr)) throw korvena::ErrorFromHresult(hr);
    registered_ = true;
}

void MessageFilterRegistration::Revoke() noexcept {
    if (!registered_) return;
    registered_ = false;
    Microsoft::WRL::ComPtr<IMessageFilter> ours;
    CoRegisterMessageFilter(previous_.Get(), ours.ReleaseAndGetAddressOf());
    previous_.Reset();
}

}  // namespace korvena::cadsim
