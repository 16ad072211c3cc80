// `veyra apply` end to end against the plain reference pipeline: small gray,
// RGB, RGBA and CMYK documents are written to files, lit by the real
// executable and module with a range of settings, with and without a
// selection, and every output sample must equal the reference's.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <sstream>

#include "app/ImageFile.h"
#include "reference/ReferencePipeline.h"
#include "support/AppTestSupport.h"
#include "support/EndToEndCases.h"

using namespace veyra;
using app::ColorMode;
using reftest::Box;
using reftest::Plane;
using reftest::Settings;

namespace {

using test::EndToEndParam;

Plane planeOf(const app::Document& d) {
  Plane p(d.width(), d.height());
  std::copy(d.channel(0), d.channel(0) + d.pixelCount(), p.px.begin());
  return p;
}

std::string identity(const std::string& path) { return path; }

// Number of samples that differ, with the first few described in *first.
int countMismatches(const app::Document& got, const app::Document& expected, std::string* first) {
  int mismatches = 0;
  std::ostringstream text;
  for (int c = 0; c < got.channelCount(); ++c)
    for (int y = 0; y < got.height(); ++y)
      for (int x = 0; x < got.width(); ++x) {
        if (got.at(c, x, y) == expected.at(c, x, y)) continue;
        if (mismatches++ < 5)
          text << " (x " << x << ", y " << y << ", channel " << c << ": expected "
               << int(expected.at(c, x, y)) << ", got " << int(got.at(c, x, y)) << ")";
      }
  *first = text.str();
  return mismatches;
}

// veyra apply with every setting as --set and the selection, if any, as --rect.
test::CommandResult runApply(const std::string& in, const std::string& out, const Settings& s,
                             const Box* rect) {
  test::PreparedRun run;
  run.input = in;
  run.output = out;
  run.settings = s;
  run.selection = rect != nullptr;
  if (rect != nullptr) run.rect = *rect;
  return test::runVeyra(test::applyArguments(run, VEYRA_PLUGIN_PATH, identity));
}

class ApplyMatchesReference : public testing::TestWithParam<EndToEndParam> {};

TEST_P(ApplyMatchesReference, EverySampleEqualsTheReference) {
  const test::LightCase& lc = test::lightCases()[std::get<0>(GetParam())];
  const test::DocumentCase& dc = test::documentCases()[std::get<1>(GetParam())];

  test::TempDir dir;
  const test::PreparedRun run = test::prepareRun(dir, GetParam());
  const app::Document input = app::loadImage(run.input);  // what the host reads, after any JPEG loss
  const Settings& s = run.settings;
  std::optional<Plane> shape;
  if (lc.shape != test::ShapeKind::None && lc.shape != test::ShapeKind::Missing)
    shape = planeOf(app::loadImage(s.shapeFile));
  const Box& rect = run.rect;
  const test::CommandResult r = test::runVeyra(test::applyArguments(run, VEYRA_PLUGIN_PATH, identity));
  ASSERT_EQ(r.status, 0) << r.err;
  const app::Document got = app::loadImage(run.output);

  const std::array<uint8_t, 4> color = reftest::hostLightColor(dc.mode, s.color);
  const app::Document expected = reftest::referenceApply(input, s, shape, rect, color);
  ASSERT_EQ(got.width(), expected.width());
  ASSERT_EQ(got.height(), expected.height());
  ASSERT_EQ(got.mode(), expected.mode());
  std::string first;
  EXPECT_EQ(countMismatches(got, expected, &first), 0) << "first:" << first;
  // Guards against a comparison that proves nothing: the light changes the
  // document, and a shape changes the light.
  if (!(lc.cmykUnlit && dc.mode == ColorMode::CMYK)) {
    EXPECT_FALSE(expected == input) << "the settings light the document";
    if (shape) {
      EXPECT_EQ(expected == reftest::referenceApply(input, s, std::nullopt, rect, color), lc.shapeUnused)
          << "the shape takes part unless the shape blend is None";
    }
  }
  ASSERT_EQ(got.hasAlpha(), dc.alpha);
  if (dc.alpha) {
    EXPECT_TRUE(std::equal(input.alpha(), input.alpha() + input.pixelCount(), got.alpha()));
  }
}

std::string paramName(const testing::TestParamInfo<EndToEndParam>& i) { return test::endToEndName(i.param); }

INSTANTIATE_TEST_SUITE_P(OneBand, ApplyMatchesReference,
                         testing::ValuesIn(test::runGroupNamed("OneBand").params()), paramName);
INSTANTIATE_TEST_SUITE_P(BundledShapes, ApplyMatchesReference,
                         testing::ValuesIn(test::runGroupNamed("BundledShapes").params()), paramName);
INSTANTIATE_TEST_SUITE_P(TwoBands, ApplyMatchesReference,
                         testing::ValuesIn(test::runGroupNamed("TwoBands").params()), paramName);
INSTANTIATE_TEST_SUITE_P(CornerSelection, ApplyMatchesReference,
                         testing::ValuesIn(test::runGroupNamed("CornerSelection").params()), paramName);

}  // namespace

