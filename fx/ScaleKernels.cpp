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
#include "fx/Simd.h"

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
      : rows_(rows),
        samples_(rowSamples),
        data_(makeBuffer<Row>(size_t(rows), rowSamples)),
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

// The x tables padded to one tap count for every destination pixel: the range is moved left where
// it would run past the source window and the extra taps get weight 0, which adds nothing to any
// sum, so a fixed-length loop gives the same results as the tables themselves.
struct PaddedTables {
  int32_t taps = 1;
  std::vector<int32_t> first;    // per destination pixel
  std::vector<int32_t> weights;  // taps per destination pixel
};

PaddedTables padTables(const WeightTables& t, int32_t count, int32_t len) {
  PaddedTables p;
  p.taps = std::max(t.maxTaps, 1);  // every table lies inside [0, len), so taps <= len
  p.first.resize(size_t(count));
  p.weights.assign(checkedMul(size_t(count), size_t(p.taps)), 0);
  for (int32_t i = 0; i < count; ++i) {
    const int32_t f = std::min(t.first[size_t(i)], len - p.taps);
    p.first[size_t(i)] = f;
    int32_t* w = p.weights.data() + size_t(i) * size_t(p.taps);
    for (int32_t j = t.first[size_t(i)]; j < t.end[size_t(i)]; ++j)
      w[j - f] = t.weights[size_t(t.offset[size_t(i)] + j - t.first[size_t(i)])];
  }
  return p;
}

}  // namespace

// Filtered plans use tx and ty; point plans the source column of each destination column.
struct ScaleTables {
  PaddedTables tx;
  WeightTables ty;
  std::vector<int32_t> cols;
  bool hasColumns = false;  // tx or cols hold the columns of `columnsOf`
  ScalePlan columnsOf;
};

