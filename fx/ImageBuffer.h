#pragma once

#include <cstdint>

namespace fx {

// Row access to an image of interleaved pixels. The scaler reads its source and writes its
// destination only through this interface, so it never depends on how pixels are stored.
// The five operations keep this order in the table of virtual functions.
class ImageBuffer {
 public:
  // Number of interleaved channels per pixel.
  virtual int32_t channelCount() const = 0;
  // Bytes per sample: 1 or 2.
  virtual int32_t bytesPerChannel() const = 0;
  // Image size in pixels.
  virtual void getSize(int32_t& width, int32_t& height) const = 0;
  // Copies count pixels of row y starting at column x into destination; returns the bytes copied.
  virtual int32_t readRow(int32_t y, int32_t x, int32_t count, void* destination) = 0;
  // Copies count pixels from source into row y starting at column x; returns the bytes copied.
  virtual int32_t writeRow(int32_t y, int32_t x, int32_t count, const void* source) = 0;

  virtual ~ImageBuffer() = default;

 protected:
  ImageBuffer() = default;
  ImageBuffer(const ImageBuffer&) = default;
  ImageBuffer& operator=(const ImageBuffer&) = default;
};

}  // namespace fx
