// PNG reading and writing with libpng. libpng reports errors by longjmp, so
// each libpng step runs inside pngStep, whose frame holds the jump target;
// the steps touch only plain data, and every C++ object lives outside them.
#include <png.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "app/DocumentBuilder.h"
#include "app/ImageFile.h"

#include "app/platform/FileSystem.h"

namespace veyra::app {

namespace {

struct PngErrorState {
  char message[200] = {};
};

void pngError(png_structp png, png_const_charp msg) {
  auto* state = static_cast<PngErrorState*>(png_get_error_ptr(png));
  std::snprintf(state->message, sizeof state->message, "%s", msg);
  png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// Runs one libpng step; false when libpng reported an error.
bool pngStep(png_structp png, const std::function<void()>& step) {
  if (setjmp(png_jmpbuf(png))) return false;
  step();
  return true;
}

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

struct ReadStructs {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~ReadStructs() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

struct WriteStructs {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~WriteStructs() { png_destroy_write_struct(&png, info ? &info : nullptr); }
};

std::string describe(int colorType, int bitDepth) {
  const char* kind = "unknown colour type";
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY: kind = "grayscale"; break;
    case PNG_COLOR_TYPE_GRAY_ALPHA: kind = "gray+alpha"; break;
    case PNG_COLOR_TYPE_RGB: kind = "RGB"; break;
    case PNG_COLOR_TYPE_RGB_ALPHA: kind = "RGBA"; break;
    case PNG_COLOR_TYPE_PALETTE: kind = "indexed-colour (palette)"; break;
  }
  return std::to_string(bitDepth) + "-bit " + kind + " PNG";
}

}  // namespace

Document readPng(const std::string& path, uint64_t maxPixels) {
  std::unique_ptr<FILE, FileCloser> file(platform::openFile(path, "rb"));
  if (!file) throw ImageError(path + ": cannot open: " + std::strerror(errno));
  PngErrorState err;
  ReadStructs s;
  s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &err, pngError, pngWarning);
  if (s.png == nullptr) throw ImageError(path + ": out of memory");
  s.info = png_create_info_struct(s.png);
  if (s.info == nullptr) throw ImageError(path + ": out of memory");
  // The file's sizes are checked by the application, not by libpng's own limit.
  png_set_user_limits(s.png, 0x7fffffff, 0x7fffffff);

  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colorType = 0, interlace = 0, unit = 0;
  png_uint_32 resX = 0, resY = 0;
  bool havePhys = false;
  const auto damaged = [&] {
    return ImageError(path + ": damaged or truncated PNG file (" + err.message + ")");
  };
  if (!pngStep(s.png, [&] {
        png_init_io(s.png, file.get());
        png_read_info(s.png, s.info);
        png_get_IHDR(s.png, s.info, &width, &height, &bitDepth, &colorType, &interlace, nullptr, nullptr);
        havePhys = png_get_pHYs(s.png, s.info, &resX, &resY, &unit) != 0;
      }))
    throw damaged();

  const bool supported = bitDepth == 8 && (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA ||
                                           colorType == PNG_COLOR_TYPE_RGB || colorType == PNG_COLOR_TYPE_RGB_ALPHA);
  if (!supported) throw ImageError(path + ": " + describe(colorType, bitDepth) + " is not supported; " + kSupportedImages);
  if (width > static_cast<png_uint_32>(kMaxDocumentSide) || height > static_cast<png_uint_32>(kMaxDocumentSide))
    throw ImageError(path + ": the image is " + std::to_string(width) + " x " + std::to_string(height) +
                     " pixels; at most " + std::to_string(kMaxDocumentSide) + " pixels on a side are supported");
  checkPixelLimit(path, width, height, maxPixels);

  const ColorMode mode = (colorType & PNG_COLOR_MASK_COLOR) ? ColorMode::RGB : ColorMode::Gray;
  const bool alpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0;
  const int samples = channelCountOf(mode) + (alpha ? 1 : 0);
  const size_t rowBytes = static_cast<size_t>(width) * samples;
  // Deflate expands at most 1032 times (a 258-byte match in two bits), so a
  // file too short for the picture is refused before memory is taken for it.
  struct stat st {};
  if (fstat(fileno(file.get()), &st) == 0 && S_ISREG(st.st_mode) &&
      (rowBytes + 1) * height / 1032 > static_cast<uint64_t>(st.st_size))
    throw ImageError(path + ": damaged or truncated PNG file (" + std::to_string(st.st_size) +
                     " bytes cannot hold " + std::to_string(width) + " x " + std::to_string(height) + " pixels)");

