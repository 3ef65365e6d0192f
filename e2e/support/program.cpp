#include "e2e/support/program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "e2e/support/process.h"

namespace korvena::e2e {
namespace {

struct GivenPaths {
    std::wstring korvena;
    std::wstring cadsim;
};

GivenPaths& Paths() {
    static GivenPaths paths;
    return paths;
}

}  // namespace

Program ToolProgram(const char* name, const char* usage, std::size_t fewest, std::size_t most,
                    std::function<int(const ProgramArguments&)> run) {
    return Program{.name = name, .usage = usage, .fewest = fewest, .most = most, .run = std::move(run)};
}

Program TestProgram(const char* name, const char* usage, std::size_t arguments,
                    std::function<void(const ProgramArguments&)> setUp) {
    Program program = ToolProgram(name, usage, arguments, arguments,
                                  [setUp = std::move(setUp)](const ProgramArguments& given) {
                                      setUp(given);
                                      return RUN_ALL_TESTS();
                                  });
    program.takeOwnFlags = [](int* argc, wchar_t** argv) { ::testing::InitGoogleTest(argc, argv); };
    return program;
}

Program KorvenaAndCadSimTests(const char* name) {
    return TestProgram(name, "<korvena.exe> <cadsim.exe>", 2, UseKorvenaAndCadSim);
}

int CountArgument(const ProgramArguments& given, std::size_t index, int absent) {
    return index < given.size() ? std::max(1, _wtoi(given[index].c_str())) : absent;
}

const std::wstring& KorvenaExe() {
    return Paths().korvena;
}
const std::wstring& CadSimExe() {
    return Paths().cadsim;
}
void SetKorvenaExe(std::wstring_view path) {
    Paths().korvena = WindowsPath(path);
}
void SetCadSimExe(std::wstring_view path) {
    Paths().cadsim = WindowsPath(path);
}

void UseKorvenaAndCadSim(const ProgramArguments& given) {
    SetKorvenaExe(given.at(0));
    SetCadSimExe(given.at(1));
    // For the log: which pairing of the two programs the run drives.
    std::printf("%s korvena.exe against %s cadsim.exe\n", BitnessOfFile(KorvenaExe()).c_str(),
                BitnessOfFile(CadSimExe()).c_str());
}

}  // namespace korvena::e2e
