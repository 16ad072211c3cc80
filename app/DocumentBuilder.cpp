#include "app/DocumentBuilder.h"

#include <stdexcept>
#include <string>

namespace veyra::app {

DocumentBuilder::DocumentBuilder(int width, int height, ColorMode mode, bool alpha)
    : width_(width), height_(height), mode_(mode) {
  Document::checkSize(width, height);
  planes_.resize(static_cast<size_t>(channelCountOf(mode) + (alpha ? 1 : 0)));
  for (auto& plane : planes_) plane.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
}

void DocumentBuilder::addRow(const uint8_t* samples, int count, int firstPlane) {
  if (firstPlane < 0 || count < 1 || firstPlane + count > planeCount())
    throw std::logic_error("a row for planes the document does not have");
  const auto width = static_cast<size_t>(width_);
  for (int k = 0; k < count; ++k) {
    std::vector<uint8_t>& plane = planes_[static_cast<size_t>(firstPlane + k)];
    if (plane.size() + width > width * static_cast<size_t>(height_)) throw std::logic_error("more rows than the document has");
    const size_t start = plane.size();
    plane.resize(start + width);
    for (size_t x = 0; x < width; ++x) plane[start + x] = samples[x * static_cast<size_t>(count) + static_cast<size_t>(k)];
  }
}

Document DocumentBuilder::finish() {
  const size_t pixels = static_cast<size_t>(width_) * static_cast<size_t>(height_);
  for (const auto& plane : planes_)
    if (plane.size() != pixels) throw std::logic_error("the document is missing rows");
  const bool alpha = planeCount() > channelCountOf(mode_);
  std::vector<uint8_t> alphaPlane;
  if (alpha) {
    alphaPlane = std::move(planes_.back());
    planes_.pop_back();
  }
  return Document(width_, height_, mode_, std::move(planes_), std::move(alphaPlane));
}

}  // namespace veyra::app
