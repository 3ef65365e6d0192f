#pragma once
// The simulator as a COM local server: its class, the factory that hands out the one application of
// the process, and owners for the class object's and the running object table's registrations.

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

// CoRegisterClassObject for the owner's lifetime (CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE).
class ClassObjectRegistration {
public:
    ClassObjectRegistration() = default;
    // Throws AutomationError when COM refuses.
    ClassObjectRegistration(REFCLSID classId, IUnknown* factory);
    ~ClassObjectRegistration() { Revoke(); }
    ClassObjectRegistration(ClassObjectRegistration&& other) noexcept;
    ClassObjectRegistration& operator=(ClassObjectRegistration&& other) noexcept;
    ClassObjectRegistration(const ClassObjectRegistration&) = delete;
    ClassObjectRegistration& operator=(const ClassObjectRegistration&) = delete;

    void Revoke() noexcept;

private:
    DWORD cookie_ = 0;
};

// RegisterActiveObject (ACTIVEOBJECT_STRONG) for the owner's lifetime, so that GetActiveObject finds it.
class ActiveObjectRegistration {
public:
    ActiveObjectRegistration() = default;
    // Throws AutomationError when the running object table refuses.
    ActiveObjectRegistration(IUnknown* object, REFCLSID classId);
    ~ActiveObjectRegistration() { Revoke(); }
    ActiveObjectRegistration(ActiveObjectRegistration&& other) noexcept;
    ActiveObjectRegistration& operator=(ActiveObjectRegistration&& other) noexcept;
    ActiveObjectRegistration(const ActiveObjectRegistration&) = delete;
    ActiveObjectRegistration& operator=(const ActiveObjectRegistration&) = delete;

    void Revoke() noexcept;

private:
    DWORD cookie_ = 0;
};

}  // namespace korvena::cadsim
