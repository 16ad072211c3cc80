#pragma once

#include <cstdint>
#include <memory>

#include "fx/Rect.h"

namespace fx {

// A block of interleaved pixels in memory, owned or borrowed.
//
// Pixel (x, y), channel k starts at byte y * rowBytes + x * bytesPerPixel + k * bytesPerChannel
// from data. 8-bit samples run 0..255, 16-bit samples 0..32768 in machine byte order.
//
// Memory the record allocated itself is held separately from the public data pointer, so the
// record frees exactly what it allocated and never memory it only borrowed, whatever the caller
// does with data or ownsData afterwards. The record is not copyable.
class PixelImage {
 public:
  uint8_t* data = nullptr;
  int32_t reserved = 0;  // kept for layout compatibility; never read
  int32_t width = 0;
  int32_t height = 0;
  int32_t channels = 0;
  int32_t bytesPerChannel = 0;
  int32_t bytesPerPixel = 0;
  int32_t rowBytes = 0;
  bool hasAlpha = false;
  bool ownsData = false;
  Rect bounds;

  // An empty record: no pixels, nothing owned.
  PixelImage() = default;

  // Describes a width x height image. rowBytes 0 means width * channels * bytesPerChannel.
  // With data given the image borrows it; with null data it owns its pixels and allocates
  // height * rowBytes bytes (contents undefined) when width and height are both positive.
  // Throws std::invalid_argument for negative sizes or a row size that does not fit 32 bits,
  // and std::bad_alloc when the memory cannot be had.
  PixelImage(int32_t width, int32_t height, int32_t channels, int32_t bytesPerChannel, int32_t rowBytes = 0,
             uint8_t* data = nullptr);

  PixelImage(const PixelImage&) = delete;
  PixelImage& operator=(const PixelImage&) = delete;

  // Frees the memory this record allocated, if any.
  ~PixelImage();

  // Sets every field as the full constructor does but never allocates: with data given the image
  // borrows it, with null data it only marks itself owning and keeps its data pointer. Memory the
  // record allocated earlier stays alive until destruction. Throws std::invalid_argument for
  // negative sizes or a row size that does not fit 32 bits (the record is then unchanged).
  void init(int32_t width, int32_t height, int32_t channels, int32_t bytesPerChannel, int32_t rowBytes = 0,
            uint8_t* data = nullptr);

  // Address of pixel (x, y); no range check.
  uint8_t* pixel(int32_t x, int32_t y) const {
    return data + static_cast<intptr_t>(y) * rowBytes + static_cast<intptr_t>(x) * bytesPerPixel;
  }

 private:
  std::unique_ptr<uint8_t[]> storage_;
};

}  // namespace fx
