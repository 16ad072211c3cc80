// The filter host: the filter record it builds, the order of selectors, what
// it keeps between runs, and runs of the real plug-in under injected faults.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <zlib.h>

#include <cstdlib>

#include "support/AppTestSupport.h"
#include "app/Progress.h"
#include "app/ScriptingHost.h"

using namespace veyra;
using app::ColorMode;

namespace {

void noopEntry(int16, void*, intptr_t*, int16*) {}

class RecordForMode : public testing::TestWithParam<ColorMode> {};

TEST_P(RecordForMode, DescribesTheDocumentAndItsTargetChannels) {
  test::HostedDocument hosted{test::makeDocument(GetParam(), 30, 20, true)};
  hosted.host.call(app::PluginModule::inProcess(noopEntry), filterSelectorPrepare);
  const FilterRecord& r = hosted.host.filterRecord();
  const int n = app::channelCountOf(GetParam());
  EXPECT_EQ(r.imageSize.h, 30);
  EXPECT_EQ(r.imageSize.v, 20);
  EXPECT_EQ(r.filterRect.top, 0);
  EXPECT_EQ(r.filterRect.left, 0);
  EXPECT_EQ(r.filterRect.bottom, 20);
  EXPECT_EQ(r.filterRect.right, 30);
  EXPECT_EQ(r.planes, n);
  EXPECT_EQ(r.imageMode, static_cast<int>(GetParam()));
  EXPECT_EQ(r.depth, 8);
  ASSERT_NE(r.handleProcs, nullptr);
  ASSERT_NE(r.sSPBasic, nullptr);
  EXPECT_EQ(r.plugInRef, hosted.host.pluginRef());
  EXPECT_NE(r.abortProc, nullptr);
  EXPECT_NE(r.progressProc, nullptr);
  EXPECT_EQ(r.displayPixels, nullptr);
  ASSERT_NE(r.descriptorParameters, nullptr);

  const ReadImageDocumentDesc* d = r.documentInfo;
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->imageMode, static_cast<int>(GetParam()));
  EXPECT_EQ(d->depth, 8);
  EXPECT_EQ(d->bounds.bottom, 20);
  EXPECT_EQ(d->bounds.right, 30);
  EXPECT_EQ(d->alphaChannels, nullptr) << "the alpha is transparency, not an alpha channel";
  EXPECT_EQ(d->targetTransparency, nullptr) << "the alpha is never offered to the filter";
  static const int16 rgb[] = {ctRed, ctGreen, ctBlue}, cmyk[] = {ctCyan, ctMagenta, ctYellow, ctBlack};
  int count = 0;
  for (const ReadChannelDesc* c = d->targetCompositeChannels; c != nullptr; c = c->next, ++count) {
    ASSERT_LT(count, n);
    EXPECT_NE(c->port, nullptr);
    EXPECT_NE(c->writePort, nullptr);
    EXPECT_NE(c->port, c->writePort);
    EXPECT_EQ(c->depth, 8);
    const int16 expected = GetParam() == ColorMode::RGB ? rgb[count] : GetParam() == ColorMode::CMYK ? cmyk[count] : int16{ctBlack};
    EXPECT_EQ(c->channelType, expected) << "list order is pixel order";
  }
  EXPECT_EQ(count, n);
}

INSTANTIATE_TEST_SUITE_P(Modes, RecordForMode, testing::Values(ColorMode::Gray, ColorMode::RGB, ColorMode::CMYK),
                         [](const testing::TestParamInfo<ColorMode>& i) {
                           return std::string(i.param == ColorMode::Gray ? "Gray" : app::modeName(i.param));
                         });