namespace {

// X-filters one row: out[i] = (2^(SHIFT-1) + sum of w x in) >> SHIFT, optionally clamped to
// maxValue. Each channel keeps its position. TAPS 0: the tap count is read from the tables.
template <int CH, int SHIFT, bool CLAMP, int TAPS, class Sum, class In, class Out>
FX_ALWAYS_INLINE void xFilterRowFixed(const In* __restrict in, Out* __restrict out, const PaddedTables& t,
                                      int32_t count, Sum maxValue) {
  const int32_t taps = TAPS ? TAPS : t.taps;
  const int32_t* __restrict first = t.first.data();
  const int32_t* __restrict weights = t.weights.data();
  for (int32_t i = 0; i < count; ++i) {
    const int32_t* w = weights + size_t(i) * size_t(taps);
    const In* s = in + size_t(first[i]) * CH;
    Sum sum[CH];
    for (int c = 0; c < CH; ++c) sum[c] = Sum(1) << (SHIFT - 1);
    for (int32_t k = 0; k < taps; ++k) {
      const Sum wk = static_cast<Sum>(w[k]);
      for (int c = 0; c < CH; ++c) sum[c] += wk * static_cast<Sum>(s[size_t(k) * CH + c]);
    }
    for (int c = 0; c < CH; ++c) {
      Sum v = sum[c] >> SHIFT;
      if (CLAMP && v > maxValue) v = maxValue;
      out[size_t(i) * CH + c] = static_cast<Out>(v);
    }
  }
}

// Four-channel rows with 32-bit sums: the four channels of a pixel as one vector, so each tap is
// one vector multiply-add. The same arithmetic as xFilterRowFixed, lane by lane.
typedef uint32_t U32x4 __attribute__((vector_size(16)));

template <class In>
FX_ALWAYS_INLINE U32x4 loadPixel4(const In* s) {
  if constexpr (sizeof(In) == 4) {
    U32x4 v;
    std::memcpy(&v, s, sizeof v);
    return v;
  } else {
    return U32x4{uint32_t(s[0]), uint32_t(s[1]), uint32_t(s[2]), uint32_t(s[3])};
  }
}

template <int SHIFT, bool CLAMP, int TAPS, class In, class Out>
FX_ALWAYS_INLINE void xFilterRow4x32(const In* __restrict in, Out* __restrict out, const PaddedTables& t,
                                     int32_t count, uint32_t maxValue) {
  const int32_t taps = TAPS ? TAPS : t.taps;
  const int32_t* __restrict first = t.first.data();
  const int32_t* __restrict weights = t.weights.data();
  const U32x4 limit = {maxValue, maxValue, maxValue, maxValue};
  for (int32_t i = 0; i < count; ++i) {
    const int32_t* w = weights + size_t(i) * size_t(taps);
    const In* s = in + size_t(first[i]) * 4;
    U32x4 sum = {1u << (SHIFT - 1), 1u << (SHIFT - 1), 1u << (SHIFT - 1), 1u << (SHIFT - 1)};
    for (int32_t k = 0; k < taps; ++k) sum += static_cast<uint32_t>(w[k]) * loadPixel4(s + size_t(k) * 4);
    U32x4 v = sum >> SHIFT;
    if (CLAMP) v = v > limit ? limit : v;
    Out* o = out + size_t(i) * 4;
    o[0] = static_cast<Out>(v[0]);
    o[1] = static_cast<Out>(v[1]);
    o[2] = static_cast<Out>(v[2]);
    o[3] = static_cast<Out>(v[3]);
  }
}

// One-channel rows, four taps, 32-bit sums: a destination pixel's four taps are four adjacent
// samples, so they load as one vector; four pixels' products are summed across by shuffles.
// Unsigned sums are the same in any order, so this equals xFilterRowFixed.
template <int SHIFT, bool CLAMP, class In, class Out>
FX_ALWAYS_INLINE void xFilterRow1x4(const In* __restrict in, Out* __restrict out, const PaddedTables& t,
                                    int32_t count, uint32_t maxValue) {
  const int32_t* __restrict first = t.first.data();
  const int32_t* __restrict weights = t.weights.data();
  const U32x4 half = {1u << (SHIFT - 1), 1u << (SHIFT - 1), 1u << (SHIFT - 1), 1u << (SHIFT - 1)};
  const U32x4 limit = {maxValue, maxValue, maxValue, maxValue};
  auto product = [&](int32_t i) FX_INLINE_LAMBDA {
    U32x4 w;
    std::memcpy(&w, weights + size_t(i) * 4, sizeof w);
    return w * loadPixel4(in + first[i]);
  };
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const U32x4 p0 = product(i), p1 = product(i + 1), p2 = product(i + 2), p3 = product(i + 3);
    const U32x4 t0 =
        __builtin_shuffle(p0, p1, U32x4{0, 4, 1, 5}) + __builtin_shuffle(p0, p1, U32x4{2, 6, 3, 7});
    const U32x4 t1 =
        __builtin_shuffle(p2, p3, U32x4{0, 4, 1, 5}) + __builtin_shuffle(p2, p3, U32x4{2, 6, 3, 7});
    const U32x4 sum =
        half + __builtin_shuffle(t0, t1, U32x4{0, 1, 4, 5}) + __builtin_shuffle(t0, t1, U32x4{2, 3, 6, 7});
    U32x4 v = sum >> SHIFT;
    if (CLAMP) v = v > limit ? limit : v;
    for (int k = 0; k < 4; ++k) out[i + k] = static_cast<Out>(v[k]);
  }
  for (; i < count; ++i) {
    const U32x4 p = product(i);
    uint32_t v = ((1u << (SHIFT - 1)) + p[0] + p[1] + p[2] + p[3]) >> SHIFT;
    if (CLAMP && v > maxValue) v = maxValue;
    out[i] = static_cast<Out>(v);
  }
}

