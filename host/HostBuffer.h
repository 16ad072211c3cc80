// Interleaved pixel buffers in host memory, shared by counted references.
#pragma once

#include <cstdint>
#include <vector>

#include "host/PIChannelPortsSuite.h"
#include "host/Rect.h"

namespace veyra {

class HostDocument;

// One slot of a buffer: the host's pixel memory descriptor for that slot and
// the type of the channel last read into it.
struct PlaneDesc {
  PixelMemoryDesc memory;
  int16_t channelType;
};

class HostBuffer {
public:
  HostDocument* owner() const { return owner_; }
  const VRect& rect() const { return rect_; }
  int32_t width() const { return rectWidth(rect_); }
  int32_t height() const { return rectHeight(rect_); }
  int32_t slots() const { return static_cast<int32_t>(planes_.size()); }
  const std::vector<PlaneDesc>& planes() const { return planes_; }
  std::vector<PlaneDesc>& planes() { return planes_; }
  int32_t bytesPerSample() const { return bytesPerSample_; }
  int32_t rowBytes() const { return rowBytes_; }
  int32_t bytesPerPixel() const { return bytesPerPixel_; }
  int16_t imageMode() const { return imageMode_; }
  uint8_t* data() const { return data_; }
  uint8_t* row(int32_t r) const { return data_ + static_cast<intptr_t>(r) * rowBytes_; }
  int32_t referenceCount() const { return refCount_; }
  // Bytes in the data block: slots x width x height x bytes per sample.
  size_t byteSize() const;

  // The rows the buffer was made with; it may show fewer (setHeight).
  int32_t madeRows() const { return madeRows_; }
  // Shows the first `rows` of the rows it was made with (limited to those)
  // as the whole buffer: height(), byteSize(), clear() and copyFrom() cover
  // them alone. The data, row bytes and slots stay as they are.
  void setHeight(int32_t rows);

  // Sets every byte of the data to 0.
  void clear();
  // Copies the whole data of another buffer of the same size and layout.
  void copyFrom(const HostBuffer& other);

private:
  friend class HostDocument;
  friend class HostBufferRef;
  HostBuffer() = default;

  HostDocument* owner_ = nullptr;
  VRect rect_{0, 0, 0, 0};
  std::vector<PlaneDesc> planes_;
  int32_t bytesPerSample_ = 1;
  int32_t rowBytes_ = 0;
  int32_t bytesPerPixel_ = 0;
  int16_t imageMode_ = 0;
  uint8_t* data_ = nullptr;
  int32_t refCount_ = 0;
  int32_t madeRows_ = 0;
};

// Holds one HostBuffer or nothing. The last reference to drop a buffer has
// its owner dispose of it.
class HostBufferRef {
public:
  HostBufferRef() = default;
  explicit HostBufferRef(HostBuffer* buffer) { take(buffer); }
  HostBufferRef(const HostBufferRef& other) { take(other.buffer_); }
  HostBufferRef(HostBufferRef&& other) noexcept : buffer_(other.buffer_) { other.buffer_ = nullptr; }
  ~HostBufferRef() { drop(); }
  HostBufferRef& operator=(const HostBufferRef& other);
  HostBufferRef& operator=(HostBufferRef&& other) noexcept;

  void reset() { drop(); }
  HostBuffer* get() const { return buffer_; }
  HostBuffer* operator->() const { return buffer_; }
  HostBuffer& operator*() const { return *buffer_; }
  explicit operator bool() const { return buffer_ != nullptr; }

  // A new buffer with the same slot count, sample size and image mode and the
  // rectangle (0, 0, height, width).
  HostBufferRef makeLike(int32_t width, int32_t height) const;

private:
  void take(HostBuffer* buffer);
  void drop();
  HostBuffer* buffer_ = nullptr;
};

}  // namespace veyra
