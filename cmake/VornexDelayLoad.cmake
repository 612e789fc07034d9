# System libraries bound on first use (Windows build).
#
# The executable is also every sub-process the browser runtime starts; the
# engine's watchdog, alive as long as the program, needs kernel32 and the
# socket library only. Imported the ordinary way, GDI+, the common controls,
# the shell and OLE would each be loaded and initialised in it too:
# under Wine that is 7.4 MB of private memory for a process that waits on a
# handle, 2.6 MB with them bound on first call. The window libraries (user32,
# gdi32, msimg32) stay ordinary imports: they cost the watchdog nothing
# measurable, and code looks their newer entry points up with
# GetModuleHandle, which must find them loaded. WinInet does too: loaded
# late, Wine finds its preferred address taken and relocates it into 400 KB
# of private pages of the program, where loading it at start costs the
# watchdog 50 KB.
#
#   vornex_windows_libs(<out-var> <library names...>)
# gives the names to link for the given system libraries: the delay-load
# library for those listed below, the name itself for the rest.

set(VORNEX_DELAY_LOADED_LIBS gdiplus comctl32 comdlg32 imm32 ole32 oleaut32 shell32 shlwapi)

if(WIN32)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(_delay_dir ${CMAKE_BINARY_DIR}/delayload)
  set(_delay_outputs "")
  foreach(_lib IN LISTS VORNEX_DELAY_LOADED_LIBS)
    find_library(VORNEX_IMPORT_LIB_${_lib} NAMES ${_lib} REQUIRED)
    set(_out ${_delay_dir}/lib${_lib}_delay.a)
    add_custom_command(
      OUTPUT ${_out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${_delay_dir}
      COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/make-delay-lib.py ${CMAKE_NM} ${CMAKE_DLLTOOL}
              ${VORNEX_IMPORT_LIB_${_lib}} ${_lib}.dll ${_out}
      DEPENDS ${PROJECT_SOURCE_DIR}/tools/make-delay-lib.py ${VORNEX_IMPORT_LIB_${_lib}}
      COMMENT "Delay-load library for ${_lib}.dll"
      VERBATIM)
    list(APPEND _delay_outputs ${_out})
    add_library(vornex_delay_${_lib} STATIC IMPORTED GLOBAL)
    # The loader helper (__delayLoadHelper2) comes from the toolchain.
    set_target_properties(vornex_delay_${_lib} PROPERTIES IMPORTED_LOCATION ${_out} INTERFACE_LINK_LIBRARIES delayimp)
  endforeach()
  add_custom_target(vornex_delay_libs DEPENDS ${_delay_outputs})
endif()

function(vornex_windows_libs out)
  set(_names "")
  foreach(_lib IN LISTS ARGN)
    if(_lib IN_LIST VORNEX_DELAY_LOADED_LIBS)
      list(APPEND _names vornex_delay_${_lib})
    else()
      list(APPEND _names ${_lib})
    endif()
  endforeach()
  set(${out} ${_names} PARENT_SCOPE)
endfunction()
