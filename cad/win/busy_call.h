#pragma once
// One call into another program, made again while that program's server refuses it as busy.

#include <windows.h>

#include "cad/busy_cad.h"

namespace korvena {

// A busy server's refusals: the call was not carried out and may simply be made again.
constexpr bool IsBusyRefusal(HRESULT hr) noexcept {
    return hr == RPC_E_CALL_REJECTED || hr == RPC_E_SERVERCALL_RETRYLATER;
}

// Makes call() (which returns an HRESULT) until it is not a busy refusal, waiting through `wait`; with
// no way to wait, once. Throws CadBusyCancelled when the user gives up.
template <class Call>
[[nodiscard]] HRESULT CallWhileBusy(BusyCadWait* wait, Call&& call) {
    if (wait == nullptr) return call();
    HRESULT hr = S_OK;
    RetryWhileRefused(*wait, [&] {
        hr = call();
        return IsBusyRefusal(hr);
    });
    return hr;
}

}  // namespace korvena
