# Toolchain for the windows build: 64-bit Windows executables from Debian's MinGW-w64 (the
# -posix thread model), run by ctest under Wine through the wrapper that
# cmake/wine-fixtures.cmake configures into the build tree. cmake/mingw-w64-i686.cmake sets the
# triple and processor for 32-bit executables first and then reads this file.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT KORVENA_MINGW_TRIPLE)
  set(KORVENA_MINGW_TRIPLE x86_64-w64-mingw32)
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
endif()
set(CMAKE_C_COMPILER ${KORVENA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVENA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVENA_MINGW_TRIPLE}-windres)
# The release's tools: strip for the packaged korvena.exe, objdump for its checks.
set(CMAKE_STRIP /usr/bin/${KORVENA_MINGW_TRIPLE}-strip)
set(CMAKE_OBJDUMP /usr/bin/${KORVENA_MINGW_TRIPLE}-objdump)

# Headers and libraries from the MinGW tree only; build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${KORVENA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every executable carries libgcc, libstdc++ and winpthread inside: without -static an exe
# needs libstdc++-6.dll and, under Wine, silently exits with code 53.
# -municode / -mwindows are per target: GUI executables set them themselves.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Cross-built executables run through this wrapper (add_test with a target as COMMAND).
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/wine-run.sh")
