# scenario starts like a small program: the shared libraries it names (readelf -d) are the C library's
# alone, and the C++ runtime's when that is not linked into it. The window toolkit and the picture
# libraries are scenario-graphics' only.
#
#   cmake -DPROGRAM=build/scenario -DSTATIC_RUNTIME=ON|OFF -DSANITIZE=ON|OFF -P check_lean_start.cmake

cmake_minimum_required(VERSION 3.22)

set(allowed "^(libc\\.so|libm\\.so|ld-linux)")
if(NOT STATIC_RUNTIME)
  string(APPEND allowed "|^(libstdc\\+\\+\\.so|libgcc_s\\.so)")
endif()
if(SANITIZE)
  string(APPEND allowed "|^(libasan|libubsan)\\.so")
endif()

execute_process(COMMAND readelf -d ${PROGRAM} OUTPUT_VARIABLE dynamic RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "readelf -d ${PROGRAM} failed")
endif()
string(REGEX MATCHALL "Shared library: \\[[^]]+\\]" entries "${dynamic}")
set(needed "")
set(refused "")
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "Shared library: \\[([^]]+)\\]" "\\1" library "${entry}")
  list(APPEND needed ${library})
  if(NOT library MATCHES "${allowed}")
    list(APPEND refused ${library})
  endif()
endforeach()
if(NOT needed MATCHES "libc\\.so")
  message(FATAL_ERROR "${PROGRAM} names no C library: is it a dynamic program? (${needed})")
endif()
if(refused)
  list(JOIN refused " " refused)
  message(FATAL_ERROR "${PROGRAM} loads ${refused} at its start: beyond the C library (and the C++ runtime "
                      "when it is not linked in), the libraries are scenario-graphics' alone")
endif()
message(STATUS "${PROGRAM} loads only ${needed}")
