// The final render's band walk through the real host: band rectangles, the
// margin, progress, abort and the one band buffer.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "host/LightParameters.h"
#include "host/Rect.h"
#include "render/RenderDriver.h"
#include "support/AppTestSupport.h"
#include "ui/FilterDialog.h"

namespace veyra {
namespace {

using app::ColorMode;
using app::PortAccess;
using test::HostedDocument;
using test::makeDocument;

bool confirmDialog(FilterCall&) { return true; }

// Runs the filter with the dialog confirmed at once and the given blurs.
struct BandRun {
  BandRun(int width, int height, double lightBlur, double matteBlur, const VRect* rect = nullptr)
      : d(makeDocument(ColorMode::RGB, width, height)), module(test::inProcessPlugin()) {
    if (rect != nullptr) d.host.setFilterRect(*rect);
    EXPECT_EQ(d.host.call(module, filterSelectorParameters), 0);
    FilterRecord& r = d.host.filterRecord();
    auto* p = reinterpret_cast<LightParameters*>(r.handleProcs->lockProc(r.parameters, false));
    p->lightBlur = lightBlur;
    p->matteBlur = matteBlur;
    r.handleProcs->unlockProc(r.parameters);
    previous = setDialogOverrideForTesting(confirmDialog);
  }
  ~BandRun() { setDialogOverrideForTesting(previous); }
  int16_t start() { return d.host.call(module, filterSelectorStart); }
  std::vector<VRect> reads() { return d.host.calls().rects(PortAccess::Read, 0); }
  std::vector<VRect> writes() { return d.host.calls().rects(PortAccess::Write, 0); }

  HostedDocument d;
  app::PluginModule module;
  DialogOverride previous = nullptr;
};

TEST(BandMarginTest, LargerBlurRoundedUp) {
  EXPECT_EQ(bandMargin(10.0, 0.0, 1000), 10);
  EXPECT_EQ(bandMargin(0.5, 2.2, 1000), 3);
  EXPECT_EQ(bandMargin(0.0, 0.0, 1000), 0);
}

TEST(BandMarginTest, UnusableBlursNeverMakeANegativeOrHugeMargin) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(bandMargin(-5.0, -1.0, 1000), 0);
  EXPECT_EQ(bandMargin(nan, 2.0, 1000), 2);
  EXPECT_EQ(bandMargin(inf, 0.0, 1000), 1000);
  EXPECT_EQ(bandMargin(1e300, 1e300, 640), 640);
}

struct BandCountCase {
  int rows;
  int bands;
};

class BandCountTest : public ::testing::TestWithParam<BandCountCase> {};

TEST_P(BandCountTest, OneProgressStepPerBand) {
  const BandCountCase c = GetParam();
  BandRun run(20, std::max(c.rows, 1), 0.0, 0.0);
  if (c.rows == 0) run.d.host.setFilterRect(VRect{0, 0, 0, 20});
  ASSERT_EQ(run.start(), 0);
  const auto& progress = run.d.host.calls().progress;
  ASSERT_EQ(static_cast<int>(progress.size()), c.bands);
  for (int b = 0; b < c.bands; ++b) {
    EXPECT_EQ(progress[static_cast<size_t>(b)].first, b + 1);
    EXPECT_EQ(progress[static_cast<size_t>(b)].second, c.bands);
  }
  EXPECT_EQ(static_cast<int>(run.writes().size()), c.bands);
}

INSTANTIATE_TEST_SUITE_P(Heights, BandCountTest,
                         ::testing::Values(BandCountCase{1, 1}, BandCountCase{256, 1}, BandCountCase{257, 2},
                                           BandCountCase{600, 3}, BandCountCase{0, 0}));

TEST(BandDriverTest, SecondBandOfTwoHundredFiftySevenRowsIsOneRowHigh) {
  BandRun run(16, 257, 0.0, 0.0);
  ASSERT_EQ(run.start(), 0);
  auto w = run.writes();
  ASSERT_EQ(w.size(), 2u);
  EXPECT_EQ(w[0], (VRect{0, 0, 256, 16}));
  EXPECT_EQ(w[1], (VRect{256, 0, 257, 16}));
}

TEST(BandDriverTest, WholeImageReadsGrowByTheMarginInsideTheImage) {
  BandRun run(40, 600, 10.0, 0.0);
  ASSERT_EQ(run.start(), 0);
  auto r = run.reads();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0], (VRect{0, 0, 266, 40}));
  EXPECT_EQ(r[1], (VRect{246, 0, 522, 40}));
  EXPECT_EQ(r[2], (VRect{502, 0, 600, 40})) << "the last band gets no margin below";
  for (const VRect& v : r) EXPECT_EQ(v.right, 40);
}

