// Many pictures through the veyra command: 16 RGB pictures of 3000 x 2000
// (PNG in, PNG out) with -j 1 and -j 2 workers, wall time per picture. The
// speed-up of -j 2 is the ratio of the two "s/picture" figures.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Document.h"
#include "app/ImageFile.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kPictures = 16;
constexpr int kWidth = 3000, kHeight = 2000;

// The folder of the pictures, removed with everything in it when the
// benchmark ends.
struct ScratchFolder {
  fs::path path = fs::temp_directory_path() / ("veyra-bench-batch-" + std::to_string(getpid()));
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

// The pictures, made once: smooth gradients with some texture, so that PNG
// compresses them as it would a photograph's gradients.
const std::vector<std::string>& pictures() {
  static const ScratchFolder folder;
  static const std::vector<std::string> paths = [] {
    const fs::path& dir = folder.path;
    fs::create_directories(dir);
    std::vector<std::string> out;
    for (int i = 0; i < kPictures; ++i) {
      veyra::app::Document doc(kWidth, kHeight, veyra::app::ColorMode::RGB);
      for (int c = 0; c < 3; ++c)
        for (int y = 0; y < kHeight; ++y)
          for (int x = 0; x < kWidth; ++x)
            doc.channel(c)[static_cast<size_t>(y) * kWidth + x] =
                static_cast<uint8_t>((x * (c + 1) / 12 + y / 9 + i * 7 + ((x * 31 + y * 17) % 5)) & 0xFF);
      out.push_back((dir / ("picture" + std::to_string(i) + ".png")).string());
      veyra::app::saveImage(doc, out.back(), veyra::app::FileFormat::Png);
    }
    return out;
  }();
  return paths;
}

int runVeyra(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  std::string exe = VEYRA_EXE_PATH;
  argv.push_back(exe.data());
  std::vector<std::string> copy = args;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_Batch(benchmark::State& state) {
  const std::string jobs = std::to_string(state.range(0));
  const fs::path out = fs::path(pictures()[0]).parent_path() / ("out-" + jobs);
  std::vector<std::string> args = {"apply", "--plugin", VEYRA_PLUGIN_PATH, "--quiet", "--out-dir", out.string(),
                                   "-j", jobs};
  args.insert(args.end(), pictures().begin(), pictures().end());
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(out);
    fs::create_directories(out);
    state.ResumeTiming();
    if (runVeyra(args) != 0) state.SkipWithError("veyra failed");
  }
  state.counters["s/picture"] =
      benchmark::Counter(static_cast<double>(kPictures) * state.iterations(), benchmark::Counter::kIsRate |
                                                                                   benchmark::Counter::kInvert);
  state.counters["MP/s"] = benchmark::Counter(static_cast<double>(kPictures) * state.iterations() * kWidth *
                                                  kHeight / 1e6,
                                              benchmark::Counter::kIsRate);
  fs::remove_all(out);
}

}  // namespace

BENCHMARK(BM_Batch)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kSecond)->Iterations(2);

BENCHMARK_MAIN();
