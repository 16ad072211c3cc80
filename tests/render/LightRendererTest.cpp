#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>

#include "host/Errors.h"
#include "render/Displacement.h"
#include "render/LightRenderer.h"
#include "render/MatteTable.h"
#include "support/AppTestSupport.h"
#include "support/LightTestHost.h"

namespace veyra {
namespace {

using test::bytesOf;
using test::LightTestHost;
using test::makePlaneOf;

// A document tile of the host's mode with a pattern in every channel (and
// byte 3 of RGB pixels set apart, to see that it survives).
HostBufferRef patternTile(HostDocument& doc, int16_t mode, int32_t w, int32_t h, uint32_t seed = 1) {
  const int32_t planes = mode == plugInModeGrayScale ? 1 : mode == plugInModeRGBColor ? 3 : 4;
  HostBufferRef b = doc.makeBuffer(w, h, planes, 1, mode);
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* p = b->row(y);
    for (int32_t x = 0; x < w * b->slots(); ++x)
      p[x] = static_cast<uint8_t>((x * 37 + y * 91 + seed * 13) % 256);
  }
  return b;
}

class LightRendererTest : public ::testing::Test {
 protected:
  LightTestHost host{app::ColorMode::RGB, 40, 30};
  test::TempDir dir;
  LightParameters params;
  std::string shapePath = dir.file("shape.png");

