// Speed of the image library on a 6000 x 4000 image, one thread, against peers measured in the
// same run. Every figure is in megapixels of the source image per second of process CPU time (all
// threads; robust on a shared machine, and fair to peers that compute in worker threads); a
// summary at the end gives the ratio of each peer's time to ours (above 1: we are faster).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "fx/BoxBlur.h"
#include "fx/ImageScaler.h"
#include "fx/PixelImage.h"

#ifdef VEYRA_HAVE_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif
#ifdef VEYRA_HAVE_VIPS
#include <vips/vips.h>
#endif

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr double kMegapixels = kWidth * kHeight / 1e6;

// A deterministic picture with detail at every scale.
void fillImage(fx::PixelImage& img) {
  uint32_t state = 12345;
  for (int y = 0; y < img.height; ++y) {
    uint8_t* row = img.pixel(0, y);
    for (int i = 0; i < img.width * img.channels; ++i) {
      state = state * 1664525u + 1013904223u;
      row[i] = static_cast<uint8_t>(((y * 7 + i * 3) & 255) / 2 + (state >> 25));
    }
  }
}

fx::PixelImage& sourceImage(int channels) {
  static fx::PixelImage gray(kWidth, kHeight, 1, 1), rgba(kWidth, kHeight, 4, 1);
  static bool filled = false;
  if (!filled) {
    fillImage(gray);
    fillImage(rgba);
    filled = true;
  }
  return channels == 1 ? gray : rgba;
}

void setRate(benchmark::State& state, double megapixels = kMegapixels) {
  state.counters["MP/s"] =
      benchmark::Counter(megapixels * double(state.iterations()), benchmark::Counter::kIsRate);
}

// The render blurs bands of 256 rows with their margins: 6000 x 296 for its light blur of 20.
constexpr int kBandRows = 296;
constexpr double kBandMegapixels = kWidth * kBandRows / 1e6;

// --- box blur --------------------------------------------------------------------------------------

void veyraBlur(benchmark::State& state, int channels, float radius, int rows = kHeight) {
  fx::PixelImage img(kWidth, rows, channels, 1);
  std::copy(sourceImage(channels).data, sourceImage(channels).data + size_t(kWidth) * rows * channels,
            img.data);
  fx::BoxBlur blur;
  blur.setRadii(radius, radius);
  blur.setExtraPasses(1);
  for (auto _ : state) {
    blur.apply(img, img.bounds);
    benchmark::DoNotOptimize(img.data);
  }
  setRate(state, kWidth * double(rows) / 1e6);
}

#ifdef VEYRA_HAVE_OPENCV
void cvBlurTwice(benchmark::State& state, int channels, int box, int rows = kHeight) {
  cv::setNumThreads(1);
  fx::PixelImage& src = sourceImage(channels);
  cv::Mat img(rows, kWidth, channels == 1 ? CV_8UC1 : CV_8UC4, src.data);
  cv::Mat a = img.clone(), b;
  for (auto _ : state) {
    cv::blur(a, b, cv::Size(box, box));
    cv::blur(b, a, cv::Size(box, box));
    benchmark::DoNotOptimize(a.data);
  }
  setRate(state, kWidth * double(rows) / 1e6);
}
#endif

// --- scaling --------------------------------------------------------------------------------------

void veyraScale(benchmark::State& state, int channels, int dw, int dh) {
  fx::PixelImage& src = sourceImage(channels);
  fx::PixelImage dst(dw, dh, channels, 1);
  for (auto _ : state) {
    fx::ImageScaler::scaleImage(src, dst, 5);
    benchmark::DoNotOptimize(dst.data);
  }
  setRate(state);
}

#ifdef VEYRA_HAVE_OPENCV
void cvResize(benchmark::State& state, int channels, int dw, int dh, int interpolation) {
  cv::setNumThreads(1);
  fx::PixelImage& src = sourceImage(channels);
  cv::Mat img(kHeight, kWidth, channels == 1 ? CV_8UC1 : CV_8UC4, src.data);
  cv::Mat out;
  for (auto _ : state) {
    cv::resize(img, out, cv::Size(dw, dh), 0, 0, interpolation);
    benchmark::DoNotOptimize(out.data);
  }
  setRate(state);
}
#endif

