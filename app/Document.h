// An open image of the host application: 8-bit gray, RGB or CMYK channel
// data kept plane by plane, and an optional alpha plane that is the image's
// transparency. The alpha plane is never offered to the filter; it is kept
// only to be saved back unchanged.
#ifndef VEYRA_APP_DOCUMENT_H
#define VEYRA_APP_DOCUMENT_H

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace veyra::app {

// Colour modes, numbered as the filter record's image modes.
enum class ColorMode : int { Gray = 1, RGB = 3, CMYK = 4 };

// The file formats the application reads and writes.
enum class FileFormat { Png, Jpeg, Tiff };

// The largest side the filter record can describe (its sizes are 16-bit).
constexpr int kMaxDocumentSide = 32767;

int channelCountOf(ColorMode mode);
const char* modeName(ColorMode mode);
const char* formatName(FileFormat format);

// How a TIFF file stored its alpha, so that saving writes it back the same way.
enum class AlphaKind { Unassociated, Associated };

class Document {
 public:
  // A document of the given size and mode, every sample 0 (alpha 255).
  // Throws std::invalid_argument for sizes below 1 or above kMaxDocumentSide.
  Document(int width, int height, ColorMode mode, bool hasAlpha = false);
  // A document over planes already filled (an empty alpha for none); throws
  // std::invalid_argument when a plane does not hold width x height samples.
  Document(int width, int height, ColorMode mode, std::vector<std::vector<uint8_t>> planes,
           std::vector<uint8_t> alpha);

  // Throws std::invalid_argument for sizes below 1 or above kMaxDocumentSide.
  static void checkSize(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  ColorMode mode() const { return mode_; }
  int channelCount() const { return channelCountOf(mode_); }
  size_t pixelCount() const { return static_cast<size_t>(width_) * static_cast<size_t>(height_); }

  // Channel c (0-based, in pixel order: gray; R G B; C M Y K), width x height
  // samples row by row. CMYK samples use 255 for no ink.
  uint8_t* channel(int c) { return planes_.at(static_cast<size_t>(c)).data(); }
  const uint8_t* channel(int c) const { return planes_.at(static_cast<size_t>(c)).data(); }
  uint8_t& at(int c, int x, int y) { return channel(c)[static_cast<size_t>(y) * width_ + x]; }
  uint8_t at(int c, int x, int y) const { return channel(c)[static_cast<size_t>(y) * width_ + x]; }

  bool hasAlpha() const { return !alpha_.empty(); }
  uint8_t* alpha() { return hasAlpha() ? alpha_.data() : nullptr; }
  const uint8_t* alpha() const { return hasAlpha() ? alpha_.data() : nullptr; }
  AlphaKind alphaKind() const { return alphaKind_; }
  void setAlphaKind(AlphaKind kind) { alphaKind_ = kind; }

  // Resolution in pixels per inch (72 when the file says nothing). Values
  // that are not finite and positive are ignored.
  double resolution() const { return resolution_; }
  void setResolution(double ppi) {
    if (std::isfinite(ppi) && ppi > 0.0) resolution_ = ppi;
  }

  // The format the document was read from (PNG for documents made in memory).
  FileFormat sourceFormat() const { return sourceFormat_; }
  void setSourceFormat(FileFormat format) { sourceFormat_ = format; }

  bool operator==(const Document& other) const;
  bool operator!=(const Document& other) const { return !(*this == other); }

 private:
  int width_;
  int height_;
  ColorMode mode_;
  std::vector<std::vector<uint8_t>> planes_;
  std::vector<uint8_t> alpha_;
  AlphaKind alphaKind_ = AlphaKind::Unassociated;
  double resolution_ = 72.0;
  FileFormat sourceFormat_ = FileFormat::Png;
};

}  // namespace veyra::app

#endif
