#include "cad/convert.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "cad/automation_error.h"

namespace korvena {

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

int DigitValue(wchar_t c, int radix) {
    int d = -1;
    if (IsDigit(c))
        d = c - L'0';
    else if (c >= L'a' && c <= L'f')
        d = c - L'a' + 10;
    else if (c >= L'A' && c <= L'F')
        d = c - L'A' + 10;
    return d < radix ? d : -1;
}

// "&H1F" / "&O17": an unsigned integer in the given radix, up to the first character that is not a digit.
double ReadRadixInteger(std::wstring_view digits, int radix) {
    double value = 0;
    for (wchar_t c : digits) {
        const int d = DigitValue(c, radix);
        if (d < 0) break;
        value = value * radix + d;
    }
    if (!std::isfinite(value)) throw Overflow();
    return value;
}

// The decimal number at the start of s, copied into plain ASCII for a locale-free parse.
double ReadDecimal(std::wstring_view s) {
    std::string text;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) {
        if (s[i] == L'-') text += '-';
        ++i;
    }
    std::size_t mantissaDigits = 0, integerDigits = 0, leadingFractionZeros = 0;
    bool seenPoint = false, seenNonZero = false;
    for (; i < s.size(); ++i) {
        if (IsDigit(s[i])) {
            ++mantissaDigits;
            if (s[i] != L'0') seenNonZero = true;
            if (!seenPoint && seenNonZero) ++integerDigits;
            if (seenPoint && !seenNonZero) ++leadingFractionZeros;
            text += static_cast<char>(s[i]);
        } else if (s[i] == L'.' && !seenPoint) {
            seenPoint = true;
            text += '.';
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) return 0;
    long exponent = 0;
    // An exponent counts only when at least one digit follows its letter and optional sign.
    if (i < s.size() && (s[i] == L'E' || s[i] == L'e' || s[i] == L'D' || s[i] == L'd')) {
        std::size_t j = i + 1;
        bool negative = false;
        if (j < s.size() && (s[j] == L'+' || s[j] == L'-')) negative = s[j++] == L'-';
        if (j < s.size() && IsDigit(s[j])) {
            std::string exponentText;
            for (; j < s.size() && IsDigit(s[j]); ++j) {
                if (exponentText.empty() && s[j] == L'0') continue;
                if (exponentText.size() < 9)
                    exponentText += static_cast<char>(s[j]);
                else
                    exponentText = "999999999";  // far beyond any double: saturate
            }
            exponent = exponentText.empty() ? 0 : std::stol(exponentText) * (negative ? -1 : 1);
            text += 'e' + std::to_string(exponent);
        }
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        if (!seenNonZero) return 0;
        // Decide overflow or underflow from the decimal magnitude of the number.
        const long magnitude = integerDigits > 0 ? static_cast<long>(integerDigits) - 1 + exponent
                                                 : exponent - static_cast<long>(leadingFractionZeros) - 1;
        if (magnitude > 0) throw Overflow();
        return 0;
    }
    if (ec != std::errc() || end != text.data() + text.size()) return 0;
    return value;
}

std::wstring Widen(std::string_view s) {
    return std::wstring(s.begin(), s.end());
}

// "%.nG" through to_chars (which never looks at the locale), then the system's own spelling.
template <class T>
std::wstring GeneralText(T x, int precision) {
    if (x == 0) return L"0";  // also minus zero
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, precision);
    std::string text(buffer, result.ptr);
    for (char& c : text) {
        if (c == 'e') c = 'E';
    }
    if (text.rfind("0.", 0) == 0)
        text.erase(0, 1);
    else if (text.rfind("-0.", 0) == 0)
        text.erase(1, 1);
    return Widen(text);
}

}  // namespace

double LeadingNumber(std::wstring_view text) {
    std::wstring s;
    s.reserve(text.size());
    for (wchar_t c : text) {
        if (c != L' ' && c != L'\t' && c != L'\n') s += c;
    }
    if (s.size() >= 2 && s[0] == L'&') {
        if (s[1] == L'H' || s[1] == L'h') return ReadRadixInteger(std::wstring_view(s).substr(2), 16);
        if (s[1] == L'O' || s[1] == L'o') return ReadRadixInteger(std::wstring_view(s).substr(2), 8);
        return 0;
    }
    return ReadDecimal(s);
}

double RoundHalfEven(double x) {
    const double lower = std::floor(x);
    const double diff = x - lower;
    if (diff > 0.5) return lower + 1;
    if (diff < 0.5) return lower;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

std::int16_t ColourNumber(std::wstring_view text) {
    const double rounded = RoundHalfEven(LeadingNumber(text));
    if (!(rounded >= -32768 && rounded <= 32767)) throw Overflow();
    return static_cast<std::int16_t>(rounded);
}

std::wstring NumberText(double x) {
    return GeneralText(x, 15);
}
std::wstring NumberText(float x) {
    return GeneralText(x, 7);
}

std::wstring DisplayNumberText(double x) {
    std::wstring text = NumberText(x);
    const std::size_t point = text.front() == L'-' ? 1 : 0;
    if (text[point] == L'.') text.insert(point, 1, L'0');
    return text;
}

double TextNumber(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);

    // Check the whole form here; then the text is read as LeadingNumber reads its number, which also
    // tells an overflow from a number too small for a double (that one is 0).
    std::size_t i = 0;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
    int digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            ++digits;
        } else if (text[i] == L'.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) throw TypeMismatch();
    if (i < text.size() && (text[i] == L'E' || text[i] == L'e')) {
        ++i;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
        int exponentDigits = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i) ++exponentDigits;
        if (exponentDigits == 0) throw TypeMismatch();
    }
    if (i != text.size()) throw TypeMismatch();
    return ReadDecimal(text);
}

}  // namespace korvena
