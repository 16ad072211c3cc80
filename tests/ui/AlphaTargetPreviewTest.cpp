// The dialog's preview of a target of alpha channels that do not fit the
// image mode: every view renders inside its buffers, and the result view
// lights each channel as the preview of a grayscale document of it would.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "dialogmanager/DialogManager.h"
#include "support/ui_test_host.h"
#include "ui/LightDialog.h"

namespace veyra {
namespace {

namespace adm = dialogmanager;
using app::ColorMode;
using test::UiTestHost;

constexpr int kWidth = 90, kHeight = 60;

void press(ADM::Item& item) { adm::click(item.ref()); }

LightParameters lightSettings() {
  LightParameters p;
  p.matteRange = 100.0;
  p.lightBrightness = 160.0;
  p.lightDisplacement = 10.0;
  p.shapeBlendMode = kShapeScreen;
  p.shapeFile.assign(std::string(VEYRA_SOURCE_DIR) + "/patterns/Spot.png");
  return p;
}

uint8_t sampleOf(int c, int x, int y) {
  return static_cast<uint8_t>((x * (3 + c) + y * (5 - c) + 40 * c) & 0xff);
}

// Slot `slot` of every pixel of the result view after the light-map and
// shape views were shown.
std::vector<uint8_t> previewSlot(UiTestHost& host, int slot) {
  std::vector<uint8_t> samples;
  host.setParameters(lightSettings());
  host.run([&](LightDialog& d, ADMDialogRef) {
    press(d.viewButton(1));
    press(d.viewButton(2));
    press(d.viewButton(0));
    const HostBuffer& shown = *d.displayBuffer();
    EXPECT_EQ(d.preview().pixelMap().imageMode, plugInModeGrayScale);
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x)
        samples.push_back(shown.row(y)[x * shown.bytesPerPixel() + slot]);
    press(d.cancelButton());
  });
  return samples;
}

using PreviewCase = std::tuple<ColorMode, int>;  // document mode, alpha channels

class AlphaTargetPreviewTest : public ::testing::TestWithParam<PreviewCase> {};

TEST_P(AlphaTargetPreviewTest, EachChannelIsPreviewedAsGrayscale) {
  const auto [mode, count] = GetParam();
  std::vector<std::vector<uint8_t>> expected;
  for (int c = 0; c < count; ++c) {
    UiTestHost gray(kWidth, kHeight, ColorMode::Gray);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) gray.image().at(0, x, y) = sampleOf(c, x, y);
    expected.push_back(previewSlot(gray, 0));
  }

  UiTestHost host(kWidth, kHeight, mode);
  host.host().presentAlphaTarget(count);
  for (int c = 0; c < count; ++c)
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) host.host().alphaChannel(c)[y * kWidth + x] = sampleOf(c, x, y);
  for (int c = 0; c < count; ++c) {
    std::vector<uint8_t> unlit;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) unlit.push_back(sampleOf(c, x, y));
    EXPECT_NE(expected[static_cast<size_t>(c)], unlit) << "nothing was lit";
    EXPECT_EQ(previewSlot(host, c), expected[static_cast<size_t>(c)]) << "channel " << c;
  }
}

INSTANTIATE_TEST_SUITE_P(ModesAndCounts, AlphaTargetPreviewTest,
                         ::testing::Values(PreviewCase{ColorMode::Gray, 2}, PreviewCase{ColorMode::RGB, 1},
                                           PreviewCase{ColorMode::RGB, 2}, PreviewCase{ColorMode::CMYK, 3}),
                         [](const ::testing::TestParamInfo<PreviewCase>& info) {
                           return std::string(app::modeName(std::get<0>(info.param))) +
                                  std::to_string(std::get<1>(info.param)) + "Alpha";
                         });

}  // namespace
}  // namespace veyra
