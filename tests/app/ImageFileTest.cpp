// Reading and writing documents: round trips of every supported format and
// mode, the CMYK ink convention, and the refusal of what is not supported.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include <cstdlib>
#include <tuple>

#include "support/AppTestSupport.h"
#include "app/ImageFile.h"

// libtiff marks its own int16/int32 names deprecated; it comes after the host
// interface headers, which declare those names first, so their uses stay clean.
#include <tiffio.h>

using namespace veyra;
using app::ColorMode;
using app::FileFormat;

namespace {

struct RoundTripCase {
  FileFormat format;
  ColorMode mode;
  bool alpha;
};

std::string caseName(const testing::TestParamInfo<RoundTripCase>& info) {
  static const char* const modes[] = {"", "Gray", "", "RGB", "CMYK"};
  return std::string(app::formatName(info.param.format)) + modes[static_cast<int>(info.param.mode)] +
         (info.param.alpha ? "Alpha" : "");
}

const char* extensionOf(FileFormat f) { return f == FileFormat::Png ? ".png" : f == FileFormat::Jpeg ? ".jpg" : ".tif"; }

// A smooth picture, so that JPEG's loss stays small and measurable.
app::Document smoothDocument(ColorMode mode, int w, int h, bool alpha) {
  app::Document doc(w, h, mode, alpha);
  for (int c = 0; c < doc.channelCount(); ++c)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) doc.at(c, x, y) = static_cast<uint8_t>(20 + 3 * x + 2 * y + 25 * c);
  if (alpha)
    for (size_t i = 0; i < doc.pixelCount(); ++i) doc.alpha()[i] = static_cast<uint8_t>(i * 7);
  return doc;
}

class RoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, ReadsBackWhatWasWritten) {
  const RoundTripCase& p = GetParam();
  test::TempDir dir;
  const std::string path = dir.file(std::string("image") + extensionOf(p.format));
  const bool lossy = p.format == FileFormat::Jpeg;
  const app::Document doc = lossy ? smoothDocument(p.mode, 37, 23, p.alpha) : test::makeDocument(p.mode, 37, 23, p.alpha);
  app::saveImage(doc, path, p.format);
  const app::Document back = app::loadImage(path);
  EXPECT_EQ(back.sourceFormat(), p.format);
  ASSERT_EQ(back.mode(), p.mode);
  ASSERT_EQ(back.width(), 37);
  ASSERT_EQ(back.height(), 23);
  ASSERT_EQ(back.hasAlpha(), p.alpha);
  if (!lossy) {
    EXPECT_TRUE(back == doc);
    return;
  }
  int worst = 0;
  for (int c = 0; c < doc.channelCount(); ++c)
    for (size_t i = 0; i < doc.pixelCount(); ++i) worst = std::max(worst, std::abs(doc.channel(c)[i] - back.channel(c)[i]));
  EXPECT_LE(worst, 3);
}

INSTANTIATE_TEST_SUITE_P(
    AllFormats, RoundTrip,
    testing::Values(RoundTripCase{FileFormat::Png, ColorMode::Gray, false}, RoundTripCase{FileFormat::Png, ColorMode::Gray, true},
                    RoundTripCase{FileFormat::Png, ColorMode::RGB, false}, RoundTripCase{FileFormat::Png, ColorMode::RGB, true},
                    RoundTripCase{FileFormat::Jpeg, ColorMode::Gray, false}, RoundTripCase{FileFormat::Jpeg, ColorMode::RGB, false},
                    RoundTripCase{FileFormat::Jpeg, ColorMode::CMYK, false}, RoundTripCase{FileFormat::Tiff, ColorMode::Gray, false},
                    RoundTripCase{FileFormat::Tiff, ColorMode::Gray, true}, RoundTripCase{FileFormat::Tiff, ColorMode::RGB, false},
                    RoundTripCase{FileFormat::Tiff, ColorMode::RGB, true}, RoundTripCase{FileFormat::Tiff, ColorMode::CMYK, false},
                    RoundTripCase{FileFormat::Tiff, ColorMode::CMYK, true}),
    caseName);

