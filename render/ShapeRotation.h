// Rotation of the placed shape by any angle: whole quarter turns first, then
// the remainder (at most 45 degrees either way) as three one-dimensional
// shears with 12-bit fixed-point interpolation between neighbours.
#pragma once

#include <cstdint>

#include "host/HostDocument.h"
#include "render/WorkerPool.h"

namespace veyra {

// The angle taken apart: quarterTurns (0..3, counter-clockwise as seen with
// rows counted downward) and the shear angle in -45..45 degrees. The shear
// angle is the negated rotation brought into range exactly as repeatedly
// adding 360 while below -45 and then subtracting 90 while above 45 would do,
// but with remainders, so that huge angles finish at once.
struct RotationAngle {
  int quarterTurns;
  double shear;
};
RotationAngle normaliseRotation(double degrees);

// Every size of the rotation of a width x height image. t is the absolute
// tangent of half the shear angle and s the absolute sine of the angle, both
// single precision; when either is 0 only the quarter turns apply and the
// result is w0 x h0.
struct RotationPlan {
  int quarterTurns;
  double shear;
  float t;
  float s;
  bool shears;
  int32_t w0, h0;    // after the quarter turns
  int32_t w1;        // first shear (along rows): w1 x h0
  int32_t d, f, h2;  // second shear (along columns): w1 x h2
  int32_t l3, w3;    // third shear (along rows): w3 x h2
  int32_t resultWidth() const { return shears ? w3 : w0; }
  int32_t resultHeight() const { return shears ? h2 : h0; }
};
// Raises HostResultError(-108) when a size does not fit 32 bits (memory no
// host could give).
RotationPlan planRotation(int32_t width, int32_t height, double degrees);

// The one-plane 8-bit image turned by degrees (positive turns it clockwise as
// seen). A NaN or infinite angle turns nothing and returns the image itself,
// as does any angle that leaves it unchanged (0, 360, ...). Buffers come from
// the host; out of memory raises HostResultError(-108). Every image of the way
// (the one given included, unless the caller keeps another reference) is
// given back as soon as the next one is made. With a pool the lines of each
// shear are shared out among its threads (buffers are still made on the
// calling thread); every line is computed alone, so the result is the same.
HostBufferRef rotateShape(HostDocument& host, HostBufferRef image, double degrees,
                          WorkerPool* pool = nullptr);

}  // namespace veyra
