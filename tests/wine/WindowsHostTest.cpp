// veyra.exe under Wine, with the x64 and with the x86 module, against the
// Linux build: the end-to-end cases give the same bytes, recorded settings
// replay across the two, non-ASCII names work, and the commands answer with
// the same statuses and messages.
#include <gtest/gtest.h>

#include <algorithm>
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

// --- recorded settings ---------------------------------------------------------------------

// Settings recorded by one host replay in the other to the same bytes, and
// both hosts record the same action file. The shape is named relative to
// the working folder, which both hosts share.
TEST_F(WindowsHost, RecordedSettingsReplayAcrossHosts) {
  test::TempDir dir;
  app::saveImage(test::makeShape(20, 14, 7), dir.file("shape.png"), app::FileFormat::Png);
  app::saveImage(test::makeDocument(app::ColorMode::RGB, 31, 27, false, 5), dir.file("in.tif"),
                 app::FileFormat::Tiff);
  reftest::Settings s;
  test::lightCases()[test::lightCaseNamed("ShapeRotated150Affine")].set(s);
  s.lightBlend = 2;
  const std::vector<std::string> sets = test::setArguments(s, "shape.png");
  auto withSets = [&sets](std::vector<std::string> args) {
    args.insert(args.end(), sets.begin(), sets.end());
    return args;
  };

  const CommandResult recorded = test::runLinux(
      withSets({"apply", "in.tif", "linux.tif", "--plugin", VEYRA_PLUGIN_PATH, "--quiet", "--record", "linux.json"}),
      {}, dir.path());
  ASSERT_EQ(recorded.status, 0) << describe(recorded);
  const std::vector<uint8_t> expected = test::readBytes(dir.file("linux.tif"));
  ASSERT_NE(expected, test::readBytes(dir.file("in.tif")));

  for (const WindowsBuild& b : test::windowsBuilds()) {
    SCOPED_TRACE(b.arch);
    const std::string plugin = test::windowsPath(b.module()), win = b.arch + ".tif", json = b.arch + ".json";
    const CommandResult replayed = test::runWindows(
        b, {"apply", "in.tif", "replayed-" + win, "--plugin", plugin, "--quiet", "--action", "linux.json"}, {},
        dir.path());
    ASSERT_EQ(replayed.status, 0) << describe(replayed);
    EXPECT_EQ(test::readBytes(dir.file("replayed-" + win)), expected);

    const CommandResult winRecorded = test::runWindows(
        b, withSets({"apply", "in.tif", win, "--plugin", plugin, "--quiet", "--record", json}), {}, dir.path());
    ASSERT_EQ(winRecorded.status, 0) << describe(winRecorded);
    EXPECT_EQ(test::readBytes(dir.file(win)), expected);
    EXPECT_EQ(test::readBytes(dir.file(json)), test::readBytes(dir.file("linux.json")));
    const CommandResult linuxReplayed = test::runLinux(
        {"apply", "in.tif", "linux-" + win, "--plugin", VEYRA_PLUGIN_PATH, "--quiet", "--action", json}, {},
        dir.path());
    ASSERT_EQ(linuxReplayed.status, 0) << describe(linuxReplayed);
    EXPECT_EQ(test::readBytes(dir.file("linux-" + win)), expected);
  }
}

// --- names beyond ASCII ----------------------------------------------------------------------

// Input, output and shape file with names outside every ANSI code page reach
// the files through the UTF-16 command line and paths.
TEST_F(WindowsHost, NonAsciiFileNames) {
  test::TempDir dir;
  const std::string shape = dir.file("Lumi\xc3\xa8re \xe2\x98\x80 \xe7\xaa\x93.png");  // Lumière ☀ 窓
  const std::string input = dir.file("Pi\xc3\xa8" "ce.png");                          // Pièce
  app::saveImage(test::makeShape(24, 18, 3), shape, app::FileFormat::Png);
  app::saveImage(test::makeDocument(app::ColorMode::RGB, 40, 30, true, 2), input, app::FileFormat::Png);
  test::PreparedRun run;
  run.input = input;
  run.settings.shapeBlend = 1;
  run.settings.shapeFile = shape;

  run.output = dir.file("without shape.png");
  const std::string missing = shape + ".gone";
  test::PreparedRun unshaped = run;
  unshaped.settings.shapeFile = missing;
  ASSERT_EQ(test::runLinux(test::applyArguments(unshaped, VEYRA_PLUGIN_PATH, test::identityPath)).status, 0);
  run.output = dir.file("R\xc3\xa9sultat.png");  // Résultat
  const CommandResult linux = test::runLinux(test::applyArguments(run, VEYRA_PLUGIN_PATH, test::identityPath));
  ASSERT_EQ(linux.status, 0) << describe(linux);
  const std::vector<uint8_t> expected = test::readBytes(run.output);
  ASSERT_NE(expected, test::readBytes(unshaped.output)) << "the shape takes part";

  for (const WindowsBuild& b : test::windowsBuilds()) {
    SCOPED_TRACE(b.arch);
    run.output = dir.file(b.arch + " r\xc3\xa9sultat \xe2\x98\x80.png");
    const CommandResult r =
        test::runWindows(b, test::applyArguments(run, test::windowsPath(b.module()), test::windowsPath));
    ASSERT_EQ(r.status, 0) << describe(r);
    EXPECT_EQ(test::readBytes(run.output), expected);
  }
}

// --- Ctrl-C ------------------------------------------------------------------------------------

