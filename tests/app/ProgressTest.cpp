// The progress bar and the interrupt flag behind the abort procedure.
#include <gtest/gtest.h>

#include <cstdio>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/Progress.h"

namespace {

std::string drawn(bool enabled, const std::vector<std::pair<int, int>>& steps) {
  std::FILE* f = std::tmpfile();
  {
    veyra::app::ProgressBar bar(f, enabled);
    for (auto [done, total] : steps) bar.update(done, total);
  }
  std::rewind(f);
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text.push_back(static_cast<char>(c));
  std::fclose(f);
  return text;
}

TEST(ProgressBar, RedrawsOneLineAndEndsIt) {
  const std::string text = drawn(true, {{1, 4}, {4, 4}});
  EXPECT_EQ(text, "\r[##########------------------------------]  25%"
                  "\r[########################################] 100%\n");
}

TEST(ProgressBar, DrawsNothingWhenDisabledOrWithoutTotal) {
  EXPECT_EQ(drawn(false, {{1, 2}}), "");
  EXPECT_EQ(drawn(true, {{0, 0}}), "");
}

TEST(Interrupt, FlagIsSetBySigintAndCleared) {
  veyra::app::clearInterrupt();
  veyra::app::installInterruptHandler();
  EXPECT_FALSE(veyra::app::interruptRequested());
  std::raise(SIGINT);
  EXPECT_TRUE(veyra::app::interruptRequested());
  veyra::app::clearInterrupt();
  EXPECT_FALSE(veyra::app::interruptRequested());
}

TEST(InterruptDeathTest, SecondSigintEndsTheProcess) {
  EXPECT_EXIT(
      {
        veyra::app::clearInterrupt();
        veyra::app::installInterruptHandler();
        std::raise(SIGINT);
        std::raise(SIGINT);
        std::exit(0);
      },
      testing::KilledBySignal(SIGINT), "");
}

}  // namespace
