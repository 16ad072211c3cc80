#pragma once

// The resampling core behind ImageScaler: mapping, filter placement, clipping, weight tables and
// the fixed-point passes. Exposed in a detail namespace so that tests can check each step.

#include <cstdint>
#include <memory>
#include <vector>

#include "fx/Filters.h"
#include "fx/ImageBuffer.h"

namespace fx {
namespace detail {

// Weights are integers with 14 fractional bits; every table sums to exactly WEIGHT_ONE.
constexpr int32_t WEIGHT_ONE = 16384;

// Inclusive pixel bounds and their extents (nx = x1 - x0 + 1). 64-bit so that no bound
// arithmetic can overflow before the window is clipped.
struct ScaleWindow {
  int64_t x0 = 0, y0 = 0, x1 = -1, y1 = -1;
  int64_t nx = 0, ny = 0;
  void recompute() {
    nx = x1 - x0 + 1;
    ny = y1 - y0 + 1;
  }
  static ScaleWindow fromBounds(int64_t top, int64_t left, int64_t bottom, int64_t right) {
    ScaleWindow w;
    w.x0 = left;
    w.y0 = top;
    w.x1 = right - 1;
    w.y1 = bottom - 1;
    w.recompute();
    return w;
  }
};

// b = a * s + t with pixel k covering [k - 0.5, k + 0.5]; u gives the source position of a
// destination pixel relative to the windows: (i + u) / s.
struct ScaleMapping {
  double sx = 0, sy = 0, tx = 0, ty = 0, ux = 0, uy = 0;
};

// The filter stretched along one axis: scale in source pixels, radius in source pixels, and the
// most taps a destination pixel can have (ceil(2 * support), kept 64-bit: huge reductions).
struct FilterPlacement {
  double scale = 1.0;
  double support = 0.5;
  int64_t width = 1;
};

// Places filter f for a scale factor s (destination pixels per source pixel).
FilterPlacement placeFilter(const Filter& f, double s);

// Replaces the filter by "point" (scale 1, support 0.5, width 1) when its support is at most 0.5,
// or when it is cardinal and the sampling grid falls on its integer points. Returns true when the
// filter was replaced.
bool simplifyFilter(const Filter*& f, FilterPlacement& p, double s, double u);

// The contribution list of one destination column or row: source indices [first, end) relative
// to the source window, one weight each.
struct WeightTable {
  int32_t first = 0;
  int32_t end = 0;
  std::vector<int32_t> weights;
};

// Builds the table for a destination pixel whose source position is cen, over a source window of
// len pixels (len >= 1). With trim, leading and trailing zero weights are dropped.
void buildWeightTable(const Filter& f, const FilterPlacement& p, double cen, int32_t len, bool trim,
                      WeightTable& out);

// The tables of count destination pixels (source position (i + u) / s), packed.
struct WeightTables {
  std::vector<int32_t> first, end, offset;  // per destination pixel; offset into weights
  std::vector<int32_t> weights;
  int32_t maxTaps = 0;
};
WeightTables buildWeightTables(const Filter& f, const FilterPlacement& p, double u, double s, int32_t count,
                               int32_t len, bool trim);

// Everything decided before any pixel is touched.
struct ScalePlan {
  bool run = false;  // false: nothing to produce
  ScaleWindow a, b;  // clipped source window, clipped and reach-limited destination window
  ScaleMapping m;
  const Filter* filterX = nullptr;
  const Filter* filterY = nullptr;
  FilterPlacement px, py;
  bool point = false;   // both filters simplified to "point": point sampling
  bool xFirst = false;  // order of the filtered passes
  int32_t channels = 0;
  int32_t bytesPerChannel = 0;
};

// Maps source window a (in an image of srcW x srcH) onto destination window b (in dstW x dstH).
ScalePlan planScale(int64_t srcW, int64_t srcH, int64_t dstW, int64_t dstH, ScaleWindow a, ScaleWindow b,
                    const Filter& fx, const Filter& fy);

// The weight tables of a plan (or the picked columns of a point plan), defined with the passes.
struct ScaleTables;

// A plan with its weight tables, built once and then run in parts: run(r0, r1) writes the rows
// [r0, r1) of the destination window (0 is its first row) exactly as the whole run writes them.
// Runs share only the read-only plan and tables, so parts may run at the same time on different
// threads (with sources and destinations that allow it) and in any order.
class ScaleJob {
 public:
  ScaleJob();
  ~ScaleJob();
  ScaleJob(const ScaleJob&) = delete;
  ScaleJob& operator=(const ScaleJob&) = delete;

  // Takes the plan (its channels and bytes per channel filled in) and builds its tables. The
  // column tables of the plan before are kept when its columns map the same way (same filter,
  // placement, offset, scale and window widths), as they do for every band of a render.
  void prepare(const ScalePlan& plan);
  const ScalePlan& plan() const { return plan_; }
  // Writes the destination window's rows [r0, r1), clipped to the window. Nothing happens for a
  // plan that does not run.
  void run(ImageBuffer& src, ImageBuffer& dst, int64_t r0, int64_t r1) const;

 private:
  ScalePlan plan_;
  std::unique_ptr<ScaleTables> tables_;
};

// Runs a plan: point sampling or the filtered passes. The variant (1 or 4 channels, 8 or 16 bits)
// comes from the plan, filled from the source.
void runScale(const ScalePlan& plan, ImageBuffer& src, ImageBuffer& dst);

// The plan of scaleCore, with the channels and bytes per channel of src filled in.
ScalePlan planFor(ImageBuffer& src, ImageBuffer& dst, ScaleWindow a, ScaleWindow b, const Filter& fx,
                  const Filter& fy);

// Resamples source window a of src into destination window b of dst with the two filters.
void scaleCore(ImageBuffer& src, ImageBuffer& dst, ScaleWindow a, ScaleWindow b, const Filter& fx,
               const Filter& fy);

// Converts a double to int32, clamping out-of-range values and mapping NaN to 0 (no UB).
int32_t clampToInt32(double v);

}  // namespace detail
}  // namespace fx
