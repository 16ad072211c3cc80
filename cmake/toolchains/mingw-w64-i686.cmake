# Windows x86 (32-bit) with Debian's mingw-w64 cross compiler.
# - SSE2 for vectors and for floating point: the same double arithmetic as
#   x64 (the x87 unit's wider intermediates would round differently), and
#   every processor that runs a current 32-bit Windows has it.
# - Hosts call in with a stack aligned to 4 bytes only: functions that keep
#   vectors on the stack realign it themselves.
set(CMAKE_SYSTEM_PROCESSOR X86)
set(VEYRA_MINGW_TRIPLE i686-w64-mingw32)
set(VEYRA_WINDOWS_ARCH x86)
set(VEYRA_MINGW_ARCH_FLAGS "-msse2 -mfpmath=sse -mincoming-stack-boundary=2")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
