#include "cadsim/server/busy_message_filter.h"

#include <utility>

#include "cad/win/com_error.h"
#include "cadsim/com/com_object.h"

namespace korvena::cadsim {
namespace {

class BusyMessageFilter final : public korvena::ComObject<IMessageFilter> {
public:
    explicit BusyMessageFilter(std::function<bool()> busy) : busy_(std::move(busy)) {}

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
    std::function<bool()> busy_;
};

}  // namespace

Microsoft::WRL::ComPtr<IMessageFilter> NewBusyMessageFilter(std::function<bool()> busy) {
    return korvena::MakeComObject<BusyMessageFilter>(std::move(busy));
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
