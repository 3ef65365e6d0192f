#pragma once
// ComDispatch: a Dispatch over an IDispatch of another program, reached by member name.
//
// Members are resolved with GetIDsOfNames and the DISPIDs kept per object by lower-cased name; when
// Invoke answers DISP_E_MEMBERNOTFOUND for a kept DISPID the name is resolved once more and the call
// repeated. Every failure becomes AutomationError: an unknown member is 438, the server's exception
// carries the server's own number and description, anything else the HRESULT (see com_error.h).
// Objects in results are wrapped in new ComDispatch objects; a ComDispatch passed as an argument goes
// back as its own IDispatch. Use it on the thread of the apartment that it came from.

#include <windows.h>
#include <wrl/client.h>

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cad/dispatch.h"
#include "cad/win/com_variant.h"

namespace korvena {

class ComDispatch final : public Dispatch {
public:
    // Holds a reference to object; a null object is error 91.
    explicit ComDispatch(Microsoft::WRL::ComPtr<IDispatch> object);

    Variant Get(std::wstring_view member, const std::vector<Variant>& args = {}) override;
    void Put(std::wstring_view member, const Variant& value) override;
    Variant Call(std::wstring_view member, const std::vector<Variant>& args = {}) override;
    // DISPID_NEWENUM, then IEnumVARIANT::Next in batches.
    std::vector<Variant> Enumerate() override;

    // Borrowed.
    IDispatch* Object() const noexcept { return object_.Get(); }

private:
    struct Resolved {
        DISPID id;
        bool fromCache;
    };

    Resolved Resolve(std::wstring_view member);
    ScopedVariant Invoke(std::wstring_view member, WORD flags, DISPPARAMS& params, bool wantResult);

    Microsoft::WRL::ComPtr<IDispatch> object_;
    std::unordered_map<std::wstring, DISPID> dispIds_;
};

// The client's mapping: a server's IDispatch becomes a ComDispatch; a ComDispatch goes back as its own
// IDispatch, and any other object is a type mismatch (13).
class ClientObjectMapping final : public ObjectMapping {
public:
    DispatchPtr FromCom(IDispatch* object) const override;
    Microsoft::WRL::ComPtr<IDispatch> ToCom(const DispatchPtr& object) const override;
};

}  // namespace korvena
