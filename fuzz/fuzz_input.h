#pragma once
// What the fuzzers share: their bytes read as UTF-16 text or as a double, the C library's reading of
// a number to check against, and a property check that stops the run, so libFuzzer keeps the input.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvena::fuzz {

// The bytes as UTF-16 code units. Where they form UTF-8 they are read as UTF-8 (so seeds are plain
// text files); a three-byte form gives any 16-bit unit, lone surrogates included, a four-byte form a
// surrogate pair, and any other byte the unit of the same value. Every UTF-16 text is reachable.
std::wstring Utf16Text(const std::uint8_t* data, std::size_t size);

// The first eight bytes as the bits of a double (missing bytes are zero), and the first four as a float.
double DoubleBits(const std::uint8_t* data, std::size_t size);
float FloatBits(const std::uint8_t* data, std::size_t size);

// x rounded to `digits` significant decimal digits, by the C library (printf, then strtod): infinite
// when the rounding reaches past the largest double.
double RoundedToDigits(double x, int digits);

// Whether a text has the general decimal form: an optional "-", digits with at most one ".", no zeros
// ending a fraction, at most `maxDigits` significant digits, and for magnitudes too large or too small
// for that one digit before the point and an exponent E+NN or E-NN (three digits where needed). Below 1,
// a zero before the point or none, as `zeroBeforePoint` says. Commas, blanks and any other separators
// fail the form.
bool IsGeneralDecimalText(std::wstring_view text, std::size_t maxDigits, bool zeroBeforePoint);

// Stops the run with the property and the text printed (escaped) when the property does not hold.
void Require(bool holds, const char* property, std::wstring_view text);

}  // namespace korvena::fuzz