// Interlaced PNG files are decoded whole and read as the pixels they hold.
TEST(ImageFile, InterlacedPngIsRead) {
  test::TempDir dir;
  const app::Document doc = test::makeDocument(ColorMode::RGB, 37, 23, true);
  std::vector<uint8_t> pixels;
  for (size_t i = 0; i < doc.pixelCount(); ++i)
    pixels.insert(pixels.end(), {doc.channel(0)[i], doc.channel(1)[i], doc.channel(2)[i], doc.alpha()[i]});
  FILE* f = std::fopen(dir.file("adam7.png").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, f);
  png_set_IHDR(png, info, 37, 23, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_ADAM7, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_bytep> rows;
  for (int y = 0; y < 23; ++y) rows.push_back(pixels.data() + y * 37 * 4);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  EXPECT_TRUE(app::loadImage(dir.file("adam7.png")) == doc);
}

TEST(ImageFile, ResolutionSurvivesEveryFormat) {
  test::TempDir dir;
  for (FileFormat f : {FileFormat::Png, FileFormat::Jpeg, FileFormat::Tiff}) {
    app::Document doc = test::makeDocument(ColorMode::RGB, 5, 4);
    doc.setResolution(300);
    const std::string path = dir.file(std::string("r") + extensionOf(f));
    app::saveImage(doc, path, f);
    EXPECT_NEAR(app::loadImage(path).resolution(), 300.0, 0.1) << app::formatName(f);
  }
}

// TIFF CMYK samples are ink amounts: the document's 255 (no ink) is stored as 0.
TEST(CmykInk, TiffStoresInkAndIsInvertedOnLoad) {
  test::TempDir dir;
  const std::string path = dir.file("ink.tif");
  app::Document doc(3, 2, ColorMode::CMYK);
  const uint8_t values[4] = {255, 200, 10, 0};
  for (int c = 0; c < 4; ++c) std::fill_n(doc.channel(c), doc.pixelCount(), values[c]);
  app::saveImage(doc, path, FileFormat::Tiff);

  TIFF* t = TIFFOpen(path.c_str(), "r");
  ASSERT_NE(t, nullptr);
  std::vector<uint8_t> line(static_cast<size_t>(TIFFScanlineSize(t)));
  ASSERT_GE(TIFFReadScanline(t, line.data(), 0, 0), 0);
  TIFFClose(t);
  EXPECT_EQ(line[0], 0);
  EXPECT_EQ(line[1], 55);
  EXPECT_EQ(line[2], 245);
  EXPECT_EQ(line[3], 255);
  EXPECT_EQ(app::loadImage(path).at(1, 2, 1), 200);
}

// Writes a flat CMYK JPEG with the given stored sample values, with or
// without the Adobe marker.
void writeCmykJpeg(const std::string& path, const uint8_t stored[4], bool adobeMarker) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, f);
  cinfo.image_width = 8;
  cinfo.image_height = 8;
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 100, TRUE);
  cinfo.write_Adobe_marker = adobeMarker ? TRUE : FALSE;
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(8 * 4);
  for (int x = 0; x < 8; ++x)
    for (int c = 0; c < 4; ++c) row[static_cast<size_t>(x * 4 + c)] = stored[c];
  for (int y = 0; y < 8; ++y) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::fclose(f);
}

TEST(CmykInk, JpegWithoutAdobeMarkerHoldsInkAndIsInverted) {
  test::TempDir dir;
  const uint8_t ink[4] = {200, 0, 100, 30};
  writeCmykJpeg(dir.file("plain.jpg"), ink, false);
  const app::Document doc = app::loadImage(dir.file("plain.jpg"));
  ASSERT_EQ(doc.mode(), ColorMode::CMYK);
  for (int c = 0; c < 4; ++c) EXPECT_NEAR(doc.at(c, 3, 3), 255 - ink[c], 1) << c;
}

TEST(CmykInk, JpegWithAdobeMarkerHoldsInvertedValuesAsTheyAre) {
  test::TempDir dir;
  const uint8_t stored[4] = {55, 255, 155, 225};
  writeCmykJpeg(dir.file("adobe.jpg"), stored, true);
  const app::Document doc = app::loadImage(dir.file("adobe.jpg"));
  for (int c = 0; c < 4; ++c) EXPECT_NEAR(doc.at(c, 3, 3), stored[c], 1) << c;

  // What the application writes carries the marker, and so reads back the same.
  app::saveImage(doc, dir.file("again.jpg"), FileFormat::Jpeg);
  const app::Document again = app::loadImage(dir.file("again.jpg"));
  for (int c = 0; c < 4; ++c) EXPECT_NEAR(again.at(c, 3, 3), stored[c], 1) << c;
}

// A 2-channel (gray + alpha) TIFF in tiles and separate planes, or a
// min-is-white gray one in strips: layouts the application reads but never writes.
struct TiffLayout {
  bool tiled;
  bool separate;
  bool minIsWhite;
};

class TiffLayouts : public testing::TestWithParam<TiffLayout> {};