#ifdef VEYRA_HAVE_VIPS
void vipsReduceHalf(benchmark::State& state, int channels) {
  fx::PixelImage& src = sourceImage(channels);
  const size_t bytes = size_t(kWidth) * kHeight * channels;
  for (auto _ : state) {
    VipsImage* in = vips_image_new_from_memory(src.data, bytes, kWidth, kHeight, channels, VIPS_FORMAT_UCHAR);
    VipsImage* out = nullptr;
    if (vips_reduce(in, &out, 2.0, 2.0, "kernel", VIPS_KERNEL_LINEAR, nullptr) != 0) {
      state.SkipWithError(vips_error_buffer());
      g_object_unref(in);
      break;
    }
    size_t size = 0;
    void* pixels = vips_image_write_to_memory(out, &size);
    benchmark::DoNotOptimize(pixels);
    g_free(pixels);
    g_object_unref(out);
    g_object_unref(in);
  }
  setRate(state);
}
#endif

void registerAll() {
  auto add = [](const std::string& name, auto fn) {
    benchmark::RegisterBenchmark(name.c_str(), fn)
        ->Unit(benchmark::kMillisecond)
        ->MeasureProcessCPUTime()
        ->MinTime(0.5);
  };
  for (int channels : {4, 1}) {
    const std::string fmt = channels == 4 ? "RGBA" : "Gray";
    // Whole radii give end taps of weight 0; 20.5 shows the cost of fractional end taps.
    for (float radius : {20.0f, 5.0f, 100.0f, 20.5f}) {
      char r[16];
      std::snprintf(r, sizeof r, "%g", double(radius));
      add("Blur/" + fmt + "/r" + std::string(r) + "/veyra",
          [=](benchmark::State& s) { veyraBlur(s, channels, radius); });
    }
#ifdef VEYRA_HAVE_OPENCV
    add("Blur/" + fmt + "/r20/cv::blur21x2", [=](benchmark::State& s) { cvBlurTwice(s, channels, 21); });
#endif
    add("BandBlur/" + fmt + "/r20/veyra",
        [=](benchmark::State& s) { veyraBlur(s, channels, 20.0f, kBandRows); });
#ifdef VEYRA_HAVE_OPENCV
    add("BandBlur/" + fmt + "/r20/cv::blur21x2",
        [=](benchmark::State& s) { cvBlurTwice(s, channels, 21, kBandRows); });
#endif
    add("Halve/" + fmt + "/veyra",
        [=](benchmark::State& s) { veyraScale(s, channels, kWidth / 2, kHeight / 2); });
#ifdef VEYRA_HAVE_VIPS
    add("Halve/" + fmt + "/vips_reduce_linear", [=](benchmark::State& s) { vipsReduceHalf(s, channels); });
#endif
#ifdef VEYRA_HAVE_OPENCV
    add("Halve/" + fmt + "/cv::INTER_AREA",
        [=](benchmark::State& s) { cvResize(s, channels, kWidth / 2, kHeight / 2, cv::INTER_AREA); });
#endif
    add("Double/" + fmt + "/veyra",
        [=](benchmark::State& s) { veyraScale(s, channels, kWidth * 2, kHeight * 2); });
#ifdef VEYRA_HAVE_OPENCV
    add("Double/" + fmt + "/cv::INTER_CUBIC",
        [=](benchmark::State& s) { cvResize(s, channels, kWidth * 2, kHeight * 2, cv::INTER_CUBIC); });
#endif
  }
}

// Prints every run as usual and, at the end, each peer's time relative to ours.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (!run.error_occurred && run.iterations > 0)
        seconds_[run.run_name.function_name] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\nRatio peer time / veyra time (above 1: veyra faster), source megapixels per second:\n");
    for (const auto& [name, t] : seconds_) {
      const size_t cut = name.rfind('/');
      const std::string group = name.substr(0, cut), who = name.substr(cut + 1);
      if (who == "veyra") continue;
      const auto it = seconds_.find(group + "/veyra");
      if (it == seconds_.end()) continue;
      const double mp = group.rfind("BandBlur", 0) == 0 ? kBandMegapixels : kMegapixels;
      std::printf("  %-28s %-22s ratio %.2f  (veyra %.0f MP/s, peer %.0f MP/s)\n", group.c_str(), who.c_str(),
                  t / it->second, mp / (it->second / 1e3), mp / (t / 1e3));
    }
  }

 private:
  std::map<std::string, double> seconds_;  // CPU milliseconds per iteration
};

}  // namespace

int main(int argc, char** argv) {
#ifdef VEYRA_HAVE_VIPS
  if (VIPS_INIT(argv[0])) return 1;
  vips_concurrency_set(1);
  vips_cache_set_max(0);
#endif
  registerAll();
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
