#include "cadsim/server/served_object.h"

#include <new>
#include <string>
#include <utility>
#include <vector>

#include "cad/win/com_error.h"
#include "cadsim/com/com_object.h"
#include "cadsim/server/member_ids.h"
#include "cadsim/server/variant_enumerator.h"

namespace korvena::cadsim {

using Microsoft::WRL::ComPtr;

class ServedObject final : public korvena::ComObject<IDispatch> {
public:
    ServedObject(std::shared_ptr<SimObject> model, std::shared_ptr<const ServedObjects> objects)
        : model_(std::move(model)), objects_(std::move(objects)) {}

    const std::shared_ptr<SimObject>& Model() const noexcept { return model_; }

    // No type library: callers resolve members by name.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) *info = nullptr;
        return DISP_E_BADINDEX;
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        if (names == nullptr || ids == nullptr || count == 0 || names[0] == nullptr) return E_INVALIDARG;
        // Named arguments are not supported: every name after the member's is unknown.
        HRESULT outcome = S_OK;
        for (UINT i = 1; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            outcome = DISP_E_UNKNOWNNAME;
        }
        try {
            const std::wstring_view name(names[0]);
            if (!model_->LookUp(name)) {
                ids[0] = DISPID_UNKNOWN;
                return DISP_E_UNKNOWNNAME;
            }
            ids[0] = MemberIds::Instance().IdOf(model_->Kind(), model_->EntityTypeCode(), name);
            return outcome;
        } catch (const korvena::AutomationError& error) {
            ids[0] = DISPID_UNKNOWN;
            return error.Number() < 0 ? static_cast<HRESULT>(error.Number()) : E_FAIL;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT*) override {
        if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        if (result != nullptr) VariantInit(result);
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        try {
            return Perform(id, flags, params != nullptr ? *params : none, result);
        } catch (const korvena::AutomationError& error) {
            return Fail(exception, ExceptionCode(error.Number()), error.Description());
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return Fail(exception, E_FAIL, L"CAD 模拟器内部错误");
        }
    }

private:
    // The last reference is gone: from now on this pointer, passed back, is a stranger's.
    ~ServedObject() override { objects_->Forget(this); }

    HRESULT Perform(DISPID id, WORD flags, const DISPPARAMS& params, VARIANT* result) {
        const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
        const bool call = (flags & DISPATCH_METHOD) != 0;
        const bool get = (flags & DISPATCH_PROPERTYGET) != 0;
        if (params.cArgs > 0 && params.rgvarg == nullptr) return E_INVALIDARG;

        if (id == kNewEnumId) {
            if (put || !(call || get)) return DISP_E_MEMBERNOTFOUND;
            auto items = std::make_shared<const std::vector<korvena::Variant>>(model_->Enumerate());
            ComPtr<IEnumVARIANT> enumerator = NewVariantEnumerator(std::move(items), objects_);
            if (result != nullptr) {
                result->punkVal = enumerator.Detach();
                result->vt = VT_UNKNOWN;
            }
            return S_OK;
        }
        const std::optional<std::wstring> member =
            MemberIds::Instance().NameOf(model_->Kind(), model_->EntityTypeCode(), id);
        if (!member) return DISP_E_MEMBERNOTFOUND;

        if (put) {
            if (params.cNamedArgs != 1 || params.rgdispidNamedArgs == nullptr ||
                params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
                return DISP_E_PARAMNOTOPTIONAL;
            }
            if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
            model_->Put(*member, korvena::FromComVariant(params.rgvarg[0], *objects_));
            return S_OK;
        }
        if (params.cNamedArgs != 0) return DISP_E_NONAMEDARGS;
        if (!call && !get) return DISP_E_MEMBERNOTFOUND;

        // DISPPARAMS holds the last argument first.
        std::vector<korvena::Variant> args;
        args.reserve(params.cArgs);
        for (UINT i = params.cArgs; i > 0; --i) {
            args.push_back(korvena::FromComVariant(params.rgvarg[i - 1], *objects_));
        }
        const korvena::Variant value = call ? model_->Call(*member, args) : model_->Get(*member, args);
        if (result != nullptr) *result = korvena::ToComVariant(value, *objects_).Release();
        return S_OK;
    }

    static HRESULT Fail(EXCEPINFO* exception, HRESULT code, std::wstring_view description) noexcept {
        // Without room for the details the code itself is the answer.
        if (exception == nullptr) return code;
        *exception = EXCEPINFO{};
        exception->scode = code;
        exception->bstrSource = SysAllocString(kExceptionSource);
        exception->bstrDescription =
            SysAllocStringLen(description.data(), static_cast<UINT>(description.size()));
        return DISP_E_EXCEPTION;
    }

    std::shared_ptr<SimObject> model_;
    std::shared_ptr<const ServedObjects> objects_;
};

HRESULT ExceptionCode(std::int32_t number) noexcept {
    if (number > 0 && number < 65536) return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number);
    if (number == 0) return E_FAIL;
    return static_cast<HRESULT>(number);
}

std::shared_ptr<ServedObjects> ServedObjects::Create() {
    return std::shared_ptr<ServedObjects>(new ServedObjects);
}

korvena::DispatchPtr ServedObjects::FromCom(IDispatch* object) const {
    const auto found = byCom_.find(object);
    if (found == byCom_.end()) throw korvena::TypeMismatch();
    return found->second->Model();
}

ComPtr<IDispatch> ServedObjects::ToCom(const korvena::DispatchPtr& object) const {
    if (const auto found = byModel_.find(object.get()); found != byModel_.end()) {
        return ComPtr<IDispatch>(found->second);  // adds a reference
    }
    auto model = std::dynamic_pointer_cast<SimObject>(object);
    if (!model) throw korvena::TypeMismatch();
    ComPtr<ServedObject> created = korvena::MakeComObject<ServedObject>(std::move(model), shared_from_this());
    byModel_.emplace(object.get(), created.Get());
    byCom_.emplace(created.Get(), created.Get());
    return created;
}

void ServedObjects::Forget(const ServedObject* object) const noexcept {
    byModel_.erase(object->Model().get());
    byCom_.erase(object);
}

}  // namespace korvena::cadsim
