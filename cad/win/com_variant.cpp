#include "cad/win/com_variant.h"

#include <algorithm>
#include <utility>
#include <variant>
#include <vector>

#include "cad/win/bstr.h"
#include "cad/win/com_error.h"
#include "cad/win/safe_array.h"

namespace korvena {
namespace {

// A null BSTR is the empty string.
std::wstring TextFrom(BSTR text) {
    return text == nullptr ? std::wstring() : std::wstring(text, SysStringLen(text));
}

DispatchPtr ObjectFrom(IDispatch* object, const ObjectMapping& objects) {
    return object == nullptr ? DispatchPtr{} : objects.FromCom(object);
}

std::vector<double> DoublesFrom(SAFEARRAY* array) {
    SafeArrayElements<double> elements(array);
    return {elements.Items().begin(), elements.Items().end()};
}

std::vector<DispatchPtr> ObjectsFrom(SAFEARRAY* array, const ObjectMapping& objects) {
    SafeArrayElements<IDispatch*> elements(array);
    std::vector<DispatchPtr> result;
    result.reserve(elements.Items().size());
    for (IDispatch* object : elements.Items()) result.push_back(ObjectFrom(object, objects));
    return result;
}

bool IsNumber(VARTYPE type) {
    return type == VT_R8 || type == VT_R4 || type == VT_I2 || type == VT_I4;
}

double NumberFrom(const VARIANT& value) {
    switch (value.vt) {
        case VT_R8:
            return value.dblVal;
        case VT_R4:
            return value.fltVal;
        case VT_I2:
            return value.iVal;
        default:
            return value.lVal;
    }
}

// An array of VARIANTs is taken as doubles when every element is a number and as objects when every
// element is an object; elements by reference and mixed arrays are not accepted.
Variant FromVariantArray(SAFEARRAY* array, const ObjectMapping& objects) {
    SafeArrayElements<VARIANT> elements(array);
    const std::span<VARIANT> items = elements.Items();
    if (items.empty()) return std::vector<double>{};
    if (IsNumber(items.front().vt)) {
        std::vector<double> numbers;
        numbers.reserve(items.size());
        for (const VARIANT& item : items) {
            if (!IsNumber(item.vt)) throw TypeMismatch();
            numbers.push_back(NumberFrom(item));
        }
        return numbers;
    }
    if (items.front().vt != VT_DISPATCH) throw TypeMismatch();
    std::vector<DispatchPtr> result;
    result.reserve(items.size());
    for (const VARIANT& item : items) {
        if (item.vt != VT_DISPATCH) throw TypeMismatch();
        result.push_back(ObjectFrom(item.pdispVal, objects));
    }
    return result;
}

template <class T>
const T& Deref(const T* pointer) {
    if (pointer == nullptr) throw TypeMismatch();
    return *pointer;
}

Variant FromByReference(const VARIANT& value, const ObjectMapping& objects) {
    switch (value.vt & ~VT_BYREF) {
        case VT_BOOL:
            return Deref(value.pboolVal) != VARIANT_FALSE;
        case VT_I2:
            return std::int16_t{Deref(value.piVal)};
        case VT_I4:
            return static_cast<std::int32_t>(Deref(value.plVal));
        case VT_R4:
            return double{Deref(value.pfltVal)};
        case VT_R8:
            return Deref(value.pdblVal);
        case VT_BSTR:
            return TextFrom(Deref(value.pbstrVal));
        case VT_DISPATCH:
            return ObjectFrom(Deref(value.ppdispVal), objects);
        case VT_ARRAY | VT_R8:
            return DoublesFrom(Deref(value.pparray));
        case VT_ARRAY | VT_DISPATCH:
            return ObjectsFrom(Deref(value.pparray), objects);
        case VT_ARRAY | VT_VARIANT:
            return FromVariantArray(Deref(value.pparray), objects);
        case VT_VARIANT: {
            const VARIANT& inner = Deref(value.pvarVal);
            // A reference to a reference is not a valid VARIANT.
            if ((inner.vt & VT_BYREF) != 0) throw TypeMismatch();
            return FromComVariant(inner, objects);
        }
        default:
            throw TypeMismatch();
    }
}

// The VARIANT for one core value, written into an empty result.
struct ToCom {
    const ObjectMapping& objects;
    VARIANT& result;

    void operator()(std::monostate) const {}
    void operator()(bool value) const {
        result.vt = VT_BOOL;
        result.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
    void operator()(std::int16_t value) const {
        result.vt = VT_I2;
        result.iVal = value;
    }
    void operator()(std::int32_t value) const {
        result.vt = VT_I4;
        result.lVal = value;
    }
    void operator()(double value) const {
        result.vt = VT_R8;
        result.dblVal = value;
    }
    void operator()(const std::wstring& value) const {
        result.bstrVal = Bstr(value).Release();
        result.vt = VT_BSTR;
    }
    void operator()(const DispatchPtr& value) const {
        result.pdispVal = value ? objects.ToCom(value).Detach() : nullptr;
        result.vt = VT_DISPATCH;
    }
    void operator()(const std::vector<double>& values) const {
        SafeArray array = SafeArray::CreateVector(VT_R8, values.size());
        {
            SafeArrayElements<double> elements(array.Get());
            std::copy(values.begin(), values.end(), elements.Items().begin());
        }
        result.parray = array.Release();
        result.vt = VT_ARRAY | VT_R8;
    }
    void operator()(const std::vector<DispatchPtr>& values) const {
        SafeArray array = SafeArray::CreateVector(VT_DISPATCH, values.size());
        {
            // Each slot owns its reference as soon as it is written; destroying the array releases them.
            SafeArrayElements<IDispatch*> elements(array.Get());
            for (std::size_t i = 0; i < values.size(); ++i) {
                if (values[i]) elements.Items()[i] = objects.ToCom(values[i]).Detach();
            }
        }
        result.parray = array.Release();
        result.vt = VT_ARRAY | VT_DISPATCH;
    }
};

}  // namespace

Variant FromComVariant(const VARIANT& value, const ObjectMapping& objects) {
    if ((value.vt & VT_BYREF) != 0) return FromByReference(value, objects);
    switch (value.vt) {
        case VT_EMPTY:
        case VT_NULL:
            return Variant{};
        case VT_BOOL:
            return value.boolVal != VARIANT_FALSE;
        case VT_I2:
            return std::int16_t{value.iVal};
        case VT_I4:
            return static_cast<std::int32_t>(value.lVal);
        case VT_R4:
            return double{value.fltVal};
        case VT_R8:
            return value.dblVal;
        case VT_BSTR:
            return TextFrom(value.bstrVal);
        case VT_DISPATCH:
            return ObjectFrom(value.pdispVal, objects);
        case VT_ARRAY | VT_R8:
            return DoublesFrom(value.parray);
        case VT_ARRAY | VT_DISPATCH:
            return ObjectsFrom(value.parray, objects);
        case VT_ARRAY | VT_VARIANT:
            return FromVariantArray(value.parray, objects);
        default:
            throw TypeMismatch();
    }
}

ScopedVariant ToComVariant(const Variant& value, const ObjectMapping& objects) {
    ScopedVariant result;
    std::visit(ToCom{objects, *result.Receive()}, value.value());
    return result;
}

}  // namespace korvena
