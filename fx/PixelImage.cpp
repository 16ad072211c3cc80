#include "fx/PixelImage.h"

#include <limits>
#include <new>
#include <stdexcept>

namespace fx {

namespace {

struct Layout {
  int32_t bytesPerPixel;
  int32_t rowBytes;
};

// Checks the sizes and derives bytesPerPixel and rowBytes without any arithmetic overflow.
Layout computeLayout(int32_t width, int32_t height, int32_t channels, int32_t bytesPerChannel,
                     int32_t rowBytes) {
  if (width < 0 || height < 0 || channels < 0 || bytesPerChannel < 0 || rowBytes < 0)
    throw std::invalid_argument("PixelImage: negative size");
  const int64_t bpp = int64_t{channels} * bytesPerChannel;
  const int64_t minRow = bpp * width;  // both factors < 2^62 after the check below
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  if (bpp > kMax || minRow > kMax) throw std::invalid_argument("PixelImage: row size too large");
  return {static_cast<int32_t>(bpp), rowBytes == 0 ? static_cast<int32_t>(minRow) : rowBytes};
}

}  // namespace

PixelImage::PixelImage(int32_t w, int32_t h, int32_t ch, int32_t bpc, int32_t rb, uint8_t* d) {
  init(w, h, ch, bpc, rb, d);
  if (d == nullptr) {
    data = nullptr;
    if (width > 0 && height > 0) {
      const uint64_t bytes = uint64_t(height) * uint64_t(rowBytes);  // < 2^62
      if (bytes > std::numeric_limits<size_t>::max() / 2) throw std::bad_alloc();
      storage_.reset(new uint8_t[static_cast<size_t>(bytes)]);
      data = storage_.get();
    }
  }
}

PixelImage::~PixelImage() = default;  // storage_ holds exactly what was allocated

void PixelImage::init(int32_t w, int32_t h, int32_t ch, int32_t bpc, int32_t rb, uint8_t* d) {
  const Layout layout = computeLayout(w, h, ch, bpc, rb);
  reserved = 0;
  width = w;
  height = h;
  channels = ch;
  bytesPerChannel = bpc;
  bytesPerPixel = layout.bytesPerPixel;
  rowBytes = layout.rowBytes;
  hasAlpha = ch == 2 || ch == 4;
  bounds = Rect{0, 0, h, w};
  if (d != nullptr) {
    data = d;
    ownsData = false;
  } else {
    ownsData = true;
  }
}

}  // namespace fx
