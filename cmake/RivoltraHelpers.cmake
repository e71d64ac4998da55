# Every folder under tools/ with a CMakeLists.txt is a tool; every folder under tests/ with
# source files is one test program, so areas never share a build file.
function(rivoltra_add_subdirectories parent)
  file(GLOB children RELATIVE ${parent} ${parent}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${parent}/${child} AND EXISTS ${parent}/${child}/CMakeLists.txt)
      add_subdirectory(${parent}/${child})
    endif()
  endforeach()
endfunction()

# One GoogleTest program per folder of tests/, discovered test by test for ctest.
function(rivoltra_add_test_program name folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE rivoltra_core rivoltra_platform_null GTest::gtest GTest::gmock GTest::gtest_main ${ARGN})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR} DISCOVERY_TIMEOUT 60
    # One variable per property: test discovery splits a list value into separate properties.
    PROPERTIES ENVIRONMENT "RIVOLTRA_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    ENVIRONMENT_MODIFICATION "RIVOLTRA_BUILD_DIR=set:${CMAKE_BINARY_DIR}")
endfunction()

# A pkg-config module the build cannot do without: configuring stops at once with the Debian
# package that provides it, instead of a compiler error much later. Makes PkgConfig::<prefix>.
function(rivoltra_require_module prefix module debian_package)
  pkg_check_modules(${prefix} QUIET IMPORTED_TARGET GLOBAL ${module})
  if(NOT ${prefix}_FOUND)
    message(FATAL_ERROR "${module} is missing: install the Debian package ${debian_package} "
      "(scripts/install-deps.sh installs everything the build needs)")
  endif()
endfunction()
