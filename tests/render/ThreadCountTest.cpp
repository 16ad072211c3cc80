// The render is the same for every thread count: each end-to-end light case
// lights a three-band document through the real host with 1 thread and with
// 2, 3 and 8, and the dialog's preview renderer lights a proxy the same way;
// every sample must agree with the single-thread result, and the renders
// with more threads must have shared out their work.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "host/HostDocument.h"
#include "host/LightParameters.h"
#include "render/LightRenderer.h"
#include "render/WorkerPool.h"
#include "render/WorkerThreads.h"
#include "support/AppTestSupport.h"
#include "support/EndToEndCases.h"
#include "support/LightTestHost.h"
#include "ui/FilterDialog.h"

namespace veyra {
namespace {

using app::ColorMode;
using app::Document;

constexpr int kThreadCounts[] = {2, 3, 8};

bool confirmDialog(FilterCall&) { return true; }

// The thread count of the renders made while it lives, with parts small
// enough that these small pictures are shared out among the threads.
class ThreadCount {
 public:
  explicit ThreadCount(int threads) {
    setWorkerThreads(threads);
    setWorkerPartSamples(4096);
  }
  ~ThreadCount() {
    setWorkerThreads(0);
    setWorkerPartSamples(0);
  }
  ThreadCount(const ThreadCount&) = delete;
  ThreadCount& operator=(const ThreadCount&) = delete;
};

void applySettings(const reftest::Settings& s, LightParameters& p) {
  p.lightBlendMode = s.lightBlend;
  p.lightSource = s.lightSource;
  p.lightBrightness = s.brightness;
  p.lightDisplacement = s.displacement;
  p.lightBlur = s.lightBlur;
  for (int k = 0; k < 3; ++k) p.lightColor[k] = s.color[k];
  p.matteChannel = s.matteChannel;
  p.mattePosition = s.mattePosition;
  p.matteRange = s.matteRange;
  p.matteBlur = s.matteBlur;
  p.shapeBlendMode = s.shapeBlend;
  p.shapeFile.assign(s.shapeFile);
  p.shapeOpacity = s.opacity;
  p.shapeBlurX = s.shapeBlurX;
  p.shapeBlurY = s.shapeBlurY;
  p.shapePositionX = s.positionX;
  p.shapePositionY = s.positionY;
  p.shapeScaleX = s.scaleX;
  p.shapeScaleY = s.scaleY;
  p.shapeRotation = s.rotation;
  for (int k = 0; k < 4; ++k) p.corners[k] = {s.corners[2 * k], s.corners[2 * k + 1]};
}

// The final render as a host runs it, with the dialog confirmed at once.
Document finalRender(const Document& original, const VRect* rect, const reftest::Settings& s, int threads) {
  const ThreadCount count(threads);
  test::HostedDocument d(original);
  app::PluginModule module = test::inProcessPlugin();
  if (rect != nullptr) d.host.setFilterRect(*rect);
  EXPECT_EQ(d.host.call(module, filterSelectorParameters), 0);
  FilterRecord& r = d.host.filterRecord();
  applySettings(s, *reinterpret_cast<LightParameters*>(r.handleProcs->lockProc(r.parameters, false)));
  r.handleProcs->unlockProc(r.parameters);
  const DialogOverride previous = setDialogOverrideForTesting(confirmDialog);
  EXPECT_EQ(d.host.call(module, filterSelectorStart), 0);
  setDialogOverrideForTesting(previous);
  return d.doc;
}

size_t documentIndex(ColorMode mode) {
  for (size_t i = 0; i < test::documentCases().size(); ++i)
    if (test::documentCases()[i].mode == mode && !test::documentCases()[i].alpha) return i;
  return 0;
}

// The settings and shape file of a light case, made in dir.
reftest::Settings caseSettings(const test::TempDir& dir, size_t lightCase, ColorMode mode) {
  return test::prepareRun(dir, test::EndToEndParam{lightCase, documentIndex(mode), 0}).settings;
}

using CountCase = std::tuple<size_t, ColorMode>;  // light case, document mode

class ThreadCountTest : public ::testing::TestWithParam<CountCase> {};

// 200 x 520: three bands, the last of 8 rows; CMYK with a selection whose
// margins reach outside it.
TEST_P(ThreadCountTest, FinalRenderEqualsTheSingleThreadRender) {
  const auto [lightCase, mode] = GetParam();
  test::TempDir dir;
  const reftest::Settings s = caseSettings(dir, lightCase, mode);
  const Document original = test::makeDocument(mode, 200, 520, false, 11);
  const VRect selection{30, 11, 500, 190};
  const VRect* rect = mode == ColorMode::CMYK ? &selection : nullptr;
  const Document one = finalRender(original, rect, s, 1);
  for (int threads : kThreadCounts) {
    const int64_t shared = WorkerPool::sharedRuns();
    const Document many = finalRender(original, rect, s, threads);
    ASSERT_TRUE(many == one) << threads << " threads";
    EXPECT_GT(WorkerPool::sharedRuns(), shared)
        << "the render was shared out among " << threads << " threads";
  }
}

// The preview: one renderer per thread count over the same 180 x 140 proxy
// at a quarter of a 720 x 560 document, rendered twice (the second time from
// its caches).
TEST_P(ThreadCountTest, PreviewEqualsTheSingleThreadPreview) {
  const auto [lightCase, mode] = GetParam();
  test::TempDir dir;
  const reftest::Settings s = caseSettings(dir, lightCase, mode);
  test::LightTestHost host(mode);
  const Document proxyDoc = test::makeDocument(mode, 180, 140, false, 5);
  const int planes = mode == ColorMode::Gray ? 1 : 4;
  HostBufferRef proxy = host.document().makeBuffer(180, 140, planes, 1, static_cast<int16_t>(mode));
  for (int y = 0; y < 140; ++y)
    for (int x = 0; x < 180; ++x)
      for (int k = 0; k < proxyDoc.channelCount(); ++k) proxy->row(y)[x * planes + k] = proxyDoc.at(k, x, y);
  auto preview = [&](int threads) {
    const ThreadCount count(threads);
    LightParameters p;
    applySettings(s, p);
    LightRenderer renderer(host.document(), p, true);
    std::vector<uint8_t> out;
    for (int pass = 0; pass < 2; ++pass) {
      renderer.setZoom(0.25f, 0.25f);
      renderer.prepareForSize(180, 140);
      HostBufferRef display = proxy.makeLike(180, 140);
      display->copyFrom(*proxy);
      renderer.renderTile(*display, makeRect(0, 0, 140, 180));
      const std::vector<uint8_t> bytes = test::bytesOf(*display);
      out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
  };
  const std::vector<uint8_t> one = preview(1);
  for (int threads : kThreadCounts) {
    const int64_t shared = WorkerPool::sharedRuns();
    ASSERT_TRUE(preview(threads) == one) << threads << " threads";
    EXPECT_GT(WorkerPool::sharedRuns(), shared)
        << "the preview was shared out among " << threads << " threads";
  }
}

std::vector<size_t> allCases() {
  std::vector<size_t> v;
  for (size_t i = 0; i < test::lightCases().size(); ++i) v.push_back(i);
  return v;
}

INSTANTIATE_TEST_SUITE_P(LightCases, ThreadCountTest,
                         ::testing::Combine(::testing::ValuesIn(allCases()),
                                            ::testing::Values(ColorMode::Gray, ColorMode::RGB,
                                                              ColorMode::CMYK)),
                         [](const ::testing::TestParamInfo<CountCase>& info) {
                           return std::string(test::lightCases()[std::get<0>(info.param)].name) +
                                  app::modeName(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace veyra
