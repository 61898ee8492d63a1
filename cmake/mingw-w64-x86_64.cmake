# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread model, so std::thread
# and std::mutex work). Everything is linked statically: plenum.exe runs with no DLL beside it.
#
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DPLENUM_GTEST_PREFIX=... ...
#
# PLENUM_GTEST_PREFIX is where GoogleTest, cross-built from /usr/src/googletest, is installed
# (scripts/build-windows.sh builds it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
if(PLENUM_GTEST_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${PLENUM_GTEST_PREFIX})
endif()
# Programs (flex, bison, gzip) come from the build machine, libraries only from the target.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# MinGW's own C99 printf family instead of the system's: %zu, %lld and the exponent digits
# print as they do on Linux. GCC still checks format(printf) strings against the system's
# printf, which lacks %zu; the Linux build checks them against the C99 rules we print by.
set(CMAKE_C_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1 -Wno-format")
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1 -Wno-format")

# libgcc, libstdc++ and winpthread linked in; no libwinpthread-1.dll or libstdc++-6.dll needed.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and build steps that run a built .exe run it under Wine.
find_program(PLENUM_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(PLENUM_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PLENUM_WINE})
endif()
