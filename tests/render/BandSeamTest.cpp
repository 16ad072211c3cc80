// Bands must not show where they meet: the final render through the real host,
// cut into bands of 256 rows, against the same renderer lighting the whole
// filter rectangle as one tile, and a seam measure on a tall smooth picture.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <tuple>

#include "host/HostDocument.h"
#include "host/LightParameters.h"
#include "render/LightRenderer.h"
#include "support/AppTestSupport.h"
#include "ui/FilterDialog.h"

namespace veyra {
namespace {

using app::ColorMode;
using app::Document;

bool confirmDialog(FilterCall&) { return true; }

struct Blurs {
  double light;
  double matte;
  int32_t source;
};

LightParameters* lockParameters(FilterRecord& r) {
  return reinterpret_cast<LightParameters*>(r.handleProcs->lockProc(r.parameters, false));
}

// The filter run as a host makes it: parameters, then start with the dialog
// confirmed at once; the document is lit in bands by the render driver.
Document bandedRender(const Document& original, const VRect* rect, const Blurs& blurs) {
  test::HostedDocument d(original);
  app::PluginModule module = test::inProcessPlugin();
  if (rect != nullptr) d.host.setFilterRect(*rect);
  EXPECT_EQ(d.host.call(module, filterSelectorParameters), 0);
  FilterRecord& r = d.host.filterRecord();
  LightParameters* p = lockParameters(r);
  p->lightBlur = blurs.light;
  p->matteBlur = blurs.matte;
  p->lightSource = blurs.source;
  r.handleProcs->unlockProc(r.parameters);
  const DialogOverride previous = setDialogOverrideForTesting(confirmDialog);
  EXPECT_EQ(d.host.call(module, filterSelectorStart), 0);
  setDialogOverrideForTesting(previous);
  return d.doc;
}

// The same render as one tile: the whole filter rectangle with the margin
// above and to its left, read, lit and written back through the host.
Document oneBandRender(const Document& original, const VRect* rect, const Blurs& blurs) {
  test::HostedDocument d(original);
  app::PluginModule module = test::inProcessPlugin();
  if (rect != nullptr) d.host.setFilterRect(*rect);
  EXPECT_EQ(d.host.call(module, filterSelectorParameters), 0);
  FilterRecord& r = d.host.filterRecord();
  LightParameters* p = lockParameters(r);
  p->lightBlur = blurs.light;
  p->matteBlur = blurs.matte;
  p->lightSource = blurs.source;
  {
    HostDocument document(&r);
    LightRenderer renderer(document, *p, false);
    renderer.prepareForSize(r.imageSize.h, r.imageSize.v);
    const VRect f = document.filterRect();
    const int32_t m = static_cast<int32_t>(std::ceil(std::max(blurs.light, blurs.matte)));
    const VRect read = makeRect(std::max(f.top - m, 0), std::max(f.left - m, 0), f.bottom, f.right);
    HostBufferRef tile = document.makeBuffer(read, document.channelCount(), 1, r.imageMode);
    document.readRect(*tile, read);
    renderer.renderTile(*tile, read);
    document.writeRect(*tile, f, f.top - read.top, f.left - read.left);
  }
  r.handleProcs->unlockProc(r.parameters);
  return d.doc;
}

using SeamCase = std::tuple<ColorMode, bool, Blurs>;  // mode, selection, blurs

class BandSeamTest : public ::testing::TestWithParam<SeamCase> {};

// Blurs whose two passes reach no farther than the margin, so that the band's
// edges cannot change what the rows inside it see.
TEST_P(BandSeamTest, BandedRenderEqualsOneBand) {
  const auto [mode, withSelection, blurs] = GetParam();
  const Document original = test::makeDocument(mode, 80, 600, false, 7);
  const VRect selection{40, 7, 340, 75};  // two bands, the second short
  const VRect* rect = withSelection ? &selection : nullptr;
  const Document banded = bandedRender(original, rect, blurs);
  const Document whole = oneBandRender(original, rect, blurs);
  ASSERT_NE(whole, original) << "the settings must light something";
  for (int k = 0; k < original.channelCount(); ++k)
    for (int y = 0; y < original.height(); ++y)
      for (int x = 0; x < original.width(); ++x)
        ASSERT_EQ(banded.at(k, x, y), whole.at(k, x, y)) << "channel " << k << " at " << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(
    ModesAndSelections, BandSeamTest,
    ::testing::Combine(::testing::Values(ColorMode::Gray, ColorMode::RGB, ColorMode::CMYK), ::testing::Bool(),
                       ::testing::Values(Blurs{30.0, 0.0, kSourceMatte}, Blurs{0.0, 12.0, kSourceMatte},
                                         Blurs{20.0, 0.0, kSourceImage}, Blurs{300.0, 0.0, kSourceMatte})),
    [](const ::testing::TestParamInfo<SeamCase>& info) {
      const Blurs b = std::get<2>(info.param);
      return std::string(app::modeName(std::get<0>(info.param))) +
             (std::get<1>(info.param) ? "Selection" : "Whole") + "Light" +
             std::to_string(static_cast<int>(b.light)) + "Matte" + std::to_string(static_cast<int>(b.matte)) +
             (b.source == kSourceMatte ? "FromMatte" : "FromImage");
    });

// The mean step between row y - 1 and row y over every sample of the row.
double rowStep(const Document& d, int y) {
  double sum = 0;
  for (int k = 0; k < d.channelCount(); ++k)
    for (int x = 0; x < d.width(); ++x) sum += std::abs(d.at(k, x, y) - d.at(k, x, y - 1));
  return sum / (d.channelCount() * d.width());
}

// A smooth picture lit with both blurs: the step where two bands meet is no
// larger than the steps around it.
TEST(BandSeamMeasureTest, BandEdgesOfASmoothPictureShowNoStep) {
  Document smooth(300, 800, ColorMode::RGB);
  for (int y = 0; y < smooth.height(); ++y)
    for (int x = 0; x < smooth.width(); ++x)
      for (int k = 0; k < 3; ++k) smooth.at(k, x, y) = static_cast<uint8_t>(50 + (x + y) / 6 + 5 * k);
  const Document lit = bandedRender(smooth, nullptr, Blurs{30.0, 12.0, kSourceMatte});
  for (int edge : {256, 512, 768}) {
    double around = 0;
    int rows = 0;
    for (int y = edge - 12; y <= edge + 12; ++y)
      if (y != edge && y < lit.height()) {
        around += rowStep(lit, y);
        ++rows;
      }
    around /= rows;
    ASSERT_GT(around, 0.0) << "the picture must change from row to row";
    EXPECT_LT(rowStep(lit, edge), 2.0 * around) << "seam at row " << edge;
  }
}

}  // namespace
}  // namespace veyra
