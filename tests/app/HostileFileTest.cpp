// Hostile image files through the real `veyra`: headers that claim huge
// pictures in tiny files, and resolutions the filter record cannot hold.
// The files are fuzzing findings kept in the fuzz corpus.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "app/ImageFile.h"
#include "support/AppTestSupport.h"

using namespace veyra;

namespace {

const std::string kCorpus = std::string(VEYRA_SOURCE_DIR) + "/tests/fuzz/corpus/image/";

struct HostileCase {
  const char* name;
  const char* file;
  std::vector<std::string> options;
  int status;
  std::vector<std::string> message;  // fragments of the one-line message
};

class HostileImage : public testing::TestWithParam<HostileCase> {};

// Every case ends at once with its status and message, the whole run taking
// little memory whatever the header claims.
TEST_P(HostileImage, IsAnsweredWithoutTakingWhatTheHeaderClaims) {
  const HostileCase& c = GetParam();
  test::TempDir dir;
  const std::string in = kCorpus + c.file;
  const std::string out = dir.file(std::string("out") + c.file);
  std::vector<std::string> args = {"apply", in, out, "--quiet", "--plugin", VEYRA_PLUGIN_PATH};
  args.insert(args.end(), c.options.begin(), c.options.end());
  const test::CommandResult r = test::runVeyra(args);
  ASSERT_EQ(r.status, c.status) << r.err;
  for (const std::string& m : c.message) EXPECT_NE(r.err.find(m), std::string::npos) << r.err;
  if (c.status == 0) {
    // The file's own resolution is written back, however large.
    EXPECT_NEAR(app::loadImage(out).resolution(), app::loadImage(in).resolution(), 0.01);
  } else {
    EXPECT_FALSE(test::fileExists(out));
  }
#if !defined(__SANITIZE_ADDRESS__)
  // The sanitizer's shadow memory makes the figure meaningless there.
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  EXPECT_LT(usage.ru_maxrss, 200 * 1024) << "peak KB of veyra";
#endif
}

const std::string kAll = std::to_string(uint64_t{app::kMaxDocumentSide} * app::kMaxDocumentSide);

INSTANTIATE_TEST_SUITE_P(
    Fuzzed, HostileImage,
    testing::Values(
        HostileCase{"HugePng", "huge_dims_png_32767sq_rgba.png", {}, 2, {"32767 x 32767", "--max-pixels"}},
        HostileCase{"HugeJpeg", "huge_dims_jpeg_32767sq_rgb.jpg", {}, 2, {"32767 x 32767", "--max-pixels"}},
        HostileCase{"HugeTiff", "huge_dims_tiff_32767sq_rgb.tif", {}, 2, {"32767 x 32767", "--max-pixels"}},
        HostileCase{"HugePngAllowed", "huge_dims_png_32767sq_rgba.png", {"--max-pixels", kAll}, 2, {"damaged or truncated PNG"}},
        HostileCase{"HugeJpegAllowed", "huge_dims_jpeg_32767sq_rgb.jpg", {"--max-pixels", kAll}, 2, {"damaged or truncated JPEG"}},
        HostileCase{"HugeTiffAllowed", "huge_dims_tiff_32767sq_rgb.tif", {"--max-pixels", kAll}, 2, {"damaged or truncated TIFF"}},
        HostileCase{"PngPhysTooFine", "min_png_phys_2000000ppm.png", {}, 0, {}},
        HostileCase{"JpegDensityTooFine", "min_jpeg_density_40000dpi.jpg", {}, 0, {}},
        HostileCase{"TiffResolutionTooFine", "min_tiff_xres_40000dpi.tif", {}, 0, {}}),
    [](const testing::TestParamInfo<HostileCase>& i) { return std::string(i.param.name); });

// The limit counts pixels: a picture of exactly the limit is read, one pixel
// fewer allowed is refused, on every command that reads an image.
TEST(PixelLimit, CountsPixelsAndNamesTheOption) {
  test::TempDir dir;
  app::saveImage(test::makeDocument(app::ColorMode::RGB, 40, 30), dir.file("in.png"), app::FileFormat::Png);
  for (const char* command : {"apply", "edit"}) {
    const test::CommandResult refused =
        test::runVeyra({command, dir.file("in.png"), dir.file("out.png"), "--max-pixels", "1199"},
                       {{"VEYRA_PLUGIN", VEYRA_PLUGIN_PATH}});
    EXPECT_EQ(refused.status, 2) << command;
    EXPECT_NE(refused.err.find("40 x 30 = 1200 pixels, more than the limit of 1199 pixels; --max-pixels"),
              std::string::npos)
        << refused.err;
  }
  const test::CommandResult read = test::runVeyra(
      {"apply", dir.file("in.png"), dir.file("out.png"), "--max-pixels", "1200"}, {{"VEYRA_PLUGIN", VEYRA_PLUGIN_PATH}});
  EXPECT_EQ(read.status, 0) << read.err;
  EXPECT_NE(test::runVeyra({"apply", "--help"}).out.find("--max-pixels"), std::string::npos);
}

}  // namespace