TEST_P(TiffLayouts, ReadAsThePixelsTheyHold) {
  const TiffLayout& p = GetParam();
  test::TempDir dir;
  const std::string path = dir.file("layout.tif");
  const uint32_t w = 37, h = 21;
  const int spp = p.minIsWhite ? 1 : 2;
  const auto sample = [](uint32_t x, uint32_t y, int s) { return static_cast<uint8_t>(x * 5 + y * 9 + s * 100); };
  TIFF* t = TIFFOpen(path.c_str(), "w");
  ASSERT_NE(t, nullptr);
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, w);
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, h);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, spp);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, p.minIsWhite ? PHOTOMETRIC_MINISWHITE : PHOTOMETRIC_MINISBLACK);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, p.separate ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_DEFLATE);
  if (spp == 2) {
    uint16_t extra = EXTRASAMPLE_ASSOCALPHA;
    TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &extra);
  }
  const int passes = p.separate ? spp : 1, per = p.separate ? 1 : spp;
  if (p.tiled) {
    TIFFSetField(t, TIFFTAG_TILEWIDTH, 16);
    TIFFSetField(t, TIFFTAG_TILELENGTH, 16);
    std::vector<uint8_t> tile(16 * 16 * per);
    for (int pass = 0; pass < passes; ++pass)
      for (uint32_t y0 = 0; y0 < h; y0 += 16)
        for (uint32_t x0 = 0; x0 < w; x0 += 16) {
          for (uint32_t y = 0; y < 16; ++y)
            for (uint32_t x = 0; x < 16; ++x)
              for (int k = 0; k < per; ++k) tile[(y * 16 + x) * per + k] = sample(x0 + x, y0 + y, p.separate ? pass : k);
          ASSERT_GE(TIFFWriteTile(t, tile.data(), x0, y0, 0, static_cast<uint16_t>(pass)), 0);
        }
  } else {
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 4);
    std::vector<uint8_t> line(w * per);
    for (int pass = 0; pass < passes; ++pass)
      for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x)
          for (int k = 0; k < per; ++k) line[x * per + k] = sample(x, y, p.separate ? pass : k);
        ASSERT_GE(TIFFWriteScanline(t, line.data(), y, static_cast<uint16_t>(pass)), 0);
      }
  }
  TIFFClose(t);

  const app::Document doc = app::loadImage(path);
  ASSERT_EQ(doc.mode(), ColorMode::Gray);
  ASSERT_EQ(doc.hasAlpha(), spp == 2);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      const uint8_t gray = sample(x, y, 0);
      ASSERT_EQ(doc.at(0, static_cast<int>(x), static_cast<int>(y)), p.minIsWhite ? 255 - gray : gray) << x << "," << y;
      if (spp == 2) {
        ASSERT_EQ(doc.alpha()[y * w + x], sample(x, y, 1));
      }
    }
  if (spp == 2) {
    // The alpha goes back out as it came in (associated).
    app::saveImage(doc, dir.file("again.tif"), FileFormat::Tiff);
    EXPECT_EQ(app::loadImage(dir.file("again.tif")).alphaKind(), app::AlphaKind::Associated);
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, TiffLayouts,
                         testing::Values(TiffLayout{true, false, false}, TiffLayout{true, true, false},
                                         TiffLayout{false, true, false}, TiffLayout{false, false, true}),
                         [](const testing::TestParamInfo<TiffLayout>& i) {
                           return std::string(i.param.tiled ? "Tiled" : "Strips") + (i.param.separate ? "Separate" : "Contiguous") +
                                  (i.param.minIsWhite ? "MinIsWhite" : "");
                         });

void writePngImage(const std::string& path, png_uint_32 format, int w, int h) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(w);
  image.height = static_cast<png_uint_32>(h);
  image.format = format;
  if (format & PNG_FORMAT_FLAG_COLORMAP) image.colormap_entries = 256;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image), 77);
  std::vector<uint8_t> colormap(256 * 3, 10);
  ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0,
                                      (format & PNG_FORMAT_FLAG_COLORMAP) ? colormap.data() : nullptr));
}

void expectRefused(const std::string& path, const std::vector<std::string>& phrases) {
  try {
    app::loadImage(path);
    ADD_FAILURE() << path << " was accepted";
  } catch (const app::ImageError& e) {
    for (const std::string& p : phrases) EXPECT_NE(std::string(e.what()).find(p), std::string::npos) << e.what();
  }
}

TEST(ImageRefusal, SixteenBitPng) {
  test::TempDir dir;
  writePngImage(dir.file("deep.png"), PNG_FORMAT_LINEAR_RGB, 4, 4);
  expectRefused(dir.file("deep.png"), {"16-bit RGB PNG is not supported", "supported are 8-bit PNG"});
}

