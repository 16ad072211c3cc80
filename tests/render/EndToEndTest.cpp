// `veyra apply` end to end against the plain reference pipeline: small gray,
// RGB, RGBA and CMYK documents are written to files, lit by the real
// executable and module with a range of settings, with and without a
// selection, and every output sample must equal the reference's.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <random>
#include <sstream>

#include "app/ImageFile.h"
#include "reference/ReferencePipeline.h"
#include "support/AppTestSupport.h"

using namespace veyra;
using app::ColorMode;
using reftest::Box;
using reftest::Plane;
using reftest::Settings;

namespace {

// --- settings and their --set arguments ------------------------------------------------------

const char* const kLightBlendCodes[] = {"lAdd", "lSub", "lScr"};
const char* const kSourceCodes[] = {"sImg", "sMat"};
const char* const kChannelCodes[] = {"lumC", "redC", "grnC", "bluC", "cynC", "magC", "yelC", "hueC", "satC"};
const char* const kShapeBlendCodes[] = {"sNon", "sOnl", "sAdd", "sSub", "sMul",
                                        "sScr", "sDif", "sDrk", "sLgt"};

std::string number(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}

// Every parameter as a --set argument; the light blend goes by its
// terminology names so that both spellings of a key reach the plug-in.
std::vector<std::string> setArguments(const Settings& s) {
  std::vector<std::string> a;
  auto set = [&a](const std::string& key, const std::string& value) {
    a.push_back("--set");
    a.push_back(key + "=" + value);
  };
  const char* const blendNames[] = {"KVO add", "KVO subtract", "KVO screen"};
  set("KVO light blend mode", blendNames[s.lightBlend]);
  set("lSrc", kSourceCodes[s.lightSource]);
  set("lBrt", number(s.brightness));
  set("lDsp", number(s.displacement));
  set("lBlr", number(s.lightBlur));
  set("lClX", std::to_string(s.color[0]));
  set("lClY", std::to_string(s.color[1]));
  set("lClZ", std::to_string(s.color[2]));
  set("mChn", kChannelCodes[s.matteChannel]);
  set("mPos", number(s.mattePosition));
  set("mRng", number(s.matteRange));
  set("mBlr", number(s.matteBlur));
  set("sBln", kShapeBlendCodes[s.shapeBlend]);
  if (!s.shapeFile.empty()) set("sNam", s.shapeFile);
  set("sOpc", number(s.opacity));
  set("sXbl", number(s.shapeBlurX));
  set("sYbl", number(s.shapeBlurY));
  set("sXps", number(s.positionX));
  set("sYps", number(s.positionY));
  set("sXsc", number(s.scaleX));
  set("sYsc", number(s.scaleY));
  set("sRot", number(s.rotation));
  const char* const corners[] = {"cp0X", "cp0Y", "cp1X", "cp1Y", "cp2X", "cp2Y", "cp3X", "cp3Y"};
  for (int k = 0; k < 8; ++k) set(corners[k], number(s.corners[k]));
  return a;
}

// --- shapes ----------------------------------------------------------------------------------

enum class ShapeKind {
  None,        // no shape file
  Small,       // a test-made PNG smaller than the document: tiles are resampled from the canvas
  FullSize,    // a test-made PNG of the document's size: tiles are copied out of the canvas
  Missing,     // a name that is no file
  Bundled,     // a bundled JPEG shape
  BundledPng,  // a bundled PNG shape
};

// A gray picture with smooth and sharp parts: a radial falloff, a bar and noise.
app::Document makeShape(int w, int h, uint32_t seed) {
  app::Document d(w, h, ColorMode::Gray);
  std::mt19937 rng(seed);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double dx = (x - w / 2.0) / w, dy = (y - h / 2.0) / h;
      int v = static_cast<int>(255 * std::max(0.0, 1.0 - 2.2 * std::sqrt(dx * dx + dy * dy)));
      if (x % 7 == 3) v = 255 - v / 3;
      v += static_cast<int>(rng() % 31) - 15;
      d.at(0, x, y) = static_cast<uint8_t>(std::clamp(v, 0, 255));
    }
  return d;
}

