# Build rules shared by both builds: compiler settings, and the helpers that
# make tests, fuzzers and benchmarks over the layer libraries
# (cmake/VornexLayers.cmake).

set(VORNEX_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
get_filename_component(VORNEX_ROOT ${VORNEX_ROOT} ABSOLUTE)

if(WIN32)
  # WIN32_LEAN_AND_MEAN keeps winsock 1 out of windows.h, so that any header
  # may include windows.h first and a source that needs sockets still gets
  # winsock2 (the runtime's sources).
  add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601)
  add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-cast-function-type)
  # Baseline processor: SSE2. The embedded browser engine requires an
  # SSE3-class processor, so nothing that runs the program lacks SSE2, and
  # the product and its tests use the same (vector) text scanners. The
  # compiler realigns the stack where SSE code needs it (callbacks from the
  # system may arrive with 4-byte alignment); x87 stays the float unit.
  add_compile_options(-msse2)
  # Static runtime so that no mingw DLL travels with the executables.
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

# The project's own code builds without warnings in both builds; any new one
# fails the build. (Third-party code built here, GoogleTest, opts out.)
option(VORNEX_WERROR "Treat compiler warnings as errors" ON)
if(VORNEX_WERROR)
  add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-Werror>)
endif()

# A GoogleTest executable. Portable tests (no WINDOWS_ONLY) build in both
# builds; in the Windows build CTest runs them under Wine. LAYERS names the
# layers under test (base, markup, images, paint, render, ...; see
# cmake/VornexLayers.cmake); their targets and everything below are linked.
#   vornex_add_test(NAME <name> SOURCES <files...> LAYERS <layers...>
#                   [WINDOWS_ONLY] [LIBS <libs...>]
#                   [TIMEOUT <seconds>] [RESOURCES] [LABELS <labels>]
#                   [WRAPPER <command...>] [SCREEN])
# SCREEN marks a test that reads screen pixels or moves the real pointer.
# WRAPPER runs the test through a command that takes the test's own command
# line after its arguments (for example a service the test talks to).
function(vornex_add_test)
  cmake_parse_arguments(T "WINDOWS_ONLY;RESOURCES;SCREEN" "NAME;TIMEOUT" "SOURCES;LAYERS;LIBS;LABELS;WRAPPER" ${ARGN})
  if(T_WINDOWS_ONLY AND NOT WIN32)
    return()
  endif()
  set(_src ${T_SOURCES})
  if(WIN32 AND T_RESOURCES AND TARGET vornex_resources)
    # Links the skin archive (DAT 130), manifest and icons into the test.
    list(APPEND _src $<TARGET_OBJECTS:vornex_resources>)
  endif()
  add_executable(${T_NAME} ${_src})
  set(_layer_targets "")
  foreach(layer IN LISTS T_LAYERS)
    vornex_layer_target(_t ${layer})
    list(APPEND _layer_targets ${_t})
  endforeach()
  target_link_libraries(${T_NAME} PRIVATE ${_layer_targets} ${T_LIBS} GTest::gtest_main GTest::gmock)
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
  if(T_SCREEN)
    # Shows windows on the shared screen, reads its pixels or moves the
    # real mouse pointer: runs alone on the test session's display, or two
    # such tests would cover, click into and paint over each other's
    # windows (and take each other's activation). The marker tells the
    # test's windows that they may take the activation.
    # Appended, so that a lock a test's folder adds later does not replace
    # this one (add further locks with APPEND as well).
    set_property(TEST ${T_NAME} APPEND PROPERTY RESOURCE_LOCK vornex_screen)
    set_property(TEST ${T_NAME} APPEND PROPERTY ENVIRONMENT VORNEX_TEST_OWNS_SCREEN=1)
  endif()
endfunction()

# A libFuzzer target over the sanitised portable layers (native clang build
# only): vornex_add_fuzzer(<name> <layer> <sources...>).
function(vornex_add_fuzzer name layer)
  if(WIN32 OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang" OR NOT VORNEX_SANITIZE)
    return()
  endif()
  add_executable(${name} ${ARGN})
  vornex_layer_target(_t ${layer})
  target_link_libraries(${name} PRIVATE ${_t})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()

# A benchmark over the optimised, unsanitised copy of a portable layer
# (native build): vornex_add_bench(<name> <layer> <sources...>). Benchmarks
# print their figures and never fail on time.
function(vornex_add_bench name layer)
  if(WIN32)
    return()
  endif()
  add_executable(${name} ${ARGN})
  vornex_layer_target(_t ${layer})
  target_link_libraries(${name} PRIVATE ${_t}_bench)
  target_compile_options(${name} PRIVATE -O2)
endfunction()
