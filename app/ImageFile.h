// Reading and writing documents as PNG, JPEG and TIFF files, 8 bits per
// channel. Files in other depths or modes are refused with an ImageError whose
// message says what the file is and what is supported.
#ifndef VEYRA_APP_IMAGEFILE_H
#define VEYRA_APP_IMAGEFILE_H

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/Document.h"

namespace veyra::app {

class ImageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file whose picture has more pixels than the reader was allowed; the
// message names its size and the limit.
class ImageTooLargeError : public ImageError {
 public:
  using ImageError::ImageError;
};

// The list of what can be read, for messages.
extern const char* const kSupportedImages;

// The most pixels a file may hold unless the caller allows more: room for a
// 200-megapixel photograph. Headers of small damaged or hostile files may
// claim up to 32767 x 32767 pixels (4 GB in RGBA); the limit refuses those
// before any memory is taken.
constexpr uint64_t kDefaultMaxPixels = 200000000;

// Throws ImageTooLargeError when width x height exceeds maxPixels.
void checkPixelLimit(const std::string& path, uint64_t width, uint64_t height, uint64_t maxPixels);

// Reads a file; the format is recognised from its first bytes, not its name.
// CMYK ink values are inverted so that 255 means no ink. Pictures over
// maxPixels are refused; the readers take memory only for the rows the file
// really holds, so a truncated file costs little whatever its header claims.
Document loadImage(const std::string& path, uint64_t maxPixels = kDefaultMaxPixels);

// Writes the document in the given format (CMYK ink inverted back). Throws
// ImageError when the format cannot hold the document or the file cannot be
// written; a partly written file is left for the caller to remove.
void saveImage(const Document& doc, const std::string& path, FileFormat format);

// The format a file name asks for by its extension (.png .jpg .jpeg .tif
// .tiff, any case), or nothing.
std::optional<FileFormat> formatFromName(const std::string& path);

// Throws ImageError when the format cannot hold the document: PNG has no
// CMYK, JPEG no alpha.
void checkFormatHolds(const Document& doc, FileFormat format);

// The per-format readers and writers behind loadImage and saveImage.
Document readPng(const std::string& path, uint64_t maxPixels = kDefaultMaxPixels);
void writePng(const Document& doc, const std::string& path);
Document readJpeg(const std::string& path, uint64_t maxPixels = kDefaultMaxPixels);
void writeJpeg(const Document& doc, const std::string& path);
Document readTiff(const std::string& path, uint64_t maxPixels = kDefaultMaxPixels);
void writeTiff(const Document& doc, const std::string& path);

}  // namespace veyra::app

#endif
