#pragma once
// ScopedVariant: the one owner of a VARIANT. The destructor clears it with VariantClear, which frees a
// BSTR, destroys a SAFEARRAY and releases an interface held in it. ScopedVariants: the same for an
// array of VARIANTs that COM takes or fills in one piece.

#include <windows.h>

#include <cstddef>
#include <vector>

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

// The arguments of an Invoke, or a batch of IEnumVARIANT::Next: every slot is cleared when it is
// filled again and when the owner goes.
class ScopedVariants {
public:
    explicit ScopedVariants(std::size_t count) : values_(count) {
        for (VARIANT& value : values_) VariantInit(&value);
    }
    ~ScopedVariants() { ClearAll(); }
    ScopedVariants(const ScopedVariants&) = delete;
    ScopedVariants& operator=(const ScopedVariants&) = delete;

    std::size_t Size() const noexcept { return values_.size(); }
    // Borrowed, for an in parameter.
    VARIANT* Data() noexcept { return values_.data(); }
    const VARIANT& operator[](std::size_t i) const noexcept { return values_[i]; }
    // For an out parameter: clears every slot and hands out the array.
    VARIANT* ReceiveAll() noexcept {
        ClearAll();
        return values_.data();
    }
    // Takes over `value` (handed out by ScopedVariant::Release) into slot i.
    void Adopt(std::size_t i, VARIANT value) noexcept {
        VariantClear(&values_[i]);
        values_[i] = value;
    }
    // Lets go of one slot before the others.
    void Clear(std::size_t i) noexcept { VariantClear(&values_[i]); }

private:
    void ClearAll() noexcept {
        for (VARIANT& value : values_) VariantClear(&value);
    }

    std::vector<VARIANT> values_;
};

}  // namespace korvena
