# `cpack -G DEB` in a build tree (the release preset installs to /usr): a
# Debian package with veyra, the module and its Patterns, and veyra-gimp in
# GIMP's plug-in folder. Runtime dependencies come from dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME "veyra")
set(CPACK_PACKAGE_VENDOR "Tarnwell Imaging")
set(CPACK_PACKAGE_CONTACT "Veyra developers <veyra@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "light-and-shadow filter module with its own host and a GIMP plug-in")
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gimp")
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
include(CPack)
