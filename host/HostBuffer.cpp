#include "host/HostBuffer.h"

#include <algorithm>
#include <cstring>

#include "host/HostDocument.h"

namespace veyra {

size_t HostBuffer::byteSize() const {
  return static_cast<size_t>(slots()) * static_cast<size_t>(width()) * static_cast<size_t>(height()) *
         static_cast<size_t>(bytesPerSample_);
}

void HostBuffer::setHeight(int32_t rows) {
  rect_.bottom = rect_.top + std::max(0, std::min(rows, madeRows_));
}

void HostBuffer::clear() {
  if (data_ != nullptr) std::memset(data_, 0, byteSize());
}

void HostBuffer::copyFrom(const HostBuffer& other) {
  if (&other == this || data_ == nullptr || other.data_ == nullptr) return;
  size_t n = byteSize();
  if (other.byteSize() < n) n = other.byteSize();
  std::memcpy(data_, other.data_, n);
}

HostBufferRef& HostBufferRef::operator=(const HostBufferRef& other) {
  if (&other != this && other.buffer_ != buffer_) {
    HostBuffer* incoming = other.buffer_;
    if (incoming != nullptr) ++incoming->refCount_;  // keep it alive while the old one goes
    drop();
    buffer_ = incoming;
  }
  return *this;
}

HostBufferRef& HostBufferRef::operator=(HostBufferRef&& other) noexcept {
  if (&other != this) {
    drop();
    buffer_ = other.buffer_;
    other.buffer_ = nullptr;
  }
  return *this;
}

void HostBufferRef::take(HostBuffer* buffer) {
  buffer_ = buffer;
  if (buffer_ != nullptr) ++buffer_->refCount_;
}

void HostBufferRef::drop() {
  HostBuffer* b = buffer_;
  buffer_ = nullptr;
  if (b != nullptr && --b->refCount_ == 0) b->owner_->disposeBuffer(b);
}

HostBufferRef HostBufferRef::makeLike(int32_t width, int32_t height) const {
  int32_t planes = buffer_->slots();
  return buffer_->owner()->makeBuffer(width, height, planes, buffer_->bytesPerSample(), buffer_->imageMode());
}

}  // namespace veyra
