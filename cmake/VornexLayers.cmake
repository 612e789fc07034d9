# The program is built as a stack of layers, one library target per layer,
# each linking only the layers below it:
#
#   base -> markup -> images -> paint -> render -> controls -> builder
#        -> windows -> browser -> app
#   base -> feed -> app            runtime_api -> browser, app
#
# A layer names the source folders (or files) that belong to it; the include
# check (tools/check-layers.py, CTest "layer_includes") reads the same table
# and fails when a file includes a header of a layer that is not below its
# own, or when two folders include each other.
#
# Adding sources to a layer is one line in the folder's CMakeLists.txt:
#   vornex_layer_sources(controls ButtonUI.cpp LabelUI.cpp)   # Windows build only
#   vornex_layer_sources(controls PORTABLE AttributeText.cpp) # both builds
# PORTABLE sources reach the operating system only through
# ui/base/Platform.h; the native build compiles them (with the
# sanitizers) for the portable tests and fuzzers, and once more optimised and
# unsanitised into <target>_bench for the benchmarks.
#
# The targets are made by vornex_make_layers() once every folder has
# registered its sources; a layer without sources yet is an INTERFACE target
# that still carries its links, so tests and higher layers can link it today.

set_property(GLOBAL PROPERTY VORNEX_LAYERS "")

# vornex_layer(<name> [TARGET <target>] [EXTERNAL]
#              [FOLDERS <dirs...>] [FILES <globs...>] [DEPENDS <layers...>]
#              [WINDOWS_LIBS <libs...>] [LIBS <libs...>])
# FOLDERS and FILES are relative to the source root; FILES (globs) win over
# FOLDERS, and a deeper folder wins over a shallower one. DEPENDS lists the
# layers directly below. EXTERNAL layers are built by their own folder's
# CMakeLists.txt under TARGET and only join the link graph and the check.
function(vornex_layer name)
  cmake_parse_arguments(L "EXTERNAL" "TARGET" "FOLDERS;FILES;DEPENDS;WINDOWS_LIBS;LIBS" ${ARGN})
  if(NOT L_TARGET)
    set(L_TARGET vornex_${name})
  endif()
  set_property(GLOBAL APPEND PROPERTY VORNEX_LAYERS ${name})
  set_property(GLOBAL PROPERTY VORNEX_LAYER_${name}_TARGET ${L_TARGET})
  set_property(GLOBAL PROPERTY VORNEX_LAYER_${name}_EXTERNAL ${L_EXTERNAL})
  set_property(GLOBAL PROPERTY VORNEX_LAYER_${name}_FOLDERS ${L_FOLDERS})
  set_property(GLOBAL PROPERTY VORNEX_LAYER_${name}_FILES ${L_FILES})
  set_property(GLOBAL PROPERTY VORNEX_LAYER_${name}_DEPENDS ${L_DEPENDS})
  set_property(GLOBAL PROPERTY VORNEX_LAYER_${name}_LIBS ${L_LIBS})
  set_property(GLOBAL PROPERTY VORNEX_LAYER_${name}_WINDOWS_LIBS ${L_WINDOWS_LIBS})
  set_property(GLOBAL PROPERTY VORNEX_LAYER_${name}_SOURCES "")
  set_property(GLOBAL PROPERTY VORNEX_LAYER_${name}_PORTABLE_SOURCES "")
  set_property(GLOBAL PROPERTY VORNEX_LAYER_${name}_ALLOW "")
endfunction()

# vornex_layer_sources(<layer> [PORTABLE] <files...>): see the top of this file.
function(vornex_layer_sources layer)
  cmake_parse_arguments(S "PORTABLE" "" "" ${ARGN})
  get_property(_known GLOBAL PROPERTY VORNEX_LAYERS)
  if(NOT layer IN_LIST _known)
    message(FATAL_ERROR "vornex_layer_sources: no layer '${layer}' (layers: ${_known})")
  endif()
  foreach(src IN LISTS S_UNPARSED_ARGUMENTS)
    get_filename_component(abs ${src} ABSOLUTE)
    if(S_PORTABLE)
      set_property(GLOBAL APPEND PROPERTY VORNEX_LAYER_${layer}_PORTABLE_SOURCES ${abs})
    else()
      set_property(GLOBAL APPEND PROPERTY VORNEX_LAYER_${layer}_SOURCES ${abs})
    endif()
  endforeach()
endfunction()

# vornex_layer_allow_include(<layer> <header...>): headers of a higher layer
# that files of <layer> may still include. Each entry is a known exception
# with a reason next to it, to be removed when the code is untangled.
function(vornex_layer_allow_include layer)
  set_property(GLOBAL APPEND PROPERTY VORNEX_LAYER_${layer}_ALLOW ${ARGN})
endfunction()

# The library target of a layer (for tests and executables).
function(vornex_layer_target out layer)
  get_property(_t GLOBAL PROPERTY VORNEX_LAYER_${layer}_TARGET)
  set(${out} ${_t} PARENT_SCOPE)
