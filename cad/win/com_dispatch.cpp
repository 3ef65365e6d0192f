#include "cad/win/com_dispatch.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "base/ascii_case.h"
#include "cad/entity_identity.h"
#include "cad/win/busy_call.h"
#include "cad/win/com_error.h"

namespace korvena {
namespace {

using Microsoft::WRL::ComPtr;

// Elements asked for per IEnumVARIANT::Next, and the most that one enumeration takes before it gives up
// on a collection that never ends.
constexpr ULONG kEnumerationBatch = 64;
constexpr std::size_t kMaxEnumeratedItems = std::size_t{1} << 22;
constexpr std::wstring_view kNewEnumName = L"_NewEnum";

// The arguments of one Invoke, owned, last argument first as IDispatch expects them.
class InvokeArguments {
public:
    InvokeArguments(const std::vector<Variant>& args, const ObjectMapping& objects) : values_(args.size()) {
        for (std::size_t i = 0; i < args.size(); ++i) {
            values_.Adopt(args.size() - 1 - i, ToComVariant(args[i], objects).Release());
        }
    }

    // For a method call or property get: positional arguments only.
    DISPPARAMS Positional() noexcept {
        return DISPPARAMS{values_.Data(), nullptr, static_cast<UINT>(values_.Size()), 0};
    }
    // For a property put: the value as the one named argument DISPID_PROPERTYPUT.
    DISPPARAMS PropertyPut() noexcept {
        return DISPPARAMS{values_.Data(), &propertyPutId_, static_cast<UINT>(values_.Size()), 1};
    }

private:
    ScopedVariants values_;
    DISPID propertyPutId_ = DISPID_PROPERTYPUT;
};

AutomationError InvokeError(HRESULT hr, ExceptionInfo& exception, std::wstring_view member) {
    if (hr == DISP_E_EXCEPTION) return exception.ToError(hr);
    if (hr == DISP_E_MEMBERNOTFOUND || hr == DISP_E_UNKNOWNNAME) return MemberNotSupported(member);
    return ErrorFromHresult(hr);
}

// `result` is cleared before each attempt.
[[nodiscard]] HRESULT InvokeId(IDispatch& object, DISPID id, WORD flags, DISPPARAMS& params,
                               ScopedVariant* result, ExceptionInfo& exception, BusyCadWait* busy) {
    return CallWhileBusy(busy, [&] {
        UINT argumentError = 0;
        return object.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                             result != nullptr ? result->Receive() : nullptr, exception.Receive(),
                             &argumentError);
    });
}

ComPtr<IEnumVARIANT> EnumeratorFrom(const VARIANT& value, BusyCadWait* busy) {
    IUnknown* unknown = nullptr;
    if (value.vt == VT_UNKNOWN) {
        unknown = value.punkVal;
    } else if (value.vt == VT_DISPATCH) {
        unknown = value.pdispVal;
    } else {
        throw TypeMismatch();
    }
    if (unknown == nullptr) throw MemberNotSupported(kNewEnumName);
    ComPtr<IEnumVARIANT> enumerator;
    // Asking a remote object for another interface is a call to its server too.
    const HRESULT hr =
        CallWhileBusy(busy, [&] { return unknown->QueryInterface(IID_PPV_ARGS(&enumerator)); });
    if (hr == E_NOINTERFACE) throw MemberNotSupported(kNewEnumName);
    if (FAILED(hr) || !enumerator) throw ErrorFromHresult(FAILED(hr) ? hr : E_POINTER);
    return enumerator;
}

}  // namespace

ComDispatch::ComDispatch(ComPtr<IDispatch> object, std::shared_ptr<ComConnection> connection,
                         std::wstring kind)
    : object_(std::move(object)),
      connection_(std::move(connection)),
      objects_(connection_),
      kind_(std::move(kind)) {
    if (!object_) throw ObjectNotSet();
}

Variant ComDispatch::Get(std::wstring_view member, const std::vector<Variant>& args) {
    InvokeArguments arguments(args, objects_);
    DISPPARAMS params = arguments.Positional();
    const ScopedVariant result = Invoke(member, DISPATCH_PROPERTYGET, params, true);
    Variant value = Received(member, result.Get());
    if (args.empty() && (kind_.empty() || kindFromCollection_)) {
        // What the entity said it is, read as the commands read it, is its class from now on.
        if (std::optional<std::wstring> classKey = ClassKey(member, value)) {
            kind_ = std::move(*classKey);
            kindFromCollection_ = false;
        }
    }
    return value;
}

void ComDispatch::Put(std::wstring_view member, const Variant& value) {
    InvokeArguments arguments({value}, objects_);
    DISPPARAMS params = arguments.PropertyPut();
    Invoke(member, DISPATCH_PROPERTYPUT, params, false);
}

Variant ComDispatch::Call(std::wstring_view member, const std::vector<Variant>& args) {
    InvokeArguments arguments(args, objects_);
    DISPPARAMS params = arguments.Positional();
    const ScopedVariant result = Invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, params, true);
    return Received(member, result.Get());
}

std::vector<Variant> ComDispatch::Enumerate() {
    std::vector<Variant> items;
    ForEach([&items](Variant item) { items.push_back(std::move(item)); });
    return items;
}