  void SetUp() override {
    test::writeGrayPng(shapePath, 20, 16, [](int x, int y) { return (x * 13 + y * 7) % 256; });
    params.shapeFile.assign(shapePath);
    params.lightBlur = 0.0;
  }
  VRect whole() const { return makeRect(0, 0, 30, 40); }
};

// Shape blend None: the light map is the matte whatever the shape file.
TEST_F(LightRendererTest, BlendNoneUsesTheMatte) {
  params.shapeBlendMode = kShapeNone;
  LightRenderer r(host.document(), params, false);
  r.prepareForSize(40, 30);
  HostBufferRef tile = patternTile(host.document(), plugInModeRGBColor, 40, 30);
  HostBufferRef light = r.lightMap(*tile, whole());
  HostBufferRef matte = r.matte(*tile, whole());
  EXPECT_EQ(bytesOf(*light), bytesOf(*matte));
  EXPECT_EQ(r.statistics().canvasBuilds, 0);
}

// Only without a shape file: no light map, the tile stays as it was, and the
// light-map view shows 0.
TEST_F(LightRendererTest, OnlyWithoutShapeLeavesTheTile) {
  params.shapeBlendMode = kShapeOnly;
  params.shapeFile.clear();
  LightRenderer r(host.document(), params, true);
  r.prepareForSize(40, 30);
  HostBufferRef tile = patternTile(host.document(), plugInModeRGBColor, 40, 30);
  const auto before = bytesOf(*tile);
  EXPECT_FALSE(r.lightMap(*tile, whole()));
  r.renderTile(*tile, whole());
  EXPECT_EQ(bytesOf(*tile), before);
  HostBufferRef view = makePlaneOf(host.document(), 40, 30, [](int, int) { return 77; });
  r.lightMapView(*tile, *view);
  for (uint8_t v : bytesOf(*view)) ASSERT_EQ(v, 0);
}

class MissingShapeFile : public LightRendererTest, public ::testing::WithParamInterface<int32_t> {};

// A shape file that cannot be read gives no canvas: the light map is the
// matte in every blend mode, Only included, and the render equals None's.
TEST_P(MissingShapeFile, LightMapIsTheMatte) {
  params.shapeFile.assign(dir.file("missing.png"));
  params.shapeBlendMode = GetParam();
  params.lightSource = kSourceMatte;
  params.lightBlur = 4.0;
  LightRenderer r(host.document(), params, false);
  r.prepareForSize(40, 30);
  HostBufferRef tile = patternTile(host.document(), plugInModeRGBColor, 40, 30);
  EXPECT_EQ(bytesOf(*r.lightMap(*tile, whole())), bytesOf(*r.matte(*tile, whole())));
  r.renderTile(*tile, whole());

  LightParameters none = params;
  none.shapeBlendMode = kShapeNone;
  LightRenderer plain(host.document(), none, false);
  plain.prepareForSize(40, 30);
  HostBufferRef expected = patternTile(host.document(), plugInModeRGBColor, 40, 30);
  plain.renderTile(*expected, whole());
  EXPECT_EQ(bytesOf(*tile), bytesOf(*expected));
  EXPECT_NE(bytesOf(*tile), bytesOf(*patternTile(host.document(), plugInModeRGBColor, 40, 30)));
}

INSTANTIATE_TEST_SUITE_P(Modes, MissingShapeFile,
                         ::testing::Values(kShapeOnly, kShapeAdd, kShapeMultiply, kShapeLighten));

// Light blur 0 (or one that is negative or NaN) runs no blur pass in either
// light source; any other length, infinite included, runs exactly one.
TEST_F(LightRendererTest, LightBlurRunsOnlyWhenUsable) {
  for (int32_t source : {kSourceMatte, kSourceImage}) {
    for (double blur : {0.0, -2.0, std::nan(""), HUGE_VAL, 3.0}) {
      params.lightSource = source;
      params.lightBlur = blur;
      LightRenderer r(host.document(), params, false);
      r.prepareForSize(40, 30);
      HostBufferRef tile = patternTile(host.document(), plugInModeRGBColor, 40, 30);
      r.renderTile(*tile, whole());
      EXPECT_EQ(r.statistics().lightBlurs, blur > 0.0 ? 1 : 0) << source << " " << blur;
    }
  }
}

// Image source on a grayscale tile: every buffer of the tile has one plane
// (no request is larger than width x height bytes); an RGB tile's light image
// has four slots.
TEST(LightRendererImageSource, LightImageHasTheTilesPlanes) {
  for (auto mode : {app::ColorMode::Gray, app::ColorMode::RGB}) {
    LightTestHost host(mode, 30, 20);
    LightParameters params;
    params.lightSource = kSourceImage;
    params.lightBlur = 2.0;
    LightRenderer r(host.document(), params, false);
    r.prepareForSize(30, 20);
    HostBufferRef tile = patternTile(host.document(), static_cast<int16_t>(mode), 30, 20);
    const auto before = bytesOf(*tile);
    host.log().requests.clear();
    r.renderTile(*tile, makeRect(0, 0, 20, 30));
    EXPECT_NE(bytesOf(*tile), before);
    EXPECT_EQ(host.log().largest(), mode == app::ColorMode::Gray ? 600u : 2400u);
  }
}

class RgbByteThree : public LightRendererTest,
                     public ::testing::WithParamInterface<std::tuple<int32_t, int32_t, int32_t>> {};

// Byte 3 of every RGB pixel survives the render in every light source,
// light blend and shape blend; the other bytes do change.
TEST_P(RgbByteThree, IsCarriedThrough) {
  const auto [source, lightBlend, shapeBlend] = GetParam();
  params.lightSource = source;
  params.lightBlendMode = lightBlend;
  params.shapeBlendMode = shapeBlend;
  params.lightBlur = 3.0;
  params.matteRange = 50.0;
  LightRenderer r(host.document(), params, false);
  r.prepareForSize(40, 30);
  HostBufferRef tile = patternTile(host.document(), plugInModeRGBColor, 40, 30);
  const auto before = bytesOf(*tile);
  r.renderTile(*tile, whole());
  const auto after = bytesOf(*tile);
  size_t changed = 0;
  for (size_t i = 0; i < after.size(); ++i) {
    if (i % 4 == 3)
      ASSERT_EQ(after[i], before[i]) << i;
    else
      changed += after[i] != before[i];
  }
  EXPECT_GT(changed, 0u);
}

INSTANTIATE_TEST_SUITE_P(Modes, RgbByteThree,
                         ::testing::Combine(::testing::Values(kSourceMatte, kSourceImage),
                                            ::testing::Values(kLightAdd, kLightSubtract, kLightScreen),
                                            ::testing::Values(kShapeNone, kShapeOnly, kShapeDifference)));

// A white shape over the whole image added at full opacity lights the whole
// light map, through both ways of cutting tiles: copied from a canvas of the
// full size (dialog) and resampled from one of the shape's size (final).
TEST_F(LightRendererTest, WhiteShapeAddedLightsEverything) {
  test::writeGrayPng(shapePath, 20, 16, [](int, int) { return 255; });
  params.shapeBlendMode = kShapeAdd;
  for (bool preview : {true, false}) {
    LightRenderer r(host.document(), params, preview);
    r.prepareForSize(40, 30);
    HostBufferRef tile = patternTile(host.document(), plugInModeRGBColor, 40, 30);
    HostBufferRef light = r.lightMap(*tile, whole());
    for (uint8_t v : bytesOf(*light)) ASSERT_EQ(v, 255) << preview;
    HostBufferRef canvas = r.shapeCanvas(40, 30);
    EXPECT_EQ(canvas->width(), preview ? 40 : 20);
  }
}

class TileSplit : public LightRendererTest, public ::testing::WithParamInterface<double> {};

// With a shape of the image's own size (so the final canvas is cut by plain
// copies) and no blur, rendering the image as three tiles of the final render
// gives what one tile gives, with and without displacement: every tile finds
// its part of the canvas and its own full-image coordinates.
TEST_P(TileSplit, TilesAgreeWithTheWhole) {
  test::writeGrayPng(shapePath, 40, 30, [](int x, int y) { return (x * 29 + y * 17) % 256; });
  params.shapeBlendMode = kShapeScreen;
  params.lightDisplacement = GetParam();
  params.shapeRotation = 12.0;
  params.matteRange = 60.0;
  LightRenderer one(host.document(), params, false);
  one.prepareForSize(40, 30);
  HostBufferRef whole = patternTile(host.document(), plugInModeRGBColor, 40, 30);
  one.renderTile(*whole, makeRect(0, 0, 30, 40));

  LightRenderer tiles(host.document(), params, false);
  tiles.prepareForSize(40, 30);
  const int32_t cuts[] = {0, 7, 19, 30};
  for (int i = 0; i < 3; ++i) {
    const VRect rect = makeRect(cuts[i], 0, cuts[i + 1], 40);
    HostBufferRef full = patternTile(host.document(), plugInModeRGBColor, 40, 30);
    // The band buffer holds the rectangle's pixels from its first row on and
    // is larger than the rectangle.
    HostBufferRef band = host.document().makeBuffer(40, 30, 3, 1, plugInModeRGBColor);
    for (int32_t y = rect.top; y < rect.bottom; ++y)
      std::memcpy(band->row(y - rect.top), full->row(y), static_cast<size_t>(band->rowBytes()));
    tiles.renderTile(*band, rect);
    for (int32_t y = rect.top; y < rect.bottom; ++y)
      ASSERT_EQ(std::memcmp(band->row(y - rect.top), whole->row(y), static_cast<size_t>(band->rowBytes())), 0)
          << "row " << y;
  }
  EXPECT_EQ(tiles.statistics().canvasBuilds, 1);
  EXPECT_EQ(tiles.statistics().shapeLoads, 1);
}

INSTANTIATE_TEST_SUITE_P(Displacement, TileSplit, ::testing::Values(0.0, 15.0, -40.0));

// A scale beyond what any host can give ends the render with -108 (the
// host's own answer), in both modes, and every buffer goes back to the host.
TEST_F(LightRendererTest, HugeScaleEndsWithOutOfMemory) {
  params.shapeScaleX = 1e12;
  for (bool preview : {false, true}) {
    const size_t before = host.liveBuffers();
    {
      LightRenderer r(host.document(), params, preview);
      r.prepareForSize(40, 30);
      HostBufferRef tile = patternTile(host.document(), plugInModeRGBColor, 40, 30);
      try {
        r.renderTile(*tile, whole());
        ADD_FAILURE() << "no error";
      } catch (const HostResultError& e) {
        EXPECT_EQ(e.code(), memFullErr);
      }
    }
    EXPECT_EQ(host.liveBuffers(), before) << preview;
  }
}

// Prepare for size rebuilds the matte table from the current parameters.
TEST_F(LightRendererTest, PrepareRebuildsTheMatteTable) {
  LightRenderer r(host.document(), params, true);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(r.matteTable()[i], i);
  params.mattePosition = 30.0;
  params.matteRange = 40.0;
  r.prepareForSize(40, 30);
  uint8_t table[256];
  buildMatteTable(30.0, 40.0, table);
  EXPECT_EQ(std::memcmp(r.matteTable(), table, 256), 0);
  EXPECT_EQ(r.fullWidth(), 40);
  EXPECT_EQ(r.fullHeight(), 30);
}

// The dialog's views: the light map of the whole proxy; the placed shape,
// or the shape bent by the proxy's brightness with amounts of
// d x size x zoom x 0.01 when the displacement is not 0.
TEST_F(LightRendererTest, ViewsShowLightMapAndShape) {
  params.shapeBlendMode = kShapeMultiply;
  LightRenderer r(host.document(), params, true);
  r.setZoom(0.5f, 0.5f);
  r.prepareForSize(40, 30);
  HostBufferRef proxy = patternTile(host.document(), plugInModeRGBColor, 40, 30);
  HostBufferRef view = host.document().makeBuffer(40, 30, 1, 1, 1);
  r.lightMapView(*proxy, *view);
  EXPECT_EQ(bytesOf(*view), bytesOf(*r.lightMap(*proxy, whole())));
  r.shapeView(*proxy, *view);
  EXPECT_EQ(bytesOf(*view), bytesOf(*r.shapeCanvas(40, 30)));

  params.lightDisplacement = 10.0;
  r.shapeView(*proxy, *view);
  HostBufferRef expected = host.document().makeBuffer(40, 30, 1, 1, 1);
  ASSERT_TRUE(displaceShape(*proxy, whole(), *r.shapeCanvas(40, 30), whole(), 10.0 * 40 * 0.5 * 0.01,
                            10.0 * 30 * 0.5 * 0.01, *expected));
  EXPECT_EQ(bytesOf(*view), bytesOf(*expected));
  EXPECT_NE(bytesOf(*view), bytesOf(*r.shapeCanvas(40, 30)));

  params.shapeFile.clear();
  r.shapeView(*proxy, *view);
  for (uint8_t v : bytesOf(*view)) ASSERT_EQ(v, 0);
}

// Tiles the engine does not light (16-bit samples, Lab) are left as they are.
TEST_F(LightRendererTest, UnsupportedTilesAreLeftAlone) {
  LightRenderer r(host.document(), params, false);
  r.prepareForSize(40, 30);
  HostBufferRef lab = patternTile(host.document(), plugInModeLabColor, 40, 30);
  const auto before = bytesOf(*lab);
  r.renderTile(*lab, whole());
  EXPECT_EQ(bytesOf(*lab), before);
  HostBufferRef deep = host.document().makeBuffer(40, 30, 3, 2, plugInModeRGBColor);
  deep->clear();
  r.renderTile(*deep, whole());
  for (uint8_t v : bytesOf(*deep)) ASSERT_EQ(v, 0);
}

// +infinity blurs as the largest finite length and NaN as no blur, for the
// light, matte and shape blurs alike, in the final render and the preview.
TEST_F(LightRendererTest, InfiniteBlurIsTheLargestAndNaNIsNone) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
  const double largest = std::numeric_limits<double>::max();
  double* const blurs[] = {&params.lightBlur, &params.matteBlur, &params.shapeBlurX, &params.shapeBlurY};
  for (bool preview : {false, true})
    for (double* blur : blurs) {
      auto render = [&](double length) {
        *blur = length;
        LightRenderer r(host.document(), params, preview);
        if (preview) r.setZoom(0.5f, 0.75f);
        r.prepareForSize(40, 30);
        HostBufferRef tile = patternTile(host.document(), plugInModeRGBColor, 40, 30);
        r.renderTile(*tile, whole());
        *blur = 0.0;
        return bytesOf(*tile);
      };
      const auto none = render(0.0);
      EXPECT_NE(render(largest), none) << "the largest blur blurs";
      EXPECT_EQ(render(inf), render(largest)) << preview;
      EXPECT_EQ(render(nan), none) << preview;
    }
}

}  // namespace
}  // namespace veyra
