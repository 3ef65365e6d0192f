// The smallest Win32 program with a window, built by the same toolchain and with the same link options
// as korvena.exe: the benchmark's yardstick for start-up. It shows one empty window and ends when the
// window is closed.

#include <windows.h>

#include "e2e/yardstick_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    const HWND window = korvena::e2e::CreateYardstickWindow(instance, L"Empty window", WS_OVERLAPPEDWINDOW, 400, 300,
                                                            COLOR_WINDOW);
    return window == nullptr ? 1 : korvena::e2e::ShowAndRun(window, show);
}
