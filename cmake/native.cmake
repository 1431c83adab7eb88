# Native build: the portable logic against the test platform and the
# headless toolkit, unit-tested with GoogleTest.
option(VX_SANITIZE "Build native tests with address and undefined sanitizers" ON)
if(VX_SANITIZE)
  foreach(t vx_core vx_console vx_reporter)
    target_compile_options(${t} PUBLIC -fsanitize=address,undefined -fno-omit-frame-pointer)
    target_link_options(${t} PUBLIC -fsanitize=address,undefined)
  endforeach()
endif()

add_library(vx_headless STATIC ${VX_ROOT}/src/ui/headless/headless.cpp)
target_link_libraries(vx_headless PUBLIC vx_core)

find_package(JPEG)

add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

file(GLOB UNIT_SRC CONFIGURE_DEPENDS ${VX_ROOT}/tests/unit/*.cpp)
add_executable(unit_tests ${UNIT_SRC})
target_link_libraries(unit_tests PRIVATE vx_console vx_reporter vx_headless GTest::gtest_main GTest::gmock)
target_compile_definitions(unit_tests PRIVATE VX_TEST_DATA="${VX_ROOT}/tests/data")
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native)

# The setup's search for the machine's Debian archive, on apt source files of
# both formats.
add_test(NAME setup_apt_archive COMMAND python3 ${VX_ROOT}/tests/setup/test_apt_archive.py)
set_tests_properties(setup_apt_archive PROPERTIES LABELS native TIMEOUT 120)
