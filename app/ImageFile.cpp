#include "app/ImageFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/platform/FileSystem.h"

namespace veyra::app {

const char* const kSupportedImages =
    "supported are 8-bit PNG (gray, gray+alpha, RGB, RGBA), JPEG (gray, RGB, CMYK) "
    "and TIFF (gray, RGB, CMYK, each with or without alpha)";

namespace {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

void checkPixelLimit(const std::string& path, uint64_t width, uint64_t height, uint64_t maxPixels) {
  if (width * height <= maxPixels) return;
  throw ImageTooLargeError(path + ": the image is " + std::to_string(width) + " x " + std::to_string(height) + " = " +
                           std::to_string(width * height) + " pixels, more than the limit of " +
                           std::to_string(maxPixels) + " pixels");
}

Document loadImage(const std::string& path, uint64_t maxPixels) {
  std::unique_ptr<FILE, FileCloser> file(platform::openFile(path, "rb"));
  if (!file) throw ImageError(path + ": cannot open: " + std::strerror(errno));
  unsigned char magic[8] = {};
  const size_t got = std::fread(magic, 1, sizeof magic, file.get());
  file.reset();
  static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (got == 8 && std::memcmp(magic, kPng, 8) == 0) return readPng(path, maxPixels);
  if (got >= 3 && magic[0] == 0xff && magic[1] == 0xd8 && magic[2] == 0xff) return readJpeg(path, maxPixels);
  if (got >= 4 && ((magic[0] == 'I' && magic[1] == 'I' && (magic[2] == 42 || magic[2] == 43) && magic[3] == 0) ||
                   (magic[0] == 'M' && magic[1] == 'M' && magic[2] == 0 && (magic[3] == 42 || magic[3] == 43))))
    return readTiff(path, maxPixels);
  if (got == 0) throw ImageError(path + ": the file is empty; " + kSupportedImages);
  throw ImageError(path + ": not a PNG, JPEG or TIFF file; " + kSupportedImages);
}

std::optional<FileFormat> formatFromName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::nullopt;
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  if (ext == "png") return FileFormat::Png;
  if (ext == "jpg" || ext == "jpeg") return FileFormat::Jpeg;
  if (ext == "tif" || ext == "tiff") return FileFormat::Tiff;
  return std::nullopt;
}

void checkFormatHolds(const Document& doc, FileFormat format) {
  if (format == FileFormat::Png && doc.mode() == ColorMode::CMYK)
    throw ImageError("PNG cannot hold a CMYK image; write a .tif or .jpg file instead");
  if (format == FileFormat::Jpeg && doc.hasAlpha())
    throw ImageError("JPEG cannot hold the image's alpha channel; write a .png or .tif file instead");
}

void saveImage(const Document& doc, const std::string& path, FileFormat format) {
  checkFormatHolds(doc, format);
  switch (format) {
    case FileFormat::Png: writePng(doc, path); break;
    case FileFormat::Jpeg: writeJpeg(doc, path); break;
    case FileFormat::Tiff: writeTiff(doc, path); break;
  }
}

}  // namespace veyra::app
