// Template body of scaleByArea (included by AreaScale.h).
#ifndef VEYRA_APP_AREASCALEIMPL_H
#define VEYRA_APP_AREASCALEIMPL_H

#include <algorithm>
#include <vector>

namespace veyra::app {

namespace detail {

// Source range and integer weights of destination pixel i along one axis of
// source length s and destination length d.
struct AxisSpan {
  int first = 0;
  std::vector<int64_t> weights;
};

inline AxisSpan axisSpan(int i, int s, int d) {
  AxisSpan span;
  const int64_t lo = int64_t{i} * s, hi = int64_t{i + 1} * s;
  span.first = static_cast<int>(lo / d);
  const int last = static_cast<int>((hi + d - 1) / d);  // exclusive
  for (int y = span.first; y < last && y < s; ++y) {
    const int64_t w = std::min(int64_t{y + 1} * d, hi) - std::max(int64_t{y} * d, lo);
    span.weights.push_back(w);
  }
  return span;
}

}  // namespace detail

template <typename Put>
void scaleByArea(const uint8_t* src, ptrdiff_t srcStride, int srcWidth, int srcHeight, int dstWidth, int dstHeight,
                 int row0, int row1, int col0, int col1, Put put) {
  if (srcWidth <= 0 || srcHeight <= 0 || dstWidth <= 0 || dstHeight <= 0) return;
  row0 = std::max(row0, 0);
  col0 = std::max(col0, 0);
  row1 = std::min(row1, dstHeight);
  col1 = std::min(col1, dstWidth);
  if (row0 >= row1 || col0 >= col1) return;

  std::vector<detail::AxisSpan> cols;
  cols.reserve(static_cast<size_t>(col1 - col0));
  for (int j = col0; j < col1; ++j) cols.push_back(detail::axisSpan(j, srcWidth, dstWidth));
  const uint64_t den = uint64_t(srcWidth) * uint64_t(srcHeight);
  std::vector<uint64_t> rowSums(static_cast<size_t>(col1 - col0));  // one source row reduced across
  std::vector<uint64_t> acc(static_cast<size_t>(col1 - col0));

  for (int i = row0; i < row1; ++i) {
    const detail::AxisSpan rows = detail::axisSpan(i, srcHeight, dstHeight);
    std::fill(acc.begin(), acc.end(), 0);
    for (size_t k = 0; k < rows.weights.size(); ++k) {
      const uint8_t* line = src + (rows.first + static_cast<ptrdiff_t>(k)) * srcStride;
      for (size_t j = 0; j < cols.size(); ++j) {
        const detail::AxisSpan& c = cols[j];
        uint64_t sum = 0;
        for (size_t m = 0; m < c.weights.size(); ++m) sum += uint64_t(c.weights[m]) * line[c.first + m];
        rowSums[j] = sum;
      }
      const auto wy = uint64_t(rows.weights[k]);
      for (size_t j = 0; j < acc.size(); ++j) acc[j] += wy * rowSums[j];
    }
    for (size_t j = 0; j < acc.size(); ++j)
      put(i, col0 + static_cast<int>(j), static_cast<uint8_t>((acc[j] + den / 2) / den));
  }
}

}  // namespace veyra::app

#endif
