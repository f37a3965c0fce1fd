# One static library per layer, each linked only to the layers below it:
#   app, cli        the programs' tops (src/app, src/cli)
#   dialogs         the feature windows (settings dialog, context-menu manager)
#   engine          repairs, configuration, context-menu and browser-hijack routines, no windows
#   ui              widget model, skinned controls, Win32 peers
#   resources       string table, pictures, version
#   platform        registry and command services
# File names choose the build they belong to:
#   *.cpp              both builds
#   *_native.cpp       host build only (stand-ins for what Windows provides)
#   *_win32.cpp, win32/  Windows build only
set(ORVANE_DIALOG_SOURCES
    ${CMAKE_SOURCE_DIR}/src/settings/set_frm.cpp
    ${CMAKE_SOURCE_DIR}/src/menuext/list_frm.cpp
    ${CMAKE_SOURCE_DIR}/src/menuext/frm_menu.cpp
    ${CMAKE_SOURCE_DIR}/src/browsers/frm_browsers.cpp)
set(ORVANE_PROGRAM_MAINS ${CMAKE_SOURCE_DIR}/src/app/main_win32.cpp
                         ${CMAKE_SOURCE_DIR}/src/cli/main_win32.cpp)

function(orvane_sources out)
  set(result)
  foreach(dir IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${dir}/*.cpp)
    list(APPEND result ${found})
  endforeach()
  if(WIN32)
    list(FILTER result EXCLUDE REGEX "_native\\.cpp$")
  else()
    list(FILTER result EXCLUDE REGEX "(/win32/|_win32\\.cpp$)")
  endif()
  list(REMOVE_ITEM result ${ORVANE_PROGRAM_MAINS})
  set(${out} ${result} PARENT_SCOPE)
endfunction()

function(orvane_layer name)
  cmake_parse_arguments(L "" "" "DIRS;EXCLUDE;EXTRA;LINKS" ${ARGN})
  orvane_sources(sources ${L_DIRS})
  if(L_EXCLUDE)
    list(REMOVE_ITEM sources ${L_EXCLUDE})
  endif()
  add_library(${name} STATIC ${sources} ${L_EXTRA})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src ${ORVANE_GENERATED_INCLUDE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LINKS})
  add_dependencies(${name} orvane_resources)
  if(WIN32)
    target_compile_definitions(${name} PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                              _WIN32_WINNT=0x0601)
  endif()
endfunction()

if(WIN32)
  set(ORVANE_PLATFORM_LIBS advapi32 kernel32 shell32 ole32)
  set(ORVANE_UI_LIBS user32 gdi32 comctl32 msimg32 oleacc ole32 oleaut32 uuid)
  set(ORVANE_ENGINE_LIBS ole32 shell32 uuid)
endif()

orvane_layer(orvane_platform DIRS platform LINKS ${ORVANE_PLATFORM_LIBS})
orvane_layer(orvane_resources_lib DIRS resources EXTRA ${ORVANE_GENERATED_CORE_SOURCES}
             LINKS orvane_platform)
orvane_layer(orvane_ui DIRS ui LINKS orvane_resources_lib ${ORVANE_UI_LIBS})
orvane_layer(orvane_engine DIRS repair settings menuext browsers EXCLUDE ${ORVANE_DIALOG_SOURCES}
             LINKS orvane_resources_lib ${ORVANE_ENGINE_LIBS})
orvane_layer(orvane_dialogs EXTRA ${ORVANE_DIALOG_SOURCES} LINKS orvane_engine orvane_ui)
orvane_layer(orvane_app DIRS app LINKS orvane_dialogs)
orvane_layer(orvane_cli DIRS cli LINKS orvane_engine)

