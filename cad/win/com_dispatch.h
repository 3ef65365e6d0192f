#pragma once
// ComDispatch: a Dispatch over an IDispatch of another program, reached by member name.
//
// Members are resolved with GetIDsOfNames and the DISPIDs kept per object by lower-cased name; when
// Invoke answers DISP_E_MEMBERNOTFOUND for a kept DISPID the name is resolved once more and the call
// repeated. Objects of one kind are of one class, so their DISPIDs are also kept per kind and shared
// by every object of that kind reached through the same root object; a name is then resolved once per
// kind rather than once per object. An object's kind is the member it came from (the application's
// ActiveDocument, a document's ModelSpace, a model space's AddLine, SelectionSets' Add: always of one
// class), or else, once it has said what it is, the identity it said (ClassKey of entity_identity.h:
// its EntityType code or its ObjectName class name, read as the commands read them). The items of one
// collection are entities of many classes, whose same-named members may have different DISPIDs: until
// an item has said what it is, it shares only the DISPIDs of EntityType and ObjectName (declared once
// for every entity class) and resolves every other name for itself. Every failure
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

// DISPIDs by (kind of object, lower-cased member name), shared by the objects of one connection.
using DispIdsByKind = std::map<std::pair<std::wstring, std::wstring>, DISPID>;

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
    explicit ClientObjectMapping(
        std::shared_ptr<ComConnection> connection = std::make_shared<ComConnection>())
        : connection_(std::move(connection)) {}
    DispatchPtr FromCom(IDispatch* object) const override;
    Microsoft::WRL::ComPtr<IDispatch> ToCom(const DispatchPtr& object) const override;

private:
    std::shared_ptr<ComConnection> connection_;
};

class ComDispatch final : public Dispatch {
public:
    // Holds a reference to object; a null object is error 91. Objects it hands out share `connection`.
    // `kind` names the object's class when it is known (the root object of a connection); objects
    // without one share nothing until they have a kind.
    explicit ComDispatch(Microsoft::WRL::ComPtr<IDispatch> object,
                         std::shared_ptr<ComConnection> connection = std::make_shared<ComConnection>(),
                         std::wstring kind = {});

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

    // Whether the member's DISPID is kept for the object's kind rather than for the object alone.
    bool SharesDispIdOf(std::wstring_view member) const;
    Resolved Resolve(std::wstring_view member);
    void Forget(std::wstring_view member);
    ScopedVariant Invoke(std::wstring_view member, WORD flags, DISPPARAMS& params, bool wantResult);
    // A result that is one object is of the kind of everything this kind of object gives for member;
    // of no kind while this object's class is unknown.
    Variant Received(std::wstring_view member, const VARIANT& result) const;
    // `value`, when it is one of our objects, is of `kind` (nothing when empty); when `untilItSays`,
    // a collection's, until it has said what it is.
    static void GiveKind(const Variant& value, std::wstring kind, bool untilItSays);

    Microsoft::WRL::ComPtr<IDispatch> object_;
    std::shared_ptr<ComConnection> connection_;
    ClientObjectMapping objects_;
    std::wstring kind_;                // empty while unknown
    bool kindFromCollection_ = false;  // kind_ is the collection it came from, until it says what it is
    std::unordered_map<std::wstring, DISPID> dispIds_;
};

}  // namespace korvena
