# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads, for
# std::thread and friends) and the runtime linked in, so the programs run on a
# bare Windows machine without any DLL beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VORENTA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VORENTA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORENTA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VORENTA_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VORENTA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# GCC 12 at -O2 takes "text" + std::string(...) for an overlapping memcpy
# (GCC bug 105329) and warns -Wrestrict inside <string>; with warnings as
# errors the release build would fail on correct code.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

# Wine runs the programs the build itself starts (test discovery) and the
# tests. Debian keeps the 64-bit loader outside PATH.
find_program(VORENTA_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine /usr/libexec/wine
             NO_CMAKE_FIND_ROOT_PATH)
if(VORENTA_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VORENTA_WINE64})
endif()
