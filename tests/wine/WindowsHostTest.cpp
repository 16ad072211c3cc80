// veyra.exe under Wine, with the x64 and with the x86 module, against the
// Linux build: the end-to-end cases give the same bytes, recorded settings
// replay across the two, non-ASCII names work, and the commands answer with
// the same statuses and messages.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/ImageFile.h"
#include "support/AppTestSupport.h"
#include "support/EndToEndCases.h"
#include "wine/WineHost.h"

using namespace veyra;
using test::CommandResult;
using test::WindowsBuild;

namespace {

// Runs one body per Windows build, skipping (or failing, when the builds are
// required) without any.
class WindowsHost : public testing::Test {
 protected:
  void SetUp() override {
    if (test::windowsBuilds().empty()) {
      if (test::windowsRequired()) FAIL() << "veyra.exe and the module are not built (./test.sh windows builds them)";
      GTEST_SKIP() << "no Windows build of veyra.exe";
    }
  }
};

std::string describe(const CommandResult& r) { return "status " + std::to_string(r.status) + ": " + r.err; }

// --- the end-to-end cases --------------------------------------------------------------------

class WindowsMatchesLinux : public WindowsHost, public testing::WithParamInterface<test::EndToEndParam> {};

TEST_P(WindowsMatchesLinux, SameBytes) {
  test::TempDir dir;
  test::PreparedRun run = test::prepareRun(dir, GetParam());
  const CommandResult linux = test::runLinux(test::applyArguments(run, VEYRA_PLUGIN_PATH, test::identityPath));
  ASSERT_EQ(linux.status, 0) << describe(linux);
  const std::vector<uint8_t> expected = test::readBytes(run.output);
  ASSERT_FALSE(expected.empty());
  const std::string name = run.output.substr(run.output.rfind('/') + 1);
  for (const WindowsBuild& b : test::windowsBuilds()) {
    SCOPED_TRACE(b.arch);
    run.output = dir.file(b.arch + "-" + name);
    const CommandResult r =
        test::runWindows(b, test::applyArguments(run, test::windowsPath(b.module()), test::windowsPath));
    ASSERT_EQ(r.status, 0) << describe(r);
    EXPECT_TRUE(test::readBytes(run.output) == expected) << run.output << " differs from the Linux output";
  }
}

std::vector<test::EndToEndParam> allRuns() {
  std::vector<test::EndToEndParam> all;
  for (const test::RunGroup& g : test::runGroups())
    for (const test::EndToEndParam& p : g.params()) all.push_back(p);
  return all;
}

INSTANTIATE_TEST_SUITE_P(EndToEnd, WindowsMatchesLinux, testing::ValuesIn(allRuns()),
                         [](const testing::TestParamInfo<test::EndToEndParam>& i) {
                           return test::endToEndName(i.param);
                         });

}  // namespace
