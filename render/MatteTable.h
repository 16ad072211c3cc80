// The matte curve: a bell over the 0..1 brightness scale, centred on the matte
// position with the matte range as its half-width, sampled into the 256-entry
// table that turns an extracted channel value into a matte value.
#pragma once

#include <cstdint>
#include <vector>

namespace veyra {

// A curve through control points (x, y), evaluated between the first and the
// last point: linear for two points, a natural cubic spline for more. Outside
// the points it holds the end values.
class MatteCurve {
 public:
  enum Interpolation { kLinear, kSpline };

  struct Point {
    double x;
    double y;
    double m;  // second derivative of the spline at x
  };

  // Appends a control point; points are expected in increasing x.
  void addPoint(double x, double y);
  void clear();
  void setClamp(bool clamp) { clamp_ = clamp; }

  // The curve at t, limited to 0..1 when clamping is on. A NaN result (points
  // with non-finite or non-increasing x, which define no curve between them)
  // is 0 when clamping.
  double evaluate(double t);

  Interpolation interpolation() const { return points_.size() > 2 ? kSpline : kLinear; }
  // The control points with their second derivatives brought up to date.
  const std::vector<Point>& points() {
    solve();
    return points_;
  }

 private:
  // Recomputes the second derivatives when the points changed.
  void solve();
  double interpolate(double t) const;

  std::vector<Point> points_;
  bool dirty_ = true;
  bool clamp_ = true;
};

// Fills table[i] = trunc(curve(i / 255) x 255) for the bell with control
// points (p - r, 0), (p - r/2, 0.2), (p, 1), (p + r/2, 0.2), (p + r, 0), where
// p and r are the position and range in percent times 0.01. A range of 0 or
// below, or a non-finite position or range, gives a table of zeros.
void buildMatteTable(double positionPercent, double rangePercent, uint8_t table[256]);

}  // namespace veyra
