# The 64-bit MinGW-w64 cross compiler: only for running the tests under a
# Wine that cannot run 32-bit programs (a host kernel without 32-bit support).
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(KELPRA_MINGW x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
