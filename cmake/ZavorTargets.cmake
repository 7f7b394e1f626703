# zavor_library(NAME DIRS dir... [LIBS lib...])
# A static library made of every .cpp in the given folders below src/.
# A folder set without sources yet becomes an interface library, so that
# every subsystem can be linked before its first file exists.
function(zavor_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;LIBS" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
  endif()
endfunction()

# zavor_test(NAME DIRS dir... [LIBS lib...])
# A GoogleTest program made of every .cpp in the given folders below tests/.
# Its tests share the fixture that empties build/test-output first and checks
# every PDF written there with qpdf afterwards.
function(zavor_test name)
  cmake_parse_arguments(ARG "" "" "DIRS;LIBS" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  if(WIN32)
    # Tests of what exists only on Linux: dlopen, the GTK window, POSIX files.
    list(FILTER sources EXCLUDE REGEX "/(test_library_loading|test_editor_gtk|test_atomic_file)\\.cpp$")
  endif()
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} zavor_test_support GTest::gtest GTest::gmock GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    # The programs cannot run here to list their tests: each is one test,
    # run through CMAKE_CROSSCOMPILING_EMULATOR when one is set.
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED zavor_pdf_output
                         ENVIRONMENT "ZAVOR_TEST_OUTPUT=${ZAVOR_TEST_OUTPUT_DIR}")
  else()
    gtest_discover_tests(${name}
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      DISCOVERY_TIMEOUT 60
      PROPERTIES FIXTURES_REQUIRED zavor_pdf_output
                 ENVIRONMENT "ZAVOR_TEST_OUTPUT=${ZAVOR_TEST_OUTPUT_DIR}")
  endif()
endfunction()
