# Host build: the portable core with host stand-ins, and its tests.
file(GLOB ORVANE_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
file(GLOB ORVANE_CONTRACT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/contract/*.cpp)
list(FILTER ORVANE_CONTRACT_TESTS EXCLUDE REGEX "_win32\\.cpp$")

add_executable(orvane_tests ${ORVANE_NATIVE_TESTS} ${ORVANE_CONTRACT_TESTS})
target_include_directories(orvane_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(orvane_tests PRIVATE orvane_app orvane_cli gtest gtest_main)
target_compile_definitions(orvane_tests PRIVATE ORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(orvane_tests TEST_PREFIX "native." DISCOVERY_TIMEOUT 60)

# Every include runs downward.
add_test(NAME native.layers COMMAND bash ${CMAKE_SOURCE_DIR}/tests/layers.sh ${CMAKE_SOURCE_DIR}/src)
