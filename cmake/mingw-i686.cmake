# Cross-compiles the 32-bit Windows build with MinGW-w64 (posix threads) and runs its test
# programs under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(PAVIX_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${PAVIX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PAVIX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PAVIX_MINGW_PREFIX}-windres)
set(CMAKE_AR ${PAVIX_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${PAVIX_MINGW_PREFIX}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${PAVIX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything static, so that the executables need no DLL beyond the system's own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(PAVIX_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PAVIX_WINE})
