// Targets of alpha channels and no composite channels, presented by the real
// host: channels that do not fit the image mode's pixels are each lit as a
// grayscale document of that channel would be; three channels of an RGB
// document are lit as its red, green and blue.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "host/LightParameters.h"
#include "support/AppTestSupport.h"
#include "ui/FilterDialog.h"

namespace veyra {
namespace {

using app::ColorMode;
using app::Document;

bool confirmDialog(FilterCall&) { return true; }

constexpr int kWidth = 40, kHeight = 300;  // two bands

// Settings that light every kind of pixel, with blurs that reach across the
// band edge and a bent shape.
void lightSettings(LightParameters& p) {
  p.lightBlur = 6.0;
  p.matteBlur = 3.0;
  p.matteRange = 100.0;
  p.lightBrightness = 160.0;
  p.lightDisplacement = 10.0;
  p.shapeBlendMode = kShapeScreen;
  p.shapeFile.assign(std::string(VEYRA_SOURCE_DIR) + "/patterns/Spot.png");
}

// Runs the filter (parameters, then start with the dialog confirmed) on the
// host's target.
void runFilter(test::HostedDocument& d) {
  app::PluginModule module = test::inProcessPlugin();
  ASSERT_EQ(d.host.call(module, filterSelectorParameters), 0);
  FilterRecord& r = d.host.filterRecord();
  lightSettings(*reinterpret_cast<LightParameters*>(r.handleProcs->lockProc(r.parameters, false)));
  r.handleProcs->unlockProc(r.parameters);
  const DialogOverride previous = setDialogOverrideForTesting(confirmDialog);
  EXPECT_EQ(d.host.call(module, filterSelectorStart), 0);
  setDialogOverrideForTesting(previous);
}

// The samples of alpha channel c before the run.
Document alphaContent(int c) { return test::makeDocument(ColorMode::Gray, kWidth, kHeight, false, 20 + c); }

using AlphaCase = std::tuple<ColorMode, int>;  // document mode, alpha channels

class AlphaTargetTest : public ::testing::TestWithParam<AlphaCase> {};

TEST_P(AlphaTargetTest, EachChannelIsLitAsTheModeOrAsGrayscale) {
  const auto [mode, count] = GetParam();
  const Document original = test::makeDocument(mode, kWidth, kHeight, false, 3);
  test::HostedDocument d(original);
  d.host.presentAlphaTarget(count);
  for (int c = 0; c < count; ++c)
    std::memcpy(d.host.alphaChannel(c), alphaContent(c).channel(0), original.pixelCount());
  runFilter(d);
  EXPECT_EQ(d.doc, original) << "the composite channels are not the target";

  const bool fits = mode == ColorMode::RGB && count == 3;
  // The expected result: the channels as one RGB document, or each on its
  // own as a grayscale document.
  std::vector<Document> expected;
  if (fits) {
    Document rgb(kWidth, kHeight, ColorMode::RGB);
    for (int c = 0; c < 3; ++c) std::memcpy(rgb.channel(c), alphaContent(c).channel(0), rgb.pixelCount());
    test::HostedDocument e(rgb);
    runFilter(e);
    expected.push_back(e.doc);
  } else {
    for (int c = 0; c < count; ++c) {
      test::HostedDocument e(alphaContent(c));
      runFilter(e);
      expected.push_back(e.doc);
    }
  }
  for (int c = 0; c < count; ++c) {
    const uint8_t* want = fits ? expected[0].channel(c) : expected[static_cast<size_t>(c)].channel(0);
    EXPECT_NE(std::memcmp(want, alphaContent(c).channel(0), original.pixelCount()), 0) << "nothing was lit";
    EXPECT_EQ(std::memcmp(d.host.alphaChannel(c), want, original.pixelCount()), 0) << "alpha channel " << c;
  }
}

INSTANTIATE_TEST_SUITE_P(ModesAndCounts, AlphaTargetTest,
                         ::testing::Combine(::testing::Values(ColorMode::Gray, ColorMode::RGB,
                                                              ColorMode::CMYK),
                                            ::testing::Values(1, 2, 3)),
                         [](const ::testing::TestParamInfo<AlphaCase>& info) {
                           return std::string(app::modeName(std::get<0>(info.param))) +
                                  std::to_string(std::get<1>(info.param)) + "Alpha";
                         });

}  // namespace
}  // namespace veyra
