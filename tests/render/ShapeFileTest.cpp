#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <random>
#include <string>
#include <tuple>
#include <vector>

// libjpeg's header expects the standard definitions first.
#include <jpeglib.h>

#include "host/Errors.h"
#include "render/ShapeFile.h"
#include "support/LightTestHost.h"

namespace veyra {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// --- writers for the test files --------------------------------------------

void appendToBytes(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void flushNothing(png_structp) {}

// A PNG of the given type; samples are generated from (x, y) so that the
// decoded gray values can be checked.
Bytes makePng(uint32_t width, uint32_t height, int colorType, int bitDepth, bool interlaced = false) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return Bytes();
  }
  png_set_write_fn(png, &out, appendToBytes, flushNothing);
  png_set_IHDR(png, info, width, height, bitDepth, colorType,
               interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    png_color palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = png_color{static_cast<png_byte>(i), 0, 0};
    png_set_PLTE(png, info, palette, 256);
  }
  png_write_info(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  Bytes row(rowBytes);
  const int passes = interlaced ? png_set_interlace_handling(png) : 1;
  for (int pass = 0; pass < passes; ++pass)
    for (uint32_t y = 0; y < height; ++y) {
      for (size_t i = 0; i < rowBytes; ++i) row[i] = static_cast<uint8_t>((i * 7 + y * 13) & 0xFF);
      png_write_row(png, row.data());
    }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

uint8_t pngSample(uint32_t x, uint32_t y) { return static_cast<uint8_t>((x * 7 + y * 13) & 0xFF); }

Bytes makeJpeg(uint32_t width, uint32_t height, int components, bool progressive = false, bool flat = false) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = components;
  cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  Bytes row(width * static_cast<size_t>(components));
  while (cinfo.next_scanline < height) {
    const uint32_t y = cinfo.next_scanline;
    for (size_t i = 0; i < row.size(); ++i)
      row[i] = flat ? 128 : static_cast<uint8_t>((i / components * 3 + y * 5) & 0xFF);
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&cinfo, &p, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

// The plain library decode of a grayscale JPEG, for bit-for-bit comparison.
Bytes decodeJpeg(const Bytes& file) {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
  jpeg_read_header(&cinfo, TRUE);
  jpeg_start_decompress(&cinfo);
  Bytes out(static_cast<size_t>(cinfo.output_width) * cinfo.output_height);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW p = out.data() + static_cast<size_t>(cinfo.output_scanline) * cinfo.output_width;
    jpeg_read_scanlines(&cinfo, &p, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return out;
}

// Rewrites the size in the first start-of-frame marker of a JPEG.
void patchJpegSize(Bytes& file, uint16_t width, uint16_t height) {
  for (size_t i = 2; i + 9 < file.size(); ++i)
    if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) {
      file[i + 5] = static_cast<uint8_t>(height >> 8);
      file[i + 6] = static_cast<uint8_t>(height);
      file[i + 7] = static_cast<uint8_t>(width >> 8);
      file[i + 8] = static_cast<uint8_t>(width);
      return;
    }
  ADD_FAILURE() << "no start-of-frame marker";
}

// Rewrites the size in a PNG's header chunk and fixes its checksum.
void patchPngSize(Bytes& file, uint32_t width, uint32_t height) {
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
  };
  put32(16, width);
  put32(20, height);
  const uLong crc = crc32(crc32(0L, nullptr, 0), file.data() + 12, 17);  // "IHDR" and its 13 bytes
  put32(29, static_cast<uint32_t>(crc));
}

class ShapeFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("veyra-shape-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string write(const std::string& name, const Bytes& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }
  HostBufferRef load(const std::string& path) { return loadShape(host_.document(), path.c_str()); }

  test::LightTestHost host_;
  fs::path dir_;
};

TEST_F(ShapeFiles, ReadsEightBitGrayPng) {
  const HostBufferRef shape = load(write("window.png", makePng(37, 21, PNG_COLOR_TYPE_GRAY, 8)));
  ASSERT_TRUE(shape);
  EXPECT_EQ(shape->width(), 37);
  EXPECT_EQ(shape->height(), 21);
  EXPECT_EQ(shape->slots(), 1);
  EXPECT_EQ(shape->bytesPerSample(), 1);
  EXPECT_EQ(shape->imageMode(), 1);
  for (int32_t y = 0; y < 21; ++y)
    for (int32_t x = 0; x < 37; ++x) ASSERT_EQ(shape->row(y)[x], pngSample(x, y)) << x << "," << y;
}

class RefusedPng : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(RefusedPng, GivesNoShape) {
  const auto [colorType, bitDepth] = GetParam();
  test::LightTestHost host;
  const Bytes file = makePng(16, 8, colorType, bitDepth);
  ASSERT_FALSE(file.empty());
  EXPECT_FALSE(readPngShape(host.document(), file.data(), file.size()));
  EXPECT_FALSE(readJpegShape(host.document(), file.data(), file.size()));
  EXPECT_EQ(host.liveBuffers(), 0u);
}

INSTANTIATE_TEST_SUITE_P(NotEightBitGray, RefusedPng,
                         ::testing::Values(std::make_tuple(PNG_COLOR_TYPE_GRAY, 16),
                                           std::make_tuple(PNG_COLOR_TYPE_GRAY, 4),
                                           std::make_tuple(PNG_COLOR_TYPE_PALETTE, 8),
                                           std::make_tuple(PNG_COLOR_TYPE_GRAY_ALPHA, 8),
                                           std::make_tuple(PNG_COLOR_TYPE_RGB, 8),
                                           std::make_tuple(PNG_COLOR_TYPE_RGB_ALPHA, 8)));

TEST_F(ShapeFiles, ReadsGrayJpegAtFullSize) {
  for (bool progressive : {false, true}) {
    const Bytes file = makeJpeg(300, 157, 1, progressive);
    const HostBufferRef shape = load(write(progressive ? "p.jpg" : "b.jpg", file));
    ASSERT_TRUE(shape);
    EXPECT_EQ(shape->width(), 300);
    EXPECT_EQ(shape->height(), 157);
    EXPECT_EQ(shape->imageMode(), 1);
    const Bytes expected = decodeJpeg(file);
    for (int32_t y = 0; y < 157; ++y)
      ASSERT_EQ(std::memcmp(shape->row(y), expected.data() + y * 300, 300), 0) << "row " << y;
  }
}

// Every bundled light shape is a picture the readers accept.
TEST_F(ShapeFiles, BundledPatternsLoad) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(VEYRA_SOURCE_DIR) / "patterns")) {
    const HostBufferRef shape = load(entry.path().string());
    ASSERT_TRUE(shape) << entry.path();
    EXPECT_GE(shape->width(), 256) << entry.path();
    EXPECT_LE(shape->width(), 1024) << entry.path();
    EXPECT_GE(shape->height(), 256) << entry.path();
    EXPECT_LE(shape->height(), 1024) << entry.path();
    ++count;
  }
  EXPECT_GE(count, 5);
}

