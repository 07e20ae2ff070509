# The part of the MinGW-w64 cross toolchains that both architectures share: the including file
# sets CMAKE_SYSTEM_PROCESSOR and PAVIX_MINGW_PREFIX first. Test programs run under Wine through
# tools/pavix-wine, which picks the loader this machine can execute.
set(CMAKE_SYSTEM_NAME Windows)

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

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/pavix-wine)
