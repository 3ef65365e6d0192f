#pragma once
// How the simulated CAD turns a text it is given for a number (Elevation put as a string) into one:
// blanks and tabs around it are allowed; then an optional sign, digits with at most one "." and an
// optional exponent (E or e, optional sign). Anything else is a type mismatch (13); a value
// beyond the range of a double (either way) is an overflow (6). Independent of the locale.

#include <string_view>

namespace korvena::cadsim {

double TextToNumber(std::wstring_view text);

}  // namespace korvena::cadsim
