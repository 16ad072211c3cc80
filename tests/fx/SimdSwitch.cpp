// VEYRA_TEST_SIMD=baseline makes a test program run the baseline copies of the
// vector kernels, so that a machine with AVX2 tests both copies against the
// same expectations (CTest runs the kernel suites once more that way).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "fx/Simd.h"

namespace {

bool baselineRequested() {
  const char* v = std::getenv("VEYRA_TEST_SIMD");
  return v != nullptr && std::strcmp(v, "baseline") == 0;
}

// Applied before any test runs.
[[maybe_unused]] const bool kApplied = [] {
  if (baselineRequested()) fx::detail::avx2Allowed() = false;
  return true;
}();

TEST(SimdSwitch, BaselineRunsTakeNoAvx2Copy) {
  if (!baselineRequested()) GTEST_SKIP() << "checked in the runs with VEYRA_TEST_SIMD=baseline";
  EXPECT_FALSE(fx::detail::cpuHasAvx2());
}

}  // namespace
