#pragma once
// SafeArray: the one owner of a SAFEARRAY (SafeArrayDestroy, which also frees or releases the elements).
// SafeArrayElements: typed access to a one-dimensional array, valid between SafeArrayAccessData and
// SafeArrayUnaccessData, which its constructor and destructor call.

#include <windows.h>

#include <cstddef>
#include <span>
#include <type_traits>
#include <utility>

namespace korvena {

class SafeArray {
public:
    SafeArray() = default;
    // A new one-dimensional array of count elements of type elementType, lower bound 0, zero-filled;
    // throws AutomationError when it cannot be made.
    static SafeArray CreateVector(VARTYPE elementType, std::size_t count);

    ~SafeArray() { Reset(); }
    SafeArray(SafeArray&& other) noexcept : array_(std::exchange(other.array_, nullptr)) {}
    SafeArray& operator=(SafeArray&& other) noexcept {
        std::swap(array_, other.array_);
        return *this;
    }
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;

    // Borrowed.
    SAFEARRAY* Get() const noexcept { return array_; }
    // Hands the array to the caller, who destroys it from now on.
    SAFEARRAY* Release() noexcept { return std::exchange(array_, nullptr); }
    void Reset() noexcept;

private:
    SAFEARRAY* array_ = nullptr;
};

// The number of elements of a one-dimensional array of elementType (SafeArrayGetVartype), elementSize
// bytes each. Any other shape, type or size is a type mismatch (AutomationError 13), and so is an array
// that does not say its type, but for one of objects (VT_DISPATCH), which Wine's marshaller delivers
// so; a null array has no elements.
std::size_t VectorLength(SAFEARRAY* array, VARTYPE elementType, std::size_t elementSize);

// The element type of an array that SafeArrayElements<T> reads.
template <class T>
constexpr VARTYPE SafeArrayElementType() noexcept {
    if constexpr (std::is_same_v<T, double>) {
        return VT_R8;
    } else if constexpr (std::is_same_v<T, IDispatch*>) {
        return VT_DISPATCH;
    } else {
        static_assert(std::is_same_v<T, VARIANT>, "an array of doubles, objects or VARIANTs");
        return VT_VARIANT;
    }
}

// SafeArrayAccessData with the failure turned into AutomationError; the caller unaccesses.
void* AccessSafeArrayData(SAFEARRAY* array);

// Borrows the array; the elements stay valid while this object lives.
template <class T>
class SafeArrayElements {
public:
    explicit SafeArrayElements(SAFEARRAY* array)
        : array_(array), count_(VectorLength(array, SafeArrayElementType<T>(), sizeof(T))) {
        if (array_ != nullptr) Lock();
    }
    ~SafeArrayElements() {
        if (data_ != nullptr) SafeArrayUnaccessData(array_);
    }
    SafeArrayElements(const SafeArrayElements&) = delete;
    SafeArrayElements& operator=(const SafeArrayElements&) = delete;

    std::span<T> Items() const noexcept { return {static_cast<T*>(data_), data_ ? count_ : 0}; }

private:
    void Lock() { data_ = AccessSafeArrayData(array_); }

    SAFEARRAY* array_;
    std::size_t count_;
    void* data_ = nullptr;
};

}  // namespace korvena