// Ctrl-C during a run reaches veyra.exe's console handler: the filter is
// cancelled, exit status 3, and OUTPUT keeps its old content.
TEST_F(WindowsHost, CtrlCCancelsAndKeepsOutput) {
  test::TempDir dir;
  // Large enough that the run lasts well beyond the signal's way in.
  app::saveImage(test::makeDocument(app::ColorMode::RGB, 3000, 2000, false, 7), dir.file("in.tif"),
                 app::FileFormat::Tiff);
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  for (const WindowsBuild& b : test::windowsBuilds()) {
    SCOPED_TRACE(b.arch);
    test::writeBytes(dir.file("out.tif"), old);
    const CommandResult r = test::runWindowsInterrupted(
        b, {"apply", "in.tif", "out.tif", "--plugin", test::windowsPath(b.module()), "--set", "lBrt=140"}, dir.path());
    EXPECT_EQ(r.status, 3) << describe(r);
    EXPECT_EQ(r.err, "veyra: cancelled; out.tif was not written\n");
    EXPECT_EQ(test::readBytes(dir.file("out.tif")), old);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"in.tif", "out.tif"}));
  }
}

// --- statuses and messages --------------------------------------------------------------------

struct CommandCase {
  const char* name;
  std::vector<std::string> args;  // run in a folder holding in.png and notes.png (a text file)
  int status;
};

const CommandCase kCommands[] = {
    {"Succeeds", {"apply", "in.png", "out.png", "--set", "lBrt=140"}, 0},
    {"MissingInput", {"apply", "missing.png", "out.png"}, 2},
    {"NotAnImage", {"apply", "notes.png", "out.png"}, 2},
    {"BadRect", {"apply", "in.png", "out.png", "--rect", "1,2,3"}, 2},
    {"RectOutside", {"apply", "in.png", "out.png", "--rect", "0,0,500,500"}, 2},
    {"UnknownKey", {"apply", "in.png", "out.png", "--set", "nope=1"}, 2},
    {"BadNumber", {"apply", "in.png", "out.png", "--set", "lBrt=bright"}, 2},
    {"BadEnumeration", {"apply", "in.png", "out.png", "--set", "lBln=lFoo"}, 2},
    {"NoOutputFolder", {"apply", "in.png", "no-folder/out.png"}, 2},
    {"MissingAction", {"apply", "in.png", "out.png", "--action", "none.json"}, 2},
    {"UnknownCommand", {"bogus"}, 2},
    {"NoModule", {"apply", "in.png", "out.png", "--plugin", "absent.8bf"}, 2},
};

class WindowsCommand : public WindowsHost, public testing::WithParamInterface<CommandCase> {};

// The same status, the same messages and the same output file.
TEST_P(WindowsCommand, AnswersAsLinuxDoes) {
  const CommandCase& c = GetParam();
  test::TempDir dir;
  app::saveImage(test::makeDocument(app::ColorMode::RGB, 33, 21, false, 4), dir.file("in.png"),
                 app::FileFormat::Png);
  test::writeBytes(dir.file("notes.png"), {'n', 'o', 't', 'e', 's', '\n'});
  auto withPlugin = [&c](const std::string& plugin) {
    std::vector<std::string> args = c.args;
    const bool named = std::find(args.begin(), args.end(), "--plugin") != args.end();
    if (args.size() > 1 && !named) args.insert(args.end(), {"--plugin", plugin});
    return args;
  };
  const CommandResult linux = test::runLinux(withPlugin(VEYRA_PLUGIN_PATH), {}, dir.path());
  ASSERT_EQ(linux.status, c.status) << describe(linux);
  const std::vector<uint8_t> expected = test::readBytes(dir.file("out.png"));
  EXPECT_EQ(expected.empty(), c.status != 0);
  std::remove(dir.file("out.png").c_str());
  for (const WindowsBuild& b : test::windowsBuilds()) {
    SCOPED_TRACE(b.arch);
    const CommandResult r = test::runWindows(b, withPlugin(test::windowsPath(b.module())), {}, dir.path());
    EXPECT_EQ(r.status, c.status) << describe(r);
    EXPECT_EQ(r.err, linux.err);
    EXPECT_EQ(r.out, linux.out);
    EXPECT_EQ(test::readBytes(dir.file("out.png")), expected);
    EXPECT_EQ(dir.entries().size(), 2u + (c.status == 0 ? 1 : 0))
        << "no temporary file is left";
    std::remove(dir.file("out.png").c_str());
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, WindowsCommand, testing::ValuesIn(kCommands),
                         [](const testing::TestParamInfo<CommandCase>& i) { return std::string(i.param.name); });

// The module's property list and terminology, read by veyra.exe from the
// DLL's Windows resources, describe the same filter as the Linux module's
// exported table.
TEST_F(WindowsHost, InfoFromWindowsResourcesMatchesLinux) {
  const CommandResult linux = test::runLinux({"info", "--json", "--plugin", VEYRA_PLUGIN_PATH});
  ASSERT_EQ(linux.status, 0) << describe(linux);
  ASSERT_NE(linux.out.find("KVO light brightness"), std::string::npos);
  for (const WindowsBuild& b : test::windowsBuilds()) {
    SCOPED_TRACE(b.arch);
    const CommandResult r = test::runWindows(b, {"info", "--json", "--plugin", test::windowsPath(b.module())});
    ASSERT_EQ(r.status, 0) << describe(r);
    EXPECT_EQ(r.out, linux.out);
  }
}

}  // namespace
