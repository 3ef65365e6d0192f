#include "cad/win/safe_array.h"

#include <cstdint>
#include <limits>

#include "cad/win/com_error.h"

namespace korvena {

SafeArray SafeArray::CreateVector(VARTYPE elementType, std::size_t count) {
    if (count > std::numeric_limits<LONG>::max()) throw ErrorFromHresult(E_OUTOFMEMORY);
    SafeArray result;
    result.array_ = SafeArrayCreateVector(elementType, 0, static_cast<ULONG>(count));
    if (result.array_ == nullptr) throw ErrorFromHresult(E_OUTOFMEMORY);
    return result;
}

void SafeArray::Reset() noexcept {
    if (array_ != nullptr) SafeArrayDestroy(std::exchange(array_, nullptr));
}

std::size_t VectorLength(SAFEARRAY* array, VARTYPE elementType, std::size_t elementSize) {
    if (array == nullptr) return 0;
    // An array that says its type must hold elementType. Wine's marshaller hands an array of objects
    // over without saying its type (docs/wine-findings.md), so such an array is taken on the VARIANT's
    // word; any other must say it.
    VARTYPE type = VT_EMPTY;
    const bool typed = SUCCEEDED(SafeArrayGetVartype(array, &type));
    if (SafeArrayGetDim(array) != 1 || (typed ? type != elementType : elementType != VT_DISPATCH) ||
        SafeArrayGetElemsize(array) != elementSize) {
        throw TypeMismatch();
    }
    LONG lower = 0;
    LONG upper = 0;
    if (FAILED(SafeArrayGetLBound(array, 1, &lower)) || FAILED(SafeArrayGetUBound(array, 1, &upper))) {
        throw TypeMismatch();
    }
    const std::int64_t count = std::int64_t{upper} - std::int64_t{lower} + 1;
    if (count < 0) throw TypeMismatch();
    return static_cast<std::size_t>(count);
}

void* AccessSafeArrayData(SAFEARRAY* array) {
    void* data = nullptr;
    const HRESULT hr = SafeArrayAccessData(array, &data);
    if (FAILED(hr)) throw ErrorFromHresult(hr);
    return data;
}

}  // namespace korvena
