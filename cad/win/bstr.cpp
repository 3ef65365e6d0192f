#include "cad/win/bstr.h"

#include "cad/win/com_error.h"

namespace korvena {

Bstr::Bstr(std::wstring_view text) {
    if (text.size() > 0x7FFFFFF0u) throw ErrorFromHresult(E_OUTOFMEMORY);
    value_ = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (value_ == nullptr) throw ErrorFromHresult(E_OUTOFMEMORY);
}

Bstr Bstr::Attach(BSTR owned) noexcept {
    Bstr result;
    result.value_ = owned;
    return result;
}

Bstr& Bstr::operator=(Bstr&& other) noexcept {
    std::swap(value_, other.value_);
    return *this;
}

std::wstring Bstr::Text() const {
    if (value_ == nullptr) return {};
    return std::wstring(value_, SysStringLen(value_));
}

}  // namespace korvena
