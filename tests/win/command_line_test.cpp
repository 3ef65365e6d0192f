// Command lines read back by the system's own parser, CommandLineToArgvW: every argument arrives as
// it was given, however it ends or whatever it holds.

#include "cadsim/com/command_line.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace korvena {
namespace {

std::vector<std::wstring> ParsedBySystem(const std::wstring& commandLine) {
    int count = 0;
    LPWSTR* parsed = CommandLineToArgvW(commandLine.c_str(), &count);
    if (parsed == nullptr) return {};
    std::vector<std::wstring> arguments(parsed, parsed + count);
    LocalFree(parsed);
    return arguments;
}

TEST(CommandLine, EveryArgumentSurvivesTheSystemsParser) {
    const std::vector<std::wstring> arguments{L"plain",
                                              L"with space",
                                              L"",
                                              L"tail\\",
                                              L"C:\\dir one\\",
                                              L"Z:\\work\\a b\\\\",
                                              L"say \"hi\"",
                                              L"back\\\\\"slash",
                                              L"\\\"",
                                              L"\"",
                                              L"tab\there",
                                              L"line\nbreak",
                                              L"\\\\server\\share",
                                              L"ends in quote\"",
                                              L"after"};
    const std::wstring program = L"C:\\Program Files\\korvena\\program.exe";
    std::vector<std::wstring> expected{program};
    expected.insert(expected.end(), arguments.begin(), arguments.end());
    EXPECT_EQ(ParsedBySystem(CommandLine(program, arguments)), expected);
}

// A folder with a blank ends in a backslash: quoted naively its last backslash escapes the closing
// quote, and the next argument runs into it.
TEST(CommandLine, AFolderEndingInABackslashKeepsTheNextArgumentApart) {
    EXPECT_EQ(QuoteArgument(L"C:\\dir one\\"), L"\"C:\\dir one\\\\\"");
    EXPECT_EQ(ParsedBySystem(CommandLine(L"p.exe", {L"C:\\dir one\\", L"--out", L"x"})),
              (std::vector<std::wstring>{L"p.exe", L"C:\\dir one\\", L"--out", L"x"}));
}

TEST(CommandLine, PlainArgumentsStayUnquoted) {
    EXPECT_EQ(QuoteArgument(L"C:\\bin\\cadsim.exe"), L"C:\\bin\\cadsim.exe");
    EXPECT_EQ(QuoteArgument(L"tail\\"), L"tail\\");
    EXPECT_EQ(CommandLine(L"p.exe", {}), L"p.exe");
}

}  // namespace
}  // namespace korvena
