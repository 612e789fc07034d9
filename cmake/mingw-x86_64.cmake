# Cross toolchain: 64-bit Windows with mingw-w64 (posix threads). Used for the
# test build on machines whose kernel runs no 32-bit programs (see
# tools/wine-env.sh); the product itself is the 32-bit build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VORNEX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${VORNEX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORNEX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${VORNEX_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VORNEX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Test executables run through Wine inside an X server.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)