Plane planeOf(const app::Document& d) {
  Plane p(d.width(), d.height());
  std::copy(d.channel(0), d.channel(0) + d.pixelCount(), p.px.begin());
  return p;
}

// --- cases -----------------------------------------------------------------------------------

struct LightCase {
  const char* name;
  ShapeKind shape;
  std::function<void(Settings&)> set;
  // CMYK documents have no hue or saturation: the matte is the constant
  // table[0], here 0, and the document stays as it was.
  bool cmykUnlit = false;
  // The shape file takes no part (shape blend None, a shape scaled to nothing).
  bool shapeUnused = false;
};

const LightCase kCases[] = {
    {"Defaults", ShapeKind::None, [](Settings&) {}},
    {"MatteScreenRed", ShapeKind::None,
     [](Settings& s) {
       s.lightSource = 1;
       s.lightBlend = 2;
       s.matteChannel = 1;
       s.brightness = 230;  // strength above 255: more than one full screen
       s.lightBlur = 3.5;
       s.color[0] = 30000, s.color[1] = 26000, s.color[2] = 9000;
     }},
    {"ImageSubtractHueMatteBlur", ShapeKind::None,
     [](Settings& s) {
       s.lightBlend = 1;
       s.matteChannel = 7;
       s.mattePosition = 40;
       s.matteRange = 45;
       s.matteBlur = 2.2;
       s.lightBlur = 0;
     },
     true},
    {"MatteAddGreenNoBlur", ShapeKind::None,
     [](Settings& s) {
       s.lightSource = 1;
       s.matteChannel = 2;
       s.mattePosition = 62.5;
       s.matteRange = 70;
       s.lightBlur = 0;
       s.brightness = 65;
       s.color[0] = 26000, s.color[1] = 21000, s.color[2] = 9000;
     }},
    {"SaturationShapeMultiply", ShapeKind::Small,
     [](Settings& s) {
       s.matteChannel = 8;
       s.shapeBlend = 4;
       s.opacity = 70;
       s.scaleX = 80;
       s.scaleY = 120;
       s.shapeBlurX = 3;
       s.shapeBlurY = 1.5;
       s.positionX = 10;
       s.positionY = -15;
       s.lightBlur = 2.5;
     },
     true},
    {"ShapeOnlyMatteSource", ShapeKind::Small,
     [](Settings& s) {
       s.shapeBlend = 1;
       s.lightSource = 1;
       s.lightBlur = 4;
       s.matteBlur = 1.3;
     }},
    {"ShapeScreenRotated", ShapeKind::Small,
     [](Settings& s) {
       s.shapeBlend = 5;
       s.opacity = 85;
       s.rotation = 30;
       s.matteChannel = 3;
       s.lightBlend = 2;
       s.lightBlur = 1.5;
     }},
    {"ShapeDifferenceCornerPin", ShapeKind::Small,
     [](Settings& s) {
       s.shapeBlend = 6;
       s.matteChannel = 4;
       s.corners[0] = 0.1, s.corners[1] = 0.05;
       s.corners[2] = 0.95, s.corners[3] = 0.2;
       s.corners[4] = 0.8, s.corners[5] = 0.9;
       s.corners[6] = 0.0, s.corners[7] = 1.0;
       s.rotation = -100;
       s.lightBlur = 0;
     }},
    {"ShapeDarkenDisplaced", ShapeKind::Small,
     [](Settings& s) {
       s.shapeBlend = 7;
       s.opacity = 90;
       s.displacement = 8;
       s.matteChannel = 5;
       s.matteRange = 60;
       s.lightBlur = 2;
     }},
    {"ShapeLightenFullSize", ShapeKind::FullSize,
     [](Settings& s) {
       s.shapeBlend = 8;
       s.matteChannel = 6;
       s.lightSource = 1;
       s.lightBlend = 1;
       s.lightBlur = 3;
     }},
    {"ShapeSubtractFullSizeScaled", ShapeKind::FullSize,
     [](Settings& s) {
       s.shapeBlend = 3;
       s.opacity = 55;
       s.scaleX = 60;
       s.scaleY = 75;
       s.positionY = 20;
       s.shapeBlurX = 2;
       s.lightBlend = 2;
       s.displacement = -5;  // bent on a canvas of the full size: no rescaling of the tile
     }},
    {"ShapeRotated150Affine", ShapeKind::Small,
     [](Settings& s) {
       // Two quarter turns and a 30 degree shear; a parallelogram pin (20 wide
       // shape: 5 + 15 = 20) takes the affine mapping.
       s.rotation = 150;
       s.corners[0] = 0.0, s.corners[1] = 0.0;
       s.corners[2] = 0.75, s.corners[3] = 0.0;
       s.corners[4] = 1.0, s.corners[5] = 1.0;
       s.corners[6] = 0.25, s.corners[7] = 1.0;
       s.matteChannel = 1;
       s.opacity = 95;
     }},
    {"ShapeScaledToNothing", ShapeKind::Small,
     [](Settings& s) {
       s.shapeBlend = 1;  // Only, but without a canvas the light map is the matte
       s.scaleY = 5;      // trunc(14 x 0.05) = 0
       s.lightSource = 1;
     },
     false, true},
    {"OnlyWithMissingFile", ShapeKind::Missing,
     [](Settings& s) {
       s.shapeBlend = 1;
       s.matteChannel = 5;
       s.lightBlur = 1;
     }},
    {"ShapeNoneIgnoresFile", ShapeKind::Small,
     [](Settings& s) {
       s.shapeBlend = 0;
       s.matteChannel = 2;
       s.lightBlend = 2;
       s.lightBlur = 2;
     },
     false, true},
    {"ShapeOnlyPartOpacity", ShapeKind::Small,
     [](Settings& s) {
       s.shapeBlend = 1;
       s.opacity = 40;
       s.scaleX = 150;
       s.scaleY = 90;
       s.shapeBlurY = 4;
       s.lightBlend = 2;
       s.lightBlur = 6;
       s.brightness = 180;
     }},
    {"WideBlurs", ShapeKind::None,
     [](Settings& s) {
       // Margins wider than the document, windows limited by the line length.
       s.lightSource = 1;
       s.lightBlend = 2;
       s.lightBlur = 40;
       s.matteBlur = 25.5;
       s.matteRange = 50;
     }},
    {"BundledShapeAdd", ShapeKind::Bundled,
     [](Settings& s) {
       s.scaleX = 50;
       s.scaleY = 40;
       s.positionX = 12;
       s.lightBlur = 0.5;
       s.matteChannel = 0;
     }},
    {"BundledPngRotatedScreen", ShapeKind::BundledPng,
     [](Settings& s) {
       s.shapeBlend = 5;
       s.rotation = -20;
       s.positionX = -10;
       s.positionY = 5;
       s.scaleX = 90;
       s.lightSource = 1;
       s.lightBlur = 1.5;
     }},
};

