# k3100_add_test(<name> SOURCES <files...> LIBS <targets...> [ENV <VAR=value...>] [LABEL <label>]
#                [LOCK <resource>] [TIMEOUT <seconds>] [DATA_SOURCE] [RACE])
# One GoogleTest program per call; every test case becomes its own CTest test, and the whole program one
# more, named after it, its cases shuffled in one process (label "whole"). ENV is set for the
# listing and for every test case by starting the program through "cmake -E env" (a list property
# would lose its separators on the way through test discovery). Test cases that share LOCK (a bus
# name, for instance) never run at the same time.
# Labels slice the suite: "unit" unless the call names another ("windows" for offscreen windows,
# "program" for whole programs, "slow" for cases that take seconds each); every case also carries the
# top folder of its sources below tests/ (app, helper, platform, ...), which the race-detector build
# selects by. TIMEOUT bounds each case (120 s unless given; a sanitizer build on a loaded machine is
# several times slower than a plain one). DATA_SOURCE marks a program that loads or links the data
# source: it stays out of the race-detector build, which would otherwise build the data source and the
# page library too. RACE puts an application suite that is clean under the race detector into its build.
find_package(GTest REQUIRED)
include(GoogleTest)

# Every test runs with a home of the build's own, so that what the programs under test keep in a
# user's home (settings, scans in Pictures, the runtime folder's fallback) never reaches the real one.
# The window tests run outside k3100_add_test have it through K3100_QT_TEST_ENV.
set(K3100_TEST_HOME ${CMAKE_BINARY_DIR}/test-home)
file(MAKE_DIRECTORY ${K3100_TEST_HOME})
set(K3100_TEST_HOME_ENV HOME=${K3100_TEST_HOME} --unset=XDG_CONFIG_HOME --unset=XDG_CACHE_HOME
                        --unset=XDG_DATA_HOME)

# A test program compiles in a third of the time unoptimised and without debugging information (its
# failures name their lines themselves), and the sanitizers check it all the same; the code under test
# keeps the build's optimisation and line tables.
function(k3100_test_flags target)
  target_compile_options(${target} PRIVATE "$<$<CONFIG:RelWithDebInfo>:-O0;-g0>")
endfunction()

function(k3100_add_test name)
  cmake_parse_arguments(ARG "DATA_SOURCE;RACE" "LOCK;TIMEOUT;LABEL" "SOURCES;LIBS;ENV" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  file(RELATIVE_PATH area ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  string(REGEX REPLACE "/.*" "" area "${area}")
  # Test discovery hands the properties on as a flat list, so a case carries one label of its own; the
  # folder's label comes from the folder.
  get_property(folder_labels DIRECTORY PROPERTY LABELS)
  if(NOT area IN_LIST folder_labels)
    set_property(DIRECTORY APPEND PROPERTY LABELS ${area})
  endif()
  set(lock)
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_LOCK)
    set(lock RESOURCE_LOCK ${ARG_LOCK})
  endif()
  # Once, though the window tests' environment carries it too.
  if(ARG_ENV)
    list(REMOVE_ITEM ARG_ENV ${K3100_TEST_HOME_ENV})
  endif()
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
                                           "${CMAKE_COMMAND};-E;env;${K3100_TEST_HOME_ENV};${ARG_ENV}")
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  k3100_test_flags(${name})
  # Compiled with the test programs' precompiled header (cmake/Precompiled.cmake).
  set_target_properties(${name} PROPERTIES K3100_TEST_PROGRAM ON)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "K3100_BUILD_DIR=${CMAKE_BINARY_DIR}" LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT} ${lock}
    DISCOVERY_TIMEOUT 60)
  # The whole program once more in one process, its cases in a shuffled order (the seed is printed), so
  # that a case that leans on what another left behind fails here, though it passes alone. The race
  # build makes only some programs and runs their cases alone. The longest runs start first, so that no
  # core idles at the end of a clean build's first run, which has no timings to go by.
  if(NOT K3100_TSAN)
    add_test(NAME ${name} COMMAND ${name} --gtest_shuffle WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "K3100_BUILD_DIR=${CMAKE_BINARY_DIR}"
                                            LABELS "${ARG_LABEL};whole" TIMEOUT 1500 COST 1000 ${lock})
  endif()
  # The race-detector build makes the helper's and the platform's unit and window suites, and the
  # application's that say RACE (the others are not clean under it yet, see README):
  # "k3100_race_suites" builds them, and each of their cases carries the label "race".
  set(race OFF)
  if(ARG_RACE OR (area MATCHES "^(helper|platform)$" AND NOT ARG_LABEL STREQUAL "program" AND NOT ARG_DATA_SOURCE))
    set(race ON)
  endif()
  if(race)
    if(NOT TARGET k3100_race_suites)
      add_custom_target(k3100_race_suites)
    endif()
    add_dependencies(k3100_race_suites ${name})
  endif()
endfunction()
