# Resources: one generator turns src/resources (string table, skin bitmaps, icon,
# manifest) into the resource script for windres and a C++ table for the host build.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(ORVANE_RESOURCE_DIR ${CMAKE_SOURCE_DIR}/src/resources)
set(ORVANE_GENERATED_INCLUDE_DIR ${CMAKE_BINARY_DIR}/generated)
set(ORVANE_RC_FILE ${ORVANE_GENERATED_INCLUDE_DIR}/orvane.rc)
set(ORVANE_RESOURCE_TABLE ${ORVANE_GENERATED_INCLUDE_DIR}/resource_table.cpp)
set(ORVANE_CLI_RC_FILE ${ORVANE_GENERATED_INCLUDE_DIR}/orvane-cli.rc)

file(GLOB ORVANE_SKIN_BITMAPS CONFIGURE_DEPENDS ${ORVANE_RESOURCE_DIR}/skin/*.bmp)

add_custom_command(
  OUTPUT ${ORVANE_RC_FILE} ${ORVANE_RESOURCE_TABLE} ${ORVANE_CLI_RC_FILE}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/scripts/gen_resources.py
          --source ${ORVANE_RESOURCE_DIR} --out ${ORVANE_GENERATED_INCLUDE_DIR}
          --version ${PROJECT_VERSION}
  DEPENDS ${CMAKE_SOURCE_DIR}/scripts/gen_resources.py
          ${ORVANE_RESOURCE_DIR}/strings.tsv
          ${ORVANE_RESOURCE_DIR}/orvane.ico
          ${ORVANE_RESOURCE_DIR}/orvane.manifest
          ${ORVANE_RESOURCE_DIR}/orvane-cli.manifest
          ${ORVANE_SKIN_BITMAPS}
  COMMENT "Generating the resource script and table"
  VERBATIM)
add_custom_target(orvane_resources DEPENDS ${ORVANE_RC_FILE} ${ORVANE_RESOURCE_TABLE} ${ORVANE_CLI_RC_FILE})
set(ORVANE_GENERATED_DEPENDS orvane_resources)

if(WIN32)
  enable_language(RC)
  set(ORVANE_GENERATED_CORE_SOURCES)
else()
  set(ORVANE_GENERATED_CORE_SOURCES ${ORVANE_RESOURCE_TABLE})
  set(ORVANE_RC_FILE)
  set(ORVANE_CLI_RC_FILE)
endif()
