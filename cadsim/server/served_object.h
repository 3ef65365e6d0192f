#pragma once
// The simulated CAD's objects as COM sees them.
//
// ServedObjects is the server's ObjectMapping: it hands out one IDispatch per model object (the same one
// as long as anyone holds it, so identity holds across calls) and maps an IDispatch that a client passes
// back to its model object. Under COM an object of ours that a client passes back arrives as our own
// pointer, so a table of the live served objects recognises it; anything else is a type mismatch.
//
// A served object answers GetIDsOfNames through the model's counted LookUp and the process-wide
// MemberIds (by the object's class), and Invoke by handing the call to the model: property get (with
// arguments for an indexed get), property put, method call, and DISPID_NEWENUM as a new IEnumVARIANT. The
// model's failures come back as DISP_E_EXCEPTION with the number a late-bound caller then sees; no exception
// leaves Invoke.
//
// A busy CAD's refusals are not theirs: the server's message filter turns calls away before they
// arrive (busy_message_filter.h).
//
// Single-threaded: everything on the server's STA thread.

#include <windows.h>
#include <wrl/client.h>

#include <memory>
#include <unordered_map>

#include "cad/dispatch.h"
#include "cad/win/com_variant.h"
#include "cadsim/model/sim_object.h"

namespace korvena::cadsim {

class ServedObject;

// The source a served object's exceptions name.
inline constexpr wchar_t kExceptionSource[] = L"CadSim";

class ServedObjects final : public korvena::ObjectMapping,
                            public std::enable_shared_from_this<ServedObjects> {
public:
    static std::shared_ptr<ServedObjects> Create();

    // The model object behind one of our served objects; type mismatch (13) for any other object.
    korvena::DispatchPtr FromCom(IDispatch* object) const override;
    // The served object of a model object (a new reference); type mismatch for an object that is not
    // the simulated CAD's.
    Microsoft::WRL::ComPtr<IDispatch> ToCom(const korvena::DispatchPtr& object) const override;

    // Served objects alive now.
    std::size_t LiveCount() const noexcept { return byModel_.size(); }

private:
    friend class ServedObject;
    ServedObjects() = default;
    void Forget(const ServedObject* object) const noexcept;

    mutable std::unordered_map<const korvena::Dispatch*, ServedObject*> byModel_;
    mutable std::unordered_map<const IDispatch*, ServedObject*> byCom_;
};

// The EXCEPINFO code of a model failure: the caller's own error numbers (1 to 65535) travel as
// FACILITY_CONTROL codes, which a late-bound caller turns back into the number; anything else (an
// HRESULT of the CAD's own) goes as it is.
HRESULT ExceptionCode(std::int32_t number) noexcept;

}  // namespace korvena::cadsim
