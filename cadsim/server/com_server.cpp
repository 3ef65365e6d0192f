#include "cadsim/server/com_server.h"

#include <utility>

#include "cad/win/com_error.h"
#include "cadsim/com/com_object.h"

namespace korvena::cadsim {
namespace {

using Microsoft::WRL::ComPtr;

class ApplicationFactory final : public korvena::ComObject<IClassFactory> {
public:
    explicit ApplicationFactory(ComPtr<IDispatch> application) : application_(std::move(application)) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        return application_->QueryInterface(iid, out);
    }
    // The process lives as long as its window, whoever holds a lock.
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    ComPtr<IDispatch> application_;
};

}  // namespace

ComPtr<IClassFactory> NewApplicationFactory(ComPtr<IDispatch> application) {
    return korvena::MakeComObject<ApplicationFactory>(std::move(application));
}

ComRegistration ComRegistration::ClassObject(REFCLSID classId, IUnknown* factory) {
    DWORD cookie = 0;
    const HRESULT hr =
        CoRegisterClassObject(classId, factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie);
    if (FAILED(hr)) throw korvena::ErrorFromHresult(hr);
    return ComRegistration(cookie, [](DWORD revoked) noexcept { CoRevokeClassObject(revoked); });
}

ComRegistration ComRegistration::ActiveObject(IUnknown* object, REFCLSID classId) {
    DWORD cookie = 0;
    const HRESULT hr = RegisterActiveObject(object, classId, ACTIVEOBJECT_STRONG, &cookie);
    if (FAILED(hr)) throw korvena::ErrorFromHresult(hr);
    return ComRegistration(cookie, [](DWORD revoked) noexcept { RevokeActiveObject(revoked, nullptr); });
}

ComRegistration::ComRegistration(ComRegistration&& other) noexcept
    : cookie_(std::exchange(other.cookie_, 0)), undo_(std::exchange(other.undo_, nullptr)) {}

ComRegistration& ComRegistration::operator=(ComRegistration&& other) noexcept {
    if (this != &other) {
        Revoke();
        cookie_ = std::exchange(other.cookie_, 0);
        undo_ = std::exchange(other.undo_, nullptr);
    }
    return *this;
}

void ComRegistration::Revoke() noexcept {
    if (cookie_ != 0 && undo_ != nullptr) undo_(std::exchange(cookie_, 0));
}

}  // namespace korvena::cadsim
