# The host application's libraries in the Windows cross build. libpng,
# libjpeg, zlib, libtiff and LittleCMS come from the cross-built dependency
# cache (the toolchain file points there). CLI11 and nlohmann-json are
# header-only: their headers from this machine's packages are copied into the
# build tree, so that the cross compiler reads them without the rest of this
# machine's /usr/include. FLTK is used when the cache has it; without it
# veyra.exe has no dialog manager (edit and about say so).
set(VEYRA_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
foreach(dir CLI nlohmann)
  if(NOT EXISTS /usr/include/${dir})
    message(FATAL_ERROR "/usr/include/${dir} is missing: scripts/bootstrap.sh installs it")
  endif()
  file(COPY /usr/include/${dir} DESTINATION ${VEYRA_HOST_HEADERS})
endforeach()
add_library(CLI11::CLI11 INTERFACE IMPORTED)
set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${VEYRA_HOST_HEADERS})
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${VEYRA_HOST_HEADERS})

# LittleCMS as a static library, found directly (its pkg-config file may name
# the prefix it was staged in).
find_path(LCMS2_INCLUDE_DIR lcms2.h REQUIRED)
find_library(LCMS2_LIBRARY NAMES liblcms2.a lcms2 REQUIRED)
add_library(PkgConfig::LCMS2 STATIC IMPORTED)
set_target_properties(PkgConfig::LCMS2 PROPERTIES IMPORTED_LOCATION ${LCMS2_LIBRARY}
                      INTERFACE_INCLUDE_DIRECTORIES ${LCMS2_INCLUDE_DIR})

find_package(FLTK CONFIG QUIET)
if(FLTK_FOUND)
  set(VEYRA_HAVE_FLTK ON)
  set(FLTK_LIBRARIES fltk comctl32 ws2_32 gdi32 ole32 uuid comdlg32)
else()
  set(VEYRA_HAVE_FLTK OFF)
  set(FLTK_LIBRARIES "")
  set(FLTK_INCLUDE_DIR "")
  message(STATUS "FLTK is not in the Windows dependency cache: veyra.exe is built without dialogs")
endif()
