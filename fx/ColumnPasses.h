#pragma once

// The order of the box blur's passes over one block of M columns, shared by the general and the
// narrow column kernels.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "fx/Simd.h"

namespace fx {
namespace detail {

// Runs `passes` column passes over a block of M lanes of L rows (stride samples apart) in place,
// with a and b each holding L x M samples: the first pass reads the image (a single pass reads a
// copy, as it writes the image), the passes between go from one copy to the other, and the last
// pass writes the image. filter(in, inStride, out, outStride) runs one pass; in and out never
// overlap.
template <class Sample, class Filter>
FX_ALWAYS_INLINE void columnPasses(Sample* column, ptrdiff_t stride, size_t M, int32_t L, int64_t passes, Sample* a,
                                   Sample* b, const Filter& filter) {
  const ptrdiff_t m = ptrdiff_t(M);
  if (passes == 1) {
    for (int32_t p = 0; p < L; ++p) std::memcpy(a + size_t(p) * M, column + p * stride, M * sizeof(Sample));
  } else {
    filter(column, stride, a, m);
  }
  for (int64_t i = 1; i + 1 < passes; ++i) {
    filter(a, m, b, m);
    std::swap(a, b);
  }
  filter(a, m, column, stride);
}

}  // namespace detail
}  // namespace fx
