# veyra-gimp: the GIMP 2.10 plug-in that hosts the module (folder gimp/).
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(veyra_gimp_default ON)
else()
  set(veyra_gimp_default OFF)
endif()
option(VEYRA_GIMP "Build veyra-gimp, the GIMP 2.10 plug-in" ${veyra_gimp_default})
if(NOT VEYRA_GIMP)
  return()
endif()
pkg_check_modules(GIMP QUIET IMPORTED_TARGET gimp-2.0)
if(NOT GIMP_FOUND)
  message(STATUS "GIMP 2.10's development files (libgimp2.0-dev) are missing: veyra-gimp is not built "
                 "(scripts/bootstrap.sh --gimp installs them)")
  set(VEYRA_GIMP OFF)
  return()
endif()
pkg_get_variable(GIMP_LIBDIR gimp-2.0 gimplibdir)
pkg_get_variable(GIMP_PREFIX gimp-2.0 prefix)

# GIMP looks for plug-ins only in its own folder. Installed with GIMP's
# prefix (a package), the folder is relative to the prefix; otherwise it is
# GIMP's absolute folder.
file(RELATIVE_PATH gimp_rel "${GIMP_PREFIX}" "${GIMP_LIBDIR}/plug-ins")
if(CMAKE_INSTALL_PREFIX STREQUAL GIMP_PREFIX)
  set(gimp_default_dir "${gimp_rel}")
else()
  set(gimp_default_dir "${GIMP_LIBDIR}/plug-ins")
endif()
set(VEYRA_GIMP_PLUGIN_DIR "${gimp_default_dir}" CACHE PATH "GIMP's plug-in folder to install veyra-gimp in")
set(gimp_install_dir "${VEYRA_GIMP_PLUGIN_DIR}/veyra-gimp")
set(module_install "lib/veyra/plug-ins/KVO_Veyra.8bf")
if(IS_ABSOLUTE "${gimp_install_dir}")
  set(gimp_module_path "${CMAKE_INSTALL_PREFIX}/${module_install}")
  set(gimp_exe_from_bin "${gimp_install_dir}/veyra-gimp")
else()
  file(RELATIVE_PATH gimp_module_path "/p/${gimp_install_dir}" "/p/${module_install}")
  file(RELATIVE_PATH gimp_exe_from_bin "/p/bin" "/p/${gimp_install_dir}/veyra-gimp")
endif()

# The parts that need no GIMP: the procedure's signature and arguments.
add_library(veyra_gimp_core STATIC gimp/ProcedureSignature.cpp gimp/ArgumentDescriptor.cpp
                                   gimp/ModuleLocation.cpp)
target_link_libraries(veyra_gimp_core PUBLIC veyra_app)

add_executable(veyra-gimp gimp/main.cpp gimp/FilterProcedure.cpp gimp/DrawableDocument.cpp)
target_link_libraries(veyra-gimp PRIVATE veyra_gimp_core PkgConfig::GIMP)
set_source_files_properties(gimp/FilterProcedure.cpp PROPERTIES
  COMPILE_DEFINITIONS "VEYRA_GIMP_MODULE_PATH=\"${gimp_module_path}\"")
add_dependencies(veyra-gimp KVO_Veyra)
# `veyra gimp-install` copies veyra-gimp from beside veyra or from here.
set_source_files_properties(app/GimpInstall.cpp PROPERTIES
  COMPILE_DEFINITIONS "VEYRA_GIMP_EXECUTABLE=\"${gimp_exe_from_bin}\"")

install(TARGETS veyra-gimp RUNTIME DESTINATION "${gimp_install_dir}")