TEST(FilterHost, FilterRectangleMustLieInsideTheImage) {
  test::HostedDocument hosted{app::Document(10, 8, ColorMode::Gray)};
  EXPECT_THROW(hosted.host.setFilterRect(VRect{0, 0, 9, 10}), std::invalid_argument);
  EXPECT_THROW(hosted.host.setFilterRect(VRect{-1, 0, 8, 10}), std::invalid_argument);
  EXPECT_THROW(hosted.host.setFilterRect(VRect{5, 0, 4, 10}), std::invalid_argument);
  EXPECT_THROW(hosted.host.setFilterRect(VRect{0, 6, 8, 5}), std::invalid_argument);
  EXPECT_NO_THROW(hosted.host.setFilterRect(VRect{3, 3, 3, 7})) << "an empty rectangle is allowed";
  hosted.host.setFilterRect(VRect{1, 2, 7, 9});
  hosted.host.call(app::PluginModule::inProcess(noopEntry), filterSelectorPrepare);
  const Rect& r = hosted.host.filterRecord().filterRect;
  EXPECT_EQ(r.top, 1);
  EXPECT_EQ(r.left, 2);
  EXPECT_EQ(r.bottom, 7);
  EXPECT_EQ(r.right, 9);
}

// A plug-in that fails at one selector.
int16 failAt = -1;
void failingEntry(int16 selector, void*, intptr_t*, int16* result) {
  if (selector == failAt) *result = memFullErr;
}

TEST(FilterHost, RunsSelectorsInOrderAndStopsAtTheFirstFailure) {
  test::HostedDocument hosted{app::Document(4, 4, ColorMode::Gray)};
  const app::PluginModule m = app::PluginModule::inProcess(failingEntry);
  failAt = -1;
  EXPECT_EQ(hosted.host.run(m).result, 0);
  EXPECT_EQ(hosted.host.calls().selectors, (std::vector<int16>{1, 2, 3, 5}));
  failAt = filterSelectorStart;
  const app::FilterHost::RunResult r = hosted.host.run(m);
  EXPECT_EQ(r.result, memFullErr);
  EXPECT_EQ(r.selector, filterSelectorStart);
  EXPECT_EQ(hosted.host.calls().selectors, (std::vector<int16>{1, 2, 3, 5, 1, 2, 3}));
}

// What the about selector received.
const AboutRecord* seenAbout = nullptr;
void aboutEntry(int16 selector, void* record, intptr_t*, int16*) {
  if (selector == filterSelectorAbout) seenAbout = static_cast<const AboutRecord*>(record);
}

TEST(FilterHost, AboutReceivesAnAboutRecord) {
  test::HostedDocument hosted{app::Document(4, 4, ColorMode::Gray)};
  EXPECT_EQ(hosted.host.about(app::PluginModule::inProcess(aboutEntry)), 0);
  ASSERT_NE(seenAbout, nullptr);
  EXPECT_EQ(hosted.host.calls().selectors, (std::vector<int16>{0}));
}

// Runs of the real plug-in, linked into this executable.
class PluginRun : public testing::Test {
 protected:
  app::PluginModule plugin = test::inProcessPlugin();
  static void playDefaults(app::FilterHost& host) {
    if (app::ScriptingHost* s = host.service<app::ScriptingHost>()) s->playBack(app::Descriptor{}, plugInDialogDontDisplay);
  }
};

TEST_F(PluginRun, KeepsParametersAndDataSlotBetweenRuns) {
  test::HostedDocument hosted{test::makeDocument(ColorMode::RGB, 40, 30)};
  playDefaults(hosted.host);
  ASSERT_EQ(hosted.host.run(plugin).result, 0);
  const Handle params = hosted.host.parameters();
  const intptr_t slot = hosted.host.dataSlot();
  ASSERT_NE(params, nullptr);
  ASSERT_NE(slot, 0);
  playDefaults(hosted.host);
  ASSERT_EQ(hosted.host.run(plugin).result, 0);
  EXPECT_EQ(hosted.host.parameters(), params);
  EXPECT_EQ(hosted.host.dataSlot(), slot);
  EXPECT_EQ(hosted.host.memory().lockCount(params), 0) << "unlocked after every call";
  EXPECT_EQ(hosted.host.suites().outstanding(), 0) << "every suite released";
  EXPECT_EQ(hosted.host.memory().bufferCount(), 0u) << "every buffer disposed";
  EXPECT_EQ(hosted.host.calls().bufferDisposals, hosted.host.calls().bufferAllocations);
}