void ComDispatch::ForEach(const std::function<void(Variant)>& visit) {
    BusyCadWait* const busy = connection_->busyWait.get();
    DISPPARAMS noArguments{nullptr, nullptr, 0, 0};
    ScopedVariant enumeratorValue;
    ExceptionInfo exception;
    const HRESULT hr = InvokeId(*object_.Get(), DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                noArguments, &enumeratorValue, exception, busy);
    if (FAILED(hr)) throw InvokeError(hr, exception, kNewEnumName);
    const ComPtr<IEnumVARIANT> enumerator = EnumeratorFrom(enumeratorValue.Get(), busy);

    ScopedVariants batch(kEnumerationBatch);
    std::size_t visited = 0;
    for (;;) {
        ULONG fetched = 0;
        const HRESULT next = CallWhileBusy(
            busy, [&] { return enumerator->Next(kEnumerationBatch, batch.ReceiveAll(), &fetched); });
        if (FAILED(next)) throw ErrorFromHresult(next);
        fetched = std::min(fetched, kEnumerationBatch);
        if (visited + fetched > kMaxEnumeratedItems) throw ErrorFromHresult(E_OUTOFMEMORY);
        for (ULONG i = 0; i < fetched; ++i) {
            // Our reference to the item goes with the visit, not with the batch.
            Variant item = FromComVariant(batch[i], objects_);
            batch.Clear(i);
            // A collection holds entities of many classes: until each item has said what it is, its
            // items share only the members through which they say it.
            GiveKind(item, kind_.empty() ? std::wstring() : kind_ + L"." + std::wstring(kNewEnumName), true);
            visit(std::move(item));
        }
        visited += fetched;
        if (next != S_OK || fetched == 0) break;
    }
}

bool ComDispatch::SharesDispIdOf(std::wstring_view member) const {
    return !kind_.empty() && (!kindFromCollection_ || IsIdentityMember(member));
}

ComDispatch::Resolved ComDispatch::Resolve(std::wstring_view member) {
    std::wstring key = LowerAscii(member);
    if (const auto found = dispIds_.find(key); found != dispIds_.end()) return {found->second, true};
    const bool shared = SharesDispIdOf(member);
    if (shared) {
        const DispIdsByKind& byKind = connection_->dispIdsByKind;
        if (const auto found = byKind.find({kind_, key}); found != byKind.end()) {
            dispIds_.insert_or_assign(std::move(key), found->second);
            return {found->second, true};
        }
    }

    std::wstring name(member);
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = CallWhileBusy(connection_->busyWait.get(), [&] {
        return object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    });
    if (hr == DISP_E_UNKNOWNNAME || hr == DISP_E_MEMBERNOTFOUND) throw MemberNotSupported(member);
    if (FAILED(hr)) throw ErrorFromHresult(hr);
    if (shared) connection_->dispIdsByKind.insert_or_assign({kind_, key}, id);
    dispIds_.insert_or_assign(std::move(key), id);
    return {id, false};
}

void ComDispatch::Forget(std::wstring_view member) {
    const std::wstring key = LowerAscii(member);
    dispIds_.erase(key);
    if (SharesDispIdOf(member)) connection_->dispIdsByKind.erase({kind_, key});
}

ScopedVariant ComDispatch::Invoke(std::wstring_view member, WORD flags, DISPPARAMS& params, bool wantResult) {
    ScopedVariant result;
    ExceptionInfo exception;
    BusyCadWait* const busy = connection_->busyWait.get();
    Resolved resolved = Resolve(member);
    HRESULT hr =
        InvokeId(*object_.Get(), resolved.id, flags, params, wantResult ? &result : nullptr, exception, busy);
    if (hr == DISP_E_MEMBERNOTFOUND && resolved.fromCache) {
        // The server no longer knows the kept DISPID: ask for the name once more.
        Forget(member);
        resolved = Resolve(member);
        hr = InvokeId(*object_.Get(), resolved.id, flags, params, wantResult ? &result : nullptr, exception,
                      busy);
    }
    if (FAILED(hr)) throw InvokeError(hr, exception, member);
    return result;
}

Variant ComDispatch::Received(std::wstring_view member, const VARIANT& result) const {
    Variant value = FromComVariant(result, objects_);
    // What an item of unknown class gives (its Copy) is of as many classes as the items.
    const bool classKnown = !kind_.empty() && !kindFromCollection_;
    GiveKind(value, classKnown ? kind_ + L"." + LowerAscii(member) : std::wstring(), false);
    return value;
}

void ComDispatch::GiveKind(const Variant& value, std::wstring kind, bool untilItSays) {
    if (kind.empty() || !value.Is<DispatchPtr>()) return;
    if (auto* object = dynamic_cast<ComDispatch*>(value.As<DispatchPtr>().get()); object != nullptr) {
        object->kind_ = std::move(kind);
        object->kindFromCollection_ = untilItSays;
    }
}

DispatchPtr ClientObjectMapping::FromCom(IDispatch* object) const {
    return std::make_shared<ComDispatch>(ComPtr<IDispatch>(object), connection_);
}

ComPtr<IDispatch> ClientObjectMapping::ToCom(const DispatchPtr& object) const {
    const auto* own = dynamic_cast<const ComDispatch*>(object.get());
    if (own == nullptr) throw TypeMismatch();
    return ComPtr<IDispatch>(own->Object());
}

}  // namespace korvena