TEST(BandDriverTest, SelectionReadsMarginAboveAndLeftButNotBelowOrRight) {
  const VRect selection{50, 100, 150, 200};
  BandRun run(300, 300, 0.5, 9.1, &selection);  // margin 10
  ASSERT_EQ(run.start(), 0);
  auto r = run.reads();
  auto w = run.writes();
  ASSERT_EQ(r.size(), 1u);
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(r[0], (VRect{40, 90, 150, 200}));
  EXPECT_EQ(w[0], selection);
  EXPECT_FALSE(test::writesOutside(run.d.host.calls(), selection));
}

TEST(BandDriverTest, EveryChannelIsReadAndWrittenForEachBand) {
  BandRun run(8, 300, 0.0, 0.0);
  ASSERT_EQ(run.start(), 0);
  for (int channel = 0; channel < 3; ++channel) {
    EXPECT_EQ(run.d.host.calls().rects(PortAccess::Read, channel).size(), 2u) << channel;
    EXPECT_EQ(run.d.host.calls().rects(PortAccess::Write, channel).size(), 2u) << channel;
  }
}

TEST(BandDriverTest, AbortAfterBandThreeStopsAtOnce) {
  BandRun run(12, 2560, 0.0, 0.0);  // ten bands
  run.d.host.faults().abortAfterProgress = 3;
  EXPECT_EQ(run.start(), userCanceledErr);
  EXPECT_EQ(run.d.host.calls().progressCalls, 3);
  EXPECT_EQ(run.reads().size(), 3u);
  auto w = run.writes();
  ASSERT_EQ(w.size(), 3u);
  EXPECT_EQ(w[2], (VRect{512, 0, 768, 12}));
}

TEST(BandDriverTest, EveryBufferOfTheRunGoesBackToTheHost) {
  BandRun run(10, 700, 0.0, 0.0);
  const long before = run.d.host.calls().bufferAllocations;
  ASSERT_EQ(run.start(), 0);
  // The default shape blend needs no shape file, so the only per-run buffers
  // are the band buffer and the renderer's per-tile buffers; all of them go
  // back to the host by the end of the call.
  EXPECT_GT(run.d.host.calls().bufferAllocations, before);
  EXPECT_EQ(run.d.host.calls().bufferAllocations, run.d.host.calls().bufferDisposals);
}

TEST(BandDriverTest, BandBufferAllocationFailureIsOutOfMemoryWithNothingWritten) {
  BandRun run(10, 100, 0.0, 0.0);
  run.d.host.faults().failBufferAllocation = 1;
  EXPECT_EQ(run.start(), memFullErr);
  EXPECT_TRUE(run.reads().empty());
  EXPECT_TRUE(run.writes().empty());
  EXPECT_EQ(run.d.host.calls().progressCalls, 0);
}

// Margins are only as deep as can be read on each side: a 6000 x 20 strip
// with light blur 1e9 needs a band buffer of its 20 rows, not 12000 more.
TEST(BandDriverTest, HugeBlurOnAStripNeedsOnlyItsRows) {
  BandRun run(6000, 20, 1e9, 0.0);
  run.d.host.memory().setLimit(size_t{8} << 20);
  ASSERT_EQ(run.start(), 0);
  ASSERT_EQ(run.reads().size(), 1u);
  EXPECT_EQ(run.reads()[0], (VRect{0, 0, 20, 6000}));
}

}  // namespace
}  // namespace veyra