TEST_F(ShapeFiles, JpegNamedPngIsRead) {
  const HostBufferRef shape = load(write("blinds.png", makeJpeg(64, 48, 1)));
  ASSERT_TRUE(shape);
  EXPECT_EQ(shape->width(), 64);
  EXPECT_EQ(shape->height(), 48);
}

TEST_F(ShapeFiles, NothingForUnreadableFiles) {
  EXPECT_FALSE(load(write("colour.jpg", makeJpeg(32, 32, 3))));
  EXPECT_FALSE(load(write("empty.png", Bytes())));
  EXPECT_FALSE(load(write("text.png", Bytes{'h', 'e', 'l', 'l', 'o'})));
  EXPECT_FALSE(load((dir_ / "missing.png").string()));
  EXPECT_FALSE(load(dir_.string()));  // a folder
  EXPECT_FALSE(loadShape(host_.document(), ""));
  EXPECT_EQ(host_.liveBuffers(), 0u);
}

// A PNG cut anywhere gives nothing: the read function raises "Read Error"
// instead of reading past the block, and no buffer is left behind.
TEST_F(ShapeFiles, TruncatedPngGivesNothing) {
  const Bytes file = makePng(64, 64, PNG_COLOR_TYPE_GRAY, 8);
  for (size_t cut : {size_t{8}, size_t{20}, size_t{33}, size_t{45}, file.size() / 2, file.size() - 13}) {
    const Bytes part(file.begin(), file.begin() + static_cast<long>(cut));
    EXPECT_FALSE(readPngShape(host_.document(), part.data(), part.size())) << "cut at " << cut;
  }
  EXPECT_EQ(host_.liveBuffers(), 0u);
}

