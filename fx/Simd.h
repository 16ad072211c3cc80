#pragma once

// Helpers for compiling hot loops twice: once for the baseline instruction set and once for AVX2,
// chosen at run time. The loop bodies are forced inline into both entry points so that each copy
// is vectorised for its own target; the arithmetic is identical in both.

#define FX_ALWAYS_INLINE inline __attribute__((always_inline))
#define FX_TARGET_AVX2 __attribute__((target("avx2")))

namespace fx {
namespace detail {

// True when the processor runs AVX2 code. Building with VEYRA_FX_BASELINE_ONLY defined keeps to the
// baseline copies (to test them on a processor that has AVX2).
inline bool cpuHasAvx2() {
#ifdef VEYRA_FX_BASELINE_ONLY
  return false;
#else
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
#endif
}

}  // namespace detail
}  // namespace fx
