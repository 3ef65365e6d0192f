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

std::size_t VectorLength(SAFEARRAY* array, std::size_t elementSize) {
    if (array == nullptr) return 0;
    if (SafeArrayGetDim(array) != 1 || SafeArrayGetElemsize(array) != elementSize) throw TypeMismatch();
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
