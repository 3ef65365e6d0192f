// LeadingNumber on any UTF-16 text: a finite number or the overflow error, nothing else; and a text that
// TextNumber takes as a plain decimal number reads the same both ways.

#include <cmath>

#include "cad/automation_error.h"
#include "cad/convert.h"
#include "fuzz/fuzz_input.h"

using namespace korvena;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::Utf16Text(data, size);
    double value = 0;
    try {
        value = LeadingNumber(text);
    } catch (const AutomationError& e) {
        fuzz::Require(e.Number() == error_number::kOverflow, "LeadingNumber fails only with an overflow",
                      text);
        return 0;
    }
    fuzz::Require(std::isfinite(value), "LeadingNumber gives a finite number", text);
    try {
        fuzz::Require(TextNumber(text) == value, "a plain decimal number reads the same by TextNumber", text);
    } catch (const AutomationError& e) {
        fuzz::Require(e.Number() == error_number::kTypeMismatch,
                      "what LeadingNumber reads without overflow, TextNumber reads or calls no number", text);
    }
    return 0;
}