template <int CH, int SHIFT, bool CLAMP, class Sum, class In, class Out>
FX_ALWAYS_INLINE void xFilterRow(const In* in, Out* out, const PaddedTables& t, int32_t count, Sum maxValue) {
  if constexpr (CH == 4 && sizeof(Sum) == 4) {
    switch (t.taps) {
      case 3:
        xFilterRow4x32<SHIFT, CLAMP, 3>(in, out, t, count, maxValue);
        return;
      case 4:
        xFilterRow4x32<SHIFT, CLAMP, 4>(in, out, t, count, maxValue);
        return;
      case 5:
        xFilterRow4x32<SHIFT, CLAMP, 5>(in, out, t, count, maxValue);
        return;
      default:
        xFilterRow4x32<SHIFT, CLAMP, 0>(in, out, t, count, maxValue);
        return;
    }
  }
  if constexpr (CH == 1 && sizeof(Sum) == 4) {
    if (t.taps == 4) {
      xFilterRow1x4<SHIFT, CLAMP>(in, out, t, count, maxValue);
      return;
    }
  }
  switch (t.taps) {
    case 1:
      xFilterRowFixed<CH, SHIFT, CLAMP, 1>(in, out, t, count, maxValue);
      break;
    case 2:
      xFilterRowFixed<CH, SHIFT, CLAMP, 2>(in, out, t, count, maxValue);
      break;
    case 3:
      xFilterRowFixed<CH, SHIFT, CLAMP, 3>(in, out, t, count, maxValue);
      break;
    case 4:
      xFilterRowFixed<CH, SHIFT, CLAMP, 4>(in, out, t, count, maxValue);
      break;
    case 5:
      xFilterRowFixed<CH, SHIFT, CLAMP, 5>(in, out, t, count, maxValue);
      break;
    case 6:
      xFilterRowFixed<CH, SHIFT, CLAMP, 6>(in, out, t, count, maxValue);
      break;
    default:
      xFilterRowFixed<CH, SHIFT, CLAMP, 0>(in, out, t, count, maxValue);
      break;
  }
}