TEST(ImageRefusal, IndexedPng) {
  test::TempDir dir;
  writePngImage(dir.file("palette.png"), PNG_FORMAT_RGB_COLORMAP, 4, 4);
  expectRefused(dir.file("palette.png"), {"indexed-colour (palette) PNG is not supported"});
}

TEST(ImageRefusal, SixteenBitTiff) {
  test::TempDir dir;
  const std::string path = dir.file("deep.tif");
  TIFF* t = TIFFOpen(path.c_str(), "w");
  ASSERT_NE(t, nullptr);
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, 2);
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, 2);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 16);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  uint16_t line[2] = {1000, 2000};
  for (uint32_t y = 0; y < 2; ++y) TIFFWriteScanline(t, line, y, 0);
  TIFFClose(t);
  expectRefused(path, {"16-bit grayscale TIFF is not supported"});
}

TEST(ImageRefusal, OversizedImage) {
  test::TempDir dir;
  writePngImage(dir.file("wide.png"), PNG_FORMAT_GRAY, 40000, 1);
  expectRefused(dir.file("wide.png"), {"40000 x 1", "at most 32767"});
}

class TruncatedFile : public testing::TestWithParam<FileFormat> {};

TEST_P(TruncatedFile, IsRefusedAsDamaged) {
  test::TempDir dir;
  const std::string path = dir.file(std::string("cut") + extensionOf(GetParam()));
  app::saveImage(test::makeDocument(ColorMode::RGB, 64, 64), path, GetParam());
  std::vector<uint8_t> bytes = test::readBytes(path);
  bytes.resize(bytes.size() * 2 / 3);
  test::writeBytes(path, bytes);
  expectRefused(path, {"damaged or truncated"});
}

INSTANTIATE_TEST_SUITE_P(AllFormats, TruncatedFile, testing::Values(FileFormat::Png, FileFormat::Jpeg, FileFormat::Tiff),
                         [](const testing::TestParamInfo<FileFormat>& i) { return app::formatName(i.param); });

TEST(ImageRefusal, NotAnImageEmptyOrMissing) {
  test::TempDir dir;
  test::writeBytes(dir.file("notes.png"), {'h', 'e', 'l', 'l', 'o', '\n', 0, 0, 0});
  expectRefused(dir.file("notes.png"), {"not a PNG, JPEG or TIFF file"});
  test::writeBytes(dir.file("empty.jpg"), {});
  expectRefused(dir.file("empty.jpg"), {"empty"});
  expectRefused(dir.file("absent.tif"), {"absent.tif", "cannot open"});
}

TEST(ImageFile, WriteErrorsAreReported) {
  if (!test::fileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const app::Document doc = smoothDocument(ColorMode::RGB, 300, 200, false);
  for (FileFormat f : {FileFormat::Png, FileFormat::Jpeg, FileFormat::Tiff})
    EXPECT_THROW(app::saveImage(doc, "/dev/full", f), app::ImageError) << app::formatName(f);
}

TEST(ImageFile, FormatFromNameAndWhatAFormatHolds) {
  EXPECT_EQ(app::formatFromName("a/b.PNG"), FileFormat::Png);
  EXPECT_EQ(app::formatFromName("x.Jpeg"), FileFormat::Jpeg);
  EXPECT_EQ(app::formatFromName("x.jpg"), FileFormat::Jpeg);
  EXPECT_EQ(app::formatFromName("x.tiff"), FileFormat::Tiff);
  EXPECT_EQ(app::formatFromName("x.tif"), FileFormat::Tiff);
  EXPECT_FALSE(app::formatFromName("dir.png/out").has_value());
  EXPECT_FALSE(app::formatFromName("out.bmp").has_value());

  EXPECT_THROW(app::checkFormatHolds(app::Document(2, 2, ColorMode::CMYK), FileFormat::Png), app::ImageError);
  EXPECT_THROW(app::checkFormatHolds(app::Document(2, 2, ColorMode::Gray, true), FileFormat::Jpeg), app::ImageError);
  EXPECT_NO_THROW(app::checkFormatHolds(app::Document(2, 2, ColorMode::CMYK, true), FileFormat::Tiff));
}

TEST(Document, RefusesSizesTheFilterRecordCannotHold) {
  EXPECT_THROW(app::Document(32768, 1, ColorMode::Gray), std::invalid_argument);
  EXPECT_THROW(app::Document(0, 5, ColorMode::Gray), std::invalid_argument);
  EXPECT_NO_THROW(app::Document(32767, 1, ColorMode::Gray));
}

}  // namespace
