#include "render/BufferBlur.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "fx/BoxBlur.h"
#include "render/BufferImage.h"

namespace veyra {

float blurRadius(double length, double factor) {
  if (!(length > 0.0)) return 0.0f;  // NaN, 0 and negative: no blur
  // +infinity blurs as the largest finite length does.
  if (std::isinf(length)) length = std::numeric_limits<double>::max();
  const double radius = length * factor;
  if (!(radius > 0.0)) return 0.0f;
  if (!(radius < 2147483648.0)) return 2147483648.0f;  // huge, or overflowed to infinity
  return static_cast<float>(radius);
}

namespace {

// Columns per vertical part: whole blocks of the box blur's column pass.
constexpr int32_t kColumnBlockBytes = 128;

// The passes of one direction over part of the image: radius 0 in the other
// direction skips it. The line length, and so every weight, is the whole
// line's, as the part spans the image along that direction.
void blurPart(fx::PixelImage& image, float x, float y, const fx::Rect& part) {
  fx::BoxBlur blur;
  blur.setRadii(x, y);
  blur.setExtraPasses(1);
  blur.apply(image, part);
}

// The vertical passes of radius y over the image, on the pool by blocks of
// columns.
void blurImageColumns(fx::PixelImage& img, float y, WorkerPool* pool) {
  const int32_t w = img.width, h = img.height;
  if (pool == nullptr || pool->threads() == 1) {
    blurPart(img, 0.0f, y, img.bounds);
    return;
  }
  const int32_t columns = std::max<int32_t>(1, pool->minPartSamples() / (h * std::max(img.channels, 1)));
  const int32_t block = std::max<int32_t>(1, kColumnBlockBytes / img.bytesPerPixel);
  forEachSpan(pool, w, columns, block, [&](int32_t left, int32_t right) {
    blurPart(img, 0.0f, y, fx::Rect{0, left, h, right});
  });
}

}  // namespace

bool blurBuffer(HostBuffer& buffer, double lengthX, double factorX, double lengthY, double factorY,
                WorkerPool* pool) {
  const float x = blurRadius(lengthX, factorX), y = blurRadius(lengthY, factorY);
  if (x == 0.0f && y == 0.0f) return false;
  const int32_t w = buffer.width(), h = buffer.height();
  if (w <= 0 || h <= 0) return false;
  BufferImage image(buffer);
  fx::PixelImage& img = image.image();
  if (pool == nullptr || pool->threads() == 1) {
    blurPart(img, x, y, img.bounds);
    return true;
  }
  if (x != 0.0f) {
    forEachLine(pool, h, w * std::max(img.channels, 1), [&](int32_t top, int32_t bottom) {
      blurPart(img, x, 0.0f, fx::Rect{top, 0, bottom, w});
    });
  }
  if (y != 0.0f) blurImageColumns(img, y, pool);
  return true;
}

void blurRows(HostBuffer& buffer, double lengthX, double factorX, int32_t top, int32_t bottom) {
  const float x = blurRadius(lengthX, factorX);
  if (x == 0.0f || buffer.width() <= 0) return;
  BufferImage image(buffer);
  blurPart(image.image(), x, 0.0f, fx::Rect{top, 0, bottom, buffer.width()});
}

void blurColumns(HostBuffer& buffer, double lengthY, double factorY, WorkerPool* pool) {
  const float y = blurRadius(lengthY, factorY);
  if (y == 0.0f || buffer.width() <= 0 || buffer.height() <= 0) return;
  BufferImage image(buffer);
  blurImageColumns(image.image(), y, pool);
}

}  // namespace veyra
