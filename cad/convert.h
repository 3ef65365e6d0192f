#pragma once
// The conversions between the main window's texts, the CAD's texts and numbers. Locale-independent.

#include <cstdint>
#include <string>
#include <string_view>

namespace korvena {

// The number at the start of a text. Blanks, tabs and line feeds are removed from the whole text
// first; then an optional sign, digits with at most one "." and an optional exponent ("E" or "D",
// either case, optional sign); "&H" / "&O" read a hexadecimal / octal integer. Reading stops at the
// first character that cannot continue the number; no number gives 0. A value too large for a
// double is an overflow (AutomationError 6).
double LeadingNumber(std::wstring_view text);

// The number a text stands for, read the way the drawing's texts are written, whatever the user's
// locale: blanks and tabs around it are allowed; then an optional sign, digits with at most one "."
// and an optional exponent (E or e, optional sign). Anything else is a type mismatch
// (AutomationError 13); a value beyond the range of a double is an overflow (6), one too small for a
// double is 0.
double TextNumber(std::wstring_view text);

// LeadingNumber rounded to the nearest integer, halves to even; outside -32768..32767 an overflow
// (AutomationError 6).
std::int16_t ColourNumber(std::wstring_view text);

// The general decimal text of a number: at most 15 significant digits ("%.15G"), exponent as E+NN,
// no zero before the point (.5, -.25), no trailing zeros, whole numbers without a point.
std::wstring NumberText(double x);
// The same for a single-precision value, at most 7 significant digits.
std::wstring NumberText(float x);

// The number as the main window shows a picked elevation: NumberText with a zero before the point
// when the magnitude is below 1 (0.5, -0.25), always with "." whatever the user's locale.
std::wstring DisplayNumberText(double x);

// Nearest integer, halves to the even neighbour (the platform's rounding of a number to an integer).
double RoundHalfEven(double x);

}  // namespace korvena
