# The Windows module: a DLL named KVO_Veyra.8bf that exports PluginMain and
# the resource table (module.def) and carries the property list, terminology
# and bitmaps as Windows resources. The resources are written at build time
# by a small generator built for this machine from the same sources as the
# table, so the two cannot differ.
enable_language(RC)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VEYRA_WINDOWS_FORM x64)
  # 64-bit hosts look for the x64 entry point in the property list.
  target_compile_definitions(veyra_resources PRIVATE VEYRA_PROPERTY_LIST_X64=1)
else()
  set(VEYRA_WINDOWS_FORM x86)
endif()

find_program(VEYRA_BUILD_CXX NAMES c++ g++ NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(gen ${CMAKE_BINARY_DIR}/build-tools/make_windows_resources)
file(GLOB gen_headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/host/*.h ${CMAKE_SOURCE_DIR}/resources/*.h)
add_custom_command(OUTPUT ${gen}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/build-tools
  COMMAND ${VEYRA_BUILD_CXX} -std=c++17 -O1 -Wall -Wextra -I${CMAKE_SOURCE_DIR}
          ${CMAKE_SOURCE_DIR}/tools/make_windows_resources.cpp ${CMAKE_SOURCE_DIR}/resources/Bitmaps.cpp -o ${gen}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_windows_resources.cpp ${CMAKE_SOURCE_DIR}/resources/Bitmaps.cpp
          ${gen_headers}
  COMMENT "Building the resource generator for this machine")

set(res ${CMAKE_BINARY_DIR}/module-resources)
add_custom_command(OUTPUT ${res}/module.rc ${res}/PiPL.bin ${res}/aete.bin ${res}/IDB_SPLASH.bmp ${res}/IDB_DROPPER.bmp
  COMMAND ${CMAKE_COMMAND} -E make_directory ${res}
  COMMAND ${gen} ${res} ${VEYRA_WINDOWS_FORM}
  DEPENDS ${gen}
  COMMENT "Writing the module's Windows resources")

target_sources(KVO_Veyra PRIVATE ${res}/module.rc ${CMAKE_SOURCE_DIR}/cmake/module.def)
set_property(SOURCE ${res}/module.rc APPEND PROPERTY OBJECT_DEPENDS
  ${res}/PiPL.bin ${res}/aete.bin ${res}/IDB_SPLASH.bmp ${res}/IDB_DROPPER.bmp)

# The shipped module carries no symbol table.
target_link_options(KVO_Veyra PRIVATE $<$<CONFIG:Release>:-s>)
