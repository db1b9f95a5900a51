# scenario starts like a small program. Linked statically (STATIC_RUNTIME=ON, the build's default): no
# program interpreter (readelf -l: no INTERP header, so no dynamic loader runs before it) and no shared
# library (readelf -d: no NEEDED entry), position-independent (an ELF of type DYN, its addresses random), and
# none of the C library's lookups that load modules at run time (host names, users, groups: nm), which in a
# static program must come from the very C library it was linked with; the code its small commands run
# laid out first (cmake/hot_code.ld). Otherwise (the sanitizers, or STATIC_RUNTIME=OFF): the shared
# libraries it names are the C library's alone, and the C++ runtime's. The window toolkit and the picture
# libraries are scenario-graphics' only.
#
# The ELF headers are what the system's loader itself reads, so they say what happens at the start
# whatever a tool such as ldd or file prints about them.
#
#   cmake -DPROGRAM=build/scenario -DSTATIC_RUNTIME=ON|OFF -DSANITIZE=ON|OFF -P check_lean_start.cmake

cmake_minimum_required(VERSION 3.22)

execute_process(COMMAND readelf -d ${PROGRAM} OUTPUT_VARIABLE dynamic RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "readelf -d ${PROGRAM} failed")
endif()
string(REGEX MATCHALL "Shared library: \\[[^]]+\\]" entries "${dynamic}")
set(needed "")
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "Shared library: \\[([^]]+)\\]" "\\1" library "${entry}")
  list(APPEND needed ${library})
endforeach()

if(STATIC_RUNTIME)
  execute_process(COMMAND readelf -h -l ${PROGRAM} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "readelf -h -l ${PROGRAM} failed")
  endif()
  if(headers MATCHES "[ \n]INTERP[ \n]")
    string(REGEX MATCH "Requesting program interpreter: [^]]+" interpreter "${headers}")
    message(FATAL_ERROR "${PROGRAM} is not linked statically: it asks for a program interpreter (${interpreter})")
  endif()
  if(needed)
    list(JOIN needed " " needed)
    message(FATAL_ERROR "${PROGRAM} is not linked statically: it names the shared libraries ${needed}")
  endif()
  if(NOT headers MATCHES "Type:[ ]+DYN")
    message(FATAL_ERROR "${PROGRAM} is not position-independent (readelf -h: not of type DYN): its addresses "
                        "are the same at every start")
  endif()
  execute_process(COMMAND nm --defined-only ${PROGRAM} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed
                  ERROR_QUIET)
  if(failed OR NOT symbols MATCHES "[ \n]main\n")
    message(FATAL_ERROR "nm ${PROGRAM} lists no symbols (is it stripped?): what it links cannot be checked")
  endif()
  # The lookups the linker warns about ("Using 'getaddrinfo' in statically linked applications requires
  # at runtime the shared libraries from the glibc version used for linking").
  set(loading "(getaddrinfo|getnameinfo|gethostby[a-z0-9]+|getservby[a-z]+|getprotoby[a-z]+|getpw(nam|uid|ent)|getgr(nam|gid|ent|ouplist)|initgroups)(_r)?")
  string(REGEX MATCHALL "[0-9a-f]+ [TtWw] ${loading}\n" found "${symbols}")
  if(found)
    list(TRANSFORM found REPLACE "[0-9a-f]+ [TtWw] ([^\n]+)\n" "\\1")
    list(JOIN found ", " found)
    message(FATAL_ERROR "${PROGRAM} holds ${found}, which load the C library's modules at run time: in a static "
                        "program those must come from the very C library it was linked with")
  endif()
  # The code that small commands run comes first, in the order of cmake/hot_code.ld: the program's start
  # and the allocator lie in that section (a build without a section per function, or a link without the
  # list, leaves them elsewhere).
  execute_process(COMMAND readelf -S -W ${PROGRAM} OUTPUT_VARIABLE sections RESULT_VARIABLE failed)
  if(failed OR NOT sections MATCHES "\\.text\\.hot_path +PROGBITS +([0-9a-f]+) +[0-9a-f]+ +([0-9a-f]+)")
    message(FATAL_ERROR "${PROGRAM} has no section .text.hot_path: the link did not use cmake/hot_code.ld")
  endif()
  math(EXPR hot_start "0x${CMAKE_MATCH_1}" OUTPUT_FORMAT DECIMAL)
  math(EXPR hot_end "0x${CMAKE_MATCH_1} + 0x${CMAKE_MATCH_2}" OUTPUT_FORMAT DECIMAL)
  foreach(function main malloc)
    if(NOT symbols MATCHES "(^|\n)([0-9a-f]+) [Tt] ${function}\n")
      message(FATAL_ERROR "nm ${PROGRAM} does not list ${function}")
    endif()
    math(EXPR at "0x${CMAKE_MATCH_2}" OUTPUT_FORMAT DECIMAL)
    if(at LESS hot_start OR NOT at LESS hot_end)
      message(FATAL_ERROR "${function} lies outside .text.hot_path in ${PROGRAM}: the code order of "
                          "cmake/hot_code.ld was not applied (scripts/order-hot-code.sh says how it is made)")
    endif()
  endforeach()
  message(STATUS "${PROGRAM} is a static position-independent program, with no run-time lookup of the C library, "
                 "its small commands' code first")
  return()
endif()

set(allowed "^(libc\\.so|libm\\.so|ld-linux|libstdc\\+\\+\\.so|libgcc_s\\.so)")
if(SANITIZE)
  string(APPEND allowed "|^(libasan|libubsan)\\.so")
endif()
set(refused "")
foreach(library IN LISTS needed)
  if(NOT library MATCHES "${allowed}")
    list(APPEND refused ${library})
  endif()
endforeach()
if(NOT needed MATCHES "libc\\.so")
  message(FATAL_ERROR "${PROGRAM} names no C library: is it a dynamic program? (${needed})")
endif()
if(refused)
  list(JOIN refused " " refused)
  message(FATAL_ERROR "${PROGRAM} loads ${refused} at its start: beyond the C library and the C++ runtime, the "
                      "libraries are scenario-graphics' alone")
endif()
message(STATUS "${PROGRAM} loads only ${needed}")
