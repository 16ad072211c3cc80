// Reading and writing documents as PNG, JPEG and TIFF files, 8 bits per
// channel. Files in other depths or modes are refused with an ImageError whose
// message says what the file is and what is supported.
#ifndef VEYRA_APP_IMAGEFILE_H
#define VEYRA_APP_IMAGEFILE_H

#include <optional>
#include <stdexcept>
#include <string>

#include "app/Document.h"

namespace veyra::app {

class ImageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The list of what can be read, for messages.
extern const char* const kSupportedImages;

// Reads a file; the format is recognised from its first bytes, not its name.
// CMYK ink values are inverted so that 255 means no ink.
Document loadImage(const std::string& path);

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
Document readPng(const std::string& path);
void writePng(const Document& doc, const std::string& path);
Document readJpeg(const std::string& path);
void writeJpeg(const Document& doc, const std::string& path);
Document readTiff(const std::string& path);
void writeTiff(const Document& doc, const std::string& path);

}  // namespace veyra::app

#endif
