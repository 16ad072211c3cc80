#include "app/Document.h"

#include <stdexcept>

namespace veyra::app {

int channelCountOf(ColorMode mode) {
  switch (mode) {
    case ColorMode::Gray: return 1;
    case ColorMode::RGB: return 3;
    case ColorMode::CMYK: return 4;
  }
  return 0;
}

const char* modeName(ColorMode mode) {
  switch (mode) {
    case ColorMode::Gray: return "grayscale";
    case ColorMode::RGB: return "RGB";
    case ColorMode::CMYK: return "CMYK";
  }
  return "unknown";
}

const char* formatName(FileFormat format) {
  switch (format) {
    case FileFormat::Png: return "PNG";
    case FileFormat::Jpeg: return "JPEG";
    case FileFormat::Tiff: return "TIFF";
  }
  return "unknown";
}

void Document::checkSize(int width, int height) {
  if (width < 1 || height < 1)
    throw std::invalid_argument("an image must be at least 1 x 1 pixels");
  if (width > kMaxDocumentSide || height > kMaxDocumentSide)
    throw std::invalid_argument("the image is " + std::to_string(width) + " x " + std::to_string(height) +
                                " pixels; at most " + std::to_string(kMaxDocumentSide) +
                                " pixels on a side are supported");
}

Document::Document(int width, int height, ColorMode mode, std::vector<std::vector<uint8_t>> planes,
                   std::vector<uint8_t> alpha)
    : width_(width), height_(height), mode_(mode), planes_(std::move(planes)), alpha_(std::move(alpha)) {
  checkSize(width, height);
  bool fits = planes_.size() == static_cast<size_t>(channelCountOf(mode)) &&
              (alpha_.empty() || alpha_.size() == pixelCount());
  for (const auto& plane : planes_) fits = fits && plane.size() == pixelCount();
  if (!fits) throw std::invalid_argument("the planes do not hold the image's samples");
}

Document::Document(int width, int height, ColorMode mode, bool hasAlpha)
    : width_(width), height_(height), mode_(mode) {
  checkSize(width, height);
  planes_.assign(static_cast<size_t>(channelCountOf(mode)), std::vector<uint8_t>(pixelCount(), 0));
  if (hasAlpha) alpha_.assign(pixelCount(), 255);
}

bool Document::operator==(const Document& other) const {
  return width_ == other.width_ && height_ == other.height_ && mode_ == other.mode_ &&
         planes_ == other.planes_ && alpha_ == other.alpha_;
}

}  // namespace veyra::app
