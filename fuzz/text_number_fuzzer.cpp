// TextNumber, the scatter command's reading of a text's elevation, on any UTF-16 text, against the C
// library's strtod: a text of digits, signs, points and E alone (blanks and tabs around it allowed) that
// strtod takes whole is that number, or the overflow error where strtod gives an infinity; any other
// text is the type-mismatch error.

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "cad/automation_error.h"
#include "cad/convert.h"
#include "fuzz/fuzz_input.h"

using namespace korvena;

namespace {

// strtod's value for a plain decimal text; none for anything else. The fuzzer runs in the "C" locale.
std::optional<double> LibraryNumber(std::wstring_view text) {
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    std::string narrow;
    for (const wchar_t c : text) {
        if (std::wstring_view(L"0123456789+-.eE").find(c) == std::wstring_view::npos) return std::nullopt;
        narrow += static_cast<char>(c);
    }
    char* end = nullptr;
    const double value = std::strtod(narrow.c_str(), &end);
    if (narrow.empty() || end != narrow.c_str() + narrow.size()) return std::nullopt;
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::Utf16Text(data, size);
    const std::optional<double> expected = LibraryNumber(text);
    try {
        const double value = TextNumber(text);
        fuzz::Require(expected.has_value(), "TextNumber reads only plain decimal numbers", text);
        fuzz::Require(std::isfinite(*expected), "TextNumber gives no number beyond a double", text);
        fuzz::Require(value == *expected, "TextNumber reads the number strtod reads", text);
    } catch (const AutomationError& e) {
        if (!expected) {
            fuzz::Require(e.Number() == error_number::kTypeMismatch, "no number is a type mismatch", text);
        } else {
            fuzz::Require(e.Number() == error_number::kOverflow,
                          "a plain decimal number fails only by overflow", text);
            fuzz::Require(std::isinf(*expected), "TextNumber overflows only beyond a double", text);
        }
    }
    return 0;
}
