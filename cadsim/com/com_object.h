#pragma once
// ComObject<Interfaces...>: IUnknown for a class of ours that implements COM interfaces, the one place
// where references are counted. QueryInterface answers IUnknown (as the first interface) and each
// interface of the list, and nothing else; the last Release deletes the object through its virtual
// destructor, where a class lets go of what it holds. MakeComObject makes one and hands back its first
// reference.
//
//     class Filter final : public ComObject<IMessageFilter> { ... the IMessageFilter methods ... };
//     ComPtr<Filter> filter = MakeComObject<Filter>(arguments);
//
// The count is atomic, so an object may be released on any thread.

#include <windows.h>
#include <wrl/client.h>

#include <atomic>
#include <utility>

namespace korvena {

template <class FirstInterface, class... MoreInterfaces>
class ComObject : public FirstInterface, public MoreInterfaces... {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (iid == __uuidof(IUnknown)) {
            *out = static_cast<FirstInterface*>(this);
        } else {
            (void)(Offer<FirstInterface>(iid, out) || ... || Offer<MoreInterfaces>(iid, out));
        }
        if (*out == nullptr) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // The references held now, for tests that watch an object's lifetime.
    ULONG References() const noexcept { return references_; }

    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

protected:
    // Born with one reference, which MakeComObject hands out.
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    template <class Interface>
    bool Offer(REFIID iid, void** out) noexcept {
        if (iid != __uuidof(Interface)) return false;
        *out = static_cast<Interface*>(this);
        return true;
    }

    std::atomic<ULONG> references_{1};
};

// A new T (a ComObject) made from args; the ComPtr holds its first reference. (MinGW's ComPtr::Attach
// would add a second one, so the slot is filled directly.)
template <class T, class... Args>
Microsoft::WRL::ComPtr<T> MakeComObject(Args&&... args) {
    Microsoft::WRL::ComPtr<T> object;
    *object.ReleaseAndGetAddressOf() = new T(std::forward<Args>(args)...);
    return object;
}

}  // namespace korvena
