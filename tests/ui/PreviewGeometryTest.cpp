// Zoom steps, proxy sizes and the centring of the preview image.
#include <gtest/gtest.h>

#include "host/PITypes.h"
#include "ui/PreviewGeometry.h"

namespace veyra {
namespace {

const ADMRect kItem{0, 0, 377, 290};

TEST(PreviewZoom, StepsOutThroughJustBelowFiftyFive) {
  double z = 1.0;
  const char* labels[] = {" 85%", " 70%", " 54%", " 50%"};
  for (const char* label : labels) {
    z = PreviewZoom::out(z);
    EXPECT_EQ(PreviewZoom::label(z), label);
  }
  EXPECT_EQ(z, 0.5);
  EXPECT_EQ(PreviewZoom::out(z), 0.5);
}

TEST(PreviewZoom, StepsInToExactlyOne) {
  double z = 0.5;
  const char* labels[] = {" 65%", " 80%", " 95%", "100%"};
  for (const char* label : labels) {
    z = PreviewZoom::in(z);
    EXPECT_EQ(PreviewZoom::label(z), label);
  }
  EXPECT_EQ(z, 1.0);
  EXPECT_EQ(PreviewZoom::in(z), 1.0);
}

TEST(PreviewGeometry, SmallDocumentIsShownAtItsOwnSizeCentred) {
  const PreviewGeometry g = PreviewGeometry::compute(100, 50, kItem, 1.0);
  EXPECT_EQ(g.width, 100);
  EXPECT_EQ(g.height, 50);
  // Inset area 4..373 x 4..286 (369 x 282).
  EXPECT_EQ(g.imageRect.left, 4 + (369 - 100) / 2);
  EXPECT_EQ(g.imageRect.top, 4 + (282 - 50) / 2);
  EXPECT_EQ(g.imageRect.right, g.imageRect.left + 100);
  EXPECT_EQ(g.imageRect.bottom, g.imageRect.top + 50);
}

TEST(PreviewGeometry, LargeDocumentFitsTheInnerArea) {
  // Wide: the width limits. 738 x 300 halves to 369 x 150.
  PreviewGeometry g = PreviewGeometry::compute(738, 300, kItem, 1.0);
  EXPECT_EQ(g.width, 369);
  EXPECT_EQ(g.height, 150);
  EXPECT_EQ(g.imageRect.left, 4);
  EXPECT_EQ(g.imageRect.top, 4 + (282 - 150) / 2);
  // Tall: the height limits. 282 x 1128 quarters to 70 x 282 (70.5 truncated).
  g = PreviewGeometry::compute(282, 1128, kItem, 1.0);
  EXPECT_EQ(g.height, 282);
  EXPECT_EQ(g.width, 70);
  // Zoom scales the proxy: 738 x 300 at 0.5.
  g = PreviewGeometry::compute(738, 300, kItem, 0.5);
  EXPECT_EQ(g.width, 184);
  EXPECT_EQ(g.height, 75);
  EXPECT_EQ(g.imageRect.left, 4 + (369 - 184) / 2);
}

TEST(PreviewGeometry, ProxyNeverExceedsTheInnerArea) {
  for (int w : {1, 2, 368, 369, 370, 1000, 6000, 32767})
    for (int h : {1, 281, 282, 283, 4000, 32767}) {
      const PreviewGeometry g = PreviewGeometry::compute(w, h, kItem, 1.0);
      EXPECT_LE(g.width, std::min(w, 369)) << w << "x" << h;
      EXPECT_LE(g.height, std::min(h, 282)) << w << "x" << h;
      // One side reaches its limit (up to the truncation of the other scale).
      EXPECT_TRUE(g.width >= std::min(w, 369) - 1 || g.height >= std::min(h, 282) - 1) << w << "x" << h;
      EXPECT_GE(g.imageRect.left, 4);
      EXPECT_GE(g.imageRect.top, 4);
    }
}

TEST(PreviewGeometry, EmptyImageGivesAnEmptyProxy) {
  const PreviewGeometry g = PreviewGeometry::compute(0, 10, kItem, 1.0);
  EXPECT_EQ(g.width, 0);
  EXPECT_EQ(g.height, 0);
}

TEST(PreviewGeometry, SixteenBitModesMapToEightBit) {
  EXPECT_EQ(proxyImageMode(plugInModeGray16), plugInModeGrayScale);
  EXPECT_EQ(proxyImageMode(plugInModeRGB48), plugInModeRGBColor);
  EXPECT_EQ(proxyImageMode(plugInModeCMYK64), plugInModeCMYKColor);
  EXPECT_EQ(proxyImageMode(plugInModeLab48), plugInModeLabColor);
  EXPECT_EQ(proxyImageMode(plugInModeRGBColor), plugInModeRGBColor);
  EXPECT_EQ(proxyImageMode(plugInModeDuotone16), plugInModeDuotone16);
}

}  // namespace
}  // namespace veyra
