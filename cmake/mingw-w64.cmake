# Cross-compiles the Windows build on Linux with Debian's MinGW-w64 (POSIX threads flavour,
# for std::thread and std::mutex). The results run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TALLOW_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TALLOW_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALLOW_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TALLOW_MINGW_TRIPLET}-windres)

# Headers and libraries come from the MinGW sysroot only; programs (the build tools) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TALLOW_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