// A JPEG cut inside its header is no picture; one cut inside the scan data
// is finished by the decoder as the library's memory source finishes it (an
// inserted end of image): full size, the rows before the cut intact.
TEST_F(ShapeFiles, TruncatedJpeg) {
  const Bytes file = makeJpeg(128, 128, 1);
  for (size_t cut : {size_t{1}, size_t{2}, size_t{20}, size_t{100}}) {
    const Bytes part(file.begin(), file.begin() + static_cast<long>(cut));
    EXPECT_FALSE(readJpegShape(host_.document(), part.data(), part.size())) << "cut at " << cut;
  }
  const Bytes part(file.begin(), file.begin() + static_cast<long>(file.size() * 3 / 4));
  const HostBufferRef shape = readJpegShape(host_.document(), part.data(), part.size());
  ASSERT_TRUE(shape);
  EXPECT_EQ(shape->width(), 128);
  EXPECT_EQ(shape->height(), 128);
  const Bytes full = decodeJpeg(file);
  for (int32_t y = 0; y < 16; ++y) ASSERT_EQ(std::memcmp(shape->row(y), full.data() + y * 128, 128), 0);
}

// A PNG header that claims more pixels than its file could hold compressed
// is refused before any buffer is asked for.
TEST_F(ShapeFiles, PngHeadersBeyondTheirDataGiveNothing) {
  host_.setMemoryLimit(0);  // asking for a buffer would raise -108
  const std::pair<uint32_t, uint32_t> sizes[] = {
      {30000, 30000}, {65535, 65535}, {1, 0x7FFFFFFF}, {0x7FFFFFFF, 0x7FFFFFFF}, {8193, 8192}, {1000000, 1}};
  for (const auto& [w, h] : sizes) {
    Bytes png = makePng(8, 8, PNG_COLOR_TYPE_GRAY, 8);
    patchPngSize(png, w, h);
    EXPECT_FALSE(readPngShape(host_.document(), png.data(), png.size())) << w << " x " << h;
  }
  EXPECT_EQ(host_.liveBuffers(), 0u);
}

// A JPEG with fewer bits than its picture has 8 x 8 blocks cannot hold it
// and is refused before any buffer is asked for; the fuzzing findings claim
// 8191 x 8191 in 138 bytes and 65280 x 225 in 360. The most compact valid
// pictures, flat gray in one scan or progressive, are still read.
TEST_F(ShapeFiles, JpegHeadersBeyondTheirDataGiveNothing) {
  host_.setMemoryLimit(0);  // asking for a buffer would raise -108
  for (const char* name : {"shape_tiny_progressive_8191sq.jpg", "shape_slow.jpg"})
    EXPECT_FALSE(load(std::string(VEYRA_SOURCE_DIR) + "/tests/fuzz/corpus/shape/" + name)) << name;
  for (const auto& [w, h] : {std::make_pair(30000, 30000), std::make_pair(65500, 1), std::make_pair(1200, 1200)}) {
    Bytes jpeg = makeJpeg(16, 16, 1);
    patchJpegSize(jpeg, static_cast<uint16_t>(w), static_cast<uint16_t>(h));
    EXPECT_FALSE(readJpegShape(host_.document(), jpeg.data(), jpeg.size())) << w << " x " << h;
  }
  host_.setMemoryLimit(size_t{64} << 20);
  for (bool progressive : {false, true}) {
    const Bytes flat = makeJpeg(2048, 2048, 1, progressive, true);
    const HostBufferRef shape = readJpegShape(host_.document(), flat.data(), flat.size());
    ASSERT_TRUE(shape) << flat.size() << " bytes, progressive " << progressive;
    EXPECT_EQ(shape->row(2047)[2047], 128);
  }
}