// Inputs in TIFF for CMYK and RGB without alpha, PNG otherwise, and one
// CMYK JPEG; outputs always lossless (a JPEG input is written as TIFF).
struct DocumentCase {
  const char* name;
  ColorMode mode;
  bool alpha;
  app::FileFormat format;
};

const DocumentCase kDocuments[] = {
    {"Gray", ColorMode::Gray, false, app::FileFormat::Png},
    {"RGB", ColorMode::RGB, false, app::FileFormat::Tiff},
    {"RGBA", ColorMode::RGB, true, app::FileFormat::Png},
    {"CMYK", ColorMode::CMYK, false, app::FileFormat::Tiff},
    {"CMYKJpeg", ColorMode::CMYK, false, app::FileFormat::Jpeg},
};

constexpr size_t kGray = 0, kRGB = 1, kRGBA = 2, kCMYK = 3, kCMYKJpeg = 4;

struct Geometry {
  const char* name;
  int width, height;
  bool selection;
  Box rect;  // used when selection is true
};

// 37 x 29 is one band; 23 x 300 is two, the second band's read rectangle
// reaching up into the first band's written rows.
const Geometry kGeometries[] = {
    {"Small", 37, 29, false, {}},
    {"SmallSelection", 37, 29, true, {5, 7, 24, 30}},
    {"Tall", 23, 300, false, {}},
    {"TallSelection", 23, 300, true, {3, 2, 290, 20}},
    {"SmallCornerSelection", 37, 29, true, {17, 20, 29, 37}},
};
constexpr size_t kSmall = 0, kSmallSelection = 1, kTall = 2, kTallSelection = 3, kSmallCornerSelection = 4;

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

