// DisplayNumberText on any double: never empty, never a comma or another separator; for a finite number
// the general decimal form with a zero before the point, which LeadingNumber reads back as the number
// rounded to 15 significant digits (or as the overflow error, where that rounding passes the largest
// double).

#include <cmath>

#include "cad/automation_error.h"
#include "cad/convert.h"
#include "fuzz/fuzz_input.h"

using namespace korvena;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const double x = fuzz::DoubleBits(data, size);
    const std::wstring text = DisplayNumberText(x);
    fuzz::Require(!text.empty(), "DisplayNumberText is never empty", text);
    fuzz::Require(text.find_first_of(L", '\u00A0\u202F\u066B\u066C") == std::wstring::npos,
                  "DisplayNumberText has no comma and no thousands separator", text);
    if (!std::isfinite(x)) return 0;

    fuzz::Require(fuzz::IsGeneralDecimalText(text, 15, true), "DisplayNumberText has the general form", text);
    const double expected = fuzz::RoundedToDigits(x, 15);
    try {
        fuzz::Require(LeadingNumber(text) == expected, "LeadingNumber reads the shown number back", text);
    } catch (const AutomationError& e) {
        fuzz::Require(e.Number() == error_number::kOverflow && std::isinf(expected),
                      "the shown number reads back with an overflow only beyond the largest double", text);
    }
    return 0;
}
