#pragma once
// The simulator as a COM local server: its class, the factory that hands out the one application of
// the process, and the owner of its registrations (class object, running object table).

#include <windows.h>
#include <wrl/client.h>

namespace korvena::cadsim {

// The simulator's own class, registered under the CAD's ProgID (AutoCAD's usual one unless another is
// named); the running simulator is in the running object table under it.
// {C934515B-633E-475F-9DC8-1BB216276593}
inline constexpr CLSID kCadSimClassId = {
    0xc934515b, 0x633e, 0x475f, {0x9d, 0xc8, 0x1b, 0xb2, 0x16, 0x27, 0x65, 0x93}};
inline constexpr wchar_t kCadProgId[] = L"AutoCAD.Application";
// The class of a CAD that is installed but cannot start (cadsim.exe --unable-to-start).
// {2D347E72-324E-4376-AC9D-4BFB007E9C86}
inline constexpr CLSID kUnstartableClassId = {
    0x2d347e72, 0x324e, 0x4376, {0xac, 0x9d, 0x4b, 0xfb, 0x00, 0x7e, 0x9c, 0x86}};

// A new class factory whose CreateInstance gives the one application (one CAD per process). Holds a
// reference to it.
Microsoft::WRL::ComPtr<IClassFactory> NewApplicationFactory(Microsoft::WRL::ComPtr<IDispatch> application);

// A registration of this process with COM, undone when the owner goes (or at Revoke): the class object
// (CoRegisterClassObject) or an entry of the running object table (RegisterActiveObject).
class ComRegistration {
public:
    ComRegistration() = default;
    // CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE; throws AutomationError when COM refuses.
    static ComRegistration ClassObject(REFCLSID classId, IUnknown* factory);
    // ACTIVEOBJECT_STRONG, so that GetActiveObject finds it; throws AutomationError when the running object
    // table refuses.
    static ComRegistration ActiveObject(IUnknown* object, REFCLSID classId);

    ~ComRegistration() { Revoke(); }
    ComRegistration(ComRegistration&& other) noexcept;
    ComRegistration& operator=(ComRegistration&& other) noexcept;
    ComRegistration(const ComRegistration&) = delete;
    ComRegistration& operator=(const ComRegistration&) = delete;

    void Revoke() noexcept;

private:
    using Undo = void (*)(DWORD cookie) noexcept;
    ComRegistration(DWORD cookie, Undo undo) noexcept : cookie_(cookie), undo_(undo) {}

    DWORD cookie_ = 0;
    Undo undo_ = nullptr;
};

}  // namespace korvena::cadsim
