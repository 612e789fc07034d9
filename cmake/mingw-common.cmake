# The part of the mingw-w64 toolchains that does not depend on the target
# processor; the toolchain files set CMAKE_SYSTEM_PROCESSOR and
# VORNEX_MINGW_PREFIX, then include this.
set(CMAKE_SYSTEM_NAME Windows)
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
