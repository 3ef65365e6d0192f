#pragma once
// ComDispatch: a Dispatch over an IDispatch of another program, reached by member name.
//
// Members are resolved with GetIDsOfNames and the DISPIDs kept per object by lower-cased name; when
// Invoke answers DISP_E_MEMBERNOTFOUND for a kept DISPID the name is resolved once more and the call
// repeated. Once an object has answered its EntityType, its DISPIDs are also kept for that kind and
// shared with every object of the same kind reached through the same root object: entities of one
// kind are of one class, so a name is resolved once per kind rather than once per entity. Every failure
// becomes AutomationError: an unknown member is 438, the server's exception carries the server's own number
// and description, anything else the HRESULT (see com_error.h). Objects in results are wrapped in new
// ComDispatch objects; a ComDispatch passed as an argument goes back as its own IDispatch. Use it on the
// thread of the apartment that it came from.

#include <windows.h>
#include <wrl/client.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "cad/busy_cad.h"
#include "cad/dispatch.h"
#include "cad/win/com_variant.h"

namespace korvena {

// DISPIDs by (entity kind, lower-cased member name), shared by the objects of one connection.
using DispIdsByKind = std::map<std::pair<std::int32_t, std::wstring>, DISPID>;

// What the objects reached from one root object share.
struct ComConnection {
    DispIdsByKind dispIdsByKind;
    // How to wait while the server is busy; without one a refused call fails at once.
    std::shared_ptr<BusyCadWait> busyWait;
};

// The client's mapping: a server's IDispatch becomes a ComDispatch of this mapping's connection; a
// ComDispatch goes back as its own IDispatch, and any other object is a type mismatch (13).
class ClientObjectMapping final : public ObjectMapping {
public:
    explicit ClientObjectMapping(std::shared_ptr<ComConnection> connection = std::make_shared<ComConnection>())
        : connection_(std::move(connection)) {}
    DispatchPtr FromCom(IDispatch* object) const override;
    Microsoft::WRL::ComPtr<IDispatch> ToCom(const DispatchPtr& object) const override;

private:
    std::shared_ptr<ComConnection> connection_;
};

class ComDispatch final : public Dispatch {
public:
    // Holds a reference to object; a null object is error 91. Objects it hands out share `connection`.
    explicit ComDispatch(Microsoft::WRL::ComPtr<IDispatch> object,
                         std::shared_ptr<ComConnection> connection = std::make_shared<ComConnection>());

    Variant Get(std::wstring_view member, const std::vector<Variant>& args = {}) override;
    void Put(std::wstring_view member, const Variant& value) override;
    Variant Call(std::wstring_view member, const std::vector<Variant>& args = {}) override;
    // DISPID_NEWENUM, then IEnumVARIANT::Next in batches.
    std::vector<Variant> Enumerate() override;
    // The same, each item handed over and let go of before the next; a batch is fetched when the one
    // before it has been visited.
    void ForEach(const std::function<void(Variant)>& visit) override;

    // Borrowed.
    IDispatch* Object() const noexcept { return object_.Get(); }

private:
    struct Resolved {
        DISPID id;
        bool fromCache;
    };

    Resolved Resolve(std::wstring_view member);
    void Forget(std::wstring_view member);
    ScopedVariant Invoke(std::wstring_view member, WORD flags, DISPPARAMS& params, bool wantResult);

    Microsoft::WRL::ComPtr<IDispatch> object_;
    std::shared_ptr<ComConnection> connection_;
    ClientObjectMapping objects_;
    std::optional<std::int32_t> kind_;  // the EntityType it answered, once asked
    std::unordered_map<std::wstring, DISPID> dispIds_;
};

}  // namespace korvena
