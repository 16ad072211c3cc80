# The package for users of a Windows build: Veyra-<version>-windows-<form>.zip
# with the module, its Patterns folder, veyra.exe and a short text on where
# the module goes. Made by every build of the Windows presets.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VEYRA_WINDOWS_FORM x64)
  set(VEYRA_WINDOWS_BITS 64)
  set(VEYRA_OTHER_FORM x86)
  set(VEYRA_OTHER_BITS 32)
else()
  set(VEYRA_WINDOWS_FORM x86)
  set(VEYRA_WINDOWS_BITS 32)
  set(VEYRA_OTHER_FORM x64)
  set(VEYRA_OTHER_BITS 64)
endif()
set(package Veyra-${PROJECT_VERSION}-windows-${VEYRA_WINDOWS_FORM})
set(stage ${CMAKE_BINARY_DIR}/package/${package})
configure_file(${CMAKE_SOURCE_DIR}/cmake/WindowsPackage.txt.in ${CMAKE_BINARY_DIR}/package/README.txt @ONLY
               NEWLINE_STYLE CRLF)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${package}.zip
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:veyra> $<TARGET_FILE:KVO_Veyra> ${CMAKE_BINARY_DIR}/package/README.txt
          ${stage}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/patterns ${stage}/Patterns
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/package
          ${CMAKE_COMMAND} -E tar cf ${CMAKE_BINARY_DIR}/${package}.zip --format=zip ${package}
  DEPENDS veyra KVO_Veyra ${CMAKE_BINARY_DIR}/package/README.txt
  COMMENT "Packing ${package}.zip")
add_custom_target(windows_package ALL DEPENDS ${CMAKE_BINARY_DIR}/${package}.zip)
