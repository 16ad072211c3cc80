#include "render/MatteTable.h"

#include <cmath>
#include <limits>

namespace veyra {

void MatteCurve::addPoint(double x, double y) {
  points_.push_back(Point{x, y, 0.0});
  dirty_ = true;
}

void MatteCurve::clear() {
  points_.clear();
  dirty_ = true;
}

// Natural cubic spline: M = 0 at both ends, and for every inner point i
//   h[i-1] M[i-1] + 2 (h[i-1] + h[i]) M[i] + h[i] M[i+1] = 6 (slope[i] - slope[i-1]).
// The system is tridiagonal; forward elimination removes the sub-diagonal and
// back substitution yields M from the last inner point to the first. The
// solve is skipped when some h is not a positive finite number: such points
// define no curve between them, and evaluate never reaches the inside.
void MatteCurve::solve() {
  if (!dirty_) return;
  dirty_ = false;
  const size_t n = points_.size();
  for (Point& p : points_) p.m = 0.0;
  if (n < 3) return;
  for (size_t i = 0; i + 1 < n; ++i) {
    const double h = points_[i + 1].x - points_[i].x;
    if (!(h > 0.0) || !std::isfinite(h)) return;
  }
  const size_t inner = n - 2;
  std::vector<double> diag(inner), rhs(inner);
  for (size_t k = 0; k < inner; ++k) {
    const size_t i = k + 1;
    const double h0 = points_[i].x - points_[i - 1].x;
    const double h1 = points_[i + 1].x - points_[i].x;
    const double s0 = (points_[i].y - points_[i - 1].y) / h0;
    const double s1 = (points_[i + 1].y - points_[i].y) / h1;
    diag[k] = 2.0 * (h0 + h1);
    rhs[k] = 6.0 * (s1 - s0);
  }
  // Forward elimination: row k's sub-diagonal entry is h[k] (= h[i-1]); the
  // super-diagonal entry of row k-1 is the same h.
  for (size_t k = 1; k < inner; ++k) {
    const double sub = points_[k + 1].x - points_[k].x;
    const double w = sub / diag[k - 1];
    diag[k] -= w * sub;
    rhs[k] -= w * rhs[k - 1];
  }
  // Back substitution.
  for (size_t k = inner; k-- > 0;) {
    double v = rhs[k];
    if (k + 1 < inner) v -= (points_[k + 2].x - points_[k + 1].x) * points_[k + 2].m;
    points_[k + 1].m = v / diag[k];
  }
}

double MatteCurve::interpolate(double t) const {
  const size_t n = points_.size();
  if (n == 0) return 0.0;
  if (t <= points_.front().x) return points_.front().y;
  if (t >= points_.back().x) return points_.back().y;
  // Between the ends: the first segment whose right end is not below t. A
  // NaN t or NaN points match no segment, and points that are not strictly
  // increasing have no curve between them; both give NaN.
  for (size_t i = 0; i + 1 < n; ++i) {
    const Point& a = points_[i];
    const Point& b = points_[i + 1];
    if (!(t <= b.x)) continue;
    const double h = b.x - a.x;
    if (!(h > 0.0) || !std::isfinite(h)) break;
    const double u = t - a.x;
    if (n == 2) return a.y + (b.y - a.y) * (u / h);
    return a.y + u * ((b.y - a.y) / h - h * (2.0 * a.m + b.m) / 6.0 +
                      u * (a.m / 2.0 + u * (b.m - a.m) / (6.0 * h)));
  }
  return std::numeric_limits<double>::quiet_NaN();
}

double MatteCurve::evaluate(double t) {
  solve();
  double y = interpolate(t);
  if (clamp_) {
    if (!(y > 0.0)) y = 0.0;  // also NaN
    if (y > 1.0) y = 1.0;
  }
  return y;
}

void buildMatteTable(double positionPercent, double rangePercent, uint8_t table[256]) {
  const double p = positionPercent * 0.01;
  const double r = rangePercent * 0.01;
  MatteCurve curve;
  curve.addPoint(p - r, 0.0);
  curve.addPoint(p - r / 2.0, 0.2);
  curve.addPoint(p, 1.0);
  curve.addPoint(p + r / 2.0, 0.2);
  curve.addPoint(p + r, 0.0);
  for (int i = 0; i < 256; ++i) {
    // The clamp keeps the value in 0..1, so the truncation stays in 0..255.
    table[i] = static_cast<uint8_t>(curve.evaluate(i / 255.0) * 255.0);
  }
}

}  // namespace veyra