namespace {

// A run's settings recorded with --record and played back from the action
// file alone light a second document exactly as the reference says.
TEST(ApplyActionFile, PlaysBackRecordedSettings) {
  test::TempDir dir;
  Settings s;
  test::lightCases()[test::lightCaseNamed("ShapeRotated150Affine")].set(s);
  s.lightBlend = 2;
  s.lightBlur = 2.5;
  s.shapeFile = dir.file("shape.png");
  app::saveImage(test::makeShape(20, 14, 7), s.shapeFile, app::FileFormat::Png);
  app::saveImage(test::makeDocument(ColorMode::RGB, 31, 27, false, 5), dir.file("first.png"),
                 app::FileFormat::Png);
  app::saveImage(test::makeDocument(ColorMode::CMYK, 29, 33, false, 6), dir.file("second.tif"),
                 app::FileFormat::Tiff);

  std::vector<std::string> record = {"apply",    dir.file("first.png"), dir.file("first-out.png"),
                                     "--plugin", VEYRA_PLUGIN_PATH,     "--quiet",
                                     "--record", dir.file("light.json")};
  for (const std::string& a : test::setArguments(s, s.shapeFile)) record.push_back(a);
  const test::CommandResult r1 = test::runVeyra(record);
  ASSERT_EQ(r1.status, 0) << r1.err;
  const test::CommandResult r2 =
      test::runVeyra({"apply", dir.file("second.tif"), dir.file("second-out.tif"), "--plugin",
                      VEYRA_PLUGIN_PATH, "--quiet", "--action", dir.file("light.json")});
  ASSERT_EQ(r2.status, 0) << r2.err;

  const app::Document input = app::loadImage(dir.file("second.tif"));
  const app::Document expected =
      reftest::referenceApply(input, s, planeOf(app::loadImage(s.shapeFile)), Box{0, 0, 33, 29},
                              reftest::hostLightColor(ColorMode::CMYK, s.color));
  std::string first;
  EXPECT_EQ(countMismatches(app::loadImage(dir.file("second-out.tif")), expected, &first), 0)
      << "first:" << first;
  EXPECT_FALSE(expected == input);
}

}  // namespace

namespace {

// Random settings of every parameter over random-noise documents of random
// size and mode, with and without a random selection: combinations no case
// above names. Each seed is one run.
class ApplyRandomSettings : public testing::TestWithParam<uint32_t> {};

TEST_P(ApplyRandomSettings, EverySampleEqualsTheReference) {
  std::mt19937 rng(GetParam());
  auto uniform = [&rng](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  auto below = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  auto sometimes = [&rng]() { return rng() % 2 == 0; };

  const ColorMode modes[] = {ColorMode::Gray, ColorMode::RGB, ColorMode::CMYK};
  const ColorMode mode = modes[below(3)];
  const int w = 8 + below(50), h = GetParam() % 3 == 0 ? 257 + below(60) : 8 + below(60);
  app::Document doc(w, h, mode);
  for (int c = 0; c < doc.channelCount(); ++c)
    for (size_t i = 0; i < doc.pixelCount(); ++i) doc.channel(c)[i] = static_cast<uint8_t>(rng());

  Settings s;
  s.lightBlend = below(3);
  s.lightSource = below(2);
  s.brightness = uniform(20, 250);
  s.displacement = sometimes() ? 0.0 : uniform(-15, 15);
  s.lightBlur = sometimes() ? 0.0 : uniform(0, 12);
  for (uint16_t& c : s.color) c = static_cast<uint16_t>(below(40000));
  s.matteChannel = below(9);
  s.mattePosition = uniform(0, 100);
  s.matteRange = uniform(5, 100);
  s.matteBlur = sometimes() ? 0.0 : uniform(0, 8);
  s.shapeBlend = below(9);
  s.opacity = uniform(0, 100);
  s.shapeBlurX = sometimes() ? 0.0 : uniform(0, 6);
  s.shapeBlurY = sometimes() ? 0.0 : uniform(0, 6);
  s.positionX = uniform(-30, 30);
  s.positionY = uniform(-30, 30);
  s.scaleX = uniform(30, 200);
  s.scaleY = uniform(30, 200);
  s.rotation = sometimes() ? 0.0 : uniform(-180, 180);
  if (sometimes())
    for (double& v : s.corners) v += uniform(-0.2, 0.2);

  test::TempDir dir;
  s.shapeFile = dir.file("shape.png");
  app::saveImage(test::makeShape(6 + below(40), 6 + below(40), GetParam()), s.shapeFile,
                 app::FileFormat::Png);
  const bool tiff = mode == ColorMode::CMYK;
  const std::string in = dir.file(tiff ? "in.tif" : "in.png"), out = dir.file(tiff ? "out.tif" : "out.png");
  app::saveImage(doc, in, tiff ? app::FileFormat::Tiff : app::FileFormat::Png);

  Box rect{0, 0, h, w};
  const bool selection = sometimes();
  if (selection) {
    rect.top = below(h - 1);
    rect.left = below(w - 1);
    rect.bottom = rect.top + 1 + below(h - rect.top);
    rect.right = rect.left + 1 + below(w - rect.left);
  }
  const test::CommandResult r = runApply(in, out, s, selection ? &rect : nullptr);
  ASSERT_EQ(r.status, 0) << r.err;

  const app::Document input = app::loadImage(in);
  const app::Document expected = reftest::referenceApply(input, s, planeOf(app::loadImage(s.shapeFile)), rect,
                                                         reftest::hostLightColor(mode, s.color));
  std::string first;
  EXPECT_EQ(countMismatches(app::loadImage(out), expected, &first), 0)
      << modeName(mode) << " " << w << "x" << h << ", rect " << rect.top << "," << rect.left << ","
      << rect.bottom << "," << rect.right << ", first:" << first;
}

INSTANTIATE_TEST_SUITE_P(Seeds, ApplyRandomSettings, testing::Range<uint32_t>(1, 17));

}  // namespace