// acc[k] = sum over the rows of weight x row[k], in Acc arithmetic. Worked in chunks so that the
// accumulator stays in cache while every row of the range is added.
template <class Acc, class Row>
FX_ALWAYS_INLINE void yAccumulate(Row* const* rows, const int32_t* w, int32_t taps, Acc* __restrict acc,
                                  size_t samples) {
  constexpr size_t kChunk = 2048;
  for (size_t c0 = 0; c0 < samples; c0 += kChunk) {
    const size_t c1 = std::min(samples, c0 + kChunk);
    {
      const Row* __restrict r = rows[0];
      const Acc wk = static_cast<Acc>(w[0]);
      for (size_t k = c0; k < c1; ++k) acc[k] = wk * static_cast<Acc>(r[k]);
    }
    for (int32_t j = 1; j < taps; ++j) {
      const Row* __restrict r = rows[j];
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
FX_ALWAYS_INLINE void runXFirst(const ScalePlan& plan, const ScaleTables& tables, ImageBuffer& src,
                                ImageBuffer& dst, int32_t r0, int32_t r1) {
  const Geometry g = geometryOf(plan);
  const PaddedTables& tx = tables.tx;
  const WeightTables& ty = tables.ty;
  const size_t outSamples = checkedMul(size_t(g.bnx), CH);
  RowRing<XRow> ring(std::max(ty.maxTaps, 1), outSamples);
  std::vector<Sample> srcRow = makeBuffer<Sample>(size_t(g.anx), CH);
  std::vector<Acc> acc = makeBuffer<Acc>(size_t(g.bnx), CH);
  std::vector<Sample> dstRow = makeBuffer<Sample>(size_t(g.bnx), CH);
  std::vector<XRow*> rows(size_t(std::max(ty.maxTaps, 1)));

  for (int32_t r = r0; r < r1; ++r) {
    const int32_t first = ty.first[r], taps = ty.end[r] - ty.first[r];
    for (int32_t k = 0; k < taps; ++k) {
      const int32_t j = first + k;
      XRow* slot = ring.slot(j);
      if (!ring.holds(j)) {
        src.readRow(g.ay0 + j, g.ax0, g.anx, srcRow.data());
        xFilterRow<CH, XSHIFT, false, XSum>(srcRow.data(), slot, tx, g.bnx, XSum(0));
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
FX_ALWAYS_INLINE void runYFirst(const ScalePlan& plan, const ScaleTables& tables, ImageBuffer& src,
                                ImageBuffer& dst, int32_t r0, int32_t r1) {
  const Geometry g = geometryOf(plan);
  const PaddedTables& tx = tables.tx;
  const WeightTables& ty = tables.ty;
  const size_t inSamples = checkedMul(size_t(g.anx), CH);
  RowRing<Sample> ring(std::max(ty.maxTaps, 1), inSamples);
  std::vector<Acc> acc = makeBuffer<Acc>(size_t(g.anx), CH);
  std::vector<Sample> dstRow = makeBuffer<Sample>(size_t(g.bnx), CH);
  std::vector<Sample*> rows(size_t(std::max(ty.maxTaps, 1)));

  for (int32_t r = r0; r < r1; ++r) {
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
    // The pre-shift (truncating) once per sample rather than once per tap.
    Acc* __restrict a = acc.data();
    for (size_t k = 0; k < inSamples; ++k) a[k] >>= PRE;
    xFilterRow<CH, XSHIFT, true, XSum>(acc.data(), dstRow.data(), tx, g.bnx, XSum(MAXV));
    dst.writeRow(g.by0 + r, g.bx0, g.bnx, dstRow.data());
  }
}

template <size_t BPP>
void pickPixels(const uint8_t* in, uint8_t* out, const int32_t* cols, int32_t count) {
  for (int32_t i = 0; i < count; ++i) std::memcpy(out + size_t(i) * BPP, in + size_t(cols[i]) * BPP, BPP);
}

// Nearest source pixel by truncation; a source row is read only when it changes.
void runPoint(const ScalePlan& plan, const ScaleTables& tables, ImageBuffer& src, ImageBuffer& dst,
              int32_t r0, int32_t r1) {
  const Geometry g = geometryOf(plan);
  const size_t bpp = size_t(plan.channels == 1 ? 1 : 4) * size_t(plan.bytesPerChannel == 1 ? 1 : 2);
  const std::vector<int32_t>& cols = tables.cols;
  std::vector<uint8_t> in = makeBuffer<uint8_t>(size_t(g.anx), bpp);
  std::vector<uint8_t> out = makeBuffer<uint8_t>(size_t(g.bnx), bpp);
  int32_t previous = -1;
  for (int32_t r = r0; r < r1; ++r) {
    const int32_t sr = std::min(std::max(clampToInt32((plan.m.uy + r) / plan.m.sy), 0), g.any - 1);
    if (sr != previous) {
      src.readRow(g.ay0 + sr, g.ax0, g.anx, in.data());
      switch (bpp) {
        case 1:
          pickPixels<1>(in.data(), out.data(), cols.data(), g.bnx);
          break;
        case 2:
          pickPixels<2>(in.data(), out.data(), cols.data(), g.bnx);
          break;
        case 4:
          pickPixels<4>(in.data(), out.data(), cols.data(), g.bnx);
          break;
        default:
          pickPixels<8>(in.data(), out.data(), cols.data(), g.bnx);
          break;
      }
      previous = sr;
    }
    dst.writeRow(g.by0 + r, g.bx0, g.bnx, out.data());
  }
}

// The filtered variants, compiled for the baseline and for AVX2.
FX_ALWAYS_INLINE void runFilteredBody(const ScalePlan& plan, const ScaleTables& t, ImageBuffer& src,
                                      ImageBuffer& dst, int32_t r0, int32_t r1) {
  const bool one = plan.channels == 1;
  const bool eight = plan.bytesPerChannel == 1;
  if (plan.xFirst) {
    if (eight) {
      if (one)
        runXFirst<1, uint8_t, uint16_t, uint32_t, uint32_t, 8, 20, 255>(plan, t, src, dst, r0, r1);
      else
        runXFirst<4, uint8_t, uint16_t, uint32_t, uint32_t, 8, 20, 255>(plan, t, src, dst, r0, r1);
    } else {
      if (one)
        runXFirst<1, uint16_t, uint32_t, uint64_t, uint64_t, 16, 12, 32768>(plan, t, src, dst, r0, r1);
      else
        runXFirst<4, uint16_t, uint32_t, uint64_t, uint64_t, 16, 12, 32768>(plan, t, src, dst, r0, r1);
    }
  } else {
    if (eight) {
      if (one)
        runYFirst<1, uint8_t, uint32_t, uint32_t, 8, 20, 255>(plan, t, src, dst, r0, r1);
      else
        runYFirst<4, uint8_t, uint32_t, uint32_t, 8, 20, 255>(plan, t, src, dst, r0, r1);
    } else {
      if (one)
        runYFirst<1, uint16_t, uint32_t, uint32_t, 16, 12, 32768>(plan, t, src, dst, r0, r1);
      else
        runYFirst<4, uint16_t, uint64_t, uint64_t, 16, 12, 32768>(plan, t, src, dst, r0, r1);
    }
  }
}

void runFilteredGeneric(const ScalePlan& plan, const ScaleTables& t, ImageBuffer& src, ImageBuffer& dst,
                        int32_t r0, int32_t r1) {
  runFilteredBody(plan, t, src, dst, r0, r1);
}
FX_TARGET_AVX2 void runFilteredAvx2(const ScalePlan& plan, const ScaleTables& t, ImageBuffer& src,
                                    ImageBuffer& dst, int32_t r0, int32_t r1) {
  runFilteredBody(plan, t, src, dst, r0, r1);
}

// What the column tables depend on: they are kept from one plan to the next while it is the same.
bool sameColumns(const ScalePlan& a, const ScalePlan& b) {
  if (a.point != b.point || a.m.ux != b.m.ux || a.m.sx != b.m.sx || a.b.nx != b.b.nx || a.a.nx != b.a.nx)
    return false;
  return a.point || (a.filterX == b.filterX && a.px.scale == b.px.scale && a.px.support == b.px.support &&
                     a.px.width == b.px.width);
}

}  // namespace

ScaleJob::ScaleJob() = default;
ScaleJob::~ScaleJob() = default;

void ScaleJob::prepare(const ScalePlan& plan) {
  plan_ = ScalePlan();  // runs nothing until every table is built
  if (!tables_) tables_ = std::make_unique<ScaleTables>();
  if (!plan.run) return;
  ScaleTables& t = *tables_;
  const Geometry g = geometryOf(plan);
  if (!t.hasColumns || !sameColumns(t.columnsOf, plan)) {
    t.hasColumns = false;
    if (plan.point) {
      t.cols.resize(size_t(g.bnx));
      for (int32_t i = 0; i < g.bnx; ++i)
        t.cols[size_t(i)] = std::min(std::max(clampToInt32((plan.m.ux + i) / plan.m.sx), 0), g.anx - 1);
    } else {
      t.tx = padTables(buildWeightTables(*plan.filterX, plan.px, plan.m.ux, plan.m.sx, g.bnx, g.anx, true),
                       g.bnx, g.anx);
    }
    t.columnsOf = plan;
    t.hasColumns = true;
  }
  if (!plan.point)
    t.ty = buildWeightTables(*plan.filterY, plan.py, plan.m.uy, plan.m.sy, g.bny, g.any, false);
  plan_ = plan;
}

void ScaleJob::run(ImageBuffer& src, ImageBuffer& dst, int64_t r0, int64_t r1) const {
  if (!plan_.run) return;
  const int32_t first = int32_t(std::max<int64_t>(r0, 0)), end = int32_t(std::min<int64_t>(r1, plan_.b.ny));
  if (first >= end) return;
  if (plan_.point)
    runPoint(plan_, *tables_, src, dst, first, end);
  else if (cpuHasAvx2())
    runFilteredAvx2(plan_, *tables_, src, dst, first, end);
  else
    runFilteredGeneric(plan_, *tables_, src, dst, first, end);
}

void runScale(const ScalePlan& plan, ImageBuffer& src, ImageBuffer& dst) {
  if (!plan.run) return;
  ScaleJob job;
  job.prepare(plan);
  job.run(src, dst, 0, plan.b.ny);
}

}  // namespace detail
}  // namespace fx