using Param = std::tuple<size_t, size_t, size_t>;  // light case, document, geometry

size_t caseNamed(const char* name) {
  for (size_t i = 0; i < std::size(kCases); ++i)
    if (std::string(kCases[i].name) == name) return i;
  throw std::logic_error(std::string("no light case ") + name);
}

// veyra apply with every setting as --set and the selection, if any, as --rect.
test::CommandResult runApply(const std::string& in, const std::string& out, const Settings& s,
                             const Box* rect) {
  std::vector<std::string> args = {"apply", in, out, "--plugin", VEYRA_PLUGIN_PATH, "--quiet"};
  for (const std::string& a : setArguments(s)) args.push_back(a);
  if (rect != nullptr) {
    args.push_back("--rect");
    args.push_back(std::to_string(rect->top) + "," + std::to_string(rect->left) + "," +
                   std::to_string(rect->bottom) + "," + std::to_string(rect->right));
  }
  return test::runVeyra(args);
}

class ApplyMatchesReference : public testing::TestWithParam<Param> {};

TEST_P(ApplyMatchesReference, EverySampleEqualsTheReference) {
  const LightCase& lc = kCases[std::get<0>(GetParam())];
  const DocumentCase& dc = kDocuments[std::get<1>(GetParam())];
  const Geometry& g = kGeometries[std::get<2>(GetParam())];

  test::TempDir dir;
  const std::string in = dir.file(dc.format == app::FileFormat::Png    ? "in.png"
                                  : dc.format == app::FileFormat::Jpeg ? "in.jpg"
                                                                       : "in.tif");
  const std::string out = dir.file(dc.format == app::FileFormat::Png ? "out.png" : "out.tif");
  app::saveImage(test::makeDocument(dc.mode, g.width, g.height, dc.alpha, 3), in, dc.format);
  const app::Document input = app::loadImage(in);  // what the host reads, after any JPEG loss

  Settings s;
  lc.set(s);
  std::optional<Plane> shape;
  switch (lc.shape) {
    case ShapeKind::None:
      break;
    case ShapeKind::Small:
    case ShapeKind::FullSize: {
      const app::Document d =
          lc.shape == ShapeKind::Small ? makeShape(20, 14, 7) : makeShape(g.width, g.height, 9);
      s.shapeFile = dir.file("shape.png");
      app::saveImage(d, s.shapeFile, app::FileFormat::Png);
      shape = planeOf(app::loadImage(s.shapeFile));
      break;
    }
    case ShapeKind::Missing:
      s.shapeFile = dir.file("no such shape.png");
      break;
    case ShapeKind::Bundled:
    case ShapeKind::BundledPng:
      s.shapeFile = std::string(VEYRA_SOURCE_DIR) +
                    (lc.shape == ShapeKind::Bundled ? "/patterns/Blinds.jpg" : "/patterns/Spot.png");
      shape = planeOf(app::loadImage(s.shapeFile));
      break;
  }

  const Box rect = g.selection ? g.rect : Box{0, 0, g.height, g.width};
  const test::CommandResult r = runApply(in, out, s, g.selection ? &rect : nullptr);
  ASSERT_EQ(r.status, 0) << r.err;
  const app::Document got = app::loadImage(out);

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

std::string paramName(const testing::TestParamInfo<Param>& i) {
  return std::string(kCases[std::get<0>(i.param)].name) + kDocuments[std::get<1>(i.param)].name +
         kGeometries[std::get<2>(i.param)].name;
}

// The cases with test-made or no shapes.
std::vector<size_t> smallShapeCases() {
  std::vector<size_t> v;
  for (size_t i = 0; i < std::size(kCases); ++i)
    if (kCases[i].shape != ShapeKind::Bundled && kCases[i].shape != ShapeKind::BundledPng) v.push_back(i);
  return v;
}

// Every such case on the one-band document, whole and selected, in gray,
// RGBA and CMYK; RGB without alpha comes with the two-band document.
INSTANTIATE_TEST_SUITE_P(OneBand, ApplyMatchesReference,
                         testing::Combine(testing::ValuesIn(smallShapeCases()),
                                          testing::Values(kGray, kRGBA, kCMYK),
                                          testing::Values(kSmall, kSmallSelection)),
                         paramName);

// The bundled shapes are large (512 and 800 pixels square): fewer runs.
INSTANTIATE_TEST_SUITE_P(BundledShapes, ApplyMatchesReference,
                         testing::Combine(testing::Values(caseNamed("BundledShapeAdd"),
                                                          caseNamed("BundledPngRotatedScreen")),
                                          testing::Values(kGray, kRGBA), testing::Values(kSmallSelection)),
                         paramName);

// The cases whose blurs and shape reach across the band boundary at row 256,
// on the two-band document.
INSTANTIATE_TEST_SUITE_P(TwoBands, ApplyMatchesReference,
                         testing::Combine(testing::Values(caseNamed("Defaults"), caseNamed("MatteScreenRed"),
                                                          caseNamed("ImageSubtractHueMatteBlur"),
                                                          caseNamed("ShapeOnlyMatteSource"),
                                                          caseNamed("ShapeDarkenDisplaced")),
                                          testing::Values(kGray, kRGB, kCMYK),
                                          testing::Values(kTall, kTallSelection)),
                         paramName);

// A selection in the bottom-right corner: margins reach up and left only; the
// CMYK document comes from a JPEG file.
INSTANTIATE_TEST_SUITE_P(CornerSelection, ApplyMatchesReference,
                         testing::Combine(testing::Values(caseNamed("WideBlurs"),
                                                          caseNamed("ShapeDarkenDisplaced"),
                                                          caseNamed("ShapeOnlyPartOpacity")),
                                          testing::Values(kGray, kRGB, kCMYKJpeg),
                                          testing::Values(kSmallCornerSelection)),
                         paramName);

}  // namespace

