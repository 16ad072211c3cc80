#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/LightTestHost.h"
#include "render/LightRenderer.h"
#include "support/AppTestSupport.h"

namespace veyra {
namespace {

using test::bytesOf;
using test::LightTestHost;

// The dialog's use of a preview renderer: a proxy of 48 x 36 for a document
// of 96 x 72 (zoom 0.5), rendered whole into a display buffer.
class PreviewCache : public ::testing::Test {
 protected:
  static constexpr int32_t kW = 48, kH = 36;
  LightTestHost host{app::ColorMode::RGB, 96, 72};
  test::TempDir dir;
  LightParameters params;
  HostBufferRef proxy;

  void SetUp() override {
    test::writeGrayPng(dir.file("a.png"), 30, 20, [](int x, int y) { return (x * 11 + y * 23) % 256; });
    test::writeGrayPng(dir.file("b.png"), 25, 25, [](int x, int y) { return x * y % 256; });
    params.shapeFile.assign(dir.file("a.png"));
    params.lightSource = kSourceMatte;
    params.lightBlur = 6.0;
    params.matteBlur = 4.0;
    params.matteRange = 50.0;
    params.shapeRotation = 10.0;
    params.shapeBlurX = 2.0;
    proxy = host.document().makeBuffer(kW, kH, 3, 1, plugInModeRGBColor);
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < proxy->rowBytes(); ++x)
        proxy->row(y)[x] = static_cast<uint8_t>((x * 7 + y * 19) % 256);
  }

