#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "fx/BoxBlur.h"
#include "fx/ImageScaler.h"
#include "host/Errors.h"
#include "render/BufferBlur.h"
#include "render/BufferImage.h"
#include "render/ShapeCanvas.h"
#include "render/ShapeRotation.h"
#include "support/LightTestHost.h"

namespace veyra {
namespace {

using test::bytesOf;
using test::LightTestHost;
using test::makePlaneOf;

const double kNaN = std::nan("");
const double kInf = std::numeric_limits<double>::infinity();

class ShapeCanvas : public ::testing::Test {
 protected:
  LightTestHost host;
  LightParameters params;
  HostBufferRef shape = makePlaneOf(host.document(), 16, 12, [](int x, int y) { return 20 + 9 * x + 7 * y; });

  HostBufferRef build(int32_t cw, int32_t ch) {
    return buildShapeCanvas(host.document(), shape, params, cw, ch, 1.0, 1.0);
  }
  HostBufferRef stretched(int32_t cw, int32_t ch) {
    HostBufferRef out = host.document().makeBuffer(cw, ch, 1, 1, 1);
    BufferImage from(*shape), to(*out);
    fx::ImageScaler::scaleImage(from.image(), to.image(), 5);
    return out;
  }
  static bool allZero(const HostBuffer& b) {
    for (uint8_t v : bytesOf(b))
      if (v != 0) return false;
    return true;
  }
};

// Scale 100, no blur, no rotation, centred, identity pin: the canvas is the
// shape stretched to the canvas size; at the shape's own size a plain copy.
TEST_F(ShapeCanvas, DefaultPlacementStretchesTheShape) {
  HostBufferRef canvas = build(40, 30);
  ASSERT_TRUE(canvas);
  EXPECT_EQ(bytesOf(*canvas), bytesOf(*stretched(40, 30)));
  HostBufferRef same = build(16, 12);
  ASSERT_TRUE(same);
  EXPECT_EQ(bytesOf(*same), bytesOf(*shape));
}

// Position X 100 moves the shape one canvas width to the right: nothing of
// it is left. Positions far away, and the int32 extremes, do the same
// without overflow; a NaN position counts as 0 (centred).
TEST_F(ShapeCanvas, PositionMovesTheShape) {
  params.shapePositionX = 100.0;
  EXPECT_TRUE(allZero(*build(16, 12)));
  params.shapePositionX = 25.0;  // 4 pixels right
  HostBufferRef moved = build(16, 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(moved->row(y)[x], x < 4 ? 0 : shape->row(y)[x - 4]);
  for (double far : {1e300, -1e300, kInf, -kInf, 2147483647.0 * 100 / 16}) {
    params.shapePositionX = far;
    EXPECT_TRUE(allZero(*build(16, 12))) << far;
  }
  params.shapePositionX = kNaN;
  params.shapePositionY = kNaN;
  EXPECT_EQ(bytesOf(*build(16, 12)), bytesOf(*shape));
}

TEST(ShapeOffset, CentresAndLimits) {
  int32_t ox, oy;
  shapeOffset(0.0, 0.0, 100, 50, 30, 21, ox, oy);
  EXPECT_EQ(ox, 35);
  EXPECT_EQ(oy, 14);  // 29 / 2 truncated
  shapeOffset(0.0, 0.0, 10, 10, 31, 30, ox, oy);
  EXPECT_EQ(ox, -10);  // -21 / 2 truncates toward zero
  EXPECT_EQ(oy, -10);
  shapeOffset(-10.5, 10.0, 100, 50, 30, 21, ox, oy);
  EXPECT_EQ(ox, 35 - 10);
  EXPECT_EQ(oy, 14 + 5);
  shapeOffset(1e30, -1e30, 100, 50, 30, 21, ox, oy);
  EXPECT_EQ(ox, 100);
  EXPECT_EQ(oy, -21);
}

// Scaled sizes: below one pixel, negative or NaN give no canvas; beyond 32
// bits (or infinite) the host has no memory for them.
TEST_F(ShapeCanvas, ScaledSizes) {
  int32_t qw = 0, qh = 0;
  params.shapeScaleX = 50.0;
  params.shapeScaleY = 200.0;
  ASSERT_TRUE(scaledShapeSize(params, 16, 12, 16, 12, qw, qh));
  EXPECT_EQ(qw, 8);
  EXPECT_EQ(qh, 24);
  for (double bad : {1.0, 0.0, -100.0, kNaN, -kInf}) {  // 1% of 16 truncates to 0
    params.shapeScaleX = bad;
    EXPECT_FALSE(scaledShapeSize(params, 16, 12, 16, 12, qw, qh)) << bad;
    EXPECT_FALSE(build(16, 12)) << bad;
  }
  params.shapeScaleX = 100.0;
  for (double huge : {kInf, 1e12, 2e10}) {
    params.shapeScaleY = huge;
    EXPECT_THROW(scaledShapeSize(params, 16, 12, 16, 12, qw, qh), HostResultError) << huge;
  }
}

// Sizes that fit 32 bits each but not together are refused by the host's
// buffer suite: -108, with nothing left allocated.
TEST_F(ShapeCanvas, HugeScaleRunsOutOfMemory) {
  params.shapeScaleX = 1e9;  // 160 million columns
  params.shapeScaleY = 1e9;
  const size_t before = host.liveBuffers();
  try {
    build(16, 12);
    FAIL() << "no error";
  } catch (const HostResultError& e) {
    EXPECT_EQ(e.code(), memFullErr);
  }
  EXPECT_EQ(host.liveBuffers(), before);
  host.host().memory().setLimit(size_t{1} << 20);
  params.shapeScaleX = params.shapeScaleY = 3000.0;  // 480 x 360: fine
  EXPECT_TRUE(build(16, 12));
  params.shapeScaleX = params.shapeScaleY = 50000.0;  // 8000 x 6000: over the host's limit
  EXPECT_THROW(build(16, 12), HostResultError);
}

// Rotation 30 at scale 100: the turned shape is larger than the canvas,
// stays centred, and is cut at the edges; the canvas corners are 0.
TEST_F(ShapeCanvas, RotatedShapeIsCutAtTheEdges) {
  shape = makePlaneOf(host.document(), 16, 12, [](int, int) { return 255; });
  params.shapeRotation = 30.0;
  HostBufferRef canvas = build(60, 40);
  EXPECT_EQ(canvas->row(0)[0], 0);
  EXPECT_EQ(canvas->row(0)[59], 0);
  EXPECT_EQ(canvas->row(39)[0], 0);
  EXPECT_EQ(canvas->row(39)[59], 0);
  EXPECT_EQ(canvas->row(20)[30], 255);
  // The middle of every edge is still lit: the shape reaches past it.
  EXPECT_EQ(canvas->row(0)[30], 255);
  EXPECT_EQ(canvas->row(20)[0], 255);
}

// A corner pin with all corners on one point empties the canvas.
TEST_F(ShapeCanvas, CornerPinOnOnePointIsZero) {
  for (auto& c : params.corners) c = {0.25, 0.75};
  EXPECT_TRUE(allZero(*build(30, 20)));
}

// Blur lengths that are NaN, zero or negative blur nothing; any other length
// blurs in that direction only.
TEST_F(ShapeCanvas, UnusableBlurLengthsBlurNothing) {
  const auto plain = bytesOf(*build(16, 12));
  for (double b : {kNaN, -kInf, -3.0, 0.0}) {
    params.shapeBlurX = b;
    params.shapeBlurY = b;
    EXPECT_EQ(bytesOf(*build(16, 12)), plain) << b;
  }
  params.shapeBlurX = 3.0;
  params.shapeBlurY = kNaN;
  HostBufferRef blurred = build(16, 12);
  EXPECT_NE(bytesOf(*blurred), plain);
  // Columns of a horizontally blurred gradient keep their vertical steps of 7.
  EXPECT_NEAR(blurred->row(5)[8] - blurred->row(4)[8], 7, 1);
}

TEST(BlurRadius, Limits) {
  EXPECT_EQ(blurRadius(10.0, 0.5), 5.0f);
  EXPECT_EQ(blurRadius(-1.0, 1.0), 0.0f);
  EXPECT_EQ(blurRadius(kNaN, 1.0), 0.0f);
  EXPECT_EQ(blurRadius(kInf, 1.0), 2147483648.0f);
  EXPECT_EQ(blurRadius(kInf, 1e-300), blurRadius(std::numeric_limits<double>::max(), 1e-300));
  EXPECT_EQ(blurRadius(kInf, 0.0), 0.0f);
  EXPECT_EQ(blurRadius(1.0, kNaN), 0.0f);
  EXPECT_EQ(blurRadius(1e300, 1e300), 2147483648.0f);
  EXPECT_EQ(blurRadius(3e9, 1.0), 2147483648.0f);
}

// Limiting huge radii changes nothing: a radius of 2^31 blurs as 2^40 does
// (both are whole half-widths far beyond the lines), here compared on a blur
// run directly with the larger radius.
TEST(BlurRadius, LimitBlursLikeLargerRadii) {
  LightTestHost host(app::ColorMode::Gray);
  HostBufferRef a = makePlaneOf(host.document(), 23, 9, [](int x, int y) { return (x * 37 + y * 11) % 256; });
  HostBufferRef b = makePlaneOf(host.document(), 23, 9, [](int x, int y) { return (x * 37 + y * 11) % 256; });
  ASSERT_TRUE(blurBuffer(*a, 1e300, 1.0, 1e300, 1.0));
  BufferImage image(*b);
  fx::BoxBlur blur;
  blur.setRadii(1099511627776.0f, 1099511627776.0f);
  blur.setExtraPasses(1);
  blur.apply(image.image(), image.image().bounds);
  EXPECT_EQ(bytesOf(*a), bytesOf(*b));
}

// Copying a shape partly outside the canvas keeps only the overlap, also
// with offsets at the ends of the 32-bit range.
TEST(PlaceShape, DropsWhatFallsOutside) {
  LightTestHost host(app::ColorMode::Gray);
  HostBufferRef shape = makePlaneOf(host.document(), 5, 4, [](int x, int y) { return 1 + x + 10 * y; });
  HostBufferRef canvas = makePlaneOf(host.document(), 6, 6, [](int, int) { return 0; });
  placeShape(*canvas, *shape, -2, 3);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool inside = x < 3 && y >= 3;
      EXPECT_EQ(canvas->row(y)[x], inside ? shape->row(y - 3)[x + 2] : 0) << x << "," << y;
    }
  HostBufferRef empty = makePlaneOf(host.document(), 6, 6, [](int, int) { return 0; });
  const int32_t extremes[] = {std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min(), 6,
                              -5};
  for (int32_t ox : extremes)
    for (int32_t oy : extremes) placeShape(*empty, *shape, ox, oy);
  for (uint8_t v : bytesOf(*empty)) EXPECT_EQ(v, 0);
}

// A scaled shape of more than 25 canvases' worth (and more than 2^24
// pixels) could only be cut away: it is refused with -108 before any buffer
// is asked for. The dialog's largest scale on a large shape still builds.
TEST_F(ShapeCanvas, ShapeTheCanvasCannotUseIsRefusedAtOnce) {
  HostBufferRef tiny = makePlaneOf(host.document(), 8, 8, [](int x, int y) { return 30 * x + y; });
  params.shapeScaleX = 1e9;  // 80 million x 8 pixels for an 8 x 8 canvas
  const size_t requests = host.log().requests.size();
  try {
    buildShapeCanvas(host.document(), tiny, params, 8, 8, 1.0, 1.0);
    FAIL() << "no error";
  } catch (const HostResultError& e) {
    EXPECT_EQ(e.code(), memFullErr);
  }
  EXPECT_EQ(host.log().requests.size(), requests);
  EXPECT_TRUE(shapeFitsCanvas(20480, 20480, 4096, 4096));  // 500 % of 4096 x 4096
  EXPECT_FALSE(shapeFitsCanvas(20481, 20480, 4096, 4096));
  EXPECT_TRUE(shapeFitsCanvas(4096, 4096, 8, 8));
  EXPECT_FALSE(shapeFitsCanvas(4097, 4096, 8, 8));
}

// Every intermediate of the canvas goes back to the host as soon as its
// successor exists: at most two neighbouring steps (scaled shape, three
// shears, canvas) are held at once besides the shape itself.
TEST_F(ShapeCanvas, IntermediatesAreFreedAsSoonAsTheirSuccessorExists) {
  params.shapeScaleX = params.shapeScaleY = 300.0;  // 48 x 36
  params.shapeRotation = 30.0;
  const RotationPlan p = planRotation(48, 36, 30.0);
  ASSERT_TRUE(p.shears);
  const size_t scaled = 48 * 36, first = size_t(p.w1) * p.h0, second = size_t(p.w1) * p.h2,
               third = size_t(p.w3) * p.h2, canvas = 16 * 12;
  const size_t base = host.host().memory().used();
  host.log().peak = base;
  ASSERT_TRUE(build(16, 12));
  EXPECT_LE(host.log().peak,
            base + std::max({scaled + first, first + second, second + third, third + canvas}));
}

}  // namespace
}  // namespace veyra