namespace {

// A run's settings recorded with --record and played back from the action
// file alone light a second document exactly as the reference says.
TEST(ApplyActionFile, PlaysBackRecordedSettings) {
  test::TempDir dir;
  Settings s;
  kCases[caseNamed("ShapeRotated150Affine")].set(s);
  s.lightBlend = 2;
  s.lightBlur = 2.5;
  s.shapeFile = dir.file("shape.png");
  app::saveImage(makeShape(20, 14, 7), s.shapeFile, app::FileFormat::Png);
  app::saveImage(test::makeDocument(ColorMode::RGB, 31, 27, false, 5), dir.file("first.png"),
                 app::FileFormat::Png);
  app::saveImage(test::makeDocument(ColorMode::CMYK, 29, 33, false, 6), dir.file("second.tif"),
                 app::FileFormat::Tiff);

  std::vector<std::string> record = {"apply",    dir.file("first.png"), dir.file("first-out.png"),
                                     "--plugin", VEYRA_PLUGIN_PATH,     "--quiet",
                                     "--record", dir.file("light.json")};
  for (const std::string& a : setArguments(s)) record.push_back(a);
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
  app::saveImage(makeShape(6 + below(40), 6 + below(40), GetParam()), s.shapeFile, app::FileFormat::Png);
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