endfunction()

function(_vornex_layer_setup target kind)
  target_include_directories(${target} ${kind} ${VORNEX_ROOT})
  target_include_directories(${target} SYSTEM ${kind} ${VORNEX_SYSTEM_INCLUDES})
endfunction()

# Makes one library (or its benchmark twin, suffix "_bench") per layer.
function(_vornex_make_layer name suffix)
  get_property(_target GLOBAL PROPERTY VORNEX_LAYER_${name}_TARGET)
  get_property(_deps GLOBAL PROPERTY VORNEX_LAYER_${name}_DEPENDS)
  get_property(_libs GLOBAL PROPERTY VORNEX_LAYER_${name}_LIBS)
  get_property(_portable GLOBAL PROPERTY VORNEX_LAYER_${name}_PORTABLE_SOURCES)
  set(_sources ${_portable})
  if(WIN32)
    get_property(_win GLOBAL PROPERTY VORNEX_LAYER_${name}_SOURCES)
    get_property(_winlibs GLOBAL PROPERTY VORNEX_LAYER_${name}_WINDOWS_LIBS)
    vornex_windows_libs(_winlibs ${_winlibs})
    list(APPEND _sources ${_win})
    list(APPEND _libs ${_winlibs})
  endif()
  set(_target ${_target}${suffix})
  set(_links "")
  foreach(dep IN LISTS _deps)
    get_property(_dep_target GLOBAL PROPERTY VORNEX_LAYER_${dep}_TARGET)
    get_property(_dep_external GLOBAL PROPERTY VORNEX_LAYER_${dep}_EXTERNAL)
    if(_dep_external)
      if(WIN32 AND NOT suffix)
        list(APPEND _links ${_dep_target})
      endif()
    else()
      list(APPEND _links ${_dep_target}${suffix})
    endif()
  endforeach()
  list(APPEND _links ${_libs})

  if(_sources)
    add_library(${_target} STATIC ${_sources})
    _vornex_layer_setup(${_target} PUBLIC)
    if(WIN32)
      # The delay-load libraries exist before anything links this layer.
      add_dependencies(${_target} vornex_delay_libs)
    endif()
    target_link_libraries(${_target} PUBLIC ${_links})
    if(NOT WIN32)
      if(suffix STREQUAL "_bench")
        target_compile_options(${_target} PRIVATE -O2)
        target_compile_definitions(${_target} PUBLIC NDEBUG)
      elseif(VORNEX_SANITIZE)
        target_compile_options(${_target} PUBLIC ${VORNEX_SANITIZER_FLAGS})
        target_link_options(${_target} PUBLIC ${VORNEX_SANITIZER_FLAGS})
        if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
          # Coverage for the fuzzers; harmless for the unit tests.
          target_compile_options(${_target} PRIVATE -fsanitize=fuzzer-no-link)
        endif()
      endif()
    endif()
  else()
    add_library(${_target} INTERFACE)
    _vornex_layer_setup(${_target} INTERFACE)
    target_link_libraries(${_target} INTERFACE ${_links})
  endif()
endfunction()

# Writes the table that the include check reads: one line per layer,
#   <name>|<folders>|<file globs>|<direct dependencies>|<allowed headers>
function(_vornex_write_layer_map file)
  get_property(_layers GLOBAL PROPERTY VORNEX_LAYERS)
  set(_text "")
  foreach(name IN LISTS _layers)
    get_property(_folders GLOBAL PROPERTY VORNEX_LAYER_${name}_FOLDERS)
    get_property(_files GLOBAL PROPERTY VORNEX_LAYER_${name}_FILES)
    get_property(_deps GLOBAL PROPERTY VORNEX_LAYER_${name}_DEPENDS)
    get_property(_allow GLOBAL PROPERTY VORNEX_LAYER_${name}_ALLOW)
    string(REPLACE ";" " " _folders "${_folders}")
    string(REPLACE ";" " " _files "${_files}")
    string(REPLACE ";" " " _deps "${_deps}")
    string(REPLACE ";" " " _allow "${_allow}")
    string(APPEND _text "${name}|${_folders}|${_files}|${_deps}|${_allow}\n")
  endforeach()
  vornex_write_if_changed(${file} "${_text}")
endfunction()

macro(vornex_make_layers)
  get_property(_vx_layers GLOBAL PROPERTY VORNEX_LAYERS)
  foreach(_vx_layer IN LISTS _vx_layers)
    get_property(_vx_external GLOBAL PROPERTY VORNEX_LAYER_${_vx_layer}_EXTERNAL)
    if(NOT _vx_external)
      _vornex_make_layer(${_vx_layer} "")
      if(NOT WIN32)
        _vornex_make_layer(${_vx_layer} "_bench")
      endif()
    endif()
  endforeach()
  set(VORNEX_LAYER_MAP ${CMAKE_BINARY_DIR}/layers.map)
  _vornex_write_layer_map(${VORNEX_LAYER_MAP})
endmacro()