  DocumentBuilder builder(static_cast<int>(width), static_cast<int>(height), mode, alpha);
  if (interlace == PNG_INTERLACE_NONE) {
    // Row by row, so memory grows only as rows arrive.
    std::vector<png_byte> row(rowBytes);
    for (png_uint_32 y = 0; y < height; ++y) {
      if (!pngStep(s.png, [&] { png_read_row(s.png, row.data(), nullptr); })) throw damaged();
      builder.addRow(row.data(), samples);
    }
  } else {
    // Interlaced passes revisit every row: the whole picture is decoded first.
    std::vector<png_byte> pixels(rowBytes * height);
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels.data() + y * rowBytes;
    if (!pngStep(s.png, [&] {
          png_set_interlace_handling(s.png);
          png_read_update_info(s.png, s.info);
          png_read_image(s.png, rows.data());
        }))
      throw damaged();
    for (png_uint_32 y = 0; y < height; ++y) builder.addRow(rows[y], samples);
  }
  if (!pngStep(s.png, [&] { png_read_end(s.png, nullptr); })) throw damaged();

  Document doc = builder.finish();
  doc.setSourceFormat(FileFormat::Png);
  if (havePhys && unit == PNG_RESOLUTION_METER && resX > 0) doc.setResolution(resX * 0.0254);
  return doc;
}

void writePng(const Document& doc, const std::string& path) {
  checkFormatHolds(doc, FileFormat::Png);
  std::unique_ptr<FILE, FileCloser> file(platform::openFile(path, "wb"));
  if (!file) throw ImageError(path + ": cannot write: " + std::strerror(errno));
  PngErrorState err;
  WriteStructs s;
  s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &err, pngError, pngWarning);
  if (s.png == nullptr) throw ImageError(path + ": out of memory");
  s.info = png_create_info_struct(s.png);
  if (s.info == nullptr) throw ImageError(path + ": out of memory");

  const int colours = doc.channelCount();
  const bool alpha = doc.hasAlpha();
  const int samples = colours + (alpha ? 1 : 0);
  const int colorType = (doc.mode() == ColorMode::RGB ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY) |
                        (alpha ? PNG_COLOR_MASK_ALPHA : 0);
  const size_t rowBytes = static_cast<size_t>(doc.width()) * samples;
  std::vector<png_byte> pixels(rowBytes * doc.height());
  for (size_t i = 0, n = doc.pixelCount(); i < n; ++i) {
    png_byte* px = pixels.data() + i * samples;
    for (int c = 0; c < colours; ++c) px[c] = doc.channel(c)[i];
    if (alpha) px[colours] = doc.alpha()[i];
  }
  std::vector<png_bytep> rows(static_cast<size_t>(doc.height()));
  for (size_t y = 0; y < rows.size(); ++y) rows[y] = pixels.data() + y * rowBytes;
  // pHYs holds at most 2^31 - 1 pixels per metre.
  const auto ppm = static_cast<png_uint_32>(std::lround(std::clamp(doc.resolution() / 0.0254, 1.0, 2147483647.0)));

  if (!pngStep(s.png, [&] {
        png_init_io(s.png, file.get());
        png_set_IHDR(s.png, s.info, static_cast<png_uint_32>(doc.width()), static_cast<png_uint_32>(doc.height()), 8,
                     colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_pHYs(s.png, s.info, ppm, ppm, PNG_RESOLUTION_METER);
        png_write_info(s.png, s.info);
        png_write_image(s.png, rows.data());
        png_write_end(s.png, nullptr);
      }))
    throw ImageError(path + ": cannot write the PNG file (" + err.message + ")");
  const bool failed = std::ferror(file.get()) != 0;
  if (std::fclose(file.release()) != 0 || failed) throw ImageError(path + ": cannot write: " + std::strerror(errno));
}

}  // namespace veyra::app