TEST_F(PluginRun, TouchesOnlyTheFilterRectangleAndNeverTheAlpha) {
  test::HostedDocument hosted{test::makeDocument(ColorMode::RGB, 50, 40, true)};
  const app::Document before = hosted.doc;
  const VRect area{5, 7, 30, 41};
  hosted.host.setFilterRect(area);
  playDefaults(hosted.host);
  ASSERT_EQ(hosted.host.run(plugin).result, 0);
  EXPECT_FALSE(test::writesOutside(hosted.host.calls(), area));
  EXPECT_FALSE(test::portRects(hosted.host.calls(), app::PortAccess::Write).empty());
  for (int c = 0; c < 3; ++c)
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 50; ++x)
        if (y < area.top || y >= area.bottom || x < area.left || x >= area.right) {
          ASSERT_EQ(hosted.doc.at(c, x, y), before.at(c, x, y));
        }
  EXPECT_TRUE(std::equal(before.alpha(), before.alpha() + before.pixelCount(), hosted.doc.alpha()));
  EXPECT_EQ(hosted.host.calls().progress, (std::vector<std::pair<int32, int32>>{{1, 1}}));
}

TEST_F(PluginRun, FailedHandleAllocationEndsWithOutOfMemory) {
  test::HostedDocument hosted{test::makeDocument(ColorMode::Gray, 16, 16)};
  const app::Document before = hosted.doc;
  hosted.host.faults().failHandleAllocation = 1;
  playDefaults(hosted.host);
  const app::FilterHost::RunResult r = hosted.host.run(plugin);
  EXPECT_EQ(r.result, memFullErr);
  EXPECT_EQ(r.selector, filterSelectorParameters);
  EXPECT_TRUE(hosted.doc == before);
}

TEST_F(PluginRun, FailedBufferAllocationEndsWithOutOfMemoryAndWritesNothing) {
  test::HostedDocument hosted{test::makeDocument(ColorMode::CMYK, 16, 16)};
  hosted.host.faults().failBufferAllocation = 1;
  playDefaults(hosted.host);
  const app::FilterHost::RunResult r = hosted.host.run(plugin);
  EXPECT_EQ(r.result, memFullErr);
  EXPECT_EQ(r.selector, filterSelectorStart);
  EXPECT_TRUE(test::portRects(hosted.host.calls(), app::PortAccess::Write).empty());
  EXPECT_EQ(hosted.host.memory().bufferCount(), 0u);
  EXPECT_EQ(hosted.host.suites().outstanding(), 0);
}

TEST_F(PluginRun, AbortAfterTheFirstBandStopsTheRender) {
  test::HostedDocument hosted{test::makeDocument(ColorMode::Gray, 20, 600)};
  hosted.host.faults().abortAfterProgress = 1;
  playDefaults(hosted.host);
  const app::FilterHost::RunResult r = hosted.host.run(plugin);
  EXPECT_EQ(r.result, userCanceledErr);
  EXPECT_EQ(hosted.host.calls().progressCalls, 1);
  const auto writes = test::portRects(hosted.host.calls(), app::PortAccess::Write);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(test::rectText(writes[0]), "0,0,256,20");
  EXPECT_EQ(hosted.host.memory().bufferCount(), 0u);
}

TEST_F(PluginRun, InterruptMakesAbortAnswerTrue) {
  test::HostedDocument hosted{test::makeDocument(ColorMode::RGB, 8, 8)};
  playDefaults(hosted.host);
  app::requestInterrupt();
  const app::FilterHost::RunResult r = hosted.host.run(plugin);
  app::clearInterrupt();
  EXPECT_EQ(r.result, userCanceledErr);
  EXPECT_GE(hosted.host.calls().abortQueries, 1);
}

// The suite check's outcome lives as long as the module is loaded, so this
// uses a private copy of the built module rather than the linked plug-in.
TEST(ModuleRun, MissingChannelPortSuiteFailsEveryRunWhileLoaded) {
  test::TempDir dir;
  const std::string copy = dir.file("KVO_Veyra.8bf");
  test::writeBytes(copy, test::readBytes(VEYRA_PLUGIN_PATH));
  const app::PluginModule module = test::builtModule(copy);
  test::HostedDocument hosted{test::makeDocument(ColorMode::RGB, 8, 8)};
  const app::Document before = hosted.doc;
  hosted.host.faults().absentSuites.insert(kPSChannelPortsSuite);
  app::FilterHost::RunResult r = hosted.host.run(module);
  EXPECT_EQ(r.result, errPlugInHostInsufficient);
  EXPECT_EQ(r.selector, filterSelectorParameters);
  hosted.host.faults().absentSuites.clear();
  r = hosted.host.run(module);
  EXPECT_EQ(r.result, errPlugInHostInsufficient) << "the failed check is remembered";
  EXPECT_EQ(hosted.host.parameters(), nullptr) << "no selector work was done";
  EXPECT_TRUE(hosted.doc == before);
}

