#include "cadsim/model/text_number.h"

#include <charconv>
#include <string>
#include <system_error>

#include "cad/automation_error.h"

namespace korvena::cadsim {

namespace {

[[noreturn]] void NotANumber() {
    throw korvena::AutomationError(korvena::error_number::kTypeMismatch, L"类型不匹配");
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}
bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

}  // namespace

double TextToNumber(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);

    // Check the form here; from_chars alone would also take "inf", "nan" and hexadecimal.
    std::string narrow;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        if (text[i] == L'-') narrow += '-';
        ++i;
    }
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
        narrow += static_cast<char>(text[i]);
    }
    if (digits == 0) NotANumber();
    if (i < text.size() && (text[i] == L'E' || text[i] == L'e')) {
        narrow += 'e';
        ++i;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) narrow += static_cast<char>(text[i++]);
        int exponentDigits = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i, ++exponentDigits)
            narrow += static_cast<char>(text[i]);
        if (exponentDigits == 0) NotANumber();
    }
    if (i != text.size()) NotANumber();

    double value = 0;
    const auto [end, error] = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value);
    if (error == std::errc::result_out_of_range) {
        throw korvena::AutomationError(korvena::error_number::kOverflow, L"溢出");
    }
    if (error != std::errc() || end != narrow.data() + narrow.size()) NotANumber();
    return value;
}

}  // namespace korvena::cadsim
