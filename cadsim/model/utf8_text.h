#pragma once
// UTF-8 to and from the wide strings of the model (UTF-16 where wchar_t has 16 bits, UTF-32 where it
// has 32). A malformed sequence or a lone surrogate becomes U+FFFD.

#include <string>
#include <string_view>

namespace korvena::cadsim {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

}  // namespace korvena::cadsim
