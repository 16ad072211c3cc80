// TIFF reading and writing with libtiff: 8-bit gray, RGB and CMYK, in strips
// or tiles, contiguous or separate planes, with at most one extra sample,
// which is the alpha. CMYK TIFF samples are ink amounts (0 = no ink) and are
// inverted on load and save; min-is-white gray is inverted on load and
// written back as min-is-black.
#include <tiffio.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "app/DocumentBuilder.h"
#include "app/ImageFile.h"

#include "app/platform/TiffOpen.h"

namespace veyra::app {

namespace {

// libtiff reports through process-wide handlers; the last error is kept here
// for the message of the call that failed.
char lastTiffError[256];

void tiffError(const char* module, const char* fmt, va_list ap) {
  char text[200];
  std::vsnprintf(text, sizeof text, fmt, ap);
  std::snprintf(lastTiffError, sizeof lastTiffError, "%s%s%s", module ? module : "", module ? ": " : "", text);
}

void tiffWarning(const char*, const char*, va_list) {}

void installHandlers() {
  TIFFSetErrorHandler(tiffError);
  TIFFSetWarningHandler(tiffWarning);
  lastTiffError[0] = 0;
}

struct TiffCloser {
  void operator()(TIFF* t) const { TIFFClose(t); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

std::string photometricName(uint16_t p) {
  switch (p) {
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_MINISBLACK: return "grayscale";
    case PHOTOMETRIC_RGB: return "RGB";
    case PHOTOMETRIC_PALETTE: return "indexed-colour (palette)";
    case PHOTOMETRIC_MASK: return "transparency-mask";
    case PHOTOMETRIC_SEPARATED: return "separated (ink)";
    case PHOTOMETRIC_YCBCR: return "YCbCr";
    case PHOTOMETRIC_CIELAB:
    case PHOTOMETRIC_ICCLAB:
    case PHOTOMETRIC_ITULAB: return "Lab";
    default: return "photometric " + std::to_string(p);
  }
}

}  // namespace

Document readTiff(const std::string& path, uint64_t maxPixels) {
  installHandlers();
  TiffPtr tif(platform::openTiff(path, "r"));
  if (!tif) throw ImageError(path + ": damaged or truncated TIFF file (" + lastTiffError + ")");
  TIFF* t = tif.get();
  uint32_t width = 0, height = 0;
  uint16_t bps = 0, spp = 0, photometric = 0, planar = 0, sampleFormat = 0, inkSet = INKSET_CMYK;
  if (!TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(t, TIFFTAG_IMAGELENGTH, &height) ||
      !TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &photometric))
    throw ImageError(path + ": damaged TIFF file (no image size or photometric interpretation)");
  TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &bps);
  TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &spp);
  TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLEFORMAT, &sampleFormat);
  if (photometric == PHOTOMETRIC_SEPARATED) TIFFGetFieldDefaulted(t, TIFFTAG_INKSET, &inkSet);
  uint16_t extraCount = 0;
  uint16_t* extraTypes = nullptr;
  TIFFGetFieldDefaulted(t, TIFFTAG_EXTRASAMPLES, &extraCount, &extraTypes);

  int colours = 0;
  ColorMode mode = ColorMode::Gray;
  if (photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE) {
    colours = 1;
  } else if (photometric == PHOTOMETRIC_RGB) {
    colours = 3;
    mode = ColorMode::RGB;
  } else if (photometric == PHOTOMETRIC_SEPARATED && inkSet == INKSET_CMYK && spp >= 4) {
    colours = 4;
    mode = ColorMode::CMYK;
  }
  const std::string what = std::to_string(bps) + "-bit " + photometricName(photometric) + " TIFF";
  if (colours == 0) throw ImageError(path + ": " + what + " is not supported; " + kSupportedImages);
  if (bps != 8) throw ImageError(path + ": " + what + " is not supported; " + kSupportedImages);
  if (sampleFormat != SAMPLEFORMAT_UINT)
    throw ImageError(path + ": " + what + " with signed or floating-point samples is not supported; " +
                     kSupportedImages);
  if (spp < colours || spp > colours + 1)
    throw ImageError(path + ": " + what + " with " + std::to_string(spp - colours) +
                     " extra channels is not supported (at most one, the alpha); " + kSupportedImages);
  if (width == 0 || height == 0) throw ImageError(path + ": the TIFF image is empty");
  if (width > static_cast<uint32_t>(kMaxDocumentSide) || height > static_cast<uint32_t>(kMaxDocumentSide))
    throw ImageError(path + ": the image is " + std::to_string(width) + " x " + std::to_string(height) +
                     " pixels; at most " + std::to_string(kMaxDocumentSide) + " pixels on a side are supported");

  checkPixelLimit(path, width, height, maxPixels);

  const bool alpha = spp == colours + 1;
  DocumentBuilder builder(static_cast<int>(width), static_cast<int>(height), mode, alpha);
  const bool separate = planar == PLANARCONFIG_SEPARATE;
  const int perRead = separate ? 1 : spp;  // samples per pixel in one decoded block
  const int passes = separate ? spp : 1;
  const auto damaged = [&] { return ImageError(path + ": damaged or truncated TIFF file (" + lastTiffError + ")"); };

  // Rows are decoded a band at a time (one row of strips, or one row of
  // tiles) and handed to the builder, sample s of the file to plane s.
  if (TIFFIsTiled(t)) {
    uint32_t tw = 0, th = 0;
    TIFFGetField(t, TIFFTAG_TILEWIDTH, &tw);
    TIFFGetField(t, TIFFTAG_TILELENGTH, &th);
    const tmsize_t tileSize = TIFFTileSize(t);
    // Checked in 64 bits: in a 32-bit build tmsize_t is 32 bits wide, and tw * th
    // alone can overflow it.
    if (tw == 0 || th == 0 || tileSize <= 0 || static_cast<uint64_t>(tileSize) < uint64_t{tw} * th * perRead)
      throw damaged();
    std::vector<uint8_t> tile(static_cast<size_t>(tileSize));
    const size_t bandRowBytes = static_cast<size_t>(width) * perRead;
    std::vector<uint8_t> band;
    for (int pass = 0; pass < passes; ++pass)
      for (uint32_t y0 = 0; y0 < height; y0 += th) {
        const uint32_t rows = std::min(th, height - y0);
        band.resize(bandRowBytes * rows);
        for (uint32_t x0 = 0; x0 < width; x0 += tw) {
          if (TIFFReadTile(t, tile.data(), x0, y0, 0, static_cast<uint16_t>(pass)) < 0) throw damaged();
          const size_t span = static_cast<size_t>(std::min(tw, width - x0)) * perRead;
          for (uint32_t y = 0; y < rows; ++y)
            std::memcpy(band.data() + y * bandRowBytes + static_cast<size_t>(x0) * perRead,
                        tile.data() + static_cast<size_t>(y) * tw * perRead, span);
        }
        for (uint32_t y = 0; y < rows; ++y) builder.addRow(band.data() + y * bandRowBytes, perRead, separate ? pass : 0);
      }
  } else {
    const tmsize_t lineSize = TIFFScanlineSize(t);
    if (lineSize < static_cast<tmsize_t>(width) * perRead) throw damaged();
    std::vector<uint8_t> line(static_cast<size_t>(lineSize));
    for (int pass = 0; pass < passes; ++pass)
      for (uint32_t y = 0; y < height; ++y) {
        if (TIFFReadScanline(t, line.data(), y, static_cast<uint16_t>(pass)) < 0) throw damaged();
        builder.addRow(line.data(), perRead, separate ? pass : 0);
      }
  }

  Document doc = builder.finish();
  doc.setSourceFormat(FileFormat::Tiff);
  if (alpha && extraCount > 0 && extraTypes != nullptr && extraTypes[0] == EXTRASAMPLE_ASSOCALPHA)
    doc.setAlphaKind(AlphaKind::Associated);
  float xres = 0;
  uint16_t unit = RESUNIT_INCH;
  TIFFGetFieldDefaulted(t, TIFFTAG_RESOLUTIONUNIT, &unit);
  if (TIFFGetField(t, TIFFTAG_XRESOLUTION, &xres) && xres > 0) {
    if (unit == RESUNIT_INCH) doc.setResolution(xres);
    if (unit == RESUNIT_CENTIMETER) doc.setResolution(xres * 2.54);
  }
  if (mode == ColorMode::CMYK || photometric == PHOTOMETRIC_MINISWHITE)
    for (int c = 0; c < colours; ++c)
      for (size_t i = 0, n = doc.pixelCount(); i < n; ++i) doc.channel(c)[i] = static_cast<uint8_t>(255 - doc.channel(c)[i]);
  return doc;
}

