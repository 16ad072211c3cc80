// The channel-port suite as the plug-in uses it: reads and writes of
// rectangles through interleaved pixel memory, and scaled reads by area
// averaging, checked against hand-computed values and a floating-point
// reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "support/AppTestSupport.h"
#include "app/AreaScale.h"
#include "host/PIChannelPortsSuite.h"

using namespace veyra;

namespace {

class ChannelPorts : public testing::Test {
 protected:
  test::HostedDocument hosted{test::makeDocument(app::ColorMode::RGB, 20, 12)};
  app::FilterHost& host = hosted.host;
  const PSChannelPortsSuite2* ports = nullptr;

  void SetUp() override {
    const app::PluginModule noop = app::PluginModule::inProcess([](int16, void*, intptr_t*, int16*) {});
    host.call(noop, filterSelectorPrepare);
    const void* s = nullptr;
    ASSERT_EQ(host.filterRecord().sSPBasic->AcquireSuite(kPSChannelPortsSuite, kPSChannelPortsSuiteVersion2, &s), 0);
    ports = static_cast<const PSChannelPortsSuite2*>(s);
  }
  void TearDown() override {
    host.filterRecord().sSPBasic->ReleaseSuite(kPSChannelPortsSuite, kPSChannelPortsSuiteVersion2);
  }
  const ReadChannelDesc* channel(int i) {
    const ReadChannelDesc* c = host.filterRecord().documentInfo->targetCompositeChannels;
    while (i-- > 0) c = c->next;
    return c;
  }
  // Plane `slot` of an interleaved buffer of `slots` samples per pixel.
  static PixelMemoryDesc plane(std::vector<uint8_t>& data, int width, int slots, int slot) {
    return PixelMemoryDesc{data.data() + slot, width * slots * 8, slots * 8, 0, 8};
  }
};

TEST_F(ChannelPorts, ReadsEveryChannelIntoInterleavedMemory) {
  const VRect r{2, 3, 7, 11};  // 5 rows, 8 columns
  std::vector<uint8_t> buf(5 * 8 * 4, 0xee);
  for (int c = 0; c < 3; ++c) {
    PixelMemoryDesc m = plane(buf, 8, 4, c);
    VRect wrote{};
    ASSERT_EQ(ports->ReadPixelsFromLevel(channel(c)->port, 0, &r, &m, &wrote), 0);
    EXPECT_EQ(test::rectText(wrote), test::rectText(r));
  }
  const app::Document& doc = hosted.doc;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 8; ++x) {
      for (int c = 0; c < 3; ++c) ASSERT_EQ(buf[(y * 8 + x) * 4 + c], doc.at(c, x + 3, y + 2));
      ASSERT_EQ(buf[(y * 8 + x) * 4 + 3], 0xee) << "the fourth slot is not touched";
    }
  EXPECT_EQ(test::portRects(host.calls(), app::PortAccess::Read).size(), 3u);
  EXPECT_EQ(test::rectText(test::portRects(host.calls(), app::PortAccess::Read, 1).at(0)), "2,3,7,11");
}

TEST_F(ChannelPorts, ReadsClipToTheImage) {
  const VRect r{-2, 18, 3, 24};
  std::vector<uint8_t> buf(5 * 6, 0);
  PixelMemoryDesc m = plane(buf, 6, 1, 0);
  VRect wrote{};
  ASSERT_EQ(ports->ReadPixelsFromLevel(channel(0)->port, 0, &r, &m, &wrote), 0);
  EXPECT_EQ(test::rectText(wrote), "0,18,3,20");
  EXPECT_EQ(buf[2 * 6 + 0], hosted.doc.at(0, 18, 0)) << "the data's origin is the asked rectangle's corner";
  EXPECT_EQ(buf[0], 0);
}

