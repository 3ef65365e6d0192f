#include "cadsim/com/com_object.h"

#include <gtest/gtest.h>

namespace korvena {
namespace {

using Microsoft::WRL::ComPtr;

// An object with two interfaces that says when it is destroyed.
class TwoFaced final : public ComObject<IClassFactory, IMessageFilter> {
public:
    explicit TwoFaced(bool& destroyed) : destroyed_(destroyed) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override { return 0; }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return 0; }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return 0; }

private:
    ~TwoFaced() override { destroyed_ = true; }

    bool& destroyed_;
};

TEST(ComObject, AnswersItsInterfacesWithOneIdentity) {
    bool destroyed = false;
    ComPtr<TwoFaced> object = MakeComObject<TwoFaced>(destroyed);
    EXPECT_EQ(object->References(), 1u);

    ComPtr<IUnknown> unknown;
    ComPtr<IClassFactory> factory;
    ComPtr<IMessageFilter> filter;
    ASSERT_EQ(object->QueryInterface(IID_PPV_ARGS(&unknown)), S_OK);
    ASSERT_EQ(object->QueryInterface(IID_PPV_ARGS(&factory)), S_OK);
    ASSERT_EQ(object->QueryInterface(IID_PPV_ARGS(&filter)), S_OK);
    EXPECT_EQ(factory.Get(), static_cast<IClassFactory*>(object.Get()));
    EXPECT_EQ(filter.Get(), static_cast<IMessageFilter*>(object.Get()));
    // COM's identity rule: IUnknown is the same pointer whichever interface it is asked through.
    ComPtr<IUnknown> viaFilter;
    ASSERT_EQ(filter->QueryInterface(IID_PPV_ARGS(&viaFilter)), S_OK);
    EXPECT_EQ(viaFilter.Get(), unknown.Get());
    EXPECT_EQ(object->References(), 5u);

    ComPtr<IDispatch> none;
    EXPECT_EQ(filter->QueryInterface(IID_PPV_ARGS(&none)), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(object->QueryInterface(__uuidof(IDispatch), nullptr), E_POINTER);
    EXPECT_EQ(object->References(), 5u);

    object.Reset();
    unknown.Reset();
    factory.Reset();
    filter.Reset();
    EXPECT_FALSE(destroyed);
    viaFilter.Reset();
    EXPECT_TRUE(destroyed);
}

}  // namespace
}  // namespace korvena
