#pragma once
// FakeComObject: an in-process IDispatch without a type library, for tests. Members are added by name
// with a handler that answers Invoke; names resolve case-insensitively. It counts its references and
// the calls it gets, and can renumber its members to make kept DISPIDs stale.

#include <windows.h>
#include <wrl/client.h>

#include <cwctype>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "cad/dispatch.h"
#include "cad/win/scoped_variant.h"
#include "cadsim/com/com_object.h"

namespace korvena::testing {

class FakeComObject final : public ComObject<IDispatch> {
public:
    using Handler =
        std::function<HRESULT(WORD flags, const DISPPARAMS& params, VARIANT* result, EXCEPINFO* exception)>;

    static Microsoft::WRL::ComPtr<FakeComObject> Create() { return MakeComObject<FakeComObject>(); }

    void On(std::wstring name, Handler handler) { members_.push_back({Lower(std::move(name)), handler}); }
    void OnNewEnum(Handler handler) { newEnum_ = std::move(handler); }
    // From now on every member has another DISPID; the old ones answer DISP_E_MEMBERNOTFOUND.
    void Renumber() { idBase_ += 1000; }

    // The next `count` name lookups are refused as by a busy server.
    void RefuseLookups(int count) { refusedLookups_ = count; }

    int NameLookups() const { return nameLookups_; }
    int Invocations() const { return invocations_; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        ++nameLookups_;
        if (refusedLookups_ > 0) {
            --refusedLookups_;
            return RPC_E_CALL_REJECTED;
        }
        if (count != 1) return E_INVALIDARG;
        const std::wstring name = Lower(names[0]);
        for (std::size_t i = 0; i < members_.size(); ++i) {
            if (members_[i].name == name) {
                ids[0] = idBase_ + static_cast<DISPID>(i);
                return S_OK;
            }
        }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override {
        ++invocations_;
        if (id == DISPID_NEWENUM) {
            return newEnum_ ? newEnum_(flags, *params, result, exception) : DISP_E_MEMBERNOTFOUND;
        }
        const DISPID index = id - idBase_;
        if (index < 0 || index >= static_cast<DISPID>(members_.size())) return DISP_E_MEMBERNOTFOUND;
        return members_[static_cast<std::size_t>(index)].handler(flags, *params, result, exception);
    }

private:
    struct Member {
        std::wstring name;
        Handler handler;
    };

    static std::wstring Lower(std::wstring text) {
        for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
        return text;
    }

    int nameLookups_ = 0;
    int refusedLookups_ = 0;
    int invocations_ = 0;
    DISPID idBase_ = 1;
    std::vector<Member> members_;
    Handler newEnum_;
};

// FakeEnumerator: IEnumVARIANT over copies of the given values; with neverEnds it answers S_OK with
// nothing fetched for ever, with failure it fails every Next, and it refuses the first `refusals` calls of
// Next as a busy server does.
class FakeEnumerator final : public ComObject<IEnumVARIANT> {
public:
    static Microsoft::WRL::ComPtr<FakeEnumerator> Create(std::vector<VARIANT> values) {
        return MakeComObject<FakeEnumerator>(std::move(values));
    }
    // Takes the values over.
    explicit FakeEnumerator(std::vector<VARIANT> values) {
        values_.reserve(values.size());
        for (const VARIANT& value : values) *values_.emplace_back().Receive() = value;
    }

    bool neverEnds = false;
    HRESULT failure = S_OK;
    int refusals = 0;
    int nextCalls = 0;

    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, VARIANT* out, ULONG* fetched) override {
        ++nextCalls;
        if (refusals > 0) {
            --refusals;
            return RPC_E_SERVERCALL_RETRYLATER;
        }
        if (FAILED(failure)) return failure;
        if (neverEnds) {
            *fetched = 0;
            return S_OK;
        }
        ULONG count = 0;
        while (count < wanted && position_ < values_.size()) {
            VariantInit(&out[count]);
            // MinGW declares VariantCopy's source without const; it only reads it.
            VariantCopy(&out[count], const_cast<VARIANT*>(&values_[position_].Get()));
            ++count;
            ++position_;
        }
        if (fetched != nullptr) *fetched = count;
        return count == wanted ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT**) override { return E_NOTIMPL; }

private:
    std::vector<ScopedVariant> values_;
    std::size_t position_ = 0;
};

// An object of the core that no COM server handed out: it has no IDispatch to go back across.
class PortableObject final : public Dispatch {
public:
    Variant Get(std::wstring_view, const std::vector<Variant>&) override { return {}; }
    void Put(std::wstring_view, const Variant&) override {}
    Variant Call(std::wstring_view, const std::vector<Variant>&) override { return {}; }
    std::vector<Variant> Enumerate() override { return {}; }
};

}  // namespace korvena::testing
