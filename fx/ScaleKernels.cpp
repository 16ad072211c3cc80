// The fixed-point passes of the scaler: point sampling and the eight filtered variants
// (x first or y first; 1 or 4 channels; 8-bit or 16-bit samples).
//
// Fixed-point budget: weights carry 14 fractional bits, so the two passes together carry 28 bits,
// split between the x shift, the pre-shift and the final shift of each variant:
//   x first,  8-bit: x sums >> 8 into 16-bit rows (value x 64), rows x weights >> 20.
//   x first, 16-bit: x sums (64-bit) >> 16 into 32-bit rows (value / 4), rows x weights >> 12.
//   y first,  8-bit: y sums >> 8 (pre-shift, truncating), then x sums >> 20.
//   y first, 16-bit: y sums >> 16 (pre-shift, truncating), then x sums >> 12.
// All sums are unsigned; with non-negative weights none of them can overflow its type.

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "fx/ScaleCore.h"

namespace fx {
namespace detail {

namespace {

size_t checkedMul(size_t a, size_t b) {
  if (a != 0 && b > std::numeric_limits<size_t>::max() / a) throw std::bad_alloc();
  return a * b;
}

template <class T>
std::vector<T> makeBuffer(size_t a, size_t b) {
  const size_t count = checkedMul(a, b);
  checkedMul(count, sizeof(T));
  return std::vector<T>(count);
}

// Source rows [first, end) stay in a ring of ringRows slots; slot j % ringRows remembers which
// row it holds, so each row is fetched (and, for x first, x-filtered) once while it is needed.
template <class Row>
class RowRing {
 public:
  RowRing(int32_t rows, size_t rowSamples)
      : rows_(rows), samples_(rowSamples), data_(makeBuffer<Row>(size_t(rows), rowSamples)),
        tags_(size_t(rows), -1) {}
  Row* slot(int32_t j) { return data_.data() + size_t(j % rows_) * samples_; }
  bool holds(int32_t j) const { return tags_[size_t(j % rows_)] == j; }
  void mark(int32_t j) { tags_[size_t(j % rows_)] = j; }

