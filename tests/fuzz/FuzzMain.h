// The plain main shared by the fuzz targets. Each target defines
// fuzzOne(path), which reads the file at path the way the project reads
// outside input and returns normally for anything it refuses; a crash, a
// sanitizer report or a hang is the finding.
//
//   fuzz_TARGET FILE|FOLDER...   replays the files (a folder: every file in it)
//
// Built with afl-g++, the same program is the fuzzer's target, run as
// `fuzz_TARGET @@` (scripts/fuzz.sh TARGET).
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

void fuzzOne(const std::string& path);

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE|FOLDER...\n", argv[0]);
    return 2;
  }
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::directory_iterator(arg))
        if (entry.is_regular_file()) files.push_back(entry.path().string());
    } else {
      files.push_back(arg.string());
    }
  }
  if (files.empty()) {
    std::fprintf(stderr, "%s: no files to replay\n", argv[0]);
    return 2;
  }
  for (const std::string& f : files) fuzzOne(f);
  if (files.size() > 1) std::printf("%zu files replayed\n", files.size());
  return 0;
}
