// Building the shape canvas: the decoded shape scaled, blurred, rotated,
// positioned and corner-pinned on a one-plane canvas that stands for the
// whole image, 0 wherever the shape does not reach.
#pragma once

#include <cstdint>

#include "host/HostDocument.h"
#include "host/LightParameters.h"
#include "render/WorkerPool.h"

namespace veyra {

// The scaled shape size: qw = trunc(X scale x 0.01 x (cw / sw) x sw) and
// qh = trunc(sh x Y scale x 0.01 x (ch / sh)) in double precision. False when
// either is below 1 or NaN (a zero, negative or NaN scale: no canvas).
// Raises HostResultError(-108) when either does not fit 32 bits.
bool scaledShapeSize(const LightParameters& params, int32_t cw, int32_t ch, int32_t sw, int32_t sh,
                     int32_t& qw, int32_t& qh);

// At most so many canvases' worth of scaled shape is built (the dialog's
// largest scale, 500 % either way, makes 25) unless the scaled shape is no
// larger than kFreeShapePixels. A canvas covers about its own area of the
// scaled shape, so a larger one would be almost all cut away; it is refused
// with -108 before anything is allocated, where building it took gigabytes.
constexpr int64_t kMaxShapeToCanvas = 25;
constexpr int64_t kFreeShapePixels = int64_t{1} << 24;
bool shapeFitsCanvas(int32_t qw, int32_t qh, int32_t cw, int32_t ch);

// The top-left pixel of the rotated shape (rw x rh) on the canvas (cw x ch):
// the position in percent of the canvas, truncated, plus half the size
// difference (truncated toward zero). A NaN position counts as 0. The
// offsets are limited to -rw..cw and -rh..ch, where the shape lies wholly
// outside the canvas just as it would farther away.
void shapeOffset(double positionX, double positionY, int32_t cw, int32_t ch, int32_t rw, int32_t rh,
                 int32_t& ox, int32_t& oy);

// Copies the shape into the canvas with its top-left pixel at (ox, oy);
// whatever falls outside the canvas is dropped.
void placeShape(HostBuffer& canvas, const HostBuffer& shape, int32_t ox, int32_t oy);

// The placed shape on a cw x ch canvas, or nothing when the scaled size is
// nothing. kx and ky turn the shape blur lengths (full-image pixels) into
// canvas pixels. Out of host memory raises HostResultError(-108). With a
// pool the scaling, blur and rotation run on its threads, with the same
// result.
HostBufferRef buildShapeCanvas(HostDocument& host, const HostBufferRef& shape, const LightParameters& params,
                               int32_t cw, int32_t ch, double kx, double ky, WorkerPool* pool = nullptr);

}  // namespace veyra
