// ColourNumber on any UTF-16 text: the nearest integer to LeadingNumber, halves to even, when that lies in
// the 16-bit range; otherwise the overflow error, and no other error.

#include <cmath>
#include <optional>

#include "cad/automation_error.h"
#include "cad/convert.h"
#include "fuzz/fuzz_input.h"

using namespace korvena;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::Utf16Text(data, size);
    // The C library's rounding in its default mode takes halves to the even neighbour.
    std::optional<double> nearest;
    try {
        nearest = std::nearbyint(LeadingNumber(text));
    } catch (const AutomationError&) {
        // LeadingNumber's own fuzzer checks its errors; here it means no number.
    }
    const bool fits = nearest && *nearest >= -32768 && *nearest <= 32767;
    try {
        const int colour = ColourNumber(text);
        fuzz::Require(fits, "ColourNumber gives a value only when the rounded number fits 16 bits", text);
        fuzz::Require(colour == *nearest, "ColourNumber is the nearest integer, halves to even", text);
    } catch (const AutomationError& e) {
        fuzz::Require(e.Number() == error_number::kOverflow, "ColourNumber fails only with an overflow",
                      text);
        fuzz::Require(!fits, "ColourNumber overflows only when the rounded number does not fit 16 bits",
                      text);
    }
    return 0;
}