  std::vector<uint8_t> refresh(LightRenderer& r) {
    r.setZoom(0.5f, 0.5f);
    r.prepareForSize(kW, kH);
    HostBufferRef display = host.document().makeBuffer(kW, kH, 3, 1, plugInModeRGBColor);
    display->copyFrom(*proxy);
    r.renderTile(*display, makeRect(0, 0, kH, kW));
    return bytesOf(*display);
  }
  // What a renderer without any history makes of the current parameters.
  std::vector<uint8_t> fresh() {
    LightRenderer r(host.document(), params, true);
    return refresh(r);
  }
};

// Refreshing twice, or after changing only the light stage, gives what a
// renderer without caches gives: the light blur is applied once per render
// and never piles up in a cache.
TEST_F(PreviewCache, RefreshesDoNotAccumulate) {
  for (int32_t source : {kSourceMatte, kSourceImage}) {
    params.lightSource = source;
    LightRenderer r(host.document(), params, true);
    const auto first = refresh(r);
    EXPECT_NE(first, bytesOf(*proxy));
    EXPECT_EQ(refresh(r), first);
    EXPECT_EQ(refresh(r), first);
    params.lightBrightness = 60.0;
    EXPECT_EQ(refresh(r), fresh());
    params.lightBlendMode = kLightScreen;
    params.lightColor[1] = 1000;
    EXPECT_EQ(refresh(r), fresh());
    params.lightBrightness = 100.0;
    params.lightBlendMode = kLightAdd;
    params.lightColor[1] = 32768;
    EXPECT_EQ(refresh(r), first);
    EXPECT_EQ(r.statistics().lightMapBuilds, 1);
    EXPECT_EQ(r.statistics().canvasBuilds, 1);
  }
}

// Buffers held by the caches never change once stored, whatever renders
// follow.
TEST_F(PreviewCache, CachedBuffersStayUnchanged) {
  LightRenderer r(host.document(), params, true);
  refresh(r);
  const VRect all = makeRect(0, 0, kH, kW);
  HostBufferRef light = r.lightMap(*proxy, all);
  HostBufferRef matte = r.matte(*proxy, all);
  HostBufferRef canvas = r.shapeCanvas(kW, kH);
  const auto l = bytesOf(*light), m = bytesOf(*matte), c = bytesOf(*canvas);
  params.shapeBlendMode = kShapeNone;  // the light map becomes the cached matte
  for (int32_t source : {kSourceMatte, kSourceImage, kSourceMatte}) {
    params.lightSource = source;
    refresh(r);
  }
  HostBufferRef view = host.document().makeBuffer(kW, kH, 1, 1, 1);
  r.lightMapView(*proxy, *view);
  r.shapeView(*proxy, *view);
  EXPECT_EQ(bytesOf(*light), l);
  EXPECT_EQ(bytesOf(*matte), m);
  EXPECT_EQ(bytesOf(*canvas), c);
}

struct Change {
  const char* name;
  std::function<void(LightParameters&)> apply;
  bool shapeStage;  // the shape canvas is rebuilt
  bool matteStage;  // the matte is extracted again
  bool lightMap;    // the light map is computed again
};

class CacheKeys : public PreviewCache, public ::testing::WithParamInterface<Change> {};

// Each parameter rebuilds exactly the stages that depend on it, and the
// refreshed preview equals a fresh renderer's.
TEST_P(CacheKeys, RebuildWhatChanged) {
  const Change& change = GetParam();
  LightRenderer r(host.document(), params, true);
  refresh(r);
  const LightRenderer::Statistics before = r.statistics();
  change.apply(params);
  const auto got = refresh(r);
  const LightRenderer::Statistics& after = r.statistics();
  EXPECT_EQ(after.canvasBuilds - before.canvasBuilds, change.shapeStage ? 1 : 0);
  EXPECT_EQ(after.matteBuilds - before.matteBuilds, change.matteStage ? 1 : 0);
  EXPECT_EQ(after.lightMapBuilds - before.lightMapBuilds, change.lightMap ? 1 : 0);
  EXPECT_EQ(after.shapeLoads, 1);
  EXPECT_EQ(got, fresh());
}

INSTANTIATE_TEST_SUITE_P(
    Parameters, CacheKeys,
    ::testing::Values(
        Change{"ShapeBlend", [](LightParameters& p) { p.shapeBlendMode = kShapeLighten; }, true, false, true},
        Change{"Opacity", [](LightParameters& p) { p.shapeOpacity = 40.0; }, true, false, true},
        Change{"BlurX", [](LightParameters& p) { p.shapeBlurX = 5.0; }, true, false, true},
        Change{"BlurY", [](LightParameters& p) { p.shapeBlurY = 3.0; }, true, false, true},
        Change{"PositionX", [](LightParameters& p) { p.shapePositionX = 12.0; }, true, false, true},
        Change{"PositionY", [](LightParameters& p) { p.shapePositionY = -7.0; }, true, false, true},
        Change{"ScaleX", [](LightParameters& p) { p.shapeScaleX = 80.0; }, true, false, true},
        Change{"ScaleY", [](LightParameters& p) { p.shapeScaleY = 130.0; }, true, false, true},
        Change{"Rotation", [](LightParameters& p) { p.shapeRotation = -25.0; }, true, false, true},
        Change{"Corner", [](LightParameters& p) { p.corners[2].x = 0.8; }, true, false, true},
        Change{"NegativeZeroCorner", [](LightParameters& p) { p.corners[0].y = -0.0; }, true, false, true},
        Change{"Displacement", [](LightParameters& p) { p.lightDisplacement = 20.0; }, true, false, true},
        Change{"MatteChannel", [](LightParameters& p) { p.matteChannel = kChannelGreen; }, false, true, true},
        Change{"MattePosition", [](LightParameters& p) { p.mattePosition = 30.0; }, false, true, true},
        Change{"MatteRange", [](LightParameters& p) { p.matteRange = 20.0; }, false, true, true},
        Change{"MatteBlur", [](LightParameters& p) { p.matteBlur = 9.0; }, false, true, true},
        Change{"Brightness", [](LightParameters& p) { p.lightBrightness = 150.0; }, false, false, false},
        Change{"LightBlend", [](LightParameters& p) { p.lightBlendMode = kLightSubtract; }, false, false,
               false},
        Change{"LightColor", [](LightParameters& p) { p.lightColor[0] = 9000; }, false, false, false},
        Change{"LightBlur", [](LightParameters& p) { p.lightBlur = 1.5; }, false, false, false},
        Change{"LightSource", [](LightParameters& p) { p.lightSource = kSourceImage; }, false, false, false}),
    [](const ::testing::TestParamInfo<Change>& info) { return std::string(info.param.name); });

// The decoded shape stays while the file name is unchanged: in the dialog
// across shape changes, in the final render across tiles; a new name reads
// again, and so does a name whose last read gave nothing.
TEST_F(PreviewCache, DecodedShapeStaysWithItsName) {
  LightRenderer r(host.document(), params, true);
  refresh(r);
  params.shapeScaleX = 60.0;
  params.shapeRotation = 45.0;
  refresh(r);
  EXPECT_EQ(r.statistics().shapeLoads, 1);
  EXPECT_EQ(r.statistics().canvasBuilds, 2);
  params.shapeFile.assign(dir.file("b.png"));
  refresh(r);
  EXPECT_EQ(r.statistics().shapeLoads, 2);
  EXPECT_EQ(refresh(r), fresh());

  params.shapeFile.assign(dir.file("none.png"));
  refresh(r);
  params.shapeRotation = 3.0;
  refresh(r);
  EXPECT_EQ(r.statistics().shapeLoads, 4);

  params.shapeFile.assign(dir.file("a.png"));
  LightRenderer final(host.document(), params, false);
  final.prepareForSize(96, 72);
  for (int band = 0; band < 4; ++band) {
    HostBufferRef tile = host.document().makeBuffer(96, 18, 3, 1, plugInModeRGBColor);
    tile->clear();
    final.renderTile(*tile, makeRect(band * 18, 0, band * 18 + 18, 96));
  }
  EXPECT_EQ(final.statistics().shapeLoads, 1);
  EXPECT_EQ(final.statistics().canvasBuilds, 1);
  EXPECT_EQ(final.statistics().lightMapBuilds, 4);
  EXPECT_EQ(final.statistics().matteBuilds, 4);
}

// A zoom change at the same proxy size still rebuilds the blurred stages
// (the blur lengths are scaled by the zoom).
TEST_F(PreviewCache, ZoomIsPartOfTheKeys) {
  LightRenderer r(host.document(), params, true);
  refresh(r);
  r.setZoom(0.25f, 0.25f);
  r.prepareForSize(kW, kH);
  HostBufferRef display = host.document().makeBuffer(kW, kH, 3, 1, plugInModeRGBColor);
  display->copyFrom(*proxy);
  r.renderTile(*display, makeRect(0, 0, kH, kW));
  EXPECT_EQ(r.statistics().canvasBuilds, 2);
  EXPECT_EQ(r.statistics().matteBuilds, 2);
}

}  // namespace
}  // namespace veyra
