#pragma once

// Helpers for compiling hot loops twice: once for the baseline instruction set and once for AVX2,
// chosen at run time. The loop bodies are forced inline into both entry points so that each copy
// is vectorised for its own target; the arithmetic is identical in both.

#define FX_ALWAYS_INLINE inline __attribute__((always_inline))
#define FX_TARGET_AVX2 __attribute__((target("avx2")))

namespace fx {
namespace detail {

// True when the processor runs AVX2 code.
inline bool cpuHasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

}  // namespace detail
}  // namespace fx
