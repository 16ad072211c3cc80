// The portable 128-bit products and sums against the compiler's own 128-bit
// integers, at the edges of each 32-bit limb and beyond.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "fx/Wide128.h"

namespace {

using Native = unsigned __int128;

Native native(fx::U128 v) { return (Native(v.hi) << 64) | v.lo; }

TEST(Wide128, ProductsSumsAndOrderMatchNative) {
  const std::vector<uint64_t> values = {0,          1,          2,          0xFFFFFFFFu,         0x100000000u,
                                        0x1FFFFFFFFu, 0x7FFFFFFFu, 6000,       0xFFFFFFFFFFFFFFFFu, 0x123456789ABCDEFu,
                                        0x8000000000000000u};
  for (uint64_t a : values)
    for (uint64_t b : values) {
      const fx::U128 p = fx::mul64(a, b);
      ASSERT_TRUE(native(p) == Native(a) * b) << a << " * " << b;
      for (uint64_t c : {uint64_t{0}, uint64_t{3}, uint64_t{0xFFFFFFFFu}}) {
        if (a > 0xFFFFFFFFFFu || b > 0xFFFFFFFFFFu) continue;  // keep a * b * c within 128 bits
        ASSERT_TRUE(native(fx::mul(p, c)) == Native(a) * b * c) << a << " * " << b << " * " << c;
      }
      const fx::U128 q = fx::mul64(b, a ^ 0x5555u);
      ASSERT_TRUE(native(fx::add(p, q)) == native(p) + native(q));
      EXPECT_EQ(p < q, native(p) < native(q));
    }
}

}  // namespace
