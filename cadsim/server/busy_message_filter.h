#pragma once
// The simulator's COM message filter: while the CAD is busy it turns every incoming call away
// (SERVERCALL_REJECTED), as a real CAD does while one of its own commands or dialogs runs. The caller
// gets RPC_E_CALL_REJECTED; the call is never carried out.

#include <windows.h>
#include <wrl/client.h>

#include <functional>

namespace korvena::cadsim {

// A new filter that asks `busy` at every incoming call.
Microsoft::WRL::ComPtr<IMessageFilter> NewBusyMessageFilter(std::function<bool()> busy);

// CoRegisterMessageFilter until Revoke or the owner's end, on the calling thread.
class MessageFilterRegistration {
public:
    MessageFilterRegistration() = default;
    // Throws AutomationError when COM refuses.
    void Register(IMessageFilter* filter);
    ~MessageFilterRegistration() { Revoke(); }
    MessageFilterRegistration(const MessageFilterRegistration&) = delete;
    MessageFilterRegistration& operator=(const MessageFilterRegistration&) = delete;

    void Revoke() noexcept;

private:
    bool registered_ = false;
    Microsoft::WRL::ComPtr<IMessageFilter> previous_;
};

}  // namespace korvena::cadsim
