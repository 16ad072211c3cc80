#pragma once

#include <atomic>

// Helpers for compiling hot loops twice: once for the baseline instruction set and once for AVX2,
// chosen at run time. The loop bodies are forced inline into both entry points so that each copy
// is vectorised for its own target; the arithmetic is identical in both.

#define FX_ALWAYS_INLINE inline __attribute__((always_inline))
#define FX_TARGET_AVX2 __attribute__((target("avx2")))
// For lambdas inside those bodies (after the parameter list). A lambda is a function of its own: left
// out of line it is compiled for the baseline, and the AVX2 copy calls it with the upper halves of
// the 256-bit registers still in use, which the compiler does not clear before such a call. Every
// baseline vector instruction run after that, in the lambda and in the caller's callers until the
// next clear, is several times slower on processors that track those halves.
#define FX_INLINE_LAMBDA __attribute__((always_inline))

namespace fx {
namespace detail {

// Whether the AVX2 copies may be chosen at all; tests turn them off to run the baseline copies on a
// processor that has AVX2.
inline std::atomic<bool>& avx2Allowed() {
  static std::atomic<bool> allowed{true};
  return allowed;
}

// Whether the AVX-512 copies may be chosen; tests turn them off to run the AVX2 copies on a
// processor that has AVX-512.
inline std::atomic<bool>& avx512Allowed() {
  static std::atomic<bool> allowed{true};
  return allowed;
}

// True when the processor runs AVX2 code and the AVX2 copies are allowed. Building with
// VEYRA_FX_BASELINE_ONLY defined keeps to the baseline copies.
inline bool cpuHasAvx2() {
#ifdef VEYRA_FX_BASELINE_ONLY
  return false;
#else
  static const bool has = __builtin_cpu_supports("avx2");
  return has && avx2Allowed().load(std::memory_order_relaxed);
#endif
}

// True when the processor runs AVX-512 code with byte permutes (F, BW and VBMI) and both the AVX2
// and the AVX-512 copies are allowed. 64-bit builds only.
inline bool cpuHasAvx512Vbmi() {
#if defined(VEYRA_FX_BASELINE_ONLY) || !defined(__x86_64__)
  return false;
#else
  static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                          __builtin_cpu_supports("avx512vbmi");
  return has && cpuHasAvx2() && avx512Allowed().load(std::memory_order_relaxed);
#endif
}

}  // namespace detail
}  // namespace fx
