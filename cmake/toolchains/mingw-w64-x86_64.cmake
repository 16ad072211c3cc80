# Windows x64 with Debian's mingw-w64 cross compiler.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(VEYRA_MINGW_TRIPLE x86_64-w64-mingw32)
set(VEYRA_WINDOWS_ARCH x64)
set(VEYRA_MINGW_ARCH_FLAGS "")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
