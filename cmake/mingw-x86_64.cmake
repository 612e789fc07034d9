# Cross toolchain: 64-bit Windows with mingw-w64 (posix threads). Used for the
# test build on machines whose kernel runs no 32-bit programs (see
# tools/wine-env.sh); the product itself is the 32-bit build.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VORNEX_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
