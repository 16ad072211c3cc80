# Windows programs of this build (tests, and what the tests run) start under
# Wine, with a prefix inside the build tree (32-bit for x86, 64-bit for x64).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VEYRA_WINEARCH win64)
else()
  set(VEYRA_WINEARCH win32)
endif()
set(VEYRA_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh ${VEYRA_WINEPREFIX} ${VEYRA_WINEARCH})
