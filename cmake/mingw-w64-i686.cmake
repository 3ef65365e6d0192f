# Toolchain for the windows32 build: 32-bit Windows executables (i686-w64-mingw32, Debian's
# g++-mingw-w64-i686-posix), otherwise the same as the 64-bit windows build.
set(KORVENA_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# At -O2 and above GCC splits a function into a hot and a cold part (-freorder-blocks-and-partition).
# The 32-bit MinGW unwinder (DWARF-2) does not find a landing pad that lies in the cold part: the
# exception is never caught and the program aborts (seen in the unit tests with a try around a call
# that throws). Each function stays in one piece in this build.
set(CMAKE_C_FLAGS_INIT "-fno-reorder-blocks-and-partition")
set(CMAKE_CXX_FLAGS_INIT "-fno-reorder-blocks-and-partition")
