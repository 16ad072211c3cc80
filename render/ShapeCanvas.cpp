#include "render/ShapeCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "fx/ImageScaler.h"
#include "host/Errors.h"
#include "render/BufferBlur.h"
#include "render/BufferImage.h"
#include "render/CornerPin.h"
#include "render/ShapeRotation.h"

namespace veyra {

namespace {

constexpr int kAutomaticQuality = 5;

// A truncated size: false below 1 (NaN included), -108 beyond 32 bits.
bool sizeFromDouble(double v, int32_t& out) {
  const double t = std::trunc(v);
  if (!(t >= 1.0)) return false;
  if (!(t < 2147483648.0)) throw HostResultError(memFullErr);
  out = static_cast<int32_t>(t);
  return true;
}

int32_t offsetFromDouble(double position, int32_t canvasSize, int32_t shapeSize) {
  double moved = std::trunc(position * canvasSize * 0.01);
  if (std::isnan(moved)) moved = 0.0;
  const double offset = moved + static_cast<double>((static_cast<int64_t>(canvasSize) - shapeSize) / 2);
  const double low = -static_cast<double>(shapeSize), high = canvasSize;
  return static_cast<int32_t>(std::min(std::max(offset, low), high));
}

}  // namespace

bool shapeFitsCanvas(int32_t qw, int32_t qh, int32_t cw, int32_t ch) {
  const int64_t pixels = int64_t{qw} * qh;
  return pixels <= std::max(kMaxShapeToCanvas * cw * ch, kFreeShapePixels);
}

bool scaledShapeSize(const LightParameters& params, int32_t cw, int32_t ch, int32_t sw, int32_t sh,
                     int32_t& qw, int32_t& qh) {
  if (sw <= 0 || sh <= 0) return false;
  const double w = params.shapeScaleX * 0.01 * (static_cast<double>(cw) / sw) * sw;
  const double h = sh * params.shapeScaleY * 0.01 * (static_cast<double>(ch) / sh);
  int32_t a = 0, b = 0;
  // Both are checked before either is used, so a size beyond 32 bits is out
  // of memory even when the other one is nothing.
  const bool wide = sizeFromDouble(w, a);
  const bool high = sizeFromDouble(h, b);
  if (!wide || !high) return false;
  qw = a;
  qh = b;
  return true;
}

void shapeOffset(double positionX, double positionY, int32_t cw, int32_t ch, int32_t rw, int32_t rh,
                 int32_t& ox, int32_t& oy) {
  ox = offsetFromDouble(positionX, cw, rw);
  oy = offsetFromDouble(positionY, ch, rh);
}

void placeShape(HostBuffer& canvas, const HostBuffer& shape, int32_t ox, int32_t oy) {
  const int32_t cw = canvas.width(), ch = canvas.height();
  const int32_t rw = shape.width(), rh = shape.height();
  // Trim the shape's rectangle to the part that can reach the canvas first,
  // so that moving it by the offset cannot leave the 32-bit range.
  const int64_t top = std::max<int64_t>(0, -int64_t{oy}), left = std::max<int64_t>(0, -int64_t{ox});
  const int64_t bottom = std::min<int64_t>(rh, int64_t{ch} - oy),
                right = std::min<int64_t>(rw, int64_t{cw} - ox);
  if (top >= bottom || left >= right) return;  // wholly outside
  VRect source = makeRect(static_cast<int32_t>(top), static_cast<int32_t>(left), static_cast<int32_t>(bottom),
                          static_cast<int32_t>(right));
  VRect target = makeRect(0, 0, ch, cw);
  OverlapRect rects[2] = {{&target, 0, 0}, {&source, ox, oy}};
  overlapRects(rects, 2);
  if (rectIsEmpty(target)) return;
  const size_t bytes = static_cast<size_t>(rectWidth(target));
  for (int32_t r = 0; r < rectHeight(target); ++r) {
    std::memcpy(canvas.row(target.top + r) + target.left, shape.row(source.top + r) + source.left, bytes);
  }
}

HostBufferRef buildShapeCanvas(HostDocument& host, const HostBufferRef& shape, const LightParameters& params,
                               int32_t cw, int32_t ch, double kx, double ky, WorkerPool* pool) {
  if (!shape || cw <= 0 || ch <= 0) return HostBufferRef();
  const int32_t sw = shape->width(), sh = shape->height();
  int32_t qw = 0, qh = 0;
  if (!scaledShapeSize(params, cw, ch, sw, sh, qw, qh)) return HostBufferRef();
  if (!shapeFitsCanvas(qw, qh, cw, ch)) throw HostResultError(memFullErr);

  // Scale (a plain copy at the shape's own size).
  HostBufferRef scaled = host.makeBuffer(qw, qh, 1, 1, 1);
  if (qw == sw && qh == sh) {
    scaled->copyFrom(*shape);
  } else {
    BufferImage source(*shape), target(*scaled);
    fx::RectScaler scaler;
    scaler.prepare(source.image(), fx::Rect{0, 0, sh, sw}, target.image(), fx::Rect{0, 0, qh, qw},
                   kAutomaticQuality);
    forEachLine(pool, qh, qw, [&](int32_t top, int32_t bottom) { scaler.scaleRows(top, bottom); });
  }

  blurBuffer(*scaled, params.shapeBlurX, kx, params.shapeBlurY, ky, pool);

  // The rotation frees the scaled shape as soon as its first shear exists.
  HostBufferRef rotated =
      params.shapeRotation != 0.0 ? rotateShape(host, std::move(scaled), params.shapeRotation, pool) : scaled;
  scaled.reset();

  HostBufferRef canvas = host.makeBuffer(cw, ch, 1, 1, 1);
  canvas->clear();
  int32_t ox = 0, oy = 0;
  shapeOffset(params.shapePositionX, params.shapePositionY, cw, ch, rotated->width(), rotated->height(), ox,
              oy);
  placeShape(*canvas, *rotated, ox, oy);
  rotated.reset();

  if (!params.cornerPinIsIdentity()) applyCornerPin(host, *canvas, params.corners);
  return canvas;
}

}  // namespace veyra
