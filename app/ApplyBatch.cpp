// `veyra apply` with one picture or many: the many go to worker processes,
// each an independent host session of the module, with one progress bar and
// one summary for the batch.
#include <algorithm>
#include <cstdio>

#include "app/CommandLine.h"
#include "app/FileIdentity.h"
#include "app/FilterHost.h"
#include "app/Progress.h"
#include "app/platform/FileSystem.h"
#include "app/platform/Workers.h"

namespace veyra::app {

namespace {

void say(const std::string& message) { std::fprintf(stderr, "veyra: %s\n", message.c_str()); }

// Every INPUT, OUTPUT and --record of the batch must be distinct files where
// one of them is written.
void checkDistinct(const std::vector<RunOptions>& runs) {
  std::vector<NamedFile> files;
  for (const RunOptions& r : runs) files.push_back({"INPUT", r.input, false});
  for (const RunOptions& r : runs) files.push_back({"OUTPUT", r.output, true});
  for (const RunOptions& r : runs)
    if (!r.record.empty()) files.push_back({"--record", r.record, true});
  if (const auto clash = findOverwrittenFile(files))
    throw CommandError(kExitUsage, clash->first.role + " " + clash->first.path + " is the same file as " +
                                       clash->second.role + " " + clash->second.path + "; nothing was written");
}

// "3 written", "1 failed"... for the summary.
std::string count(size_t n, const char* what) { return std::to_string(n) + " " + what; }

}  // namespace

std::string batchOutputPath(const std::string& input, const std::string& folder, const std::string& suffix) {
  std::string name = platform::baseOf(input);
  const size_t dot = name.find_last_of('.');
  name.insert(dot == std::string::npos || dot == 0 ? name.size() : dot, suffix);
  return platform::joinPath(folder, name);
}

int CommandLine::runApply() {
  const BatchOptions& b = batch_;
  if (b.outDir.empty()) {
    if (!b.suffix.empty()) throw CommandError(kExitUsage, "--suffix names outputs in --out-dir; give --out-dir DIR");
    if (b.files.size() != 2)
      throw CommandError(kExitUsage,
                         "apply takes INPUT OUTPUT, or INPUT... --out-dir DIR (run 'veyra apply --help' for usage)");
    RunOptions one = apply_;
    one.input = b.files[0];
    one.output = b.files[1];
    return runFilter(one);
  }
  if (platform::pathKind(b.outDir) != platform::PathKind::Folder)
    throw CommandError(kExitUsage, "the output folder " + b.outDir + " does not exist");
  std::vector<RunOptions> runs;
  for (const std::string& input : b.files) {
    RunOptions r = apply_;
    r.input = input;
    r.output = batchOutputPath(input, b.outDir, b.suffix);
    // The parameters are the same for every picture: the first run records them.
    if (!runs.empty()) r.record.clear();
    runs.push_back(std::move(r));
  }
  checkOutputPath(runs[0].output);
  checkDistinct(runs);
  return runs.size() == 1 ? runFilter(runs[0]) : runBatch(runs);
}

int CommandLine::runBatch(const std::vector<RunOptions>& runs) {
  const size_t n = runs.size();
  const int workers = std::min<int>(batch_.jobs > 0 ? batch_.jobs : platform::processorCount(), static_cast<int>(n));
  // The pictures share the processors: each host copies its pixels with its share of them.
  FilterHost::setDefaultCopyThreads(std::max(1, platform::processorCount() / workers));
  installInterruptHandler();

  std::vector<double> done(n, 0.0);  // each picture's share finished, 0 to 1
  std::vector<int> status(n, -1);    // -1 while not finished
  {
    ProgressBar bar(stderr, !apply_.quiet && ProgressBar::stderrIsTerminal());
    const auto redraw = [&] {
      double sum = 0;
      for (double d : done) sum += d;
      bar.update(static_cast<int32_t>(sum * 1000), static_cast<int32_t>(n * 1000));
    };
    platform::WorkerEvents events;
    events.progress = [&](size_t job, int32_t d, int32_t total) {
      if (total > 0) done[job] = std::clamp(static_cast<double>(d) / total, 0.0, 1.0);
      redraw();
    };
    events.message = [&](size_t job, const std::string& line) {
      // Each message names its picture.
      std::string text = line.rfind("veyra: ", 0) == 0 ? line.substr(7) : line;
      if (text.rfind(runs[job].input, 0) != 0) text = runs[job].input + ": " + text;
      bar.clearLine();
      say(text);
    };
    events.finished = [&](size_t job, int code) {
      if (code > kExitCancelled) {
        bar.clearLine();
        say(runs[job].input + ": the filter's process ended abnormally (status " + std::to_string(code) + ")");
        code = kExitFilterFailed;
      }
      status[job] = code;
      done[job] = 1.0;
      redraw();
    };
    events.stopRequested = [] { return interruptRequested(); };
    platform::runWorkers(
        n, workers,
        [&](size_t job, const std::function<void(int32_t, int32_t)>& report) {
          try {
            return runFilter(runs[job], report);
          } catch (const CommandError& e) {
            say(e.what());
            return e.status();
          }
        },
        events);
  }

  size_t written = 0, failed = 0, cancelled = 0, notStarted = 0;
  int worst = kExitSuccess;
  for (int s : status) {
    if (s < 0) {
      ++notStarted;
      s = kExitCancelled;
    } else if (s == kExitSuccess) {
      ++written;
    } else if (s == kExitCancelled) {
      ++cancelled;
    } else {
      ++failed;
    }
    worst = std::max(worst, s);
  }
  std::string summary = std::to_string(n) + " pictures: " + count(written, "written");
  if (failed > 0) summary += ", " + count(failed, "failed");
  if (cancelled > 0) summary += ", " + count(cancelled, "cancelled");
  if (notStarted > 0) summary += ", " + count(notStarted, "not started");
  say(summary);
  return worst;
}

}  // namespace veyra::app
