# Each library is the set of sources in its folder and in the SUBFOLDERS named (its rooms), so
# adding a file needs no edit here. A folder's main.cpp, if any, becomes the program named by
# PROGRAM, linked with that library.
function(vexa_library name)
  cmake_parse_arguments(ARG "" "PROGRAM" "DEPS;SUBFOLDERS" ${ARGN})
  set(patterns ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(folder ${ARG_SUBFOLDERS})
    list(APPEND patterns ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${patterns})
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} Threads::Threads)
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS} Threads::Threads)
  endif()
  if(ARG_PROGRAM AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
    add_executable(${ARG_PROGRAM} main.cpp)
    target_link_libraries(${ARG_PROGRAM} PRIVATE ${name})
    target_compile_definitions(${ARG_PROGRAM} PRIVATE VEXA_VERSION="${PROJECT_VERSION}")
  endif()
endfunction()

# A Qt library: the sources of its folder and of the SUBFOLDERS named, with the Qt headers of
# VEXA_QT_PRECOMPILED parsed once. The first one built precompiles them; the others reuse that.
function(vexa_qt_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;SUBFOLDERS" ${ARGN})
  set(patterns ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(folder ${ARG_SUBFOLDERS})
    list(APPEND patterns ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${patterns})
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  add_library(${name} STATIC ${sources})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  if(TARGET vexa_ui_core AND NOT name STREQUAL "vexa_ui_core")
    target_precompile_headers(${name} REUSE_FROM vexa_ui_core)
  else()
    target_precompile_headers(${name} PRIVATE ${VEXA_QT_PRECOMPILED})
  endif()
endfunction()

# One test program per folder of tests/ (its subfolders, which follow the rooms of src/, included),
# linked with the libraries it tests. Its files include the helpers of their own subfolder by name.
# LABELS threaded marks the programs that the thread-sanitizer run repeats. COST marks the programs
# whose tests start whole programs: ctest starts the costliest first, so that the many short unit
# tests fill the end of a parallel run instead of one long journey running there alone.
# Qt test programs (DEPS naming one of the Qt libraries) bring their own main, which selects the
# offscreen platform.
function(vexa_test_folder name)
  cmake_parse_arguments(ARG "" "COST" "DEPS;LABELS;READS_SOURCE_DIR" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name}_tests ${sources})
  target_link_libraries(${name}_tests PRIVATE ${ARG_DEPS} vexa_test_support GTest::gtest GTest::gmock)
  # GoogleTest's headers are most of each test file's compile time; they are parsed once per program.
  target_precompile_headers(${name}_tests PRIVATE <gtest/gtest.h> <gmock/gmock.h>)
  set(qt_libraries vexa_ui_core vexa_views vexa_app)
  set(uses_qt FALSE)
  foreach(library ${qt_libraries})
    if(library IN_LIST ARG_DEPS)
      set(uses_qt TRUE)
    endif()
  endforeach()
  if(uses_qt)
    target_precompile_headers(${name}_tests PRIVATE ${VEXA_QT_PRECOMPILED})
    target_link_libraries(${name}_tests PRIVATE vexa_qt_test)
  else()
    target_link_libraries(${name}_tests PRIVATE GTest::gtest_main)
  endif()
  # Only the files named under READS_SOURCE_DIR get the checkout's path, so the other objects are
  # alike in every checkout and a compiler cache can share them.
  foreach(source ${ARG_READS_SOURCE_DIR})
    set_property(SOURCE ${source} APPEND PROPERTY COMPILE_DEFINITIONS
                 VEXA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  endforeach()
  # gtest_discover_tests flattens a list given as one property value, so each program carries one
  # label: "threaded" where it applies, else its folder's name.
  if(ARG_LABELS)
    set(label ${ARG_LABELS})
  else()
    set(label ${name})
  endif()
  if(NOT ARG_COST)
    set(ARG_COST 0)
  endif()
  gtest_discover_tests(${name}_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${label} COST ${ARG_COST})
endfunction()