 private:
  int32_t rows_;
  size_t samples_;
  std::vector<Row> data_;
  std::vector<int32_t> tags_;
};

// X-filters one row: out[i] = (2^(SHIFT-1) + sum of w x (in >> PRE)) >> SHIFT, optionally
// clamped to maxValue. Each channel keeps its position.
template <int CH, int PRE, int SHIFT, bool CLAMP, class Sum, class In, class Out>
void xFilterRow(const In* in, Out* out, const WeightTables& t, int32_t count, Sum maxValue) {
  const int32_t* first = t.first.data();
  const int32_t* end = t.end.data();
  const int32_t* offset = t.offset.data();
  const int32_t* weights = t.weights.data();
  for (int32_t i = 0; i < count; ++i) {
    const int32_t taps = end[i] - first[i];
    const int32_t* w = weights + offset[i];
    const In* s = in + size_t(first[i]) * CH;
    Sum sum[CH];
    for (int c = 0; c < CH; ++c) sum[c] = Sum(1) << (SHIFT - 1);
    for (int32_t k = 0; k < taps; ++k) {
      const Sum wk = static_cast<Sum>(w[k]);
      for (int c = 0; c < CH; ++c) sum[c] += wk * static_cast<Sum>(Sum(s[size_t(k) * CH + c]) >> PRE);
    }
    for (int c = 0; c < CH; ++c) {
      Sum v = sum[c] >> SHIFT;
      if (CLAMP && v > maxValue) v = maxValue;
      out[size_t(i) * CH + c] = static_cast<Out>(v);
    }
  }
}

// acc[k] = sum over the rows of weight x row[k], in Acc arithmetic. Worked in chunks so that the
// accumulator stays in cache while every row of the range is added.
template <class Acc, class Row>
void yAccumulate(Row* const* rows, const int32_t* w, int32_t taps, Acc* acc, size_t samples) {
  constexpr size_t kChunk = 1024;
  for (size_t c0 = 0; c0 < samples; c0 += kChunk) {
    const size_t c1 = std::min(samples, c0 + kChunk);
    {
      const Row* r = rows[0];
      const Acc wk = static_cast<Acc>(w[0]);
      for (size_t k = c0; k < c1; ++k) acc[k] = wk * static_cast<Acc>(r[k]);
    }
    for (int32_t j = 1; j < taps; ++j) {
      const Row* r = rows[j];
      const Acc wk = static_cast<Acc>(w[j]);
      for (size_t k = c0; k < c1; ++k) acc[k] += wk * static_cast<Acc>(r[k]);
    }
  }
}

struct Geometry {
  int32_t ax0, ay0, anx, any, bx0, by0, bnx, bny;
};

Geometry geometryOf(const ScalePlan& plan) {
  return {int32_t(plan.a.x0), int32_t(plan.a.y0), int32_t(plan.a.nx), int32_t(plan.a.ny),
          int32_t(plan.b.x0), int32_t(plan.b.y0), int32_t(plan.b.nx), int32_t(plan.b.ny)};
}

// X first: rows are x-filtered into the ring, then weighted down the column into the accumulator.
template <int CH, class Sample, class XRow, class XSum, class Acc, int XSHIFT, int FSHIFT, uint32_t MAXV>
void runXFirst(const ScalePlan& plan, ImageBuffer& src, ImageBuffer& dst) {
  const Geometry g = geometryOf(plan);
  const WeightTables tx = buildWeightTables(*plan.filterX, plan.px, plan.m.ux, plan.m.sx, g.bnx, g.anx, true);
  const WeightTables ty = buildWeightTables(*plan.filterY, plan.py, plan.m.uy, plan.m.sy, g.bny, g.any, false);
  const size_t outSamples = checkedMul(size_t(g.bnx), CH);
  RowRing<XRow> ring(std::max(ty.maxTaps, 1), outSamples);
  std::vector<Sample> srcRow = makeBuffer<Sample>(size_t(g.anx), CH);
  std::vector<Acc> acc = makeBuffer<Acc>(size_t(g.bnx), CH);
  std::vector<Sample> dstRow = makeBuffer<Sample>(size_t(g.bnx), CH);
  std::vector<XRow*> rows(size_t(std::max(ty.maxTaps, 1)));

  for (int32_t r = 0; r < g.bny; ++r) {
    const int32_t first = ty.first[r], taps = ty.end[r] - ty.first[r];
    for (int32_t k = 0; k < taps; ++k) {
      const int32_t j = first + k;
      XRow* slot = ring.slot(j);
      if (!ring.holds(j)) {
        src.readRow(g.ay0 + j, g.ax0, g.anx, srcRow.data());
        xFilterRow<CH, 0, XSHIFT, false, XSum>(srcRow.data(), slot, tx, g.bnx, XSum(0));
        ring.mark(j);
      }
      rows[size_t(k)] = slot;
    }
    yAccumulate(rows.data(), ty.weights.data() + ty.offset[r], taps, acc.data(), outSamples);
    constexpr Acc half = Acc(1) << (FSHIFT - 1);
    for (size_t k = 0; k < outSamples; ++k) {
      Acc v = (acc[k] + half) >> FSHIFT;
      if (v > MAXV) v = MAXV;
      dstRow[k] = static_cast<Sample>(v);
    }
    dst.writeRow(g.by0 + r, g.bx0, g.bnx, dstRow.data());
  }
}

// Y first: raw source rows are weighted down the column, then the accumulator is x-filtered.
template <int CH, class Sample, class Acc, class XSum, int PRE, int XSHIFT, uint32_t MAXV>
void runYFirst(const ScalePlan& plan, ImageBuffer& src, ImageBuffer& dst) {
  const Geometry g = geometryOf(plan);
  const WeightTables tx = buildWeightTables(*plan.filterX, plan.px, plan.m.ux, plan.m.sx, g.bnx, g.anx, true);
  const WeightTables ty = buildWeightTables(*plan.filterY, plan.py, plan.m.uy, plan.m.sy, g.bny, g.any, false);
  const size_t inSamples = checkedMul(size_t(g.anx), CH);
  RowRing<Sample> ring(std::max(ty.maxTaps, 1), inSamples);
  std::vector<Acc> acc = makeBuffer<Acc>(size_t(g.anx), CH);
  std::vector<Sample> dstRow = makeBuffer<Sample>(size_t(g.bnx), CH);
  std::vector<Sample*> rows(size_t(std::max(ty.maxTaps, 1)));

  for (int32_t r = 0; r < g.bny; ++r) {
    const int32_t first = ty.first[r], taps = ty.end[r] - ty.first[r];
    for (int32_t k = 0; k < taps; ++k) {
      const int32_t j = first + k;
      Sample* slot = ring.slot(j);
      if (!ring.holds(j)) {
        src.readRow(g.ay0 + j, g.ax0, g.anx, slot);
        ring.mark(j);
      }
      rows[size_t(k)] = slot;
    }
    yAccumulate(rows.data(), ty.weights.data() + ty.offset[r], taps, acc.data(), inSamples);
    xFilterRow<CH, PRE, XSHIFT, true, XSum>(acc.data(), dstRow.data(), tx, g.bnx, XSum(MAXV));
    dst.writeRow(g.by0 + r, g.bx0, g.bnx, dstRow.data());
  }
}

template <size_t BPP>
void pickPixels(const uint8_t* in, uint8_t* out, const int32_t* cols, int32_t count) {
  for (int32_t i = 0; i < count; ++i) std::memcpy(out + size_t(i) * BPP, in + size_t(cols[i]) * BPP, BPP);
}

// Nearest source pixel by truncation; a source row is read only when it changes.
void runPoint(const ScalePlan& plan, ImageBuffer& src, ImageBuffer& dst) {
  const Geometry g = geometryOf(plan);
  const size_t bpp = size_t(plan.channels == 1 ? 1 : 4) * size_t(plan.bytesPerChannel == 1 ? 1 : 2);
  std::vector<int32_t> cols(size_t(g.bnx));
  for (int32_t i = 0; i < g.bnx; ++i)
    cols[size_t(i)] = std::min(std::max(clampToInt32((plan.m.ux + i) / plan.m.sx), 0), g.anx - 1);
  std::vector<uint8_t> in = makeBuffer<uint8_t>(size_t(g.anx), bpp);
  std::vector<uint8_t> out = makeBuffer<uint8_t>(size_t(g.bnx), bpp);
  int32_t previous = -1;
  for (int32_t r = 0; r < g.bny; ++r) {
    const int32_t sr = std::min(std::max(clampToInt32((plan.m.uy + r) / plan.m.sy), 0), g.any - 1);
    if (sr != previous) {
      src.readRow(g.ay0 + sr, g.ax0, g.anx, in.data());
      switch (bpp) {
        case 1: pickPixels<1>(in.data(), out.data(), cols.data(), g.bnx); break;
        case 2: pickPixels<2>(in.data(), out.data(), cols.data(), g.bnx); break;
        case 4: pickPixels<4>(in.data(), out.data(), cols.data(), g.bnx); break;
        default: pickPixels<8>(in.data(), out.data(), cols.data(), g.bnx); break;
      }
      previous = sr;
    }
    dst.writeRow(g.by0 + r, g.bx0, g.bnx, out.data());
  }
}

}  // namespace

void runScale(const ScalePlan& plan, ImageBuffer& src, ImageBuffer& dst) {
  if (!plan.run) return;
  if (plan.point) {
    runPoint(plan, src, dst);
    return;
  }
  const bool one = plan.channels == 1;
  const bool eight = plan.bytesPerChannel == 1;
  if (plan.xFirst) {
    if (eight) {
      if (one) runXFirst<1, uint8_t, uint16_t, uint32_t, uint32_t, 8, 20, 255>(plan, src, dst);
      else runXFirst<4, uint8_t, uint16_t, uint32_t, uint32_t, 8, 20, 255>(plan, src, dst);
    } else {
      if (one) runXFirst<1, uint16_t, uint32_t, uint64_t, uint64_t, 16, 12, 32768>(plan, src, dst);
      else runXFirst<4, uint16_t, uint32_t, uint64_t, uint64_t, 16, 12, 32768>(plan, src, dst);
    }
  } else {
    if (eight) {
      if (one) runYFirst<1, uint8_t, uint32_t, uint32_t, 8, 20, 255>(plan, src, dst);
      else runYFirst<4, uint8_t, uint32_t, uint32_t, 8, 20, 255>(plan, src, dst);
    } else {
      if (one) runYFirst<1, uint16_t, uint32_t, uint32_t, 16, 12, 32768>(plan, src, dst);
      else runYFirst<4, uint16_t, uint64_t, uint64_t, 16, 12, 32768>(plan, src, dst);
    }
  }
}

}  // namespace detail
}  // namespace fx
