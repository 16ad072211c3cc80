// Describes a host pixel buffer as an fx::PixelImage over the same memory, so
// that the scaler and the blur work on it in place.
#pragma once

#include <cstdint>

#include "fx/PixelImage.h"
#include "host/HostBuffer.h"

namespace veyra {

// Borrows the buffer's memory for its lifetime; the host keeps ownership.
// The image covers width x height pixels from the buffer's first row and
// column (the whole buffer by default), with the buffer's row bytes.
class BufferImage {
 public:
  explicit BufferImage(const HostBuffer& buffer) : BufferImage(buffer, buffer.width(), buffer.height()) {}
  BufferImage(const HostBuffer& buffer, int32_t width, int32_t height) {
    image_.init(width, height, buffer.slots(), buffer.bytesPerSample(), buffer.rowBytes(), buffer.data());
  }
  ~BufferImage() { image_.data = nullptr; }  // borrowed: never freed through the image
  BufferImage(const BufferImage&) = delete;
  BufferImage& operator=(const BufferImage&) = delete;

  fx::PixelImage& image() { return image_; }

 private:
  fx::PixelImage image_;
};

}  // namespace veyra
