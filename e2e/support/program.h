#pragma once
// The end-to-end programs share one entry point (program_main.cpp). Each program defines
// kThisProgram: its name, its arguments and what it does with them. The entry point hands
// GoogleTest its flags first where the program runs tests, checks the number of arguments (else
// prints the usage line and ends with 2), and ends with 1 on an exception that escapes.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvena::e2e {

// The arguments after the program's name.
using ProgramArguments = std::vector<std::wstring>;

struct Program {
    const char* name;
    const char* usage;   // the arguments after the name, for the usage line
    std::size_t fewest;  // arguments it needs
    std::size_t most;    // arguments it takes
    std::function<int(const ProgramArguments&)> run;
    // Set for GoogleTest programs: takes GoogleTest's own flags out of the command line.
    void (*takeOwnFlags)(int* argc, wchar_t** argv) = nullptr;
};

extern const Program kThisProgram;

// A program that is no test (a session, a benchmark): `run` gives the exit code.
Program ToolProgram(const char* name, const char* usage, std::size_t fewest, std::size_t most,
                    std::function<int(const ProgramArguments&)> run);

// A program of GoogleTest tests: `setUp` takes the arguments, then every test runs.
Program TestProgram(const char* name, const char* usage, std::size_t arguments,
                    std::function<void(const ProgramArguments&)> setUp);

// Tests of korvena.exe against cadsim.exe, the two paths their arguments.
Program KorvenaAndCadSimTests(const char* name);

// The count given as argument `index`, at least 1; `absent` when there are fewer arguments.
int CountArgument(const ProgramArguments& given, std::size_t index, int absent);

// The paths of korvena.exe and cadsim.exe given on the command line, kept as Windows paths.
const std::wstring& KorvenaExe();
const std::wstring& CadSimExe();
void SetKorvenaExe(std::wstring_view path);
void SetCadSimExe(std::wstring_view path);
// Both from the first two arguments, for the programs that drive both.
void UseKorvenaAndCadSim(const ProgramArguments& given);

}  // namespace korvena::e2e
