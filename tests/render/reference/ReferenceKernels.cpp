// Plain matte table, matte index, box blur and scaler for the reference
// pipeline. Written from the definitions, not from the plug-in's code.

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "ReferencePipeline.h"

namespace veyra::reftest {

// --- matte table ------------------------------------------------------------------------------

namespace {

double splineAt(const std::vector<double>& x, const std::vector<double>& y, double t) {
  const size_t n = x.size();
  if (t <= x.front()) return y.front();
  if (t >= x.back()) return y.back();
  std::vector<double> h(n - 1), slope(n - 1);
  for (size_t i = 0; i + 1 < n; ++i) {
    h[i] = x[i + 1] - x[i];
    slope[i] = (y[i + 1] - y[i]) / h[i];
  }
  // Natural spline: M = 0 at both ends; tridiagonal system for the inner
  // points, forward elimination then back substitution.
  std::vector<double> M(n, 0.0), diag(n, 0.0), rhs(n, 0.0);
  for (size_t i = 1; i + 1 < n; ++i) {
    diag[i] = 2.0 * (h[i - 1] + h[i]);
    rhs[i] = 6.0 * (slope[i] - slope[i - 1]);
  }
  for (size_t i = 2; i + 1 < n; ++i) {
    const double factor = h[i - 1] / diag[i - 1];
    diag[i] -= factor * h[i - 1];
    rhs[i] -= factor * rhs[i - 1];
  }
  for (int i = static_cast<int>(n) - 2; i >= 1; --i) M[i] = (rhs[i] - h[i] * M[i + 1]) / diag[i];
  size_t i = 0;
  while (!(t <= x[i + 1])) ++i;
  const double u = t - x[i], hi = h[i];
  double v = y[i] + u * ((y[i + 1] - y[i]) / hi - hi * (2 * M[i] + M[i + 1]) / 6 +
                         u * (M[i] / 2 + u * (M[i + 1] - M[i]) / (6 * hi)));
  return std::min(1.0, std::max(0.0, v));
}

}  // namespace

std::array<uint8_t, 256> matteTable(double position, double range) {
  const double p = position * 0.01, r = range * 0.01;
  const std::vector<double> x = {p - r, p - r / 2, p, p + r / 2, p + r};
  const std::vector<double> y = {0.0, 0.2, 1.0, 0.2, 0.0};
  std::array<uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(std::trunc(splineAt(x, y, i / 255.0) * 255));
  return table;
}

// --- matte index -------------------------------------------------------------------------------

int matteIndex(const uint8_t* p, int mode, int channel) {
  if (mode == 1) return p[0];
  if (mode == 3) {
    const int R = p[0], G = p[1], B = p[2];
    switch (channel) {
      case 0:
        return (76 * R + 150 * G + 29 * B) / 255;
      case 1:
        return R;
      case 2:
        return G;
      case 3:
        return B;
      case 4:
        return (G + B) / 2;
      case 5:
        return (R + B) / 2;
      case 6:
        return (R + G) / 2;
      default:
        break;
    }
    const float r = R * 0.003921569f, g = G * 0.003921569f, b = B * 0.003921569f;
    const float mx = std::max(r, std::max(g, b)), mn = std::min(r, std::min(g, b));
    const float d = mx - mn;
    const float s = mx != 0.0f ? d / mx : 0.0f;
    if (channel == 8) return static_cast<uint8_t>(static_cast<int>(s * 255));
    if (s == 0.0f) return 0;  // undefined hue
    float hue;
    if (r == mx)
      hue = (g - b) / d;
    else if (g == mx)
      hue = 2 + (b - r) / d;
    else
      hue = 4 + (r - g) / d;
    hue *= 60;
    if (hue < 0) hue += 360;
    return static_cast<uint8_t>(static_cast<int>(hue * 0.7083333f));
  }
  // CMYK, 255 = no ink.
  const int C = p[0], Mg = p[1], Y = p[2], K = p[3];
  switch (channel) {
    case 0: {
      const double k = K / 255.0;
      const double a = 0.299 * C / 255.0 + 0.587 * Mg / 255.0 + 0.114 * Y / 255.0;
      return static_cast<int>(std::trunc((1 - (k * (1 - a) + (1 - k))) * 255));
    }
    case 1:
      return (Mg + Y) / 2;
    case 2:
      return (C + Y) / 2;
    case 3:
      return (C + Mg) / 2;
    case 4:
      return C;
    case 5:
      return Mg;
    case 6:
      return Y;
    default:
      return 0;  // hue and saturation: table[0]
  }
}

// --- box blur ----------------------------------------------------------------------------------

namespace {

// One line, half-width `half`: the weighted mean of the window (weight 256
// inside |j - p| <= n - 1, d at |j - p| = n, only samples inside the line).
// Cut windows divide exactly; the middle outputs use the reciprocal of the
// full window with its bias, (S R + B) >> 23. (The library divides exactly
// instead where e x 255 >= 2^24, which needs windows far wider than any the
// tests use, so the two agree here.)
void blurLine(std::vector<uint32_t>& line, float half, bool fullPrecisionFraction) {
  const int64_t L = static_cast<int64_t>(line.size());
  if (!(half > 0.0f)) return;
  const double c = std::ceil(static_cast<double>(half));
  const double w = c - half > 0 ? 1.0 - (c - half) : 0.0;
  int64_t n = static_cast<int64_t>(c);
  n = std::min<int64_t>(n, L / 2 - 1);
  if (n < 1) return;  // lines too short for a window stay as they are
  const double wf = fullPrecisionFraction ? w : static_cast<double>(static_cast<float>(w));
  const uint64_t F = 256, d = static_cast<uint64_t>(wf * 256);
  const uint64_t W = F * (2 * n - 1) + 2 * d;
  const uint64_t one = uint64_t{1} << 23;
  const uint64_t R = one / W, B = 255 * (one - R * W);
  std::vector<uint32_t> out(line.size());
  for (int64_t p = 0; p < L; ++p) {
    uint64_t S = 0, D = 0;
    for (int64_t j = std::max<int64_t>(0, p - n); j <= std::min(L - 1, p + n); ++j) {
      const uint64_t weight = std::llabs(j - p) <= n - 1 ? F : d;
      S += weight * line[static_cast<size_t>(j)];
      D += weight;
    }
    const bool middle = p >= n + 1 && p <= L - n - 1;
    out[static_cast<size_t>(p)] = static_cast<uint32_t>(middle ? (S * R + B) >> 23 : S / D);
  }
  line = out;
}

}  // namespace

void boxBlur(Pixels& img, float radiusX, float radiusY, int passes) {
  const float hx = radiusX * 0.5f, hy = radiusY * 0.5f;
  // The one-channel vertical pass scales the fraction at full precision.
  const bool fullVertical = img.channels == 1;
  if (hx > 0)
    for (int pass = 0; pass < passes; ++pass)
      for (int y = 0; y < img.height; ++y)
        for (int k = 0; k < img.channels; ++k) {
          std::vector<uint32_t> line;
          for (int x = 0; x < img.width; ++x) line.push_back(img.at(x, y, k));
          blurLine(line, hx, false);
          for (int x = 0; x < img.width; ++x)
            img.at(x, y, k) = static_cast<uint8_t>(line[static_cast<size_t>(x)]);
        }
  if (hy > 0)
    for (int pass = 0; pass < passes; ++pass)
      for (int x = 0; x < img.width; ++x)
        for (int k = 0; k < img.channels; ++k) {
          std::vector<uint32_t> line;
          for (int y = 0; y < img.height; ++y) line.push_back(img.at(x, y, k));
          blurLine(line, hy, fullVertical);
          for (int y = 0; y < img.height; ++y)
            img.at(x, y, k) = static_cast<uint8_t>(line[static_cast<size_t>(y)]);
        }
}

// --- scaler ------------------------------------------------------------------------------------

namespace {

enum class Kernel { Point, Triangle, Cubic };

double kernelAt(Kernel k, double x) {
  switch (k) {
    case Kernel::Point:
      return x >= -0.5 && x < 0.5 ? 1.0 : 0.0;
    case Kernel::Triangle:
      if (x >= -1 && x < 0) return 1 + x;
      if (x >= 0 && x < 1) return 1 - x;
      return 0.0;
    case Kernel::Cubic: {
      const double a = std::fabs(x);
      if (a < 1) return (3 * a * a * a - 6 * a * a + 4) / 6;
      if (a < 2) return (2 - a) * (2 - a) * (2 - a) / 6;
      return 0.0;
    }
  }
  return 0.0;
}
double kernelSupport(Kernel k) { return k == Kernel::Point ? 0.0 : k == Kernel::Triangle ? 1.0 : 2.0; }
bool kernelCardinal(Kernel k) { return k != Kernel::Cubic; }

// Quality code 5: cubic for the same size or an enlargement, triangle for a
// reduction, decided by the whole images' sizes along the axis.
Kernel automaticKernel(int sourceSize, int destinationSize) {
  return destinationSize < sourceSize ? Kernel::Triangle : Kernel::Cubic;
}

struct Axis {
  Kernel kernel;
  double scale;
  double support;
  int width;
};

Axis placement(Kernel k, double s) {
  Axis a;
  a.kernel = k;
  a.scale = 1.0 * std::max(1.0, 1.0 / s);
  a.support = std::max(0.5, a.scale * kernelSupport(k));
  a.width = static_cast<int>(std::ceil(2 * a.support));
  return a;
}

bool isInteger(double v) { return std::fabs(v - std::floor(v + 0.5)) < 1e-7; }

void simplify(Axis& a, double s, double u) {
  if (a.support <= 0.5 || (kernelCardinal(a.kernel) && isInteger(1.0 / a.scale) &&
                           isInteger(1.0 / (s * a.scale)) && isInteger((u / s - 0.5) / a.scale))) {
    a.kernel = Kernel::Point;
    a.scale = 1.0;
    a.support = 0.5;
    a.width = 1;
  }
}

struct Weights {
  int first = 0;
  std::vector<int64_t> w;
};

Weights weights(const Axis& a, double cen, int len, bool trim) {
  int first = static_cast<int>(std::trunc(cen - a.support + 0.5));
  int end = static_cast<int>(std::trunc(cen + a.support + 0.5));
  first = std::max(first, 0);
  end = std::min(end, len);
  double den = 0;
  for (int j = first; j < end; ++j) den += kernelAt(a.kernel, (j + 0.5 - cen) / a.scale);
  const double sc = den != 0 ? 16384.0 / den : 16384.0;
  std::vector<int64_t> t;
  for (int j = first; j < end; ++j)
    t.push_back(static_cast<int64_t>(std::floor(sc * kernelAt(a.kernel, (j + 0.5 - cen) / a.scale) + 0.5)));
  int lo = first, hi = end;
  if (trim) {  // drop zero weights at both ends
    while (lo < hi && t[static_cast<size_t>(lo - first)] == 0) ++lo;
    while (hi > lo && t[static_cast<size_t>(hi - 1 - first)] == 0) --hi;
  }
  int64_t sum = 0;
  for (int j = lo; j < hi; ++j) sum += t[static_cast<size_t>(j - first)];
  Weights out;
  if (sum == 0) {
    out.first = (first + end) / 2;
    out.w = {16384};
    return out;
  }
  out.first = lo;
  out.w.assign(t.begin() + (lo - first), t.begin() + (hi - first));
  if (sum != 16384) {
    const int at = std::clamp(static_cast<int>(std::trunc(cen + 0.5)), lo, hi - 1);
    out.w[static_cast<size_t>(at - lo)] += 16384 - sum;
  }
  return out;
}

struct Window {
  int x0, y0, x1, y1;
  int nx() const { return x1 - x0 + 1; }
  int ny() const { return y1 - y0 + 1; }
};

void scaleCore(const Plane& src, Window a, Plane& dst, Window b, Kernel kx, Kernel ky) {
  if (a.nx() <= 0 || a.ny() <= 0) return;
  const double sx = double(b.nx()) / a.nx(), sy = double(b.ny()) / a.ny();
  const double tx = b.x0 - 0.5 - (a.x0 - 0.5) * sx, ty = b.y0 - 0.5 - (a.y0 - 0.5) * sy;
  if (sx <= 0 || sy <= 0) return;
  Axis ax = placement(kx, sx), ay = placement(ky, sy);
  a.x0 = std::max(a.x0, 0);
  a.y0 = std::max(a.y0, 0);
  a.x1 = std::min(a.x1, src.width - 1);
  a.y1 = std::min(a.y1, src.height - 1);
  b.x0 = std::max(b.x0, 0);
  b.y0 = std::max(b.y0, 0);
  b.x1 = std::min(b.x1, dst.width - 1);
  b.y1 = std::min(b.y1, dst.height - 1);
  // Only the destination pixels the source window reaches.
  b.x0 = std::max(b.x0, static_cast<int>(std::ceil((a.x0 - ax.support) * sx + tx + 1e-7)));
  b.y0 = std::max(b.y0, static_cast<int>(std::ceil((a.y0 - ay.support) * sy + ty + 1e-7)));
  b.x1 = std::min(b.x1, static_cast<int>(std::floor((a.x1 + ax.support) * sx + tx - 1e-7)));
  b.y1 = std::min(b.y1, static_cast<int>(std::floor((a.y1 + ay.support) * sy + ty - 1e-7)));
  const double ux = b.x0 - (a.x0 - 0.5) * sx - tx, uy = b.y0 - (a.y0 - 0.5) * sy - ty;
  if (a.nx() < 1 || a.ny() < 1 || b.nx() < 1 || b.ny() < 1) return;
  simplify(ax, sx, ux);
  simplify(ay, sy, uy);

  if (ax.kernel == Kernel::Point && ay.kernel == Kernel::Point) {
    for (int r = 0; r < b.ny(); ++r)
      for (int i = 0; i < b.nx(); ++i) {
        const int cx = static_cast<int>((ux + i) / sx), cy = static_cast<int>((uy + r) / sy);
        dst.at(b.x0 + i, b.y0 + r) = src.at(a.x0 + cx, a.y0 + cy);
      }
    return;
  }
  const int64_t costX = int64_t(ax.width) * b.nx() * a.ny() + int64_t(ay.width) * b.nx() * b.ny();
  const int64_t costY = int64_t(ay.width) * a.nx() * b.ny() + int64_t(ax.width) * b.nx() * b.ny();
  const bool xFirst = costX < costY;

  for (int r = 0; r < b.ny(); ++r) {
    const Weights wy = weights(ay, (r + uy) / sy, a.ny(), false);
    for (int i = 0; i < b.nx(); ++i) {
      const Weights wx = weights(ax, (i + ux) / sx, a.nx(), true);
      int64_t v;
      if (xFirst) {
        // Rows filtered along x to value x 64 (shift 8, rounded), then
        // summed along y and brought back with (acc + 2^19) >> 20.
        int64_t acc = 0;
        for (size_t jy = 0; jy < wy.w.size(); ++jy) {
          int64_t xs = int64_t{1} << 7;
          for (size_t jx = 0; jx < wx.w.size(); ++jx)
            xs += wx.w[jx] * src.at(a.x0 + wx.first + int(jx), a.y0 + wy.first + int(jy));
          acc += wy.w[jy] * (xs >> 8);
        }
        v = (acc + (int64_t{1} << 19)) >> 20;
      } else {
        // Columns summed along y (value x 2^14), pre-shifted by 8, then
        // filtered along x with the rounding half of a 20-bit shift.
        int64_t xs = int64_t{1} << 19;
        for (size_t jx = 0; jx < wx.w.size(); ++jx) {
          int64_t acc = 0;
          for (size_t jy = 0; jy < wy.w.size(); ++jy)
            acc += wy.w[jy] * src.at(a.x0 + wx.first + int(jx), a.y0 + wy.first + int(jy));
          xs += wx.w[jx] * (acc >> 8);
        }
        v = xs >> 20;
      }
      dst.at(b.x0 + i, b.y0 + r) = static_cast<uint8_t>(std::min<int64_t>(v, 255));
    }
  }
}

}  // namespace

void scaleRect(const Plane& src, const Box& from, Plane& dst, const Box& to) {
  scaleCore(src, Window{from.left, from.top, from.right - 1, from.bottom - 1}, dst,
            Window{to.left, to.top, to.right - 1, to.bottom - 1}, automaticKernel(src.width, dst.width),
            automaticKernel(src.height, dst.height));
}

void scaleImage(const Plane& src, Plane& dst) {
  if (src.width == dst.width && src.height == dst.height) {
    dst.px = src.px;
    return;
  }
  scaleCore(src, Window{0, 0, src.width - 1, src.height - 1}, dst,
            Window{0, 0, dst.width - 1, dst.height - 1}, automaticKernel(src.width, dst.width),
            automaticKernel(src.height, dst.height));
}

}  // namespace veyra::reftest
