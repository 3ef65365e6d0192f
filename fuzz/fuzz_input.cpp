#include "fuzz/fuzz_input.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace korvena::fuzz {

namespace {

bool IsContinuation(std::uint8_t b) {
    return (b & 0xC0) == 0x80;
}

// The number of continuation bytes that follow data[i], all present.
bool ContinuationsFollow(const std::uint8_t* data, std::size_t size, std::size_t i, std::size_t count) {
    if (size - i <= count) return false;
    for (std::size_t k = 1; k <= count; ++k) {
        if (!IsContinuation(data[i + k])) return false;
    }
    return true;
}

}  // namespace

std::wstring Utf16Text(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i < size;) {
        const std::uint8_t b = data[i];
        if ((b & 0xE0) == 0xC0 && ContinuationsFollow(data, size, i, 1)) {
            text += static_cast<wchar_t>((b & 0x1F) << 6 | (data[i + 1] & 0x3F));
            i += 2;
        } else if ((b & 0xF0) == 0xE0 && ContinuationsFollow(data, size, i, 2)) {
            text += static_cast<wchar_t>((b & 0x0F) << 12 | (data[i + 1] & 0x3F) << 6 | (data[i + 2] & 0x3F));
            i += 3;
        } else if ((b & 0xF8) == 0xF0 && ContinuationsFollow(data, size, i, 3)) {
            const std::uint32_t offset = ((b & 0x07u) << 18 | (data[i + 1] & 0x3Fu) << 12 |
                                          (data[i + 2] & 0x3Fu) << 6 | (data[i + 3] & 0x3Fu)) &
                                         0xFFFFFu;
            text += static_cast<wchar_t>(0xD800 + (offset >> 10));
            text += static_cast<wchar_t>(0xDC00 + (offset & 0x3FF));
            i += 4;
        } else {
            text += static_cast<wchar_t>(b);
            ++i;
        }
    }
    return text;
}

double DoubleBits(const std::uint8_t* data, std::size_t size) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, data, std::min<std::size_t>(size, sizeof bits));
    return std::bit_cast<double>(bits);
}

float FloatBits(const std::uint8_t* data, std::size_t size) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, data, std::min<std::size_t>(size, sizeof bits));
    return std::bit_cast<float>(bits);
}

double RoundedToDigits(double x, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*e", digits - 1, x);
    return std::strtod(text, nullptr);
}

bool IsGeneralDecimalText(std::wstring_view text, std::size_t maxDigits, bool zeroBeforePoint) {
    const auto allDigits = [](std::wstring_view s) {
        return std::all_of(s.begin(), s.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
    };
    if (!text.empty() && text.front() == L'-') text.remove_prefix(1);
    const std::size_t e = text.find(L'E');
    const std::wstring_view exponent = e == text.npos ? std::wstring_view() : text.substr(e + 1);
    const std::wstring_view mantissa = text.substr(0, e);
    const std::size_t point = mantissa.find(L'.');
    const std::wstring_view whole = mantissa.substr(0, point);
    const std::wstring_view fraction =
        point == mantissa.npos ? std::wstring_view() : mantissa.substr(point + 1);

    if (!allDigits(whole) || !allDigits(fraction)) return false;
    if (point != mantissa.npos && (fraction.empty() || fraction.back() == L'0')) return false;
    if (whole.empty() && fraction.empty()) return false;
    if (whole.size() > 1 && whole.front() == L'0') return false;
    const bool belowOne = whole.empty() || whole == L"0";
    if (belowOne && point != mantissa.npos && (whole == L"0") != zeroBeforePoint) return false;

    std::wstring digits = std::wstring(whole) + std::wstring(fraction);
    const std::size_t leadingZeros = std::min(digits.find_first_not_of(L'0'), digits.size());
    if (digits.size() - leadingZeros > maxDigits) return false;
    if (e == text.npos) {
        // Plain form: below 1, at most four zeros after the point before the first significant digit.
        return !belowOne || leadingZeros - whole.size() <= 4 || digits.size() == leadingZeros;
    }
    return whole.size() == 1 && whole != L"0" && (exponent.size() == 3 || exponent.size() == 4) &&
           (exponent.front() == L'+' || exponent.front() == L'-') && allDigits(exponent.substr(1));
}

void Require(bool holds, const char* property, std::wstring_view text) {
    if (holds) return;
    std::fprintf(stderr, "\nProperty broken: %s\nText: \"", property);
    for (const wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F && c != L'"' && c != L'\\')
            std::fputc(static_cast<char>(c), stderr);
        else
            std::fprintf(stderr, "\\u%04X", static_cast<unsigned>(c));
    }
    std::fputs("\"\n", stderr);
    std::abort();
}

}  // namespace korvena::fuzz
