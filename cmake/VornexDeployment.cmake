# Values of the deployment: where the URL-shortening service lives and what
# version the windows show. Each is a cache variable with one default, the
# demo service in service/ on loopback port 80; set another with
# -D<NAME>=<value> when configuring.
#
# The values reach the program in two ways:
#  - the generated header VornexDeployment.h (include "VornexDeployment.h"),
#    which defines each value as a narrow UTF-8 literal <NAME> and as a wide
#    literal <NAME>_W;
#  - the placeholder @VORNEX_START_URL@ of skin/MainWnd.xml, filled when the
#    skin is packed (res/CMakeLists.txt).

# Writes a generated file only when its text changes, so that a reconfigure
# rebuilds nothing that did not change. (file(CONFIGURE) would also expand
# @...@ and ${...} inside the values.)
function(vornex_write_if_changed path content)
  if(EXISTS "${path}")
    file(READ "${path}" _old)
    if(_old STREQUAL content)
      return()
    endif()
  endif()
  file(WRITE "${path}" "${content}")
endfunction()

set(VORNEX_SERVICE_HOST "127.0.0.1" CACHE STRING
    "Host of the service: the promotion feed /api.dat is fetched from it on port 80")
set(VORNEX_HOME_URL "http://${VORNEX_SERVICE_HOST}/" CACHE STRING
    "Home page that the title bar's home and contact buttons open in the default browser")
set(VORNEX_START_URL "http://${VORNEX_SERVICE_HOST}/" CACHE STRING
    "Start page of the embedded browser (the url of web1 in MainWnd.xml)")
set(VORNEX_VERSION_TEXT "1.0" CACHE STRING
    "Version text shown after the product name in the window titles")

set(VORNEX_DEPLOYMENT_VALUES VORNEX_SERVICE_HOST VORNEX_HOME_URL VORNEX_START_URL VORNEX_VERSION_TEXT)

foreach(_name IN LISTS VORNEX_DEPLOYMENT_VALUES)
  if("${${_name}}" STREQUAL "")
    message(FATAL_ERROR "${_name} must not be empty")
  endif()
  if("${${_name}}" MATCHES "[\r\n]")
    message(FATAL_ERROR "${_name} must be a single line")
  endif()
endforeach()

set(_header "// Generated from cmake/VornexDeployment.cmake; do not edit.\n#pragma once\n")
foreach(_name IN LISTS VORNEX_DEPLOYMENT_VALUES)
  string(REPLACE "\\" "\\\\" _literal "${${_name}}")
  string(REPLACE "\"" "\\\"" _literal "${_literal}")
  string(APPEND _header "#define ${_name} \"${_literal}\"\n#define ${_name}_W L\"${_literal}\"\n")
endforeach()
set(VORNEX_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
vornex_write_if_changed(${VORNEX_GENERATED_DIR}/VornexDeployment.h "${_header}")
include_directories(${VORNEX_GENERATED_DIR})
unset(_header)
unset(_literal)
unset(_name)
