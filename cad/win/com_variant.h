#pragma once
// Conversion between the VARIANTs of COM Automation and the Variants of the core.
//
// From COM: VT_EMPTY and VT_NULL (both empty), VT_BOOL, VT_I2, VT_I4, VT_R4 and VT_R8 (double), VT_BSTR,
// VT_DISPATCH, one-dimensional arrays of VT_R8 or VT_DISPATCH, and of VT_VARIANT holding only numbers
// (doubles) or only objects (an empty one gives no doubles); each also by reference. Anything else is a
// type mismatch (AutomationError 13).
// To COM: empty VT_EMPTY, bool VT_BOOL, int16 VT_I2, int32 VT_I4, double VT_R8, text VT_BSTR, object
// VT_DISPATCH, doubles VT_ARRAY|VT_R8, objects VT_ARRAY|VT_DISPATCH (arrays with lower bound 0).
//
// Objects cross through an ObjectMapping, so that a client and a server can both use the conversion.
// A null IDispatch and a null DispatchPtr stand for each other without the mapping.

#include <windows.h>
#include <wrl/client.h>

#include "cad/variant.h"
#include "cad/win/scoped_variant.h"

namespace korvena {

class ObjectMapping {
public:
    virtual ~ObjectMapping() = default;
    // The core's object for a borrowed, non-null IDispatch.
    virtual DispatchPtr FromCom(IDispatch* object) const = 0;
    // The IDispatch standing for a non-null core object (a new reference); throws AutomationError when
    // the object has none.
    virtual Microsoft::WRL::ComPtr<IDispatch> ToCom(const DispatchPtr& object) const = 0;
};

// Reads a borrowed VARIANT; throws AutomationError 13 for a type outside the list above.
Variant FromComVariant(const VARIANT& value, const ObjectMapping& objects);

// A new VARIANT for value; throws AutomationError when an object cannot be mapped or memory runs out.
ScopedVariant ToComVariant(const Variant& value, const ObjectMapping& objects);

}  // namespace korvena
