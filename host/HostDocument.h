// Access to the document's target channels through the host's channel-port
// suite, and pixel buffers made through its buffer suite.
#pragma once

#include <cstdint>

#include "host/FilterRecord.h"
#include "host/HostBuffer.h"

namespace veyra {

class HostDocument {
public:
  explicit HostDocument(FilterRecord* record);
  HostDocument(const HostDocument&) = delete;
  HostDocument& operator=(const HostDocument&) = delete;

  FilterRecord* record() const { return record_; }
  // Number of target channels: the target composite channels, or the alpha
  // channels when there are none.
  int32_t channelCount() const { return channelCount_; }
  // Whether the target channels are the pixels of the image mode: one for
  // grayscale, three for RGB and Lab, four for CMYK (other modes: always).
  // A target that does not fit, such as one or two alpha channels of an RGB
  // document, is worked on channel by channel.
  bool channelsFitMode() const;
  // The image mode of the target's pixels: the document's mode when the
  // channels fit it, grayscale (one channel per slot) when they do not.
  int16_t pixelMode() const;

  // A new buffer for the rectangle; three planes take four interleaved slots.
  // Raises SuiteError without the buffer suite and HostResultError(-108) when
  // the host has no memory for it.
  HostBufferRef makeBuffer(const VRect& rect, int32_t planes, int32_t bytesPerSample, int16_t imageMode);
  HostBufferRef makeBuffer(int32_t width, int32_t height, int32_t planes, int32_t bytesPerSample,
                           int16_t imageMode) {
    return makeBuffer(makeRect(0, 0, height, width), planes, bytesPerSample, imageMode);
  }
  // Gives the data back to the buffer suite and frees the record; called by
  // the last HostBufferRef.
  void disposeBuffer(HostBuffer* buffer);

  // (0, 0, image height, image width).
  VRect imageRect() const;
  // The filter record's filter rectangle, widened to 32 bits.
  VRect filterRect() const;

  // Reads r of every target channel into the buffer, r's top-left pixel at
  // the buffer's first sample.
  void readRect(HostBuffer& buffer, const VRect& r);
  // Writes t of every target channel from the buffer, t's top-left pixel taken
  // at (offsetRows, offsetColumns) of the buffer.
  void writeRect(const HostBuffer& buffer, const VRect& t, int32_t offsetRows, int32_t offsetColumns);
  // Reads source of every target channel scaled by the host to destination's
  // size into the buffer; clears the buffer first when its rectangle differs
  // from destination.
  void readScaled(HostBuffer& buffer, const VRect& source, const VRect& destination);

private:
  const ReadChannelDesc* channels() const;

  FilterRecord* record_;
  int32_t channelCount_ = 0;
};

}  // namespace veyra
