# Build rules shared by both builds: the portable core library, the Windows
# framework library, and the helpers that make tests, fuzzers and benchmarks.

set_property(GLOBAL PROPERTY VORNEX_CORE_SOURCES "")
set_property(GLOBAL PROPERTY VORNEX_WIN_SOURCES "")

# Portable core: value types and parsers of untrusted bytes. Builds everywhere.
function(vornex_core_sources)
  foreach(src IN LISTS ARGN)
    get_filename_component(abs ${src} ABSOLUTE)
    set_property(GLOBAL APPEND PROPERTY VORNEX_CORE_SOURCES ${abs})
  endforeach()
endfunction()

# Windows-only sources of the framework and the shell (not the entry point).
function(vornex_win_sources)
  foreach(src IN LISTS ARGN)
    get_filename_component(abs ${src} ABSOLUTE)
    set_property(GLOBAL APPEND PROPERTY VORNEX_WIN_SOURCES ${abs})
  endforeach()
endfunction()

set(VORNEX_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
get_filename_component(VORNEX_ROOT ${VORNEX_ROOT} ABSOLUTE)

if(WIN32)
  # Static runtime so that no mingw DLL travels with the executables.
  add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-cast-function-type)
  # Baseline processor: SSE2. The embedded browser engine requires an
  # SSE3-class processor, so nothing that runs the program lacks SSE2, and
  # the product and its tests use the same (vector) text scanners. The
  # compiler realigns the stack where SSE code needs it (callbacks from the
  # system may arrive with 4-byte alignment); x87 stays the float unit.
  add_compile_options(-msse2)
  add_link_options(-static -static-libgcc -static-libstdc++)
  # The cross compiler does not search /usr/include; stb and nlohmann-json
  # are header-only and come from Debian, so add exactly those folders.
  set(VORNEX_SYSTEM_INCLUDES /usr/include/stb)
  find_package(ZLIB REQUIRED)
else()
  option(VORNEX_SANITIZE "Build the native core and its tests with ASan and UBSan" ON)
  add_compile_options(-Wall -Wextra -Wno-unused-parameter)
  if(VORNEX_SANITIZE)
    set(VORNEX_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  endif()
  find_package(ZLIB REQUIRED)
  set(VORNEX_SYSTEM_INCLUDES /usr/include/stb)
endif()

function(vornex_setup_core_target target)
  target_include_directories(${target} PUBLIC ${VORNEX_ROOT})
  target_include_directories(${target} SYSTEM PUBLIC ${VORNEX_SYSTEM_INCLUDES})
  target_link_libraries(${target} PUBLIC ZLIB::ZLIB)
endfunction()

macro(vornex_make_libraries)
  get_property(_core GLOBAL PROPERTY VORNEX_CORE_SOURCES)
  get_property(_win GLOBAL PROPERTY VORNEX_WIN_SOURCES)
  add_library(vornex_core STATIC ${_core})
  vornex_setup_core_target(vornex_core)
  if(WIN32)
    if(_win)
      add_library(vornex_win STATIC ${_win})
    else()
      add_library(vornex_win INTERFACE)
    endif()
    get_target_property(_type vornex_win TYPE)
    if(_type STREQUAL "INTERFACE_LIBRARY")
      target_link_libraries(vornex_win INTERFACE vornex_core)
    else()
      target_link_libraries(vornex_win PUBLIC vornex_core gdi32 user32 msimg32 gdiplus comctl32 imm32 ole32 oleaut32 shell32 shlwapi wininet uuid)
    endif()
  else()
    if(VORNEX_SANITIZE)
      target_compile_options(vornex_core PUBLIC ${VORNEX_SANITIZER_FLAGS})
      target_link_options(vornex_core PUBLIC ${VORNEX_SANITIZER_FLAGS})
      if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        # Coverage for the fuzzers; harmless for the unit tests.
        target_compile_options(vornex_core PRIVATE -fsanitize=fuzzer-no-link)
      endif()
    endif()
    # Optimised, unsanitised copy of the core for benchmarks.
    add_library(vornex_core_bench STATIC ${_core})
    vornex_setup_core_target(vornex_core_bench)
    target_compile_options(vornex_core_bench PRIVATE -O2)
    target_compile_definitions(vornex_core_bench PUBLIC NDEBUG)
  endif()
endmacro()

# A GoogleTest executable. Portable tests (no WINDOWS_ONLY) build in both
# builds; in the Windows build CTest runs them under Wine.
#   vornex_add_test(NAME <name> SOURCES <files...> [WINDOWS_ONLY] [LIBS <libs...>]
#                   [TIMEOUT <seconds>] [RESOURCES] [LABELS <labels>]
#                   [WRAPPER <command...>])
# WRAPPER runs the test through a command that takes the test's own command
# line after its arguments (for example a service the test talks to).
function(vornex_add_test)
  cmake_parse_arguments(T "WINDOWS_ONLY;RESOURCES" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS;WRAPPER" ${ARGN})
  if(T_WINDOWS_ONLY AND NOT WIN32)
    return()
  endif()
  set(_src ${T_SOURCES})
  if(WIN32 AND T_RESOURCES AND TARGET vornex_resources)
    # Links the skin archive (DAT 130), manifest and icons into the test.
    list(APPEND _src $<TARGET_OBJECTS:vornex_resources>)
  endif()
  add_executable(${T_NAME} ${_src})
  if(WIN32)
    target_link_libraries(${T_NAME} PRIVATE vornex_win GTest::gtest_main GTest::gmock ${T_LIBS})
  else()
    target_link_libraries(${T_NAME} PRIVATE vornex_core GTest::gtest_main GTest::gmock ${T_LIBS})
  endif()
  if(T_WRAPPER)
    # The emulator is only added implicitly when the command is the target.
    add_test(NAME ${T_NAME} COMMAND ${T_WRAPPER} ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${T_NAME}>)
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# A libFuzzer target over the sanitised core (native clang build only).
function(vornex_add_fuzzer name)
  if(WIN32 OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang" OR NOT VORNEX_SANITIZE)
    return()
  endif()
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE vornex_core)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()

# A benchmark over the optimised core (native build). Benchmarks print their
# figures and never fail on time.
function(vornex_add_bench name)
  if(WIN32)
    return()
  endif()
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE vornex_core_bench)
  target_compile_options(${name} PRIVATE -O2)
endfunction()
