# Toolchain for the windows32 build: 32-bit Windows executables (i686-w64-mingw32, Debian's
# g++-mingw-w64-i686-posix), otherwise the same as the 64-bit windows build.
set(KORVENA_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
