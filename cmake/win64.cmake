# Windows build: orvane.exe and the test programs that CTest runs under Wine.
# Built on Linux, the programs run under the build's own Wine prefix.
if(CMAKE_CROSSCOMPILING)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
endif()
if(MINGW)
  set(ORVANE_UNICODE_ENTRY -municode)
endif()

add_executable(orvane WIN32 ${CMAKE_SOURCE_DIR}/src/app/main_win32.cpp ${ORVANE_RC_FILE})
target_link_libraries(orvane PRIVATE orvane_app)
target_link_options(orvane PRIVATE ${ORVANE_UNICODE_ENTRY} -s -Wl,--file-alignment=4096)

# The console program: the engine without the windowing layer.
add_executable(orvane-cli ${CMAKE_SOURCE_DIR}/src/cli/main_win32.cpp ${ORVANE_CLI_RC_FILE})
target_link_libraries(orvane-cli PRIVATE orvane_cli)
target_link_options(orvane-cli PRIVATE ${ORVANE_UNICODE_ENTRY} -s)

# Test programs run through the emulator; tests are listed when CTest starts.
file(GLOB ORVANE_WINE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*.cpp)
file(GLOB ORVANE_CONTRACT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/contract/*.cpp)
list(FILTER ORVANE_CONTRACT_TESTS EXCLUDE REGEX "_native\\.cpp$")

if(ORVANE_WINE_TESTS OR ORVANE_CONTRACT_TESTS)
# With the generated table the host build answers from, to hold the built resources to it.
add_executable(orvane_wine_tests ${ORVANE_WINE_TESTS} ${ORVANE_CONTRACT_TESTS} ${ORVANE_RC_FILE}
               ${ORVANE_RESOURCE_TABLE})
target_include_directories(orvane_wine_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(orvane_wine_tests PRIVATE orvane_app orvane_cli gtest gtest_main)
target_compile_definitions(orvane_wine_tests PRIVATE ORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_dependencies(orvane_wine_tests orvane orvane-cli)
gtest_discover_tests(orvane_wine_tests TEST_PREFIX "wine." DISCOVERY_MODE PRE_TEST
                     DISCOVERY_TIMEOUT 120 PROPERTIES RESOURCE_LOCK wine_gui)
endif()

# Checks and end-to-end scenarios driven from the Linux host (bash, Wine, xdotool).
if(CMAKE_CROSSCOMPILING)
file(GLOB ORVANE_HOST_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.sh)
foreach(script IN LISTS ORVANE_HOST_SCRIPTS)
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME e2e.${name} COMMAND bash ${script} ${CMAKE_BINARY_DIR} $<TARGET_FILE:orvane>)
  set_tests_properties(e2e.${name} PROPERTIES RESOURCE_LOCK wine_gui TIMEOUT 300)
endforeach()
# The main window's scenario (a repair, lock mode, both dialogs) again at 150 % display scale.
add_test(NAME e2e.main_window_144dpi
         COMMAND ${CMAKE_COMMAND} -E env ORVANE_E2E_DPI=144
                 bash ${CMAKE_SOURCE_DIR}/tests/e2e/main_window.sh ${CMAKE_BINARY_DIR} $<TARGET_FILE:orvane>)
set_tests_properties(e2e.main_window_144dpi PROPERTIES RESOURCE_LOCK wine_gui TIMEOUT 300)
endif()

# Plants what unwanted software could (registry links, names that are not
# Unicode, a squatted mutex) and makes registry keys refuse writes.
add_executable(orvane_e2e_adversary ${CMAKE_SOURCE_DIR}/tests/e2e/adversary_win32.cpp)
target_link_libraries(orvane_e2e_adversary PRIVATE advapi32)
target_link_options(orvane_e2e_adversary PRIVATE ${ORVANE_UNICODE_ENTRY})

# Plants and reads a browser shortcut on the desktop.
add_executable(orvane_e2e_link ${CMAKE_SOURCE_DIR}/tests/e2e/link_tool_win32.cpp)
target_link_libraries(orvane_e2e_link PRIVATE ole32 shell32 uuid)
target_link_options(orvane_e2e_link PRIVATE ${ORVANE_UNICODE_ENTRY})

# Changes a value as another program would and times its restoration.
add_executable(orvane_bench_tamper ${CMAKE_SOURCE_DIR}/bench/tamper_win32.cpp)
target_link_libraries(orvane_bench_tamper PRIVATE advapi32)
target_link_options(orvane_bench_tamper PRIVATE ${ORVANE_UNICODE_ENTRY})

# Logs its command line in place of a system program (regsvr32.exe).
add_executable(orvane_bench_stand_in ${CMAKE_SOURCE_DIR}/bench/stand_in_win32.cpp)
target_link_options(orvane_bench_stand_in PRIVATE ${ORVANE_UNICODE_ENTRY})

# The bare window the benchmark script compares the program with.
add_executable(orvane_bench_bare WIN32 ${CMAKE_SOURCE_DIR}/bench/bare_window_win32.cpp)
target_link_libraries(orvane_bench_bare PRIVATE user32 gdi32)
target_link_options(orvane_bench_bare PRIVATE ${ORVANE_UNICODE_ENTRY})

# A library that records being loaded: planted beside the program and in its current folder.
add_library(orvane_e2e_planted SHARED ${CMAKE_SOURCE_DIR}/tests/e2e/planted_library_win32.cpp)
set_target_properties(orvane_e2e_planted PROPERTIES PREFIX "")

# A screen reader's view of the running program, for the end-to-end scenarios.
add_executable(orvane_e2e_acc ${CMAKE_SOURCE_DIR}/tests/e2e/acc_client_win32.cpp)
target_link_libraries(orvane_e2e_acc PRIVATE oleacc ole32 oleaut32 uuid user32)
target_link_options(orvane_e2e_acc PRIVATE ${ORVANE_UNICODE_ENTRY})
