// VEYRA_TEST_SIMD=baseline makes a test program run the baseline copies of the
// vector kernels, and VEYRA_TEST_SIMD=avx2 the AVX2 copies where there are
// AVX-512 ones, so that a machine with AVX-512 tests every copy against the
// same expectations (CTest runs the kernel suites once more each way).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "fx/Simd.h"

namespace {

bool requested(const char* copies) {
  const char* v = std::getenv("VEYRA_TEST_SIMD");
  return v != nullptr && std::strcmp(v, copies) == 0;
}
bool baselineRequested() { return requested("baseline"); }

// Applied before any test runs.
[[maybe_unused]] const bool kApplied = [] {
  if (baselineRequested()) fx::detail::avx2Allowed() = false;
  if (requested("avx2")) fx::detail::avx512Allowed() = false;
  return true;
}();

TEST(SimdSwitch, BaselineRunsTakeNoAvx2Copy) {
  if (!baselineRequested()) GTEST_SKIP() << "checked in the runs with VEYRA_TEST_SIMD=baseline";
  EXPECT_FALSE(fx::detail::cpuHasAvx2());
}

TEST(SimdSwitch, Avx2RunsTakeNoAvx512Copy) {
  if (!requested("avx2")) GTEST_SKIP() << "checked in the runs with VEYRA_TEST_SIMD=avx2";
  EXPECT_FALSE(fx::detail::cpuHasAvx512Vbmi());
}

}  // namespace
