// NumberText on any double and any float: the general decimal form, and read back by LeadingNumber it
// is the number rounded to 15 (a float: 7) significant digits. Where that rounding reaches past the
// largest double, reading the text back is the overflow error.

#include <cmath>

#include "cad/automation_error.h"
#include "cad/convert.h"
#include "fuzz/fuzz_input.h"

using namespace korvena;

namespace {

void CheckReadBack(const std::wstring& text, double x, int digits) {
    const double expected = fuzz::RoundedToDigits(x, digits);
    try {
        const double read = LeadingNumber(text);
        fuzz::Require(read == expected, "LeadingNumber(NumberText(x)) is x rounded to its digits", text);
        fuzz::Require(TextNumber(text) == expected, "TextNumber(NumberText(x)) is x rounded to its digits",
                      text);
    } catch (const AutomationError& e) {
        fuzz::Require(e.Number() == error_number::kOverflow && std::isinf(expected),
                      "NumberText reads back with an overflow only beyond the largest double", text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const double x = fuzz::DoubleBits(data, size);
    if (std::isfinite(x)) {
        const std::wstring text = NumberText(x);
        fuzz::Require(fuzz::IsGeneralDecimalText(text, 15, false), "NumberText(double) has the general form",
                      text);
        CheckReadBack(text, x, 15);
    }
    const float f = fuzz::FloatBits(data, size);
    if (std::isfinite(f)) {
        const std::wstring text = NumberText(f);
        fuzz::Require(fuzz::IsGeneralDecimalText(text, 7, false), "NumberText(float) has the general form",
                      text);
        CheckReadBack(text, f, 7);
    }
    return 0;
}
