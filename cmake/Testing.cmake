# k3100_add_test(<name> SOURCES <files...> LIBS <targets...> [ENV <VAR=value...>] [LABEL <label>]
#                [LOCK <resource>])
# One GoogleTest program per call; every test case becomes its own CTest test. ENV is set for the
# listing and for every test case by starting the program through "cmake -E env" (a list property
# would lose its separators on the way through test discovery). Test cases that share LOCK (a bus
# name, for instance) never run at the same time.
find_package(GTest REQUIRED)
include(GoogleTest)

function(k3100_add_test name)
  cmake_parse_arguments(ARG "" "LABEL;LOCK" "SOURCES;LIBS;ENV" ${ARGN})
  set(label)
  set(lock)
  if(ARG_LABEL)
    set(label LABELS ${ARG_LABEL})
  endif()
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_LOCK)
    set(lock RESOURCE_LOCK ${ARG_LOCK})
  endif()
  if(ARG_ENV)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${CMAKE_COMMAND};-E;env;${ARG_ENV}")
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "K3100_BUILD_DIR=${CMAKE_BINARY_DIR}" ${label} ${lock}
    DISCOVERY_TIMEOUT 60)
endfunction()
