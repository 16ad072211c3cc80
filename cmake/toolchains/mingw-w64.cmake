# Shared part of the Windows cross toolchains (Debian's mingw-w64, posix
# thread model so that std::thread works). Included by the per-architecture
# files, which set VEYRA_MINGW_TRIPLE, VEYRA_WINDOWS_ARCH and the processor.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)

set(CMAKE_C_COMPILER ${VEYRA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VEYRA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VEYRA_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${VEYRA_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${VEYRA_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# The dependencies cross-built by scripts/build-windows-deps.sh.
if(NOT VEYRA_WINDOWS_DEPS)
  if(DEFINED ENV{VEYRA_WINDOWS_DEPS})
    set(VEYRA_WINDOWS_DEPS "$ENV{VEYRA_WINDOWS_DEPS}")
  elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(VEYRA_WINDOWS_DEPS "$ENV{XDG_CACHE_HOME}/veyra/windows-deps")
  else()
    set(VEYRA_WINDOWS_DEPS "$ENV{HOME}/.cache/veyra/windows-deps")
  endif()
endif()
set(VEYRA_WINDOWS_DEPS "${VEYRA_WINDOWS_DEPS}" CACHE PATH "Root of the cross-built Windows dependencies")
# The dependency build itself installs into a staging prefix of its own.
if(NOT VEYRA_WINDOWS_PREFIX)
  set(VEYRA_WINDOWS_PREFIX "${VEYRA_WINDOWS_DEPS}/${VEYRA_WINDOWS_ARCH}")
endif()
# try_compile projects see these too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VEYRA_WINDOWS_DEPS VEYRA_WINDOWS_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${VEYRA_MINGW_TRIPLE} ${VEYRA_WINDOWS_PREFIX})
set(CMAKE_PREFIX_PATH ${VEYRA_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config looks only at the cross-built libraries.
set(ENV{PKG_CONFIG_LIBDIR} "${VEYRA_WINDOWS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# zlib from libz-mingw-w64-dev comes with an import library too: take the
# static one.
set(ZLIB_USE_STATIC_LIBS ON)

# Windows binaries that stand alone: the C and C++ runtimes, winpthread and
# every library linked statically, so they import only system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
# GCC cannot align the stack beyond 16 bytes on Windows, yet spills 32-byte
# vectors with aligned moves; the assembler turns those into unaligned ones.
set(CMAKE_C_FLAGS_INIT "-Wa,-muse-unaligned-vector-move ${VEYRA_MINGW_ARCH_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "-Wa,-muse-unaligned-vector-move ${VEYRA_MINGW_ARCH_FLAGS}")
