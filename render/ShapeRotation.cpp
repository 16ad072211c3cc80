#include "render/ShapeRotation.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "host/Errors.h"

namespace veyra {

namespace {

// Single-precision constants of the angle arithmetic: pi, 1/360 and 1/180,
// and the constant just below 1 that rounds a sheared size up.
constexpr float kPi = 3.1415927f;
constexpr float kHalfDegree = 0.0027777778f;
constexpr float kDegree = 0.0055555557f;
constexpr float kAlmostOne = 0.999999f;

// A size computed in floating point, truncated. Sizes beyond 32 bits are
// memory no host could give.
int32_t truncSize(double v) {
  if (!(v < 2147483648.0)) throw HostResultError(memFullErr);
  if (!(v > 0.0)) return 0;
  return static_cast<int32_t>(v);
}

// 12-bit fraction of a shift that is at least 0.
void splitShift(double shift, int64_t& whole, int32_t& fraction) {
  const double n = std::trunc(shift);
  whole = static_cast<int64_t>(n);
  fraction = static_cast<int32_t>((shift - n) * 4096.0);
}

// Writes count samples of src (srcStep apart) into a line of len samples of
// dst (dstStep apart, already 0), the first at position off. Each written
// sample blends the source sample with the previous one by the fraction f
// (12-bit fixed point, rounded); samples falling outside the line are
// skipped and do not become the previous sample. When f > 0 and there is
// room, the line ends with the last sample's remaining share.
void shearLine(const uint8_t* src, ptrdiff_t srcStep, int32_t count, uint8_t* dst, ptrdiff_t dstStep,
               int32_t len, int64_t off, int32_t f) {
  const int64_t first = std::max<int64_t>(0, -off);
  const int64_t end = std::min<int64_t>(count, int64_t{len} - off);
  const uint32_t keep = static_cast<uint32_t>(4096 - f);
  const uint32_t take = static_cast<uint32_t>(f);
  uint32_t prev = 0;
  for (int64_t j = first; j < end; ++j) {
    const uint32_t v = src[j * srcStep];
    dst[(off + j) * dstStep] = static_cast<uint8_t>((v * keep + prev * take + 2048) >> 12);
    prev = v;
  }
  const int64_t last = off + count;
  if (f > 0 && last >= 0 && last < len)
    dst[last * dstStep] = static_cast<uint8_t>((take * prev + 2048) >> 12);
}

HostBufferRef newImage(HostDocument& host, int32_t width, int32_t height) {
  HostBufferRef b = host.makeBuffer(width, height, 1, 1, 1);
  b->clear();
  return b;
}

// Turns the image by q quarter turns counter-clockwise as seen (rows counted
// downward).
HostBufferRef quarterTurn(HostDocument& host, const HostBufferRef& image, int q) {
  const HostBuffer& src = *image;
  const int32_t w = src.width(), h = src.height();
  if (q == 0) return image;
  HostBufferRef out = q == 2 ? newImage(host, w, h) : newImage(host, h, w);
  HostBuffer& dst = *out;
  for (int32_t i = 0; i < h; ++i) {
    const uint8_t* row = src.row(i);
    for (int32_t j = 0; j < w; ++j) {
      switch (q) {
        case 1:
          dst.row(w - 1 - j)[i] = row[j];
          break;
        case 2:
          dst.row(h - 1 - i)[w - 1 - j] = row[j];
          break;
        default:
          dst.row(j)[h - 1 - i] = row[j];
          break;
      }
    }
  }
  return out;
}

}  // namespace

RotationAngle normaliseRotation(double degrees) {
  if (!std::isfinite(degrees)) return {0, 0.0};
  double a = -degrees;
  // While a < -45 add 360: fmod gives the last value of that run exactly
  // (every step but the one that crosses -45 is exact), so only the crossing
  // step is rounded, as it would be in the loop.
  if (a < -45.0) {
    const double r = std::fmod(a, 360.0);  // exact, in (-360, 0]
    a = r < -45.0 ? r + 360.0 : r;
  }
  // While a > 45 subtract 90, counting quarter turns. Whole turns change
  // neither the remainder nor the count modulo 4.
  a = std::fmod(a, 360.0);
  int q = 0;
  while (a > 45.0) {
    a -= 90.0;
    ++q;
  }
  if (a == 0.0) a = 0.0;  // no negative zero
  return {q & 3, a};
}

RotationPlan planRotation(int32_t width, int32_t height, double degrees) {
  RotationPlan p{};
  const RotationAngle angle = normaliseRotation(degrees);
  p.quarterTurns = angle.quarterTurns;
  p.shear = angle.shear;
  const bool swap = (p.quarterTurns & 1) != 0;
  p.w0 = swap ? height : width;
  p.h0 = swap ? width : height;
  const double a = angle.shear;
  p.t = static_cast<float>(std::fabs(std::tan(a * kPi * kHalfDegree)));
  p.s = static_cast<float>(std::fabs(std::sin(a * kPi * kDegree)));
  p.shears = p.t != 0.0f && p.s != 0.0f;
  if (!p.shears) return p;

  // Sizes in double precision from the single-precision t and s.
  const double t = p.t, s = p.s, almostOne = kAlmostOne;
  p.w1 = truncSize(p.h0 * t + p.w0 + almostOne);
  p.d = truncSize((static_cast<double>(p.w1) - p.w0) * s);
  p.f = truncSize(s * p.w1 + p.h0 + almostOne);
  p.h2 = truncSize(static_cast<double>(p.f) - 2.0 * p.d);
  p.l3 = truncSize((static_cast<double>(p.f) - p.d - p.h0) * t);
  p.w3 = truncSize(p.h2 * t + p.w1 + almostOne - 2.0 * p.l3);
  return p;
}

HostBufferRef rotateShape(HostDocument& host, HostBufferRef image, double degrees, WorkerPool* pool) {
  const RotationPlan p = planRotation(image->width(), image->height(), degrees);
  HostBufferRef turned = quarterTurn(host, image, p.quarterTurns);
  image.reset();
  if (!p.shears) return turned;

  const bool positive = p.shear > 0.0;
  const double t = p.t, s = p.s;

  // First shear, along rows: w0 x h0 into w1 x h0.
  HostBufferRef first = newImage(host, p.w1, p.h0);
  forEachLine(pool, p.h0, p.w1, [&](int32_t begin, int32_t end) {
    int64_t n;
    int32_t f;
    for (int32_t y = begin; y < end; ++y) {
      splitShift(t * (positive ? y : p.h0 - y), n, f);
      shearLine(turned->row(y), 1, p.w0, first->row(y), 1, p.w1, n, f);
    }
  });
  turned.reset();

  // Second shear, along columns: w1 x h0 into w1 x h2, moved up by d.
  HostBufferRef second = newImage(host, p.w1, p.h2);
  const ptrdiff_t firstPitch = first->rowBytes(), secondPitch = second->rowBytes();
  forEachLine(pool, p.w1, p.h2, [&](int32_t begin, int32_t end) {
    int64_t n;
    int32_t f;
    for (int32_t x = begin; x < end; ++x) {
      splitShift(s * (positive ? p.w1 - x : x), n, f);
      shearLine(first->data() + x, firstPitch, p.h0, second->data() + x, secondPitch, p.h2, n - p.d, f);
    }
  });
  first.reset();

  // Third shear, along rows: w1 x h2 into w3 x h2, moved left by l3.
  HostBufferRef third = newImage(host, p.w3, p.h2);
  forEachLine(pool, p.h2, p.w3, [&](int32_t begin, int32_t end) {
    int64_t n;
    int32_t f;
    for (int32_t y = begin; y < end; ++y) {
      splitShift(t * (positive ? y : p.h2 - y), n, f);
      shearLine(second->row(y), 1, p.w1, third->row(y), 1, p.w3, n - p.l3, f);
    }
  });
  return third;
}

}  // namespace veyra