TEST_F(ChannelPorts, WritesLandInsideTheFilterRectangleOnly) {
  host.setFilterRect(VRect{0, 0, 12, 10});
  host.call(app::PluginModule::inProcess([](int16, void*, intptr_t*, int16*) {}), filterSelectorPrepare);
  const app::Document before = hosted.doc;
  const VRect r{1, 8, 3, 12};  // straddles the filter rectangle's right edge
  std::vector<uint8_t> buf(2 * 4 * 4, 0);
  for (size_t i = 0; i < buf.size(); ++i) buf[i] = static_cast<uint8_t>(200 + i % 4);
  for (int c = 0; c < 3; ++c) {
    PixelMemoryDesc m = plane(buf, 4, 4, c);
    ASSERT_EQ(ports->WritePixelsToBaseLevel(channel(c)->writePort, &r, &m), 0);
  }
  for (int c = 0; c < 3; ++c)
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 20; ++x) {
        const bool inside = y >= 1 && y < 3 && x >= 8 && x < 10;
        ASSERT_EQ(hosted.doc.at(c, x, y), inside ? 200 + c : before.at(c, x, y)) << c << " " << x << "," << y;
      }
  EXPECT_TRUE(test::writesOutside(host.calls(), host.filterRect())) << "the request itself is recorded as asked";
}

// Memory layouts the transport copies rows through: samples per pixel (the
// step between samples), padding bytes per row, the sample's byte within its
// pixel (as a bit offset), and rows stored bottom-up (negative rowBits).
struct MemoryLayout {
  int step;
  int padding;
  int offsetBytes;
  bool bottomUp;
};

class ChannelPortLayouts : public ChannelPorts, public testing::WithParamInterface<MemoryLayout> {};

