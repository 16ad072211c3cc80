#include "support/EndToEndCases.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <stdexcept>

#include "support/AppTestSupport.h"

namespace veyra::test {

using app::ColorMode;

namespace {

std::vector<LightCase> makeLightCases() {
  return {
      {"Defaults", ShapeKind::None, [](reftest::Settings&) {}},
      {"MatteScreenRed", ShapeKind::None,
       [](reftest::Settings& s) {
         s.lightSource = 1;
         s.lightBlend = 2;
         s.matteChannel = 1;
         s.brightness = 230;  // strength above 255: more than one full screen
         s.lightBlur = 3.5;
         s.color[0] = 30000, s.color[1] = 26000, s.color[2] = 9000;
       }},
      {"ImageSubtractHueMatteBlur", ShapeKind::None,
       [](reftest::Settings& s) {
         s.lightBlend = 1;
         s.matteChannel = 7;
         s.mattePosition = 40;
         s.matteRange = 45;
         s.matteBlur = 2.2;
         s.lightBlur = 0;
       },
       true},
      {"MatteAddGreenNoBlur", ShapeKind::None,
       [](reftest::Settings& s) {
         s.lightSource = 1;
         s.matteChannel = 2;
         s.mattePosition = 62.5;
         s.matteRange = 70;
         s.lightBlur = 0;
         s.brightness = 65;
         s.color[0] = 26000, s.color[1] = 21000, s.color[2] = 9000;
       }},
      {"SaturationShapeMultiply", ShapeKind::Small,
       [](reftest::Settings& s) {
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
       [](reftest::Settings& s) {
         s.shapeBlend = 1;
         s.lightSource = 1;
         s.lightBlur = 4;
         s.matteBlur = 1.3;
       }},
      {"ShapeScreenRotated", ShapeKind::Small,
       [](reftest::Settings& s) {
         s.shapeBlend = 5;
         s.opacity = 85;
         s.rotation = 30;
         s.matteChannel = 3;
         s.lightBlend = 2;
         s.lightBlur = 1.5;
       }},
      {"ShapeDifferenceCornerPin", ShapeKind::Small,
       [](reftest::Settings& s) {
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
       [](reftest::Settings& s) {
         s.shapeBlend = 7;
         s.opacity = 90;
         s.displacement = 8;
         s.matteChannel = 5;
         s.matteRange = 60;
         s.lightBlur = 2;
       }},
      {"ShapeLightenFullSize", ShapeKind::FullSize,
       [](reftest::Settings& s) {
         s.shapeBlend = 8;
         s.matteChannel = 6;
         s.lightSource = 1;
         s.lightBlend = 1;
         s.lightBlur = 3;
       }},
      {"ShapeSubtractFullSizeScaled", ShapeKind::FullSize,
       [](reftest::Settings& s) {
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
       [](reftest::Settings& s) {
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
       [](reftest::Settings& s) {
         s.shapeBlend = 1;  // Only, but without a canvas the light map is the matte
         s.scaleY = 5;      // trunc(14 x 0.05) = 0
         s.lightSource = 1;
       },
       false, true},
      {"OnlyWithMissingFile", ShapeKind::Missing,
       [](reftest::Settings& s) {
         s.shapeBlend = 1;
         s.matteChannel = 5;
         s.lightBlur = 1;
       }},
      {"ShapeNoneIgnoresFile", ShapeKind::Small,
       [](reftest::Settings& s) {
         s.shapeBlend = 0;
         s.matteChannel = 2;
         s.lightBlend = 2;
         s.lightBlur = 2;
       },
       false, true},
      {"ShapeOnlyPartOpacity", ShapeKind::Small,
       [](reftest::Settings& s) {
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
       [](reftest::Settings& s) {
         // Margins wider than the document, windows limited by the line length.
         s.lightSource = 1;
         s.lightBlend = 2;
         s.lightBlur = 40;
         s.matteBlur = 25.5;
         s.matteRange = 50;
       }},
      {"BundledShapeAdd", ShapeKind::Bundled,
       [](reftest::Settings& s) {
         s.scaleX = 50;
         s.scaleY = 40;
         s.positionX = 12;
         s.lightBlur = 0.5;
         s.matteChannel = 0;
       }},
      {"BundledPngRotatedScreen", ShapeKind::BundledPng,
       [](reftest::Settings& s) {
         s.shapeBlend = 5;
         s.rotation = -20;
         s.positionX = -10;
         s.positionY = 5;
         s.scaleX = 90;
         s.lightSource = 1;
         s.lightBlur = 1.5;
       }},
  };
}

std::vector<DocumentCase> makeDocuments() {
  return {
      {"Gray", ColorMode::Gray, false, app::FileFormat::Png},
      {"RGB", ColorMode::RGB, false, app::FileFormat::Tiff},
      {"RGBA", ColorMode::RGB, true, app::FileFormat::Png},
      {"CMYK", ColorMode::CMYK, false, app::FileFormat::Tiff},
      {"CMYKJpeg", ColorMode::CMYK, false, app::FileFormat::Jpeg},
  };
}
constexpr size_t kGray = 0, kRGB = 1, kRGBA = 2, kCMYK = 3, kCMYKJpeg = 4;

// 37 x 29 is one band; 23 x 300 is two, the second band's read rectangle
// reaching up into the first band's written rows.
std::vector<Geometry> makeGeometries() {
  return {
      {"Small", 37, 29, false, {}},
      {"SmallSelection", 37, 29, true, {5, 7, 24, 30}},
      {"Tall", 23, 300, false, {}},
      {"TallSelection", 23, 300, true, {3, 2, 290, 20}},
      {"SmallCornerSelection", 37, 29, true, {17, 20, 29, 37}},
  };
}
constexpr size_t kSmall = 0, kSmallSelection = 1, kTall = 2, kTallSelection = 3, kSmallCornerSelection = 4;

}  // namespace

const std::vector<LightCase>& lightCases() {
  static const std::vector<LightCase> cases = makeLightCases();
  return cases;
}
const std::vector<DocumentCase>& documentCases() {
  static const std::vector<DocumentCase> documents = makeDocuments();
  return documents;
}
const std::vector<Geometry>& geometries() {
  static const std::vector<Geometry> all = makeGeometries();
  return all;
}

namespace {

// The cases with test-made or no shapes.
std::vector<size_t> smallShapeCases() {
  std::vector<size_t> v;
  for (size_t i = 0; i < lightCases().size(); ++i)
    if (lightCases()[i].shape != ShapeKind::Bundled && lightCases()[i].shape != ShapeKind::BundledPng)
      v.push_back(i);
  return v;
}

std::string number(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}

const char* const kSourceCodes[] = {"sImg", "sMat"};
const char* const kChannelCodes[] = {"lumC", "redC", "grnC", "bluC", "cynC", "magC", "yelC", "hueC", "satC"};
const char* const kShapeBlendCodes[] = {"sNon", "sOnl", "sAdd", "sSub", "sMul",
                                        "sScr", "sDif", "sDrk", "sLgt"};

}  // namespace

size_t lightCaseNamed(const char* name) {
  for (size_t i = 0; i < lightCases().size(); ++i)
    if (std::string(lightCases()[i].name) == name) return i;
  throw std::logic_error(std::string("no light case ") + name);
}

std::string endToEndName(const EndToEndParam& p) {
  return std::string(lightCases()[std::get<0>(p)].name) + documentCases()[std::get<1>(p)].name +
         geometries()[std::get<2>(p)].name;
}

std::vector<EndToEndParam> RunGroup::params() const {
  std::vector<EndToEndParam> v;
  for (size_t c : cases)
    for (size_t d : documents)
      for (size_t g : geometries) v.emplace_back(c, d, g);
  return v;
}

const std::vector<RunGroup>& runGroups() {
  static const std::vector<RunGroup> groups = {
      // Every case with test-made or no shapes on the one-band document,
      // whole and selected, in gray, RGBA and CMYK; RGB without alpha comes
      // with the two-band document.
      {"OneBand", smallShapeCases(), {kGray, kRGBA, kCMYK}, {kSmall, kSmallSelection}},
      // The bundled shapes are large (512 and 800 pixels square): fewer runs.
      {"BundledShapes",
       {lightCaseNamed("BundledShapeAdd"), lightCaseNamed("BundledPngRotatedScreen")},
       {kGray, kRGBA},
       {kSmallSelection}},
      // The cases whose blurs and shape reach across the band boundary at
      // row 256, on the two-band document.
      {"TwoBands",
       {lightCaseNamed("Defaults"), lightCaseNamed("MatteScreenRed"),
        lightCaseNamed("ImageSubtractHueMatteBlur"), lightCaseNamed("ShapeOnlyMatteSource"),
        lightCaseNamed("ShapeDarkenDisplaced")},
       {kGray, kRGB, kCMYK},
       {kTall, kTallSelection}},
      // A selection in the bottom-right corner: margins reach up and left
      // only; the CMYK document comes from a JPEG file.
      {"CornerSelection",
       {lightCaseNamed("WideBlurs"), lightCaseNamed("ShapeDarkenDisplaced"),
        lightCaseNamed("ShapeOnlyPartOpacity")},
       {kGray, kRGB, kCMYKJpeg},
       {kSmallCornerSelection}},
  };
  return groups;
}

const RunGroup& runGroupNamed(const char* name) {
  for (const RunGroup& g : runGroups())
    if (std::string(g.name) == name) return g;
  throw std::logic_error(std::string("no run group ") + name);
}

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

PreparedRun prepareRun(const TempDir& dir, const EndToEndParam& p) {
  const LightCase& lc = lightCases()[std::get<0>(p)];
  const DocumentCase& dc = documentCases()[std::get<1>(p)];
  const Geometry& g = geometries()[std::get<2>(p)];
  PreparedRun run;
  run.input = dir.file(dc.format == app::FileFormat::Png    ? "in.png"
                       : dc.format == app::FileFormat::Jpeg ? "in.jpg"
                                                            : "in.tif");
  run.output = dir.file(dc.format == app::FileFormat::Png ? "out.png" : "out.tif");
  app::saveImage(makeDocument(dc.mode, g.width, g.height, dc.alpha, 3), run.input, dc.format);
  lc.set(run.settings);
  switch (lc.shape) {
    case ShapeKind::None:
      break;
    case ShapeKind::Small:
    case ShapeKind::FullSize:
      run.settings.shapeFile = dir.file("shape.png");
      app::saveImage(lc.shape == ShapeKind::Small ? makeShape(20, 14, 7) : makeShape(g.width, g.height, 9),
                     run.settings.shapeFile, app::FileFormat::Png);
      break;
    case ShapeKind::Missing:
      run.settings.shapeFile = dir.file("no such shape.png");
      break;
    case ShapeKind::Bundled:
    case ShapeKind::BundledPng:
      run.settings.shapeFile =
          std::string(VEYRA_SOURCE_DIR) +
          (lc.shape == ShapeKind::Bundled ? "/patterns/Blinds.jpg" : "/patterns/Spot.png");
      break;
  }
  run.selection = g.selection;
  run.rect = g.selection ? g.rect : reftest::Box{0, 0, g.height, g.width};
  return run;
}

std::vector<std::string> setArguments(const reftest::Settings& s, const std::string& shapeFile) {
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
  if (!shapeFile.empty()) set("sNam", shapeFile);
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

std::vector<std::string> applyArguments(const PreparedRun& run, const std::string& plugin,
                                        const std::function<std::string(const std::string&)>& hostPath) {
  std::vector<std::string> args = {"apply",  hostPath(run.input), hostPath(run.output), "--plugin", plugin,
                                   "--quiet"};
  const std::string shape = run.settings.shapeFile.empty() ? "" : hostPath(run.settings.shapeFile);
  for (const std::string& a : setArguments(run.settings, shape)) args.push_back(a);
  if (run.selection) {
    args.push_back("--rect");
    args.push_back(std::to_string(run.rect.top) + "," + std::to_string(run.rect.left) + "," +
                   std::to_string(run.rect.bottom) + "," + std::to_string(run.rect.right));
  }
  return args;
}

}  // namespace veyra::test
