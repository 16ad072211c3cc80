#include "fx/ImageScaler.h"

#include <cstring>

#include "fx/Filters.h"
#include "fx/ScaleCore.h"

namespace fx {

int32_t ImageScaler::ImageReadInterface::readRow(int32_t y, int32_t x, int32_t count, void* destination) {
  const int32_t bytes = count * image_->bytesPerPixel;
  std::memmove(destination, image_->pixel(x, y), static_cast<size_t>(bytes));
  return bytes;
}

int32_t ImageScaler::ImageWriteInterface::writeRow(int32_t y, int32_t x, int32_t count, const void* source) {
  const int32_t bytes = count * image_->bytesPerPixel;
  std::memmove(image_->pixel(x, y), source, static_cast<size_t>(bytes));
  return bytes;
}

const Filter* ImageScaler::filterForQuality(int quality, int32_t sourceSize, int32_t destinationSize) {
  switch (quality) {
    case 0:
    case 4:
      return findFilter("point");
    case 1:
      return findFilter("triangle");
    case 2:
    case 3:
      return findFilter("cubic");
    case 5:
      return findFilter(destinationSize < sourceSize ? "triangle" : "cubic");
    default:
      return nullptr;
  }
}

namespace {

// Both images hold pixel memory whose rows are at least as long as their pixels.
bool usable(const PixelImage& img) {
  return img.data != nullptr && img.width > 0 && img.height > 0 &&
         int64_t{img.rowBytes} >= int64_t{img.width} * img.bytesPerPixel;
}

// The scaler supports 1 or 4 channels of 8 or 16 bits, the same on both sides.
bool compatible(const PixelImage& s, const PixelImage& d) {
  const bool channelsOk = s.channels == 1 || s.channels == 4;
  const bool depthOk = s.bytesPerChannel == 1 || s.bytesPerChannel == 2;
  return channelsOk && depthOk && s.channels == d.channels && s.bytesPerChannel == d.bytesPerChannel &&
         s.bytesPerPixel == s.channels * s.bytesPerChannel && d.bytesPerPixel == s.bytesPerPixel &&
         usable(s) && usable(d);
}

detail::ScaleWindow windowOf(const Rect& r) {
  return detail::ScaleWindow::fromBounds(r.top, r.left, r.bottom, r.right);
}

}  // namespace

void ImageScaler::scaleImage(const PixelImage& source, PixelImage& destination, int quality) {
  if (&source == &destination) return;
  if (source.width == destination.width && source.height == destination.height) {
    // A plain copy: any format, as long as both sides have the same pixel size.
    if (!usable(source) || !usable(destination) || source.bytesPerPixel != destination.bytesPerPixel) return;
    const size_t rowBytes = size_t(source.width) * size_t(source.bytesPerPixel);
    if (source.rowBytes == destination.rowBytes) {
      // One block; the last row stops at its last pixel so no byte past the image is touched.
      std::memmove(destination.data, source.data,
                   size_t(source.height - 1) * size_t(source.rowBytes) + rowBytes);
    } else {
      for (int32_t y = 0; y < source.height; ++y)
        std::memmove(destination.pixel(0, y), source.pixel(0, y), rowBytes);
    }
    return;
  }
  RectScaler scaler;
  scaler.prepare(source, Rect{0, 0, source.height, source.width}, destination,
                 Rect{0, 0, destination.height, destination.width}, quality);
  scaler.scaleRows(0, destination.height);
}

void ImageScaler::scaleRect(const PixelImage& source, const Rect& sourceRect, PixelImage& destination,
                            const Rect& destRect, int quality) {
  RectScaler scaler;
  scaler.prepare(source, sourceRect, destination, destRect, quality);
  scaler.scaleRows(0, destination.height);
}

RectScaler::RectScaler() : job_(std::make_unique<detail::ScaleJob>()) {}
RectScaler::~RectScaler() = default;

void RectScaler::prepare(const PixelImage& source, const Rect& sourceRect, PixelImage& destination,
                         const Rect& destRect, int quality) {
  source_ = &source;
  destination_ = &destination;
  detail::ScalePlan plan;  // runs nothing
  const Filter* fx = ImageScaler::filterForQuality(quality, source.width, destination.width);
  const Filter* fy = ImageScaler::filterForQuality(quality, source.height, destination.height);
  if (compatible(source, destination) && fx != nullptr && fy != nullptr) {
    ImageScaler::ImageReadInterface in(&source);
    ImageScaler::ImageWriteInterface out(&destination);
    plan = detail::planFor(in, out, windowOf(sourceRect), windowOf(destRect), *fx, *fy);
  }
  job_->prepare(plan);
}

void RectScaler::scaleRows(int32_t top, int32_t bottom) const {
  const detail::ScalePlan& plan = job_->plan();
  if (!plan.run) return;
  ImageScaler::ImageReadInterface in(source_);
  ImageScaler::ImageWriteInterface out(destination_);
  job_->run(in, out, int64_t{top} - plan.b.y0, int64_t{bottom} - plan.b.y0);
}

}  // namespace fx