// Random rectangles, some reaching outside the image and the filter
// rectangle, read and written through the layout; every byte of the memory
// and of the document against plain per-sample copies.
TEST_P(ChannelPortLayouts, ReadsAndWritesMatchPlainSampleCopies) {
  const MemoryLayout l = GetParam();
  const VRect filter{1, 2, 11, 17};
  host.setFilterRect(filter);
  host.call(app::PluginModule::inProcess([](int16, void*, intptr_t*, int16*) {}), filterSelectorPrepare);
  const int seed = l.step * 100 + l.padding * 10 + l.offsetBytes + (l.bottomUp ? 5000 : 0);
  std::mt19937 rng(static_cast<uint32_t>(seed));
  for (int trial = 0; trial < 40; ++trial) {
    const int top = static_cast<int>(rng() % 16) - 3, left = static_cast<int>(rng() % 24) - 3;
    const int h = 1 + static_cast<int>(rng() % 8), w = 1 + static_cast<int>(rng() % 40);
    const VRect r{top, left, top + h, left + w};
    const int rowBytes = w * l.step + l.padding;
    std::vector<uint8_t> buf(static_cast<size_t>(rowBytes) * h);
    for (auto& b : buf) b = static_cast<uint8_t>(rng());
    PixelMemoryDesc m{buf.data() + (l.bottomUp ? static_cast<size_t>(h - 1) * rowBytes : 0),
                      (l.bottomUp ? -rowBytes : rowBytes) * 8, l.step * 8, l.offsetBytes * 8, 8};
    auto index = [&](int row, int col) {
      return static_cast<size_t>((l.bottomUp ? h - 1 - row : row) * rowBytes + col * l.step + l.offsetBytes);
    };
    const int c = trial % 3;
    auto expected = buf;
    for (int y = std::max(top, 0); y < std::min(top + h, 12); ++y)
      for (int x = std::max(left, 0); x < std::min(left + w, 20); ++x)
        expected[index(y - top, x - left)] = hosted.doc.at(c, x, y);
    VRect wrote{};
    ASSERT_EQ(ports->ReadPixelsFromLevel(channel(c)->port, 0, &r, &m, &wrote), 0);
    ASSERT_EQ(buf, expected) << "read " << test::rectText(r);

    for (auto& b : buf) b = static_cast<uint8_t>(rng());
    app::Document after = hosted.doc;
    for (int y = std::max(top, filter.top); y < std::min(top + h, filter.bottom); ++y)
      for (int x = std::max(left, filter.left); x < std::min(left + w, filter.right); ++x)
        after.at(c, x, y) = buf[index(y - top, x - left)];
    ASSERT_EQ(ports->WritePixelsToBaseLevel(channel(c)->writePort, &r, &m), 0);
    for (int k = 0; k < 3; ++k)
      for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
          ASSERT_EQ(hosted.doc.at(k, x, y), after.at(k, x, y))
              << "write " << test::rectText(r) << " channel " << k << " at " << x << "," << y;
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, ChannelPortLayouts,
                         testing::Values(MemoryLayout{1, 0, 0, false}, MemoryLayout{1, 3, 0, true},
                                         MemoryLayout{2, 1, 1, false}, MemoryLayout{3, 0, 2, false},
                                         MemoryLayout{3, 2, 0, true}, MemoryLayout{4, 0, 0, false},
                                         MemoryLayout{4, 5, 3, false}, MemoryLayout{4, 0, 1, true},
                                         MemoryLayout{5, 2, 4, false}));

TEST_F(ChannelPorts, PortsServeOnlyTheirDirection) {
  const VRect r{0, 0, 1, 1};
  std::vector<uint8_t> buf(4, 0);
  PixelMemoryDesc m = plane(buf, 1, 1, 0);
  VRect wrote{};
  EXPECT_NE(ports->ReadPixelsFromLevel(channel(0)->writePort, 0, &r, &m, &wrote), 0);
  EXPECT_NE(ports->WritePixelsToBaseLevel(channel(0)->port, &r, &m), 0);
  EXPECT_NE(ports->ReadPixelsFromLevel(channel(0)->port, 1, &r, &m, &wrote), 0) << "only level 0 exists";
  PixelMemoryDesc deep = m;
  deep.depth = 16;
  EXPECT_NE(ports->ReadPixelsFromLevel(channel(0)->port, 0, &r, &deep, &wrote), 0);
  EXPECT_NE(ports->ReadPixelsFromLevel(reinterpret_cast<PIChannelPort>(&buf), 0, &r, &m, &wrote), 0);
  int32 levels = 0;
  EXPECT_EQ(ports->CountLevels(channel(2)->port, &levels), 0);
  EXPECT_EQ(levels, 1);
}

// Scaled read of channel 0 of a document made from the given samples.
std::vector<uint8_t> scaledRead(const std::vector<uint8_t>& samples, int sw, int sh, int dw, int dh) {
  app::Document doc(sw, sh, app::ColorMode::Gray);
  std::copy(samples.begin(), samples.end(), doc.channel(0));
  app::FilterHost host(doc);
  host.call(app::PluginModule::inProcess([](int16, void*, intptr_t*, int16*) {}), filterSelectorPrepare);
  const PSChannelPortsSuite2* ports = app::channelPortsSuite();
  const VRect src{0, 0, sh, sw};
  const PSScaling scaling{src, VRect{0, 0, dh, dw}};
  std::vector<uint8_t> out(static_cast<size_t>(dw * dh), 0);
  PixelMemoryDesc m{out.data(), dw * 8, 8, 0, 8};
  EXPECT_EQ(ports->ReadScaledPixels(host.filterRecord().documentInfo->targetCompositeChannels->port, &src, &scaling, &m), 0);
  return out;
}

TEST(ReadScaled, HalvesByMeansOfTwoByTwoBlocks) {
  const std::vector<uint8_t> src = {0,   10,  20,  30,   //
                                    40,  50,  60,  70,   //
                                    100, 101, 200, 202,  //
                                    102, 102, 255, 255};
  // (0+10+40+50)/4 = 25, (20+30+60+70)/4 = 45, (100+101+102+102)/4 = 101.25, (200+202+255+255)/4 = 228
  EXPECT_EQ(scaledRead(src, 4, 4, 2, 2), (std::vector<uint8_t>{25, 45, 101, 228}));
  // 101.5 rounds up: (100 + 101 + 102 + 103) / 4
  EXPECT_EQ(scaledRead({100, 101, 102, 103}, 2, 2, 1, 1), (std::vector<uint8_t>{102}));
}

TEST(ReadScaled, NonIntegerRatioWeighsByCoveredArea) {
  // Three columns onto two: each destination pixel covers 1.5 source pixels.
  // Left: (0 x 1 + 90 x 0.5) / 1.5 = 30; right: (90 x 0.5 + 180 x 1) / 1.5 = 150.
  EXPECT_EQ(scaledRead({0, 90, 180}, 3, 1, 2, 1), (std::vector<uint8_t>{30, 150}));
}

// Floating-point reference: fractional coverage of every source pixel.
double referenceMean(const std::vector<uint8_t>& s, int sw, int sh, int dw, int dh, int i, int j) {
  const double y0 = double(i) * sh / dh, y1 = double(i + 1) * sh / dh;
  const double x0 = double(j) * sw / dw, x1 = double(j + 1) * sw / dw;
  double sum = 0, area = 0;
  for (int y = 0; y < sh; ++y)
    for (int x = 0; x < sw; ++x) {
      const double wy = std::max(0.0, std::min(y1, y + 1.0) - std::max(y0, double(y)));
      const double wx = std::max(0.0, std::min(x1, x + 1.0) - std::max(x0, double(x)));
      sum += wy * wx * s[static_cast<size_t>(y * sw + x)];
      area += wy * wx;
    }
  return sum / area;
}

class ScaleSweep : public testing::TestWithParam<std::tuple<int, int, int, int>> {};

TEST_P(ScaleSweep, MatchesTheAreaReference) {
  const auto [sw, sh, dw, dh] = GetParam();
  std::mt19937 rng(static_cast<unsigned>(sw * 1000 + sh * 100 + dw * 10 + dh));
  std::vector<uint8_t> src(static_cast<size_t>(sw * sh));
  for (auto& v : src) v = static_cast<uint8_t>(rng());
  std::vector<uint8_t> dst(static_cast<size_t>(dw * dh));
  app::scaleByArea(src.data(), sw, sw, sh, dst.data(), dw, dh);
  for (int i = 0; i < dh; ++i)
    for (int j = 0; j < dw; ++j) {
      const double ref = referenceMean(src, sw, sh, dw, dh, i, j);
      if (std::abs(ref - std::floor(ref) - 0.5) < 1e-9) continue;  // a tie: either neighbour is fine in floating point
      ASSERT_EQ(dst[static_cast<size_t>(i * dw + j)], static_cast<int>(std::floor(ref + 0.5))) << i << "," << j;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScaleSweep,
                         testing::Values(std::make_tuple(5, 5, 2, 2), std::make_tuple(7, 3, 3, 2), std::make_tuple(13, 11, 4, 5),
                                         std::make_tuple(10, 10, 10, 10), std::make_tuple(3, 2, 7, 5),
                                         std::make_tuple(64, 48, 17, 13), std::make_tuple(1, 9, 1, 4)));

TEST(ReadScaled, ConstantStaysConstantAndPartialReadsAgreeWithWholeOnes) {
  const std::vector<uint8_t> flat(31 * 17, 93);
  for (uint8_t v : scaledRead(flat, 31, 17, 6, 5)) ASSERT_EQ(v, 93);

  // Reading the lower half of the source gives the lower destination rows,
  // exactly as in the whole reduction.
  app::Document doc = test::makeDocument(app::ColorMode::Gray, 30, 20);
  app::FilterHost host(doc);
  host.call(app::PluginModule::inProcess([](int16, void*, intptr_t*, int16*) {}), filterSelectorPrepare);
  const PSScaling scaling{VRect{0, 0, 20, 30}, VRect{0, 0, 8, 12}};
  std::vector<uint8_t> whole(8 * 12, 0), part(8 * 12, 0);
  PixelMemoryDesc mw{whole.data(), 12 * 8, 8, 0, 8}, mp{part.data(), 12 * 8, 8, 0, 8};
  PIChannelPort port = host.filterRecord().documentInfo->targetCompositeChannels->port;
  ASSERT_EQ(app::channelPortsSuite()->ReadScaledPixels(port, &scaling.sourceRect, &scaling, &mw), 0);
  const VRect lower{10, 0, 20, 30};
  ASSERT_EQ(app::channelPortsSuite()->ReadScaledPixels(port, &lower, &scaling, &mp), 0);
  for (int i = 0; i < 8 * 12; ++i) EXPECT_EQ(part[i], i >= 4 * 12 ? whole[i] : 0) << i;
  const auto scaled = host.calls().portCalls.back();
  EXPECT_EQ(scaled.access, app::PortAccess::ReadScaled);
  EXPECT_EQ(test::rectText(scaled.destination), "0,0,8,12");

  const PSScaling outside{VRect{0, 0, 21, 30}, VRect{0, 0, 8, 12}};
  EXPECT_NE(app::channelPortsSuite()->ReadScaledPixels(port, &outside.sourceRect, &outside, &mw), 0);
}

}  // namespace
