// The light renderer: the final render of a 6000 x 4000 RGB document through
// the real host (bands read and written through the channel ports) with 1
// and 2 worker threads (BM_FinalRender/N; the host copies the bands with as
// many threads), and the dialog's 369 x 282 preview
// refreshed after a light-stage change (caches hit) and after a shape change
// (canvas rebuilt). Memory is the most the host's buffer suite held at once
// during a render, recorded by a thin wrapper around the host's own suite.
// Peers in the same run: one streaming pass over the same pixels (what memory
// allows at best) and, where OpenCV is present, cv::blur for the render's two
// blurs, each with the same thread counts.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#ifdef VEYRA_HAVE_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

#include "app/Document.h"
#include "app/FilterHost.h"
#include "app/HostMemory.h"
#include "app/ImageFile.h"
#include "app/PluginModule.h"
#include "app/SuiteRegistry.h"
#include "host/FilterCall.h"
#include "host/HostDocument.h"
#include "host/PIBufferSuite.h"
#include "render/LightRenderer.h"
#include "render/RenderDriver.h"
#include "render/WorkerThreads.h"

namespace {

using namespace veyra;

constexpr int kDocWidth = 6000, kDocHeight = 4000;
constexpr int kShapeSide = 1024;
constexpr int kPreviewWidth = 369, kPreviewHeight = 282;

// Peak bytes held by the buffer suite, above what was held when it was reset.
struct PeakMemory {
  const app::HostMemory* memory = nullptr;
  size_t base = 0;
  size_t peak = 0;
  void reset() {
    base = memory->used();
    peak = base;
  }
  size_t above() const { return peak - base; }
};
PeakMemory gPeak;

Ptr peakNew(unsigned32* requested, unsigned32 minimum) {
  Ptr p = app::HostMemory::bufferSuite()->New(requested, minimum);
  if (gPeak.memory != nullptr && gPeak.memory->used() > gPeak.peak) gPeak.peak = gPeak.memory->used();
  return p;
}
void peakDispose(Ptr* p) { app::HostMemory::bufferSuite()->Dispose(p); }
unsigned32 peakSize(Ptr p) { return app::HostMemory::bufferSuite()->GetSize(p); }
unsigned32 peakSpace() { return app::HostMemory::bufferSuite()->GetSpace(); }
const PSBufferSuite1 kPeakSuite = {peakNew, peakDispose, peakSize, peakSpace};

LightParameters gParams;

std::string shapePath() {
  static const std::string path = [] {
    std::string p = (std::filesystem::temp_directory_path() / "veyra_bench_shape.png").string();
    app::Document d(kShapeSide, kShapeSide, app::ColorMode::Gray);
    // Window bars: a grid of bright panes with soft dark frames.
    for (int y = 0; y < kShapeSide; ++y)
      for (int x = 0; x < kShapeSide; ++x) {
        const int fx = x % 256, fy = y % 256;
        const bool frame = fx < 24 || fy < 24;
        d.at(0, x, y) = static_cast<uint8_t>(frame ? 30 : 220 - (fx + fy) / 8);
      }
    app::writePng(d, p);
    return p;
  }();
  return path;
}

void benchmarkParameters(LightParameters& p) {
  p.resetToDefaults();
  p.shapeFile.assign(shapePath());
  p.shapeRotation = 20.0;
  p.shapeBlurX = p.shapeBlurY = 8.0;
  p.lightBlur = 20.0;
  p.matteBlur = 10.0;
}

// The plug-in's Start step reduced to the render: the common set-up, the
// benchmark's parameters, then the band driver.
void renderEntry(int16 selector, void* record, intptr_t* data, int16* result) {
  FilterCall call(static_cast<FilterRecord*>(record), data, result);
  if (selector != filterSelectorStart || !call.commonSetup()) return;
  *call.parameters() = gParams;
  try {
    renderDocument(call);
  } catch (...) {
    call.setResult(memFullErr);
  }
}

app::Document makeDocument(int w, int h) {
  app::Document doc(w, h, app::ColorMode::RGB);
  for (int c = 0; c < 3; ++c) {
    uint8_t* p = doc.channel(c);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        p[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>((x / 7 + y / 5 + 60 * c) & 255);
  }
  return doc;
}

void BM_FinalRender(benchmark::State& state) {
  setWorkerThreads(static_cast<int>(state.range(0)));
  benchmarkParameters(gParams);
  app::Document doc = makeDocument(kDocWidth, kDocHeight);
  app::FilterHost host(doc);
  // N threads in all: the host copies the bands' pixels with as many.
  host.setCopyThreads(static_cast<int>(state.range(0)));
  host.suites().add(kPSBufferSuite, kPSBufferSuiteVersion1, &kPeakSuite);
  gPeak.memory = &host.memory();
  const app::PluginModule module = app::PluginModule::inProcess(&renderEntry);
  host.call(module, filterSelectorParameters);  // the parameter handle, as a host run makes it
  size_t peak = 0;
  for (auto _ : state) {
    gPeak.reset();
    const int16 result = host.call(module, filterSelectorStart);
    if (result != 0) state.SkipWithError("render failed");
    peak = std::max(peak, gPeak.above());
  }
  gPeak.memory = nullptr;
  setWorkerThreads(0);
  const double pixels = static_cast<double>(kDocWidth) * kDocHeight;
  state.counters["MP/s"] = benchmark::Counter(pixels * 1e-6 * static_cast<double>(state.iterations()),
                                              benchmark::Counter::kIsRate);
  state.counters["peakMB"] = static_cast<double>(peak) / (1024.0 * 1024.0);
}
BENCHMARK(BM_FinalRender)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(3);

// The same render without the host's pixel transport: the bands of the
// final render (with their margins) lit straight from a band buffer, to tell
// the plug-in's share from the channel-port reads and writes.
void BM_FinalRenderTilesOnly(benchmark::State& state) {
  setWorkerThreads(static_cast<int>(state.range(0)));
  benchmarkParameters(gParams);
  app::Document doc(1, 1, app::ColorMode::RGB);
  app::FilterHost host(doc);
  FilterRecord& record = host.filterRecord();
  record.sSPBasic = app::SuiteRegistry::basicSuite();
  record.imageMode = plugInModeRGBColor;
  HostDocument document(&record);
  const int32_t m = bandMargin(gParams.lightBlur, gParams.matteBlur, kDocWidth);
  HostBufferRef source = document.makeBuffer(kDocWidth, kBandHeight + 2 * m, 3, 1, plugInModeRGBColor);
  HostBufferRef band = document.makeBuffer(kDocWidth, kBandHeight + 2 * m, 3, 1, plugInModeRGBColor);
  for (int32_t y = 0; y < source->height(); ++y)
    for (int32_t x = 0; x < source->rowBytes(); ++x)
      source->row(y)[x] = static_cast<uint8_t>((x / 21 + y / 5) & 255);
  for (auto _ : state) {
    LightRenderer renderer(document, gParams, false);
    renderer.prepareForSize(kDocWidth, kDocHeight);
    for (int32_t top = 0; top < kDocHeight; top += kBandHeight) {
      VRect r = makeRect(std::max(top - m, 0), 0, std::min(top + kBandHeight + m, kDocHeight), kDocWidth);
      band->copyFrom(*source);
      renderer.renderTile(*band, r);
    }
  }
  setWorkerThreads(0);
  const double pixels = static_cast<double>(kDocWidth) * kDocHeight;
  state.counters["MP/s"] = benchmark::Counter(pixels * 1e-6 * static_cast<double>(state.iterations()),
                                              benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FinalRenderTilesOnly)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(3);

// Renders that once held far more memory than they can use, once each
// (peakMB is the most the host's buffer suite held at once): a 4096 x 4096
// shape at 500 % X and Y scale turned 45 degrees on a 64 x 48 document, and a
// 6000 x 20 strip with light blur 1e9.
std::string largeShapePath() {
  static const std::string path = [] {
    constexpr int kSide = 4096;
    std::string p = (std::filesystem::temp_directory_path() / "veyra_bench_shape_4096.png").string();
    app::Document d(kSide, kSide, app::ColorMode::Gray);
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) d.at(0, x, y) = static_cast<uint8_t>((x / 64 + y / 64) % 2 ? 230 : 40);
    app::writePng(d, p);
    return p;
  }();
  return path;
}

void renderWithPeak(benchmark::State& state, int width, int height) {
  app::Document doc = makeDocument(width, height);
  app::FilterHost host(doc);
  host.suites().add(kPSBufferSuite, kPSBufferSuiteVersion1, &kPeakSuite);
  gPeak.memory = &host.memory();
  const app::PluginModule module = app::PluginModule::inProcess(&renderEntry);
  host.call(module, filterSelectorParameters);
  size_t peak = 0;
  for (auto _ : state) {
    gPeak.reset();
    if (host.call(module, filterSelectorStart) != 0) state.SkipWithError("render failed");
    peak = std::max(peak, gPeak.above());
  }
  gPeak.memory = nullptr;
  state.counters["peakMB"] = static_cast<double>(peak) / (1024.0 * 1024.0);
}

void BM_LargeShapeOnSmallDocument(benchmark::State& state) {
  gParams.resetToDefaults();
  gParams.shapeFile.assign(largeShapePath());
  gParams.shapeScaleX = gParams.shapeScaleY = 500.0;
  gParams.shapeRotation = 45.0;
  renderWithPeak(state, 64, 48);
}
BENCHMARK(BM_LargeShapeOnSmallDocument)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_StripWithHugeLightBlur(benchmark::State& state) {
  gParams.resetToDefaults();
  gParams.lightBlur = 1e9;
  renderWithPeak(state, 6000, 20);
}
BENCHMARK(BM_StripWithHugeLightBlur)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The dialog: one preview renderer over a proxy of the document, refreshed
// as the dialog does it (zoom, prepare, copy the proxy, render it whole).
struct PreviewFixture {
  app::Document doc = makeDocument(kPreviewWidth, kPreviewHeight);
  app::FilterHost host{doc};
  std::unique_ptr<HostDocument> document;
  LightParameters params;
  std::unique_ptr<LightRenderer> renderer;
  HostBufferRef proxy, display;

  PreviewFixture() {
    FilterRecord& r = host.filterRecord();
    r.sSPBasic = app::SuiteRegistry::basicSuite();
    r.imageMode = plugInModeRGBColor;
    document = std::make_unique<HostDocument>(&r);
    benchmarkParameters(params);
    renderer = std::make_unique<LightRenderer>(*document, params, true);
    proxy = document->makeBuffer(kPreviewWidth, kPreviewHeight, 3, 1, plugInModeRGBColor);
    display = document->makeBuffer(kPreviewWidth, kPreviewHeight, 3, 1, plugInModeRGBColor);
    for (int y = 0; y < kPreviewHeight; ++y)
      for (int x = 0; x < proxy->rowBytes(); ++x) proxy->row(y)[x] = static_cast<uint8_t>((x / 3 + y) & 255);
  }
  void refresh() {
    renderer->setZoom(static_cast<float>(kPreviewWidth) / kDocWidth,
                      static_cast<float>(kPreviewHeight) / kDocHeight);
    renderer->prepareForSize(kPreviewWidth, kPreviewHeight);
    display->copyFrom(*proxy);
    renderer->renderTile(*display, makeRect(0, 0, kPreviewHeight, kPreviewWidth));
  }
};

void BM_PreviewBrightness(benchmark::State& state) {
  setWorkerThreads(static_cast<int>(state.range(0)));
  PreviewFixture f;
  f.refresh();
  const long builds = f.renderer->statistics().lightMapBuilds;
  int i = 0;
  for (auto _ : state) {
    f.params.lightBrightness = (++i & 1) ? 80.0 : 120.0;
    f.refresh();
  }
  if (f.renderer->statistics().lightMapBuilds != builds) state.SkipWithError("the light map was rebuilt");
  setWorkerThreads(0);
}
BENCHMARK(BM_PreviewBrightness)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PreviewRotation(benchmark::State& state) {
  setWorkerThreads(static_cast<int>(state.range(0)));
  PreviewFixture f;
  f.refresh();
  const long builds = f.renderer->statistics().canvasBuilds;
  int i = 0;
  for (auto _ : state) {
    f.params.shapeRotation = (++i & 1) ? 25.0 : 20.0;
    f.refresh();
  }
  if (f.renderer->statistics().canvasBuilds - builds != static_cast<long>(state.iterations()))
    state.SkipWithError("the canvas was not rebuilt every time");
  setWorkerThreads(0);
}
BENCHMARK(BM_PreviewRotation)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// Peer: one pass over the document's pixels as the render's bands hold them
// (four bytes per pixel), reading and writing each byte once, on N threads.
void BM_StreamingPass(benchmark::State& state) {
  const int threads = static_cast<int>(state.range(0));
  const size_t bytes = size_t{kDocWidth} * kDocHeight * 4;
  std::vector<uint8_t> pixels(bytes, 7);
  auto pass = [&](size_t begin, size_t end) {
    uint8_t* p = pixels.data();
    for (size_t i = begin; i < end; ++i) p[i] = static_cast<uint8_t>(p[i] + 1);
  };
  for (auto _ : state) {
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t)
      workers.emplace_back(pass, bytes * t / threads, bytes * (t + 1) / threads);
    pass(0, bytes / threads);
    for (std::thread& w : workers) w.join();
    benchmark::DoNotOptimize(pixels.data());
  }
  const double mp = static_cast<double>(kDocWidth) * kDocHeight * 1e-6;
  state.counters["MP/s"] =
      benchmark::Counter(mp * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StreamingPass)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef VEYRA_HAVE_OPENCV
// Peer: the render's blurs done by OpenCV on the same amount of pixels: the
// light blur (radius 20: a 21 x 21 box, applied twice) on four bytes per
// pixel and the matte blur (radius 10: 11 x 11, twice) on one.
void BM_CvBlurPasses(benchmark::State& state) {
  cv::setNumThreads(static_cast<int>(state.range(0)));
  cv::Mat light(kDocHeight, kDocWidth, CV_8UC4, cv::Scalar(10, 90, 170, 0));
  cv::Mat matte(kDocHeight, kDocWidth, CV_8UC1, cv::Scalar(128));
  cv::Mat tmp;
  for (auto _ : state) {
    cv::blur(light, tmp, cv::Size(21, 21));
    cv::blur(tmp, light, cv::Size(21, 21));
    cv::blur(matte, tmp, cv::Size(11, 11));
    cv::blur(tmp, matte, cv::Size(11, 11));
  }
  cv::setNumThreads(-1);
  const double mp = static_cast<double>(kDocWidth) * kDocHeight * 1e-6;
  state.counters["MP/s"] =
      benchmark::Counter(mp * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CvBlurPasses)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
#endif

// Prints every run as usual and, at the end, each figure beside its peers
// of the same run: the final render beside one streaming pass over the same
// pixels, cv::blur doing the render's blurs and the one-thread render.
class PeerReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0) continue;
      // With repetitions the median stands for the runs; the other
      // aggregates (mean, spread) are no figures of a run.
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      const auto it = run.counters.find("MP/s");
      Figure& f = figures_[run.run_name.function_name + "/" + run.run_name.args];
      f.cpuMs = run.GetAdjustedCPUTime();
      f.realMs = run.GetAdjustedRealTime();
      if (it != run.counters.end()) f.mps = it->second.value;
      const auto peak = run.counters.find("peakMB");
      if (peak != run.counters.end()) f.peakMB = peak->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    double load[3] = {0, 0, 0};
    if (getloadavg(load, 3) < 0) load[0] = -1;
    std::printf("\nFigures beside their peers (%d x %d RGB, megapixels per second of wall time; load average %.2f):\n",
                kDocWidth, kDocHeight, load[0]);
    const Figure* one = find("BM_FinalRender/1");
    for (int n : {1, 2}) {
      const std::string arg = std::to_string(n);
      const Figure* render = find("BM_FinalRender/" + arg);
      if (render == nullptr) continue;
      std::printf("  final render, %d thread%s  %7.1f MP/s  (%.0f ms wall, %.0f ms CPU, peak %.1f MB)\n", n,
                  n == 1 ? " " : "s", render->mps, render->realMs, render->cpuMs, render->peakMB);
      if (one != nullptr && n > 1) std::printf("    %.2fx the one-thread render\n", render->mps / one->mps);
      if (const Figure* tiles = find("BM_FinalRenderTilesOnly/" + arg))
        std::printf("    without the host's transport %7.1f MP/s\n", tiles->mps);
      if (const Figure* stream = find("BM_StreamingPass/" + arg))
        std::printf("    streaming pass        %7.1f MP/s  (the render takes %.0fx its time)\n", stream->mps,
                    stream->mps / render->mps);
      if (const Figure* cv = find("BM_CvBlurPasses/" + arg))
        std::printf("    cv::blur, the blurs   %7.1f MP/s  (the whole render at %.2fx their speed)\n", cv->mps,
                    render->mps / cv->mps);
    }
    for (const char* name :
         {"BM_PreviewBrightness/1", "BM_PreviewBrightness/2", "BM_PreviewRotation/1", "BM_PreviewRotation/2"})
      if (const Figure* f = find(name))
        std::printf("  %-24s %.2f ms wall, %.2f ms CPU\n", name + 3, f->realMs, f->cpuMs);
  }

 private:
  struct Figure {
    double mps = 0, cpuMs = 0, realMs = 0, peakMB = 0;
  };
  const Figure* find(const std::string& name) const {
    const auto it = figures_.find(name);
    return it != figures_.end() ? &it->second : nullptr;
  }
  std::map<std::string, Figure> figures_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  PeerReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
