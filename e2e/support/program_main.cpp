// The entry point of every end-to-end program; what each does is its kThisProgram (program.h).

#include <cstdio>
#include <exception>

#include "e2e/support/program.h"

int wmain(int argc, wchar_t** argv) {
    const korvena::e2e::Program& program = korvena::e2e::kThisProgram;
    if (program.takeOwnFlags != nullptr) program.takeOwnFlags(&argc, argv);
    const korvena::e2e::ProgramArguments arguments(argv + 1, argv + argc);
    if (arguments.size() < program.fewest || arguments.size() > program.most) {
        std::fprintf(stderr, "usage: %s %s\n", program.name, program.usage);
        return 2;
    }
    try {
        return program.run(arguments);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", program.name, e.what());
        return 1;
    }
}
