#include "host/HostDocument.h"

#include <limits>
#include <memory>

#include "host/Errors.h"
#include "host/HostSuite.h"
#include "host/PIBufferSuite.h"

namespace veyra {

namespace {

int32_t countChannels(const ReadChannelDesc* list) {
  int32_t n = 0;
  for (; list != nullptr; list = list->next) ++n;
  return n;
}

}  // namespace

HostDocument::HostDocument(FilterRecord* record) : record_(record) { channelCount_ = countChannels(channels()); }

const ReadChannelDesc* HostDocument::channels() const {
  const ReadImageDocumentDesc* doc = record_->documentInfo;
  if (doc == nullptr) return nullptr;
  return doc->targetCompositeChannels != nullptr ? doc->targetCompositeChannels : doc->alphaChannels;
}

HostBufferRef HostDocument::makeBuffer(const VRect& rect, int32_t planes, int32_t bytesPerSample,
                                       int16_t imageMode) {
  const int32_t slots = planes == 3 ? 4 : planes;
  // Validate the size arithmetic before asking for memory: a negative or
  // overflowing size is memory the host cannot give.
  const int64_t width = rectWidth(rect), height = rectHeight(rect);
  if (slots < 0 || bytesPerSample < 0 || width < 0 || height < 0) throw HostResultError(memFullErr);
  const int64_t pixelBytes = int64_t{slots} * bytesPerSample;
  const int64_t rowBytes = pixelBytes * width;
  if (rowBytes > std::numeric_limits<int32_t>::max()) throw HostResultError(memFullErr);
  const int64_t size = rowBytes * height;
  if (size > int64_t{std::numeric_limits<uint32_t>::max()}) throw HostResultError(memFullErr);

  HostSuite<PSBufferSuite1> suite(record_->sSPBasic, kPSBufferSuite, kPSBufferSuiteVersion1);
  std::unique_ptr<HostBuffer> buffer(new HostBuffer());
  buffer->planes_.resize(static_cast<size_t>(slots));
  uint8_t* data = nullptr;
  if (size > 0) {
    unsigned32 requested = static_cast<unsigned32>(size);
    data = reinterpret_cast<uint8_t*>(suite->New(&requested, requested));
    if (data == nullptr) throw HostResultError(memFullErr);
  }
  buffer->owner_ = this;
  buffer->rect_ = rect;
  buffer->madeRows_ = static_cast<int32_t>(height);
  buffer->bytesPerSample_ = bytesPerSample;
  buffer->bytesPerPixel_ = static_cast<int32_t>(pixelBytes);
  buffer->rowBytes_ = static_cast<int32_t>(rowBytes);
  buffer->imageMode_ = imageMode;
  buffer->data_ = data;
  for (int32_t i = 0; i < slots; ++i) {
    PlaneDesc& p = buffer->planes_[static_cast<size_t>(i)];
    p.memory.data = data != nullptr ? data + i * bytesPerSample : nullptr;
    p.memory.rowBits = buffer->rowBytes_ * 8;
    p.memory.colBits = buffer->bytesPerPixel_ * 8;
    p.memory.bitOffset = 0;
    p.memory.depth = bytesPerSample * 8;
    p.channelType = 0;
  }
  return HostBufferRef(buffer.release());
}

void HostDocument::disposeBuffer(HostBuffer* buffer) {
  std::unique_ptr<HostBuffer> owned(buffer);
  if (owned->data_ != nullptr) {
    HostSuite<PSBufferSuite1> suite(record_->sSPBasic, kPSBufferSuite, kPSBufferSuiteVersion1);
    Ptr data = reinterpret_cast<Ptr>(owned->data_);
    suite->Dispose(&data);
    owned->data_ = nullptr;
  }
}

bool HostDocument::channelsFitMode() const {
  if (channelCount_ == 0) return true;  // nothing is read or written
  switch (record_->imageMode) {
    case plugInModeGrayScale:
      return channelCount_ == 1;
    case plugInModeRGBColor:
    case plugInModeLabColor:
      return channelCount_ == 3;
    case plugInModeCMYKColor:
      return channelCount_ == 4;
    default:
      return true;
  }
}

int16_t HostDocument::pixelMode() const {
  return channelsFitMode() ? record_->imageMode : static_cast<int16_t>(plugInModeGrayScale);
}

VRect HostDocument::imageRect() const { return makeRect(0, 0, record_->imageSize.v, record_->imageSize.h); }

VRect HostDocument::filterRect() const {
  const Rect& f = record_->filterRect;
  return makeRect(f.top, f.left, f.bottom, f.right);
}

void HostDocument::readRect(HostBuffer& buffer, const VRect& r) {
  HostSuite<PSChannelPortsSuite2> ports(record_->sSPBasic, kPSChannelPortsSuite, kPSChannelPortsSuiteVersion2);
  int32_t i = 0;
  for (const ReadChannelDesc* c = channels(); c != nullptr && i < buffer.slots(); c = c->next, ++i) {
    PlaneDesc& plane = buffer.planes()[static_cast<size_t>(i)];
    plane.channelType = c->channelType;
    VRect rect = r;
    VRect wrote = rect;
    ports->ReadPixelsFromLevel(c->port, 0, &rect, &plane.memory, &wrote);
  }
}

void HostDocument::writeRect(const HostBuffer& buffer, const VRect& t, int32_t offsetRows, int32_t offsetColumns) {
  HostSuite<PSChannelPortsSuite2> ports(record_->sSPBasic, kPSChannelPortsSuite, kPSChannelPortsSuiteVersion2);
  int32_t i = 0;
  const intptr_t offset = static_cast<intptr_t>(offsetRows) * buffer.rowBytes() +
                          static_cast<intptr_t>(offsetColumns) * buffer.bytesPerPixel();
  for (const ReadChannelDesc* c = channels(); c != nullptr && i < buffer.slots(); c = c->next, ++i) {
    PixelMemoryDesc source = buffer.planes()[static_cast<size_t>(i)].memory;
    source.data = static_cast<uint8_t*>(source.data) + offset;
    VRect rect = t;
    ports->WritePixelsToBaseLevel(c->writePort, &rect, &source);
  }
}

void HostDocument::readScaled(HostBuffer& buffer, const VRect& source, const VRect& destination) {
  if (buffer.rect() != destination) buffer.clear();
  HostSuite<PSChannelPortsSuite2> ports(record_->sSPBasic, kPSChannelPortsSuite, kPSChannelPortsSuiteVersion2);
  PSScaling scaling;
  scaling.sourceRect = source;
  scaling.destinationRect = destination;
  int32_t i = 0;
  for (const ReadChannelDesc* c = channels(); c != nullptr && i < buffer.slots(); c = c->next, ++i) {
    PlaneDesc& plane = buffer.planes()[static_cast<size_t>(i)];
    plane.channelType = c->channelType;
    VRect rect = source;
    ports->ReadScaledPixels(c->port, &rect, &scaling, &plane.memory);
  }
}

}  // namespace veyra
