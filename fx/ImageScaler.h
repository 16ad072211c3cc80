#pragma once

#include <cstdint>
#include <memory>

#include "fx/ImageBuffer.h"
#include "fx/PixelImage.h"
#include "fx/Rect.h"

namespace fx {

struct Filter;
namespace detail {
class ScaleJob;
}

// Separable resampling of 1- or 4-channel images with 8-bit or 16-bit samples. Weights are 14-bit
// fixed point and all pixel arithmetic is integer, so results are exactly reproducible.
//
// Quality codes: 0 and 4 "point"; 1 "triangle"; 2 and 3 "cubic"; 5 automatic per axis: "triangle"
// when reducing, "cubic" when enlarging or keeping the size. Other codes select no filter and the
// call does nothing.
class ImageScaler {
 public:
  class ImageReadInterface;
  class ImageWriteInterface;

  // Resamples the whole source into the whole destination. Same-size images are copied exactly,
  // whatever the quality (nothing happens when both are the same record; pixel sizes must match).
  // Otherwise source and destination must have the same channel count (1 or 4) and bytes per
  // channel (1 or 2); other combinations, and images without pixels, are left untouched.
  static void scaleImage(const PixelImage& source, PixelImage& destination, int quality);

  // Resamples sourceRect of source into destRect of destination (bottom and right exclusive); both
  // rectangles are clipped to their images and destination pixels outside destRect are not
  // touched. The automatic quality compares the sizes of the whole images, not of the rectangles,
  // and there is no same-size shortcut: code 5 on equal sizes applies the "cubic" B-spline.
  static void scaleRect(const PixelImage& source, const Rect& sourceRect, PixelImage& destination,
                        const Rect& destRect, int quality);

  // The filter a quality code selects for one axis (sizes along that axis), or nullptr.
  static const Filter* filterForQuality(int quality, int32_t sourceSize, int32_t destinationSize);
};

// ImageScaler::scaleRect prepared once and run in parts: prepare() plans the call and builds its
// weight tables, and scaleRows(top, bottom) writes the destination rows in [top, bottom) that
// scaleRect writes, exactly as it writes them. Parts may run at the same time on different threads
// and in any order. Prepared again, the scaler keeps its column tables when the columns map as
// before (every band of a render cut from one canvas) and builds only the row tables.
class RectScaler {
 public:
  RectScaler();
  ~RectScaler();
  RectScaler(const RectScaler&) = delete;
  RectScaler& operator=(const RectScaler&) = delete;

  // Both images must stay alive, and their pixels in place, until the last scaleRows of this
  // preparation has returned.
  void prepare(const PixelImage& source, const Rect& sourceRect, PixelImage& destination,
               const Rect& destRect, int quality);
  // Destination rows in destination image coordinates; rows scaleRect leaves alone stay untouched.
  void scaleRows(int32_t top, int32_t bottom) const;

 private:
  const PixelImage* source_ = nullptr;
  PixelImage* destination_ = nullptr;
  std::unique_ptr<detail::ScaleJob> job_;
};

// Row reads from a PixelImage; writes do nothing. The image is not owned.
class ImageScaler::ImageReadInterface : public ImageBuffer {
 public:
  explicit ImageReadInterface(const PixelImage* image) : image_(image) {}
  int32_t channelCount() const override { return image_->channels; }
  int32_t bytesPerChannel() const override { return image_->bytesPerChannel; }
  void getSize(int32_t& width, int32_t& height) const override {
    width = image_->width;
    height = image_->height;
  }
  // Copies count pixels of row y from column x (overlap-safe); returns count x bytesPerPixel.
  // No range check: the caller stays inside the image.
  int32_t readRow(int32_t y, int32_t x, int32_t count, void* destination) override;
  // Does nothing; returns 0.
  int32_t writeRow(int32_t, int32_t, int32_t, const void*) override { return 0; }

 private:
  const PixelImage* image_;
};

// Row writes into a PixelImage; reads do nothing. The image is not owned.
class ImageScaler::ImageWriteInterface : public ImageBuffer {
 public:
  explicit ImageWriteInterface(PixelImage* image) : image_(image) {}
  int32_t channelCount() const override { return image_->channels; }
  int32_t bytesPerChannel() const override { return image_->bytesPerChannel; }
  void getSize(int32_t& width, int32_t& height) const override {
    width = image_->width;
    height = image_->height;
  }
  // Does nothing; returns 0.
  int32_t readRow(int32_t, int32_t, int32_t, void*) override { return 0; }
  // Copies count pixels into row y from column x (overlap-safe); returns count x bytesPerPixel.
  // No range check: the caller stays inside the image.
  int32_t writeRow(int32_t y, int32_t x, int32_t count, const void* source) override;

 private:
  PixelImage* image_;
};

}  // namespace fx