TEST(PluginModule, LoadsTheBuiltModuleWithItsResources) {
  const app::PluginModule m = test::builtModule();
  EXPECT_NE(m.entry(), nullptr);
  EXPECT_EQ(m.name(), "KVO_Veyra");
  ASSERT_NE(m.resources(), nullptr);
  EXPECT_NE(m.findResource(PI_FOURCC('P', 'i', 'P', 'L'), 16000), nullptr);
}

// A shared library that is certainly not a filter module: zlib, linked here.
std::string zlibPath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&zlibVersion), &info) == 0 || info.dli_fname == nullptr) return {};
  return info.dli_fname;
}

TEST(PluginModule, RefusesWhatIsNotAModule) {
  test::TempDir dir;
  const auto message = [](const std::string& path) {
    try {
      app::PluginModule::load(path);
    } catch (const app::ModuleError& e) {
      return std::string(e.what());
    }
    return std::string("loaded");
  };
  EXPECT_NE(message(dir.file("none.8bf")).find("No such file"), std::string::npos);
  test::writeBytes(dir.file("text.8bf"), {'n', 'o', 't', ' ', 'E', 'L', 'F'});
  EXPECT_NE(message(dir.file("text.8bf")).find("cannot be loaded"), std::string::npos);
  const std::string z = zlibPath();
  ASSERT_FALSE(z.empty());
  // A shared object without the filter's property list is refused before
  // its entry point is looked for.
  EXPECT_EQ(message(z).rfind("plug-in module " + z + ": ", 0), 0u) << message(z);
  EXPECT_NE(message(z).find("property list"), std::string::npos) << message(z);
}

TEST(PluginModule, IsFoundByOptionThenEnvironment) {
  EXPECT_EQ(app::locateModule("/x/y.8bf"), "/x/y.8bf");
  const char* old = std::getenv("VEYRA_PLUGIN");
  const std::string saved = old ? old : "";
  setenv("VEYRA_PLUGIN", "/from/env.8bf", 1);
  EXPECT_EQ(app::locateModule(""), "/from/env.8bf");
  EXPECT_EQ(app::locateModule("/x/y.8bf"), "/x/y.8bf");
  if (old)
    setenv("VEYRA_PLUGIN", saved.c_str(), 1);
  else
    unsetenv("VEYRA_PLUGIN");
}

// The record's resolution is 16.16 fixed point: what it cannot hold is
// clamped to its largest value, and the document keeps its own.
TEST(FilterHost, ResolutionsBeyondTheRecordAreClamped) {
  const std::pair<double, int32> cases[] = {{72.0, 72 << 16},          {300.5, 300 * 65536 + 32768},
                                            {32767.0, 32767 << 16},    {32768.0, 0x7fffffff},
                                            {2000000 * 0.0254, 0x7fffffff}, {3.4e38, 0x7fffffff}};
  for (const auto& [ppi, fixed] : cases) {
    test::HostedDocument hosted{test::makeDocument(ColorMode::RGB, 4, 3)};
    hosted.doc.setResolution(ppi);
    hosted.host.call(app::PluginModule::inProcess(noopEntry), filterSelectorPrepare);
    EXPECT_EQ(hosted.host.filterRecord().imageHRes, fixed) << ppi;
    EXPECT_EQ(hosted.host.filterRecord().documentInfo->vResolution, fixed) << ppi;
    EXPECT_EQ(hosted.doc.resolution(), ppi);
  }
}

TEST(FilterHost, ResultCodesAreDescribed) {
  EXPECT_EQ(app::describeResult(-108), "-108 (out of memory)");
  EXPECT_EQ(app::describeResult(-128), "-128 (cancelled)");
  EXPECT_EQ(app::describeResult(-30900), "-30900 (a required host service is missing)");
  EXPECT_EQ(app::describeResult(-9), "-9 (unknown error)");
}

}  // namespace
