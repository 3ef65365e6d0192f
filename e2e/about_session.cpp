// For a screenshot of the About window: starts korvena.exe, clicks its web-link button and leaves the
// program running with the About window open. Prints where the window stands on the screen.
//
//   about_session <korvena.exe>

#include <cstdio>
#include <iostream>

#include "e2e/support/about_window.h"
#include "e2e/support/korvena_window.h"

int wmain(int argc, wchar_t** argv) {
    using namespace korvena::e2e;
    if (argc != 2) {
        std::fputs("usage: about_session <korvena.exe>\n", stderr);
        return 2;
    }
    try {
        SetKorvenaExe(argv[1]);
        auto* korvena = new KorvenaWindow();  // left running for the screenshot
        korvena->Click(ControlId::xpcmdbutton7);
        const AboutWindow about(korvena->ProcessId(), std::chrono::seconds(10));
        Sleep(500);  // painted
        RECT frame{};
        GetWindowRect(about.Handle(), &frame);
        std::cout << "About window: " << frame.right - frame.left << "x" << frame.bottom - frame.top << "+"
                  << frame.left << "+" << frame.top << "\n";
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "about_session: %s\n", e.what());
        return 1;
    }
}
