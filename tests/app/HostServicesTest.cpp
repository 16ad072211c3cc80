// The host's handle procedures, basic suite, buffer, string, plug-ins and
// colour-space suites, called as the plug-in calls them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "support/AppTestSupport.h"
#include "app/ColorSpaceSuite.h"
#include "host/PIBufferSuite.h"
#include "host/PIColorSpaceSuite.h"

using namespace veyra;

namespace {

class HostServices : public testing::Test {
 protected:
  test::HostedDocument hosted{test::makeDocument(app::ColorMode::RGB, 8, 8)};
  app::FilterHost& host = hosted.host;
  FilterRecord& record() { return host.filterRecord(); }
  SPBasicSuite* basic() { return host.filterRecord().sSPBasic; }
  template <class Suite>
  const Suite* acquire(const char* name, int32 version) {
    const void* s = nullptr;
    EXPECT_EQ(basic()->AcquireSuite(name, version, &s), kSPNoError) << name;
    return static_cast<const Suite*>(s);
  }
  void SetUp() override {
    // The record is filled in for each call of the plug-in; fill it in once
    // here through a call that does nothing.
    const app::PluginModule noop = app::PluginModule::inProcess([](int16, void*, intptr_t*, int16*) {});
    host.call(noop, filterSelectorPrepare);
  }
};

TEST_F(HostServices, HandlesAreNewLockedResizedAndDisposed) {
  HandleProcs* procs = record().handleProcs;
  Handle h = procs->newProc(100);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(procs->getSizeProc(h), 100);
  Ptr p = procs->lockProc(h, true);
  ASSERT_NE(p, nullptr);
  std::memset(p, 0xab, 100);
  EXPECT_EQ(procs->setSizeProc(h, 200), memFullErr) << "a locked handle may not move";
  procs->unlockProc(h);
  ASSERT_EQ(procs->setSizeProc(h, 200), noErr);
  EXPECT_EQ(procs->getSizeProc(h), 200);
  p = procs->lockProc(h, false);
  EXPECT_EQ(static_cast<unsigned char>(p[99]), 0xab) << "resizing keeps the contents";
  procs->unlockProc(h);
  procs->disposeProc(h);
  EXPECT_EQ(host.memory().handleCount(), 0u);
  procs->disposeProc(h);  // a second dispose is ignored
  EXPECT_EQ(procs->newProc(-1), nullptr);
}

TEST_F(HostServices, InjectedHandleFailureHitsOnlyTheNamedAllocation) {
  host.faults().failHandleAllocation = 2;
  HandleProcs* procs = record().handleProcs;
  EXPECT_NE(procs->newProc(8), nullptr);
  EXPECT_EQ(procs->newProc(8), nullptr);
  EXPECT_NE(procs->newProc(8), nullptr);
  EXPECT_EQ(host.calls().handleAllocations, 3);
}

TEST_F(HostServices, MemoryLimitMakesNewAnswerEmpty) {
  host.memory().setLimit(1000);
  EXPECT_EQ(record().handleProcs->newProc(1001), nullptr);
  Handle h = record().handleProcs->newProc(600);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(record().handleProcs->newProc(600), nullptr);
  record().handleProcs->disposeProc(h);
  EXPECT_NE(record().handleProcs->newProc(600), nullptr);
}

TEST_F(HostServices, BufferSuiteGivesExactSizesAndCountsDisposals) {
  auto* buffers = acquire<PSBufferSuite1>(kPSBufferSuite, kPSBufferSuiteVersion1);
  ASSERT_NE(buffers, nullptr);
  unsigned32 size = 1234;
  Ptr b = buffers->New(&size, size);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(size, 1234u);
  EXPECT_EQ(buffers->GetSize(b), 1234u);
  b[1233] = 1;
  buffers->Dispose(&b);
  EXPECT_EQ(b, nullptr);
  EXPECT_EQ(host.calls().bufferDisposals, 1);

  host.faults().failBufferAllocation = host.calls().bufferAllocations + 2;
  unsigned32 s1 = 10, s2 = 10;
  Ptr first = buffers->New(&s1, s1);
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(buffers->New(&s2, s2), nullptr);
  buffers->Dispose(&first);

  host.memory().setLimit(100);
  unsigned32 big = 500;
  EXPECT_EQ(buffers->New(&big, 500), nullptr);
  Ptr smaller = buffers->New(&big, 50);  // the minimum size is granted when the request is not
  ASSERT_NE(smaller, nullptr);
  EXPECT_EQ(big, 50u);
  buffers->Dispose(&smaller);
  EXPECT_EQ(host.memory().bufferCount(), 0u);
  basic()->ReleaseSuite(kPSBufferSuite, kPSBufferSuiteVersion1);
}

// Test builds fill every new buffer with a non-zero byte so that a stage
// reading a buffer before writing it shows up as wrong pixels in the
// end-to-end tests; a block given back and asked for again is filled afresh.
TEST_F(HostServices, NewBuffersHoldThePoisonByteInTestBuilds) {
  if (!app::HostMemory::kPoisonsNewBuffers) GTEST_SKIP() << "release builds leave new buffers as they come";
  static_assert(app::HostMemory::kNewBufferByte != 0, "zero would hide reads of unwritten buffers");
  auto* buffers = acquire<PSBufferSuite1>(kPSBufferSuite, kPSBufferSuiteVersion1);
  ASSERT_NE(buffers, nullptr);
  for (const unsigned32 asked : {1u, 4000u, 4000u, 5u << 20, 5u << 20}) {
    unsigned32 size = asked;
    Ptr b = buffers->New(&size, size);
    ASSERT_NE(b, nullptr) << asked;
    const auto poisoned = std::count(b, b + size, static_cast<char>(app::HostMemory::kNewBufferByte));
    EXPECT_EQ(poisoned, static_cast<std::ptrdiff_t>(size)) << asked;
    std::memset(b, 0, size);  // what the next block of this size may find
    buffers->Dispose(&b);
  }
  basic()->ReleaseSuite(kPSBufferSuite, kPSBufferSuiteVersion1);
}

TEST_F(HostServices, BasicSuiteAcquiresByNameAndVersion) {
  const void* s = reinterpret_cast<const void*>(1);
  EXPECT_EQ(basic()->AcquireSuite("No Such Suite", 1, &s), kSPSuiteNotFoundError);
  EXPECT_EQ(s, nullptr);
  EXPECT_NE(basic()->AcquireSuite(kPSChannelPortsSuite, 1, &s), kSPNoError) << "only version 2 is offered";
  ASSERT_EQ(basic()->AcquireSuite(kPSChannelPortsSuite, kPSChannelPortsSuiteVersion2, &s), kSPNoError);
  EXPECT_NE(s, nullptr);
  EXPECT_EQ(host.suites().outstanding(), 1);
  EXPECT_EQ(basic()->ReleaseSuite(kPSChannelPortsSuite, kPSChannelPortsSuiteVersion2), kSPNoError);
  EXPECT_NE(basic()->ReleaseSuite(kPSChannelPortsSuite, kPSChannelPortsSuiteVersion2), kSPNoError)
      << "releasing more than was acquired";
  EXPECT_EQ(host.suites().outstanding(), 0);

  host.faults().absentSuites.insert(kPSBufferSuite);
  EXPECT_EQ(basic()->AcquireSuite(kPSBufferSuite, kPSBufferSuiteVersion1, &s), kSPSuiteNotFoundError);
  EXPECT_TRUE(basic()->IsEqual("abc", "abc"));
  EXPECT_FALSE(basic()->IsEqual("abc", "abd"));
}

TEST_F(HostServices, SuitesAddedByOtherPartsAreOffered) {
  static const int table = 42;
  host.suites().add("Test Suite", 3, &table);
  const void* s = nullptr;
  ASSERT_EQ(basic()->AcquireSuite("Test Suite", 3, &s), kSPNoError);
  EXPECT_EQ(s, &table);
  basic()->ReleaseSuite("Test Suite", 3);
}

TEST_F(HostServices, ZStringsCopyWithinTheBuffer) {
  auto* z = acquire<ASZStringSuite1>(kASZStringSuite, kASZStringSuiteVersion1);
  ASZString s = nullptr;
  ASSERT_EQ(z->MakeFromCString("Light colour", 0, &s), 0);
  char buf[6];
  ASSERT_EQ(z->AsCString(s, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "Light");
  ASZString part = nullptr;
  ASSERT_EQ(z->MakeFromCString("abcdef", 3, &part), 0);
  char whole[32];
  z->AsCString(part, whole, sizeof whole);
  EXPECT_STREQ(whole, "abc");
  EXPECT_EQ(z->Release(s), 0);
  EXPECT_NE(z->Release(s), 0) << "a released string is unknown";
  z->Release(part);
}

TEST_F(HostServices, PluginsSuiteAnswersTheModulesFile) {
  const app::PluginModule m = app::PluginModule::inProcess([](int16, void*, intptr_t*, int16*) {}, "/opt/x/KVO_Veyra.8bf");
  host.call(m, filterSelectorPrepare);
  auto* plugins = acquire<SPPluginsSuite4>(kSPPluginsSuite, kSPPluginsSuiteVersion4);
  SPPlatformFilePath file{};
  ASSERT_EQ(plugins->GetPluginFilePath(static_cast<SPPluginRef>(record().plugInRef), &file), kSPNoError);
  EXPECT_STREQ(file.path, "/opt/x/KVO_Veyra.8bf");
  const char* name = nullptr;
  ASSERT_EQ(plugins->GetPluginName(static_cast<SPPluginRef>(record().plugInRef), &name), kSPNoError);
  EXPECT_STREQ(name, "KVO_Veyra");
}

struct ColorCase {
  const char* name;
  CS_XYZ xyz;
  int16 space;
  uint8_t expected[4];
  bool checkFourth;
};

class ColorConversion : public testing::TestWithParam<ColorCase> {};

// D50 white and black in 16-bit PCS XYZ; sRGB red's XYZ is taken from the suite itself below.
constexpr CS_XYZ kWhite{31595, 32768, 27030};
constexpr CS_XYZ kBlack{0, 0, 0};

TEST_P(ColorConversion, GivesTheExpectedComponents) {
  test::HostedDocument hosted{app::Document(1, 1, app::ColorMode::RGB)};
  const PSColorSpaceSuite1* cs = app::colorSpaceSuite();
  const ColorCase& p = GetParam();
  ColorID id = nullptr;
  ASSERT_EQ(cs->Make(&id), 0);
  ASSERT_EQ(cs->StuffXYZ(id, p.xyz), 0);
  uint8_t c[4] = {1, 1, 1, 1};
  Boolean gamut = true;
  ASSERT_EQ(cs->ExtractComponents(id, p.space, &c[0], &c[1], &c[2], &c[3], &gamut), 0);
  for (int i = 0; i < (p.checkFourth ? 4 : 3); ++i) EXPECT_NEAR(c[i], p.expected[i], 1) << p.name << " component " << i;
  EXPECT_FALSE(gamut);
  EXPECT_EQ(cs->Delete(&id), 0);
  EXPECT_EQ(id, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    WhiteAndBlack, ColorConversion,
    testing::Values(ColorCase{"WhiteRGB", kWhite, plugIncolorServicesRGBSpace, {255, 255, 255, 0}, false},
                    ColorCase{"BlackRGB", kBlack, plugIncolorServicesRGBSpace, {0, 0, 0, 0}, false},
                    ColorCase{"WhiteLab", kWhite, plugIncolorServicesLabSpace, {255, 128, 128, 0}, false},
                    ColorCase{"BlackLab", kBlack, plugIncolorServicesLabSpace, {0, 128, 128, 0}, false},
                    // CMYK is presented with 255 = no ink: white has no ink at all,
                    // black only full black ink.
                    ColorCase{"WhiteCMYK", kWhite, plugIncolorServicesCMYKSpace, {255, 255, 255, 255}, true},
                    ColorCase{"BlackCMYK", kBlack, plugIncolorServicesCMYKSpace, {255, 255, 255, 0}, true}),
    [](const testing::TestParamInfo<ColorCase>& i) { return std::string(i.param.name); });

TEST(ColorSpace, PrimaryRoundTripsAndDerivesCmyk) {
  test::HostedDocument hosted{app::Document(1, 1, app::ColorMode::RGB)};
  const PSColorSpaceSuite1* cs = app::colorSpaceSuite();
  ColorID id = nullptr;
  ASSERT_EQ(cs->Make(&id), 0);
  ASSERT_EQ(cs->StuffComponents(id, plugIncolorServicesRGBSpace, 255, 0, 0, 0), 0);
  CS_XYZ xyz{};
  ASSERT_EQ(cs->ExtractXYZ(id, &xyz), 0);
  // sRGB red adapted to D50: X 0.4360, Y 0.2225, Z 0.0139.
  EXPECT_NEAR(xyz.x / 32768.0, 0.4360, 0.002);
  EXPECT_NEAR(xyz.y / 32768.0, 0.2225, 0.002);
  EXPECT_NEAR(xyz.z / 32768.0, 0.0139, 0.002);
  uint8_t c[4];
  Boolean gamut = false;
  ASSERT_EQ(cs->ExtractComponents(id, plugIncolorServicesRGBSpace, &c[0], &c[1], &c[2], &c[3], &gamut), 0);
  EXPECT_EQ(c[0], 255);
  EXPECT_EQ(c[1], 0);
  EXPECT_EQ(c[2], 0);
  ASSERT_EQ(cs->ExtractComponents(id, plugIncolorServicesCMYKSpace, &c[0], &c[1], &c[2], &c[3], &gamut), 0);
  EXPECT_EQ(c[0], 255) << "no cyan ink";
  EXPECT_EQ(c[1], 0) << "full magenta ink";
  EXPECT_EQ(c[2], 0) << "full yellow ink";
  EXPECT_EQ(c[3], 255) << "no black ink";

  // Half-dark gray (128, 64, 32): K ink = 127, C ink = 0, M = round(64 x 255 / 128), Y = round(96 x 255 / 128).
  ASSERT_EQ(cs->StuffComponents(id, plugIncolorServicesCMYKSpace, 255, 127, 63, 128), 0);
  ASSERT_EQ(cs->ExtractComponents(id, plugIncolorServicesRGBSpace, &c[0], &c[1], &c[2], &c[3], &gamut), 0);
  EXPECT_NEAR(c[0], 128, 1);
  EXPECT_NEAR(c[1], 63, 1);
  EXPECT_NEAR(c[2], 32, 1);
  cs->Delete(&id);
}

TEST(ColorSpace, OutOfGamutIsFlaggedAndUnknownObjectsRefused) {
  test::HostedDocument hosted{app::Document(1, 1, app::ColorMode::RGB)};
  const PSColorSpaceSuite1* cs = app::colorSpaceSuite();
  ColorID id = nullptr;
  ASSERT_EQ(cs->Make(&id), 0);
  cs->StuffXYZ(id, CS_XYZ{0, 0, 32768});  // pure Z: far outside sRGB
  uint8_t c[4];
  Boolean gamut = false;
  ASSERT_EQ(cs->ExtractComponents(id, plugIncolorServicesRGBSpace, &c[0], &c[1], &c[2], &c[3], &gamut), 0);
  EXPECT_TRUE(gamut);
  EXPECT_NE(cs->ExtractComponents(id, plugIncolorServicesHSBSpace, &c[0], &c[1], &c[2], &c[3], &gamut), 0);
  EXPECT_EQ(cs->PickColor(&id, nullptr), userCanceledErr) << "no picker installed";
  ColorID gone = id;
  cs->Delete(&id);
  EXPECT_NE(cs->StuffXYZ(gone, kWhite), 0);
  EXPECT_EQ(app::liveColorCount(), 0u);
}

TEST(ColorSpace, PickerHookReplacesTheColour) {
  test::HostedDocument hosted{app::Document(1, 1, app::ColorMode::RGB)};
  const PSColorSpaceSuite1* cs = app::colorSpaceSuite();
  std::string seenPrompt;
  app::setColorPicker([&](CS_XYZ& c, const std::string& prompt) {
    seenPrompt = prompt;
    c = kWhite;
    return true;
  });
  ColorID id = nullptr;
  cs->Make(&id);
  ASZString prompt = nullptr;
  app::zStringSuite()->MakeFromCString("Pick", 0, &prompt);
  EXPECT_EQ(cs->PickColor(&id, prompt), 0);
  CS_XYZ xyz{};
  cs->ExtractXYZ(id, &xyz);
  EXPECT_EQ(xyz.y, kWhite.y);
  EXPECT_EQ(seenPrompt, "Pick");
  app::setColorPicker(nullptr);
  app::zStringSuite()->Release(prompt);
  cs->Delete(&id);
}

}  // namespace