void writeTiff(const Document& doc, const std::string& path) {
  installHandlers();
  TiffPtr tif(platform::openTiff(path, "w"));
  if (!tif) throw ImageError(path + ": cannot write: " + (lastTiffError[0] ? lastTiffError : std::strerror(errno)));
  TIFF* t = tif.get();
  const int colours = doc.channelCount();
  const bool alpha = doc.hasAlpha();
  const int spp = colours + (alpha ? 1 : 0);
  const auto width = static_cast<uint32_t>(doc.width());
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(doc.height()));
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, spp);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
  TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
  TIFFSetField(t, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
  switch (doc.mode()) {
    case ColorMode::Gray: TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK); break;
    case ColorMode::RGB: TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB); break;
    case ColorMode::CMYK:
      TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_SEPARATED);
      TIFFSetField(t, TIFFTAG_INKSET, INKSET_CMYK);
      break;
  }
  if (alpha) {
    uint16_t type = doc.alphaKind() == AlphaKind::Associated ? EXTRASAMPLE_ASSOCALPHA : EXTRASAMPLE_UNASSALPHA;
    TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &type);
  }
  TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  const auto resolution = static_cast<float>(std::min(doc.resolution(), double{std::numeric_limits<float>::max()}));
  TIFFSetField(t, TIFFTAG_XRESOLUTION, resolution);
  TIFFSetField(t, TIFFTAG_YRESOLUTION, resolution);
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));

  const bool invert = doc.mode() == ColorMode::CMYK;
  std::vector<uint8_t> line(static_cast<size_t>(width) * spp);
  for (int y = 0; y < doc.height(); ++y) {
    const size_t base = static_cast<size_t>(y) * width;
    for (uint32_t x = 0; x < width; ++x) {
      for (int c = 0; c < colours; ++c) {
        const uint8_t v = doc.channel(c)[base + x];
        line[static_cast<size_t>(x) * spp + c] = invert ? static_cast<uint8_t>(255 - v) : v;
      }
      if (alpha) line[static_cast<size_t>(x) * spp + colours] = doc.alpha()[base + x];
    }
    if (TIFFWriteScanline(t, line.data(), static_cast<uint32_t>(y), 0) < 0)
      throw ImageError(path + ": cannot write the TIFF file (" + lastTiffError + ")");
  }
  if (!TIFFFlush(t)) throw ImageError(path + ": cannot write the TIFF file (" + lastTiffError + ")");
}

}  // namespace veyra::app
