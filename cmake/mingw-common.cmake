# What the MinGW-w64 toolchain files share; they set KELPRA_MINGW first.
# The posix thread model: the program itself needs no threads, but GoogleTest
# uses std::mutex, which the win32 model of this compiler lacks. With static
# linking winpthread goes into the programs, so no extra DLL comes of it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KELPRA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELPRA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${KELPRA_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KELPRA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Only system DLLs at run time: the C++ runtime and winpthread go in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine when one is there (tools/wine-run.sh sets up
# the prefix); ctest picks this up for every add_test of an executable.
get_filename_component(KELPRA_TOOLCHAIN_DIR ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KELPRA_TOOLCHAIN_DIR}/tools/wine-run.sh)
