# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The program comes out as one scenario.exe that needs no DLL beside it: libstdc++, libgcc and the
# threads library are linked statically. With wine64 installed, the unit tests run under Wine through
# CMake's cross-compiling emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SCENARIO_MINGW_PREFIX x86_64-w64-mingw32)
# The posix flavour: std::thread and std::mutex come from winpthreads.
set(CMAKE_C_COMPILER ${SCENARIO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SCENARIO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SCENARIO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SCENARIO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Nothing of the compiler's runtime is left to a DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(SCENARIO_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT SCENARIO_WINE)
  find_program(SCENARIO_WINE NAMES wine64 wine)
endif()
if(SCENARIO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SCENARIO_WINE})
endif()
