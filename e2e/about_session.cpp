// For a screenshot of the About window: starts korvena.exe, clicks its web-link button and leaves the
// program running with the About window open. Prints where the window stands on the screen.
//
//   about_session <korvena.exe>

#include <iostream>

#include "e2e/support/about_window.h"
#include "e2e/support/korvena_window.h"
#include "e2e/support/program.h"

const korvena::e2e::Program korvena::e2e::kThisProgram =
    ToolProgram("about_session", "<korvena.exe>", 1, 1, [](const ProgramArguments& given) {
        SetKorvenaExe(given[0]);
        auto* korvena = new KorvenaWindow();  // left running for the screenshot
        korvena->Click(ControlId::xpcmdbutton7);
        const AboutWindow about(korvena->ProcessId(), std::chrono::seconds(10));
        Sleep(500);  // painted
        RECT frame{};
        GetWindowRect(about.Handle(), &frame);
        std::cout << "About window: " << frame.right - frame.left << "x" << frame.bottom - frame.top << "+"
                  << frame.left << "+" << frame.top << "\n";
        return 0;
    });
