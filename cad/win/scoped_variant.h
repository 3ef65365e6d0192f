#pragma once
// ScopedVariant: the one owner of a VARIANT. The destructor clears it with VariantClear, which frees a
// BSTR, destroys a SAFEARRAY and releases an interface held in it.

#include <windows.h>

namespace korvena {

class ScopedVariant {
public:
    ScopedVariant() noexcept { VariantInit(&value_); }
    ~ScopedVariant() { VariantClear(&value_); }
    ScopedVariant(ScopedVariant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
    ScopedVariant& operator=(ScopedVariant&& other) noexcept {
        if (this != &other) {
            VariantClear(&value_);
            value_ = other.value_;
            VariantInit(&other.value_);
        }
        return *this;
    }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;

    // Borrowed.
    const VARIANT& Get() const noexcept { return value_; }
    // For an out parameter: clears what is held and hands out the slot.
    VARIANT* Receive() noexcept {
        VariantClear(&value_);
        return &value_;
    }
    // Hands the value to the caller, who clears it from now on; this owner is left empty.
    VARIANT Release() noexcept {
        VARIANT result = value_;
        VariantInit(&value_);
        return result;
    }

private:
    VARIANT value_;
};

}  // namespace korvena
