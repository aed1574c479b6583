# Cross-compiling for Windows with Debian's MinGW-w64 compilers. Included by the
# per-architecture toolchain files, which set TESSARIN_MINGW_TRIPLET first.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model: the win32 one has no std::thread, std::mutex or
# std::condition_variable, which GoogleTest and the standard library rely on.
set(CMAKE_C_COMPILER ${TESSARIN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSARIN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSARIN_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TESSARIN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes and winpthread are linked in, so the programs import Windows
# system DLLs only and run from any folder without MinGW's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
