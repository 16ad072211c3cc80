#include "fx/ScaleCore.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "fx/Wide128.h"

namespace fx {
namespace detail {

int32_t clampToInt32(double v) {
  if (!(v == v)) return 0;
  if (v <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  if (v >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(v);
}

namespace {

int64_t clampToInt64(double v) {
  if (!(v == v)) return 0;
  if (v <= -9.0e18) return static_cast<int64_t>(-9.0e18);
  if (v >= 9.0e18) return static_cast<int64_t>(9.0e18);
  return static_cast<int64_t>(v);
}

bool isIntegral(double v) { return std::fabs(v - std::floor(v + 0.5)) < 1e-7; }

}  // namespace

FilterPlacement placeFilter(const Filter& f, double s) {
  FilterPlacement p;
  p.scale = f.blur * std::max(1.0, 1.0 / s);
  p.support = std::max(0.5, p.scale * f.support);
  p.width = clampToInt64(std::ceil(2.0 * p.support));
  return p;
}

bool simplifyFilter(const Filter*& f, FilterPlacement& p, double s, double u) {
  const bool toPoint =
      p.support <= 0.5 || (f->cardinal && isIntegral(1.0 / p.scale) && isIntegral(1.0 / (s * p.scale)) &&
                           isIntegral((u / s - 0.5) / p.scale));
  if (!toPoint) return false;
  f = findFilter("point");
  p.scale = 1.0;
  p.support = 0.5;
  p.width = 1;
  return true;
}

void buildWeightTable(const Filter& f, const FilterPlacement& p, double cen, int32_t len, bool trim,
                      WeightTable& out) {
  int32_t first = clampToInt32(cen - p.support + 0.5);  // truncation toward zero
  int32_t end = clampToInt32(cen + p.support + 0.5);
  first = std::max(first, 0);
  end = std::min(end, len);
  if (first >= end) {  // unreachable after clipping; keep a valid single-tap table all the same
    first = std::min(std::max(first, 0), len - 1);
    end = first + 1;
  }

  double den = 0.0;
  for (int32_t j = first; j < end; ++j) den += f((j + 0.5 - cen) / p.scale);
  const double sc = den != 0.0 ? WEIGHT_ONE / den : static_cast<double>(WEIGHT_ONE);

  out.weights.clear();
  int64_t sum = 0;
  int32_t kept = first;  // first index of the kept range
  int32_t lastNonZero = first;
  bool any = false;
  for (int32_t j = first; j < end; ++j) {
    const int32_t t = clampToInt32(std::floor(sc * f((j + 0.5 - cen) / p.scale) + 0.5));
    if (trim && !any && t == 0) {
      kept = j + 1;
      continue;
    }
    any = true;
    out.weights.push_back(t);
    sum += t;
    if (t != 0) lastNonZero = j;
  }

  if (sum == 0) {
    out.first = (first + end) >> 1;
    out.end = out.first + 1;
    out.weights.assign(1, WEIGHT_ONE);
    return;
  }
  out.first = kept;
  out.end = trim ? lastNonZero + 1 : end;
  out.weights.resize(static_cast<size_t>(out.end - out.first));
  if (sum != WEIGHT_ONE) {
    int32_t at = clampToInt32(cen + 0.5);
    at = std::min(std::max(at, out.first), out.end - 1);
    int32_t& w = out.weights[static_cast<size_t>(at - out.first)];
    // Modular, as the weights are used in unsigned arithmetic.
    w = static_cast<int32_t>(static_cast<uint32_t>(w) + static_cast<uint32_t>(WEIGHT_ONE - sum));
  }
}

WeightTables buildWeightTables(const Filter& f, const FilterPlacement& p, double u, double s, int32_t count,
                               int32_t len, bool trim) {
  WeightTables tables;
  tables.first.resize(static_cast<size_t>(count));
  tables.end.resize(static_cast<size_t>(count));
  tables.offset.resize(static_cast<size_t>(count));
  WeightTable one;
  for (int32_t i = 0; i < count; ++i) {
    buildWeightTable(f, p, (i + u) / s, len, trim, one);
    tables.first[i] = one.first;
    tables.end[i] = one.end;
    if (tables.weights.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()) - one.weights.size())
      throw std::bad_alloc();
    tables.offset[i] = static_cast<int32_t>(tables.weights.size());
    tables.weights.insert(tables.weights.end(), one.weights.begin(), one.weights.end());
    tables.maxTaps = std::max(tables.maxTaps, one.end - one.first);
  }
  return tables;
}

ScalePlan planScale(int64_t srcW, int64_t srcH, int64_t dstW, int64_t dstH, ScaleWindow a, ScaleWindow b,
                    const Filter& fx, const Filter& fy) {
  ScalePlan plan;
  a.recompute();
  b.recompute();
  if (a.nx <= 0 || a.ny <= 0) return plan;

  ScaleMapping m;
  m.sx = static_cast<double>(b.nx) / static_cast<double>(a.nx);
  m.sy = static_cast<double>(b.ny) / static_cast<double>(a.ny);
  m.tx = b.x0 - 0.5 - (a.x0 - 0.5) * m.sx;
  m.ty = b.y0 - 0.5 - (a.y0 - 0.5) * m.sy;
  if (m.sx <= 0 || m.sy <= 0) return plan;

  FilterPlacement px = placeFilter(fx, m.sx);
  FilterPlacement py = placeFilter(fy, m.sy);

  a.x0 = std::max<int64_t>(a.x0, 0);
  a.y0 = std::max<int64_t>(a.y0, 0);
  a.x1 = std::min<int64_t>(a.x1, srcW - 1);
  a.y1 = std::min<int64_t>(a.y1, srcH - 1);
  a.recompute();
  b.x0 = std::max<int64_t>(b.x0, 0);
  b.y0 = std::max<int64_t>(b.y0, 0);
  b.x1 = std::min<int64_t>(b.x1, dstW - 1);
  b.y1 = std::min<int64_t>(b.y1, dstH - 1);
  b.recompute();

  // Only destination pixels the source window reaches; a centre exactly at the reach is excluded.
  const int64_t bx0 = clampToInt64(std::ceil((a.x0 - px.support) * m.sx + m.tx + 1e-7));
  const int64_t by0 = clampToInt64(std::ceil((a.y0 - py.support) * m.sy + m.ty + 1e-7));
  const int64_t bx1 = clampToInt64(std::floor((a.x1 + px.support) * m.sx + m.tx - 1e-7));
  const int64_t by1 = clampToInt64(std::floor((a.y1 + py.support) * m.sy + m.ty - 1e-7));
  b.x0 = std::max(b.x0, bx0);
  b.y0 = std::max(b.y0, by0);
  b.x1 = std::min(b.x1, bx1);
  b.y1 = std::min(b.y1, by1);
  b.recompute();

  m.ux = b.x0 - (a.x0 - 0.5) * m.sx - m.tx;
  m.uy = b.y0 - (a.y0 - 0.5) * m.sy - m.ty;
  if (a.nx < 1 || a.ny < 1 || b.nx < 1 || b.ny < 1) return plan;

  const Filter* filterX = &fx;
  const Filter* filterY = &fy;
  simplifyFilter(filterX, px, m.sx, m.ux);
  simplifyFilter(filterY, py, m.sy, m.uy);

  plan.run = true;
  plan.a = a;
  plan.b = b;
  plan.m = m;
  plan.filterX = filterX;
  plan.filterY = filterY;
  plan.px = px;
  plan.py = py;
  const Filter* point = findFilter("point");
  plan.point = filterX == point && filterY == point;
  // Counted multiplications of each order; ties go to y first. 128-bit: no overflow.
  const auto cost = [](int64_t taps, int64_t n1, int64_t n2) {
    return mul(mul64(static_cast<uint64_t>(taps), static_cast<uint64_t>(n1)), static_cast<uint64_t>(n2));
  };
  const U128 xFirstCost = add(cost(px.width, b.nx, a.ny), cost(py.width, b.nx, b.ny));
  const U128 yFirstCost = add(cost(py.width, a.nx, b.ny), cost(px.width, b.nx, b.ny));
  plan.xFirst = xFirstCost < yFirstCost;
  return plan;
}

ScalePlan planFor(ImageBuffer& src, ImageBuffer& dst, ScaleWindow a, ScaleWindow b, const Filter& fx,
                  const Filter& fy) {
  int32_t sw = 0, sh = 0, dw = 0, dh = 0;
  src.getSize(sw, sh);
  dst.getSize(dw, dh);
  ScalePlan plan = planScale(sw, sh, dw, dh, a, b, fx, fy);
  plan.channels = src.channelCount();
  plan.bytesPerChannel = src.bytesPerChannel();
  return plan;
}

void scaleCore(ImageBuffer& src, ImageBuffer& dst, ScaleWindow a, ScaleWindow b, const Filter& fx,
               const Filter& fy) {
  const ScalePlan plan = planFor(src, dst, a, b, fx, fy);
  if (!plan.run) return;
  runScale(plan, src, dst);
}

}  // namespace detail
}  // namespace fx
