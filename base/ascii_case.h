#pragma once
// Names that automation matches without regard to case (member names; the simulator's file names,
// objects and options) are spelt in ASCII letters. Case is folded for A-Z alone, so that a match is
// the same under every system locale.

#include <string>
#include <string_view>

namespace korvena {

constexpr wchar_t LowerAscii(wchar_t c) noexcept {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

inline std::wstring LowerAscii(std::wstring_view text) {
    std::wstring lower(text);
    for (wchar_t& c : lower) c = LowerAscii(c);
    return lower;
}

constexpr bool SameIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

}  // namespace korvena
