#include "cadsim/server/com_server.h"

#include <atomic>
#include <utility>

#include "cad/win/com_error.h"

namespace korvena::cadsim {
namespace {

using Microsoft::WRL::ComPtr;

class ApplicationFactory final : public IClassFactory {
public:
    explicit ApplicationFactory(ComPtr<IDispatch> application) : application_(std::move(application)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        return application_->QueryInterface(iid, out);
    }
    // The process lives as long as its window, whoever holds a lock.
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    ~ApplicationFactory() = default;

    std::atomic<ULONG> references_{1};
    ComPtr<IDispatch> application_;
};

}  // namespace

ComPtr<IClassFactory> NewApplicationFactory(ComPtr<IDispatch> application) {
    ComPtr<IClassFactory> factory;
    *factory.ReleaseAndGetAddressOf() = new ApplicationFactory(std::move(application));
    return factory;
}

ClassObjectRegistration::ClassObjectRegistration(REFCLSID classId, IUnknown* factory) {
    const HRESULT hr =
        CoRegisterClassObject(classId, factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
    if (FAILED(hr)) throw korvena::ErrorFromHresult(hr);
}

ClassObjectRegistration::ClassObjectRegistration(ClassObjectRegistration&& other) noexcept
    : cookie_(std::exchange(other.cookie_, 0)) {}

ClassObjectRegistration& ClassObjectRegistration::operator=(ClassObjectRegistration&& other) noexcept {
    if (this != &other) {
        Revoke();
        cookie_ = std::exchange(other.cookie_, 0);
    }
    return *this;
}

void ClassObjectRegistration::Revoke() noexcept {
    if (cookie_ != 0) CoRevokeClassObject(std::exchange(cookie_, 0));
}

ActiveObjectRegistration::ActiveObjectRegistration(IUnknown* object, REFCLSID classId) {
    const HRESULT hr = RegisterActiveObject(object, classId, ACTIVEOBJECT_STRONG, &cookie_);
    if (FAILED(hr)) throw korvena::ErrorFromHresult(hr);
}

ActiveObjectRegistration::ActiveObjectRegistration(ActiveObjectRegistration&& other) noexcept
    : cookie_(std::exchange(other.cookie_, 0)) {}

ActiveObjectRegistration& ActiveObjectRegistration::operator=(ActiveObjectRegistration&& other) noexcept {
    if (this != &other) {
        Revoke();
        cookie_ = std::exchange(other.cookie_, 0);
    }
    return *this;
}

void ActiveObjectRegistration::Revoke() noexcept {
    if (cookie_ != 0) RevokeActiveObject(std::exchange(cookie_, 0), nullptr);
}

}  // namespace korvena::cadsim
