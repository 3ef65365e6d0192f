#pragma once
// Command lines for CreateProcess and a local server's registration, quoted so that the system's
// parser (CommandLineToArgvW, the C runtime's start-up code) reads back each argument as it was.

#include <string>
#include <string_view>
#include <vector>

namespace korvena {

// One argument, quoted where needed: in quotes when it is empty or holds a blank or a quote; inside
// them a quote is escaped, and so are the backslashes before a quote or before the closing quote.
std::wstring QuoteArgument(std::wstring_view argument);

// A program and its arguments, each quoted as needed, separated by spaces.
std::wstring CommandLine(std::wstring_view program, const std::vector<std::wstring>& arguments);

}  // namespace korvena
