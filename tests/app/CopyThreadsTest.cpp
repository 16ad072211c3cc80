// The host's copy threads: every part of a copy runs once, row bands cover
// their rows exactly, and channel-port copies large enough to be shared out
// land where one thread puts them.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <vector>

#include "app/CopyThreads.h"
#include "host/PIChannelPortsSuite.h"
#include "support/AppTestSupport.h"

using namespace veyra;

namespace {

TEST(CopyThreads, EveryPartRunsOnceInEveryCopy) {
  for (int threads : {1, 2, 3, 8}) {
    app::CopyThreads pool(threads);
    EXPECT_EQ(pool.threads(), threads);
    for (int copy = 0; copy < 200; ++copy) {
      const int parts = 1 + copy % 11;
      std::vector<std::atomic<int>> runs(static_cast<size_t>(parts));
      pool.run(parts, [&](int p) { runs[static_cast<size_t>(p)].fetch_add(1); });
      for (int p = 0; p < parts; ++p) ASSERT_EQ(runs[static_cast<size_t>(p)].load(), 1) << threads << " " << parts;
    }
  }
}

TEST(CopyThreads, RowBandsCoverTheRowsExactly) {
  app::CopyThreads pool(3);
  // Small copies stay on one band; large ones are cut, even when rows are fewer than threads.
  for (int32_t rows : {1, 2, 3, 7, 1000})
    for (int64_t rowSamples : {int64_t{10}, int64_t{1} << 20}) {
      std::vector<std::atomic<int>> seen(static_cast<size_t>(rows));
      std::atomic<int> bands{0};
      pool.forRows(rows, rowSamples, [&](int32_t top, int32_t bottom) {
        bands.fetch_add(1);
        for (int32_t y = top; y < bottom; ++y) seen[static_cast<size_t>(y)].fetch_add(1);
      });
      for (int32_t y = 0; y < rows; ++y) ASSERT_EQ(seen[static_cast<size_t>(y)].load(), 1) << rows << " " << y;
      EXPECT_EQ(bands.load(), rowSamples > 1000 ? std::min(rows, 3) : 1) << rows;
    }
}

// A band-sized read and write with three copy threads, through four-slot
// memory stored top-down and one-slot memory stored bottom-up, against the
// document's own samples.
TEST(CopyThreads, LargeChannelPortCopiesMatchTheDocument) {
  constexpr int kWidth = 1000, kHeight = 300;
  test::HostedDocument hosted{test::makeDocument(app::ColorMode::RGB, kWidth, kHeight)};
  app::FilterHost& host = hosted.host;
  host.setCopyThreads(3);
  host.call(app::PluginModule::inProcess([](int16, void*, intptr_t*, int16*) {}), filterSelectorPrepare);
  const void* s = nullptr;
  ASSERT_EQ(host.filterRecord().sSPBasic->AcquireSuite(kPSChannelPortsSuite, kPSChannelPortsSuiteVersion2, &s), 0);
  const auto* ports = static_cast<const PSChannelPortsSuite2*>(s);
  const ReadChannelDesc* green = host.filterRecord().documentInfo->targetCompositeChannels->next;
  const VRect r{-5, 3, kHeight, kWidth};  // clipped at the top: rows 0..kHeight-1 land from row 5
  const int rows = kHeight + 5, cols = kWidth - 3;
  for (const int slots : {4, 1}) {
    const bool bottomUp = slots == 1;
    const int rowBytes = cols * slots;
    std::vector<uint8_t> buf(static_cast<size_t>(rowBytes) * rows, 0xee);
    PixelMemoryDesc m{buf.data() + (bottomUp ? static_cast<size_t>(rows - 1) * rowBytes : 0),
                      (bottomUp ? -rowBytes : rowBytes) * 8, slots * 8, 0, 8};
    auto at = [&](int y, int x) -> uint8_t& {
      return buf[static_cast<size_t>((bottomUp ? rows - 1 - y : y) * rowBytes + x * slots)];
    };
    VRect wrote{};
    ASSERT_EQ(ports->ReadPixelsFromLevel(green->port, 0, &r, &m, &wrote), 0);
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < cols; ++x)
        ASSERT_EQ(at(y, x), y < 5 ? 0xee : hosted.doc.at(1, x + 3, y - 5)) << slots << ": " << x << "," << y;

    std::mt19937 rng(static_cast<uint32_t>(slots));
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < cols; ++x) at(y, x) = static_cast<uint8_t>(rng());
    ASSERT_EQ(ports->WritePixelsToBaseLevel(green->writePort, &r, &m), 0);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 3; x < kWidth; ++x) ASSERT_EQ(hosted.doc.at(1, x, y), at(y + 5, x - 3)) << slots << ": " << x << "," << y;
  }
  host.filterRecord().sSPBasic->ReleaseSuite(kPSChannelPortsSuite, kPSChannelPortsSuiteVersion2);
}

}  // namespace