// Every size the host's buffers hold is read in full; only what the host
// refuses ends in its out-of-memory result.
TEST_F(ShapeFiles, LargeShapesAreReadWhileTheHostGrantsThem) {
  for (const auto& [w, h] : {std::make_pair(16384u, 1024u), std::make_pair(1024u, 16384u)}) {
    for (const Bytes& file : {makePng(w, h, PNG_COLOR_TYPE_GRAY, 8), makeJpeg(w, h, 1)}) {
      HostBufferRef shape = readPngShape(host_.document(), file.data(), file.size());
      if (!shape) shape = readJpegShape(host_.document(), file.data(), file.size());
      ASSERT_TRUE(shape) << w << " x " << h;
      EXPECT_EQ(shape->width(), static_cast<int32_t>(w));
      EXPECT_EQ(shape->height(), static_cast<int32_t>(h));
    }
  }
  const HostBufferRef big = load(write("big.png", makePng(9000, 9000, PNG_COLOR_TYPE_GRAY, 8)));
  ASSERT_TRUE(big);
  ASSERT_EQ(big->width(), 9000);
  ASSERT_EQ(big->height(), 9000);
  for (uint32_t y : {0u, 4500u, 8999u})
    for (uint32_t x : {0u, 8191u, 8192u, 8999u}) EXPECT_EQ(big->row(y)[x], pngSample(x, y)) << x << "," << y;
}

// Only regular files are read: a FIFO nobody writes to gives nothing at
// once instead of blocking the render for ever.
TEST_F(ShapeFiles, SpecialFilesGiveNothingAtOnce) {
  const std::string fifo = (dir_ / "shape.png").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  auto loaded = std::async(std::launch::async, [&] { return static_cast<bool>(load(fifo)); });
  if (loaded.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    ADD_FAILURE() << "reading a FIFO blocks";
    // Let the blocked open return: a writer appears and leaves.
    close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
  }
  EXPECT_FALSE(loaded.get());
  EXPECT_FALSE(load("/dev/zero"));
  EXPECT_EQ(host_.liveBuffers(), 0u);
}

// A picture within the limits that the host has no memory for ends in the
// host's out-of-memory result, with the decoder released.
TEST_F(ShapeFiles, HostOutOfMemoryIsReported) {
  host_.setMemoryLimit(1 << 20);
  const std::string png = write("big.png", makePng(2048, 1024, PNG_COLOR_TYPE_GRAY, 8));
  const std::string jpeg = write("big.jpg", makeJpeg(2048, 1024, 1));
  for (const std::string& path : {png, jpeg}) {
    try {
      load(path);
      ADD_FAILURE() << "no error for " << path;
    } catch (const HostResultError& e) {
      EXPECT_EQ(e.code(), -108);
    }
  }
  EXPECT_EQ(host_.liveBuffers(), 0u);
}

// An interlaced gray PNG is read row by row without interlace handling:
// the rows are whatever that gives, at the header's size.
TEST_F(ShapeFiles, InterlacedPngKeepsItsSize) {
  const Bytes file = makePng(40, 30, PNG_COLOR_TYPE_GRAY, 8, true);
  const HostBufferRef shape = readPngShape(host_.document(), file.data(), file.size());
  if (shape) {
    EXPECT_EQ(shape->width(), 40);
    EXPECT_EQ(shape->height(), 30);
  }
}

// Damaged files: random bytes overwritten in valid PNG and JPEG files. The
// readers must give nothing or a picture of the header's size, and never
// read outside the block (checked by the sanitizer build).
TEST_F(ShapeFiles, DamagedFilesAreHandled) {
  const Bytes png = makePng(48, 40, PNG_COLOR_TYPE_GRAY, 8);
  const Bytes jpeg = makeJpeg(48, 40, 1, true);
  std::mt19937 rng(2026);
  for (int round = 0; round < 150; ++round) {
    for (const Bytes* original : {&png, &jpeg}) {
      Bytes file = *original;
      const int flips = 1 + static_cast<int>(rng() % 4);
      for (int f = 0; f < flips; ++f) file[rng() % file.size()] = static_cast<uint8_t>(rng());
      if (rng() % 3 == 0) file.resize(rng() % file.size());
      HostBufferRef shape = readPngShape(host_.document(), file.data(), file.size());
      if (!shape) shape = readJpegShape(host_.document(), file.data(), file.size());
      if (shape) {
        EXPECT_GT(shape->width(), 0);
        EXPECT_GT(shape->height(), 0);
        EXPECT_EQ(shape->slots(), 1);
      }
    }
  }
  EXPECT_EQ(host_.liveBuffers(), 0u);
}

}  // namespace
}  // namespace veyra
