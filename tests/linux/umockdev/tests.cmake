# The Linux backend against umockdev testbeds. libudev reads the testbed only with umockdev's
# preload library in place, so the program runs under umockdev-wrapper as one CTest case.
find_package(PkgConfig REQUIRED)
pkg_check_modules(UMOCKDEV REQUIRED IMPORTED_TARGET umockdev-1.0)
find_program(VELMARO_UMOCKDEV_WRAPPER umockdev-wrapper REQUIRED)
file(GLOB VELMARO_UMOCKDEV_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
add_executable(test_linux_umockdev ${VELMARO_UMOCKDEV_TEST_SOURCES})
set_target_properties(test_linux_umockdev PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests
    UNITY_BUILD ON)
target_link_libraries(test_linux_umockdev PRIVATE velmaro_linux velmaro_test_support velmaro_core
    PkgConfig::UMOCKDEV GTest::gtest GTest::gtest_main)
add_test(NAME linux.umockdev COMMAND ${VELMARO_UMOCKDEV_WRAPPER} $<TARGET_FILE:test_linux_umockdev>)
if(VELMARO_SANITIZE)
    # umockdev's preload library comes before the sanitizer runtime, which is harmless here.
    set_tests_properties(linux.umockdev PROPERTIES ENVIRONMENT ASAN_OPTIONS=verify_asan_link_order=0)
endif()
# The lister itself in a testbed, its --json checked against the schema by the lister's check.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_dependencies(test_linux_umockdev velmaro-list)
target_compile_definitions(test_linux_umockdev PRIVATE
    VELMARO_LIST="$<TARGET_FILE:velmaro-list>"
    VELMARO_PYTHON="${Python3_EXECUTABLE}"
    VELMARO_CLI_CHECK="${PROJECT_SOURCE_DIR}/tests/cli/check_cli.py"
    VELMARO_LIST_SCHEMA="${PROJECT_SOURCE_DIR}/docs/velmaro-list.schema.json")
