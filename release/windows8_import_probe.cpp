// Imports one function that Windows 7 does not have, for the test that the import check finds it.
#include <windows.h>

int main() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    return static_cast<int>(now.dwLowDateTime & 1U);
}
