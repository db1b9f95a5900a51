# The layers of src/: each folder is one static library that links only the folders it names below
# it, and its unit tests (the *_test.cpp files beside the code) are one test program.
#
#   scenario_layer(NAME [DEPENDS folder...] [LIBRARIES target...] [TEST_DEPENDS folder...])
#
# DEPENDS are folders of src/ this one may include and call; LIBRARIES are outside libraries;
# TEST_DEPENDS are further folders only the unit tests use (fixtures such as the embedded scenario).
# Each layer's tests carry the layer's name as their ctest label (`ctest -L compiler`), which is how
# `./test.sh LAYER` and `./test.sh quick` pick them.
# Every layer is recorded with its folders, so that the layers test can refuse an include that runs
# upward (tests/check_layers.cmake).

set_property(GLOBAL PROPERTY SCENARIO_LAYERS "")

# Code that only one system builds sits beside the other's: x_posix.cpp and x_windows.cpp (and their
# x_posix_test.cpp, x_windows_test.cpp); the build takes the files of its own system.
#
# The Linux build makes two programs (CMakeLists.txt): scenario, which starts without the window toolkit
# and the picture libraries, and scenario-graphics, which has them. The files that need one of those
# libraries, or that one program has in place of the other's, are a layer's parts, named by their
# ending: x_fltk.cpp (the window toolkit), x_windowless.cpp (what scenario has in their place), x_cairo.cpp
# (the pictures). The layer's library leaves them out; scenario_layer_part() makes each ending a library
# of its own, and each program links the parts it needs. The Windows build has no parts.
set(SCENARIO_PART_ENDINGS fltk windowless cairo)
list(JOIN SCENARIO_PART_ENDINGS "|" part_endings)
set(SCENARIO_PARTS "_(${part_endings})\\.cpp$")
if(WIN32)
  set(SCENARIO_OTHER_SYSTEM "_(posix|${part_endings})(_test)?\\.cpp$")
else()
  set(SCENARIO_OTHER_SYSTEM "_windows(_test)?\\.cpp$")
endif()

# A test of the cross build, run under the emulator (Wine): quiet, in the build's own prefix, and headless
# like CI's machine.
function(scenario_emulated_test test)
  set_tests_properties(${test} PROPERTIES
    ENVIRONMENT "WINEDEBUG=-all;WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix"
    ENVIRONMENT_MODIFICATION "DISPLAY=unset:;WAYLAND_DISPLAY=unset:"
    TIMEOUT 900)
endfunction()

function(scenario_layer name)
  cmake_parse_arguments(LAYER "" "" "DEPENDS;LIBRARIES;TEST_DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "_test\\.cpp$|[/_]main\\.cpp$|${SCENARIO_OTHER_SYSTEM}|${SCENARIO_PARTS}")
  list(TRANSFORM LAYER_DEPENDS PREPEND scenario_ OUTPUT_VARIABLE depends)
  add_library(scenario_${name} STATIC ${sources})
  target_include_directories(scenario_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(scenario_${name} PUBLIC ${depends} ${LAYER_LIBRARIES})

  string(JOIN "," folders ${LAYER_DEPENDS})
  set_property(GLOBAL APPEND PROPERTY SCENARIO_LAYERS "${name}:${folders}")

  if(SCENARIO_TESTS)
    file(GLOB tests CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*_test.cpp)
    list(FILTER tests EXCLUDE REGEX "${SCENARIO_OTHER_SYSTEM}")
    if(tests)
      list(TRANSFORM LAYER_TEST_DEPENDS PREPEND scenario_ OUTPUT_VARIABLE test_depends)
      add_executable(${name}_tests ${tests})
      target_link_libraries(${name}_tests PRIVATE scenario_${name} ${test_depends} GTest::gtest GTest::gtest_main)
      target_include_directories(${name}_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
      if(CMAKE_CROSSCOMPILING)
        # One start of the emulator for the whole program: a start per test would take minutes.
        add_test(NAME ${name}_tests COMMAND ${name}_tests)
        scenario_emulated_test(${name}_tests)
        set_tests_properties(${name}_tests PROPERTIES LABELS ${name})
      else()
        gtest_discover_tests(${name}_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${name})
      endif()
    endif()
  endif()
endfunction()

# scenario_layer_part(LAYER ENDING [LIBRARIES target...]): the files src/LAYER/*_ENDING.cpp as the library
# scenario_LAYER_ENDING, on the layer's own library and the outside LIBRARIES they need. The part may
# include what its layer may include (the layers test reads it as a file of the layer's folder).
function(scenario_layer_part layer ending)
  cmake_parse_arguments(PART "" "" "LIBRARIES" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${layer}/*_${ending}.cpp)
  add_library(scenario_${layer}_${ending} STATIC ${sources})
  target_link_libraries(scenario_${layer}_${ending} PUBLIC scenario_${layer} ${PART_LIBRARIES})
endfunction()
