#pragma once
// Bstr: the one owner of a BSTR. The destructor frees it with SysFreeString.

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

namespace korvena {

class Bstr {
public:
    Bstr() = default;
    // A new BSTR holding a copy of text (embedded nulls kept); throws AutomationError when out of memory.
    explicit Bstr(std::wstring_view text);
    // Takes ownership of a BSTR that the caller was given.
    static Bstr Attach(BSTR owned) noexcept;

    ~Bstr() { SysFreeString(value_); }
    Bstr(Bstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept;
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    // Borrowed; null stands for the empty string.
    BSTR Get() const noexcept { return value_; }
    // Hands the BSTR to the caller, who frees it from now on.
    BSTR Release() noexcept { return std::exchange(value_, nullptr); }
    // The characters, by the BSTR's own length.
    std::wstring Text() const;

private:
    BSTR value_ = nullptr;
};

}  // namespace korvena
