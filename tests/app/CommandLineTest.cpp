// The veyra executable end to end: results equal a run through the host
// in-process, alpha and INPUT untouched, and every refusal answers its exit
// status and a one-line message without leaving a file behind.
#include <gtest/gtest.h>

#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <csignal>
#include <memory>

#include "support/AppTestSupport.h"
#include "app/CommandLine.h"
#include "app/ImageFile.h"
#include "app/ScriptingHost.h"

using namespace veyra;
using app::ColorMode;
using app::FileFormat;

namespace {

// The document after a run of the linked plug-in with every parameter at its
// default, as `veyra apply` runs it.
app::Document appliedInProcess(app::Document doc, const VRect* rect = nullptr) {
  app::FilterHost host(doc);
  if (rect != nullptr) host.setFilterRect(*rect);
  if (app::ScriptingHost* s = host.service<app::ScriptingHost>()) s->playBack(app::Descriptor{}, plugInDialogDontDisplay);
  const app::PluginModule plugin = test::inProcessPlugin();
  EXPECT_EQ(host.run(plugin).result, 0);
  return doc;
}

struct ApplyCase {
  const char* name;
  ColorMode mode;
  bool alpha;
  FileFormat format;
};

class ApplyEndToEnd : public testing::TestWithParam<ApplyCase> {};

const char* extensionOf(FileFormat f) { return f == FileFormat::Png ? ".png" : f == FileFormat::Jpeg ? ".jpg" : ".tif"; }

TEST_P(ApplyEndToEnd, WritesTheFiltersResultAndKeepsAlphaAndInput) {
  const ApplyCase& p = GetParam();
  test::TempDir dir;
  const std::string in = dir.file(std::string("in") + extensionOf(p.format));
  const std::string out = dir.file(std::string("out") + extensionOf(p.format));
  app::saveImage(test::makeDocument(p.mode, 48, 300, p.alpha), in, p.format);
  const auto inputBytes = test::readBytes(in);
  const app::Document input = app::loadImage(in);

  const test::CommandResult r = test::runVeyra({"apply", in, out, "--plugin", VEYRA_PLUGIN_PATH});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "") << "no progress bar when stderr is not a terminal";
  const app::Document result = app::loadImage(out);
  EXPECT_EQ(result.sourceFormat(), p.format);
  EXPECT_TRUE(result == appliedInProcess(input)) << "the file holds what the host computed";
  if (p.alpha) {
    EXPECT_TRUE(std::equal(input.alpha(), input.alpha() + input.pixelCount(), result.alpha()));
  }
  EXPECT_EQ(test::readBytes(in), inputBytes) << "INPUT is never touched";
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"in" + std::string(extensionOf(p.format)),
                                                     "out" + std::string(extensionOf(p.format))}))
      << "no temporary file is left";
}

INSTANTIATE_TEST_SUITE_P(Modes, ApplyEndToEnd,
                         testing::Values(ApplyCase{"GrayPng", ColorMode::Gray, false, FileFormat::Png},
                                         ApplyCase{"RgbPng", ColorMode::RGB, false, FileFormat::Png},
                                         ApplyCase{"RgbaPng", ColorMode::RGB, true, FileFormat::Png},
                                         ApplyCase{"GrayAlphaTiff", ColorMode::Gray, true, FileFormat::Tiff},
                                         ApplyCase{"CmykTiff", ColorMode::CMYK, false, FileFormat::Tiff},
                                         ApplyCase{"CmykAlphaTiff", ColorMode::CMYK, true, FileFormat::Tiff}),
                         [](const testing::TestParamInfo<ApplyCase>& i) { return std::string(i.param.name); });

TEST(Apply, JpegInputIsFilteredAsDecoded) {
  test::TempDir dir;
  app::saveImage(test::makeDocument(ColorMode::CMYK, 40, 30), dir.file("in.jpg"), FileFormat::Jpeg);
  const test::CommandResult r = test::runVeyra({"apply", dir.file("in.jpg"), dir.file("out.tif"), "--plugin", VEYRA_PLUGIN_PATH});
  ASSERT_EQ(r.status, 0) << r.err;
  // Written as TIFF (lossless), the result is exactly the run on the decoded JPEG.
  EXPECT_TRUE(app::loadImage(dir.file("out.tif")) == appliedInProcess(app::loadImage(dir.file("in.jpg"))));
}

TEST(Apply, OutputNameChoosesTheFormatElseTheInputsIsKept) {
  test::TempDir dir;
  app::saveImage(test::makeDocument(ColorMode::RGB, 10, 10), dir.file("in.png"), FileFormat::Png);
  ASSERT_EQ(test::runVeyra({"apply", dir.file("in.png"), dir.file("out.tiff"), "--plugin", VEYRA_PLUGIN_PATH}).status, 0);
  EXPECT_EQ(app::loadImage(dir.file("out.tiff")).sourceFormat(), FileFormat::Tiff);
  ASSERT_EQ(test::runVeyra({"apply", dir.file("in.png"), dir.file("out.image"), "--plugin", VEYRA_PLUGIN_PATH}).status, 0);
  EXPECT_EQ(app::loadImage(dir.file("out.image")).sourceFormat(), FileFormat::Png);
}

TEST(Apply, RectLimitsTheFilteredArea) {
  test::TempDir dir;
  const app::Document input = test::makeDocument(ColorMode::RGB, 60, 40);
  app::saveImage(input, dir.file("in.png"), FileFormat::Png);
  const VRect area{4, 10, 30, 50};
  const test::CommandResult r =
      test::runVeyra({"apply", dir.file("in.png"), dir.file("out.png"), "--rect", "4,10,30,50", "--quiet"},
                     {{"VEYRA_PLUGIN", VEYRA_PLUGIN_PATH}});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(app::loadImage(dir.file("out.png")) == appliedInProcess(input, &area));
}

TEST(Apply, FindsTheModuleBesideTheExecutable) {
  test::TempDir dir;
  app::saveImage(test::makeDocument(ColorMode::Gray, 8, 8), dir.file("in.png"), FileFormat::Png);
  const test::CommandResult r = test::runVeyra({"apply", dir.file("in.png"), dir.file("out.png")}, {{"VEYRA_PLUGIN", ""}});
  EXPECT_EQ(r.status, 0) << r.err;
}

struct RefusalCase {
  const char* name;
  std::vector<std::string> args;  // $IN, $OUT, $DIR, $ZLIB are replaced
  int status;
  std::string message;
};

std::string zlibPath() {
  Dl_info info{};
  return dladdr(reinterpret_cast<void*>(&zlibVersion), &info) != 0 && info.dli_fname ? info.dli_fname : "";
}

class Refusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, AnswersItsStatusAndMessageAndWritesNothing) {
  test::TempDir dir;
  app::saveImage(test::makeDocument(ColorMode::RGB, 12, 10), dir.file("in.png"), FileFormat::Png);
  app::saveImage(test::makeDocument(ColorMode::CMYK, 12, 10), dir.file("cmyk.tif"), FileFormat::Tiff);
  std::vector<uint8_t> cut = test::readBytes(dir.file("in.png"));
  cut.resize(cut.size() / 2);
  test::writeBytes(dir.file("cut.png"), cut);
  test::writeBytes(dir.file("text.8bf"), {'#', '!', 'n', 'o'});
  ASSERT_EQ(symlink("in.png", dir.file("link.png").c_str()), 0);
  ASSERT_EQ(link(dir.file("in.png").c_str(), dir.file("hard.png").c_str()), 0);
  const auto before = dir.entries();
  const auto inputBytes = test::readBytes(dir.file("in.png"));

  const auto substituted = [&](std::string a) {
    for (const auto& [key, value] :
         std::vector<std::pair<std::string, std::string>>{{"$DIR", dir.path()}, {"$ZLIB", zlibPath()}}) {
      for (size_t at = a.find(key); at != std::string::npos; at = a.find(key)) a.replace(at, key.size(), value);
    }
    return a;
  };
  std::vector<std::string> args;
  for (const std::string& a : GetParam().args) args.push_back(substituted(a));
  const test::CommandResult r = test::runVeyra(args, {{"VEYRA_PLUGIN", VEYRA_PLUGIN_PATH}});
  EXPECT_EQ(r.status, GetParam().status) << r.err;
  EXPECT_NE(r.err.find(substituted(GetParam().message)), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
  EXPECT_EQ(r.err.rfind("veyra: ", 0), 0u) << r.err;
  EXPECT_EQ(dir.entries(), before) << "nothing written, no temporary file left";
  EXPECT_EQ(test::readBytes(dir.file("in.png")), inputBytes);
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, Refusal,
    testing::Values(
        RefusalCase{"MissingInput", {"apply", "$DIR/none.png", "$DIR/out.png"}, 2, "none.png: cannot open"},
        RefusalCase{"TruncatedInput", {"apply", "$DIR/cut.png", "$DIR/out.png"}, 2, "damaged or truncated PNG"},
        RefusalCase{"UnsupportedInput", {"apply", "$DIR/text.8bf", "$DIR/out.png"}, 2, "not a PNG, JPEG or TIFF"},
        RefusalCase{"OutputFolderMissing", {"apply", "$DIR/in.png", "$DIR/nowhere/out.png"}, 2, "does not exist"},
        RefusalCase{"OutputIsAFolder", {"apply", "$DIR/in.png", "$DIR"}, 2, "is a folder"},
        RefusalCase{"CmykAsPng", {"apply", "$DIR/cmyk.tif", "$DIR/out.png"}, 2, "PNG cannot hold a CMYK image"},
        RefusalCase{"RectOutside", {"apply", "$DIR/in.png", "$DIR/out.png", "--rect", "0,0,11,12"}, 2, "outside the 12 x 10 image"},
        RefusalCase{"RectInverted", {"apply", "$DIR/in.png", "$DIR/out.png", "--rect", "5,0,4,12"}, 2, "bottom is above its top"},
        RefusalCase{"RectMalformed", {"apply", "$DIR/in.png", "$DIR/out.png", "--rect", "1,2,3"}, 2, "four integers"},
        RefusalCase{"ModuleMissing", {"apply", "$DIR/in.png", "$DIR/out.png", "--plugin", "$DIR/none.8bf"}, 2, "No such file"},
        RefusalCase{"NotAModule", {"apply", "$DIR/in.png", "$DIR/out.png", "--plugin", "$DIR/text.8bf"}, 2, "cannot be loaded"},
        RefusalCase{"ModuleWithoutResources", {"apply", "$DIR/in.png", "$DIR/out.png", "--plugin", "$ZLIB"}, 2, "has no property list"},
        RefusalCase{"NoCommand", {}, 2, "subcommand"},
        RefusalCase{"MissingOutput", {"apply", "$DIR/in.png"}, 2, "OUTPUT"},
        RefusalCase{"UnknownOption", {"apply", "$DIR/in.png", "$DIR/out.png", "--frobnicate"}, 2, "frobnicate"},
        RefusalCase{"OutputIsInput", {"apply", "$DIR/in.png", "$DIR/in.png"}, 2, "OUTPUT $DIR/in.png is the same file as INPUT"},
        RefusalCase{"OutputIsInputSpeltOtherwise", {"apply", "$DIR/in.png", "$DIR/.//in.png"}, 2, "is the same file as INPUT"},
        RefusalCase{"OutputIsASymlinkToInput", {"apply", "$DIR/in.png", "$DIR/link.png"}, 2, "is the same file as INPUT"},
        RefusalCase{"InputIsASymlinkToOutput", {"apply", "$DIR/link.png", "$DIR/in.png"}, 2, "is the same file as INPUT"},
        RefusalCase{"OutputIsAHardLinkToInput", {"apply", "$DIR/in.png", "$DIR/hard.png"}, 2, "is the same file as INPUT"},
        RefusalCase{"RecordIsInput", {"apply", "$DIR/in.png", "$DIR/out.png", "--record", "$DIR/hard.png"}, 2, "--record $DIR/hard.png is the same file as INPUT"},
        RefusalCase{"RecordIsOutputYetToBeMade", {"apply", "$DIR/in.png", "$DIR/out.png", "--record", "$DIR/./out.png"}, 2, "is the same file as --record"}),
    [](const testing::TestParamInfo<RefusalCase>& i) { return std::string(i.param.name); });

TEST(Apply, UnwritableOutputFolderIsRefusedBeforeTheRun) {
  test::TempDir dir;
  app::saveImage(test::makeDocument(ColorMode::Gray, 6, 6), dir.file("in.png"), FileFormat::Png);
  std::string locked = dir.file("locked");
  ASSERT_EQ(mkdir(locked.c_str(), 0500), 0);
  // Permission bits do not stop root; a read-only system folder does.
  if (access(locked.c_str(), W_OK) == 0) locked = "/proc/sys";
  if (access(locked.c_str(), W_OK) == 0) GTEST_SKIP() << "no folder here is unwritable to this user";
  const test::CommandResult r = test::runVeyra({"apply", dir.file("in.png"), locked + "/out.png"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("is not writable"), std::string::npos) << r.err;
}

TEST(Apply, CtrlCCancelsWithStatusThreeAndWritesNothing) {
  test::TempDir dir;
  app::saveImage(test::makeDocument(ColorMode::RGB, 600, 600), dir.file("in.png"), FileFormat::Png);
  const test::CommandResult r =
      test::runVeyra({"apply", dir.file("in.png"), dir.file("out.png"), "--plugin", VEYRA_PLUGIN_PATH}, {}, true);
  EXPECT_EQ(r.status, 3) << r.err;
  EXPECT_NE(r.err.find("cancelled"), std::string::npos) << r.err;
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"in.png"});
}

// Signals that reach veyra while it writes OUTPUT, and how it ends.
struct SignalCase {
  const char* name;
  std::vector<int> signals;
  int status;
};

class SignalWhileWriting : public testing::TestWithParam<SignalCase> {};

TEST_P(SignalWhileWriting, LeavesNoTemporaryFileAndKeepsOutput) {
  test::TempDir dir;
  app::saveImage(test::makeDocument(ColorMode::RGB, 2000, 1500, false, 7), dir.file("in.tif"), FileFormat::Tiff);
  test::writeBytes(dir.file("out.png"), {'o', 'l', 'd'});
  // Ready once veyra holds a file in the folder open other than INPUT and
  // OUTPUT: the new content on its way to OUTPUT.
  const auto writing = [&](pid_t pid) {
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    std::unique_ptr<DIR, int (*)(DIR*)> d(opendir(fds.c_str()), closedir);
    for (dirent* e = d ? readdir(d.get()) : nullptr; e != nullptr; e = readdir(d.get())) {
      char target[4096];
      const ssize_t n = readlink((fds + "/" + e->d_name).c_str(), target, sizeof target - 1);
      if (n <= 0) continue;
      const std::string t(target, static_cast<size_t>(n));
      if (t.rfind(dir.path() + "/", 0) == 0 && t != dir.file("in.tif") && t != dir.file("out.png")) return true;
    }
    return false;
  };
  const test::CommandResult r = test::runVeyraSignalled(
      {"apply", dir.file("in.tif"), dir.file("out.png"), "--rect", "0,0,8,8", "--plugin", VEYRA_PLUGIN_PATH}, writing,
      GetParam().signals);
  EXPECT_EQ(r.status, GetParam().status) << r.err;
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"in.tif", "out.png"}));
  EXPECT_EQ(test::readBytes(dir.file("out.png")), (std::vector<uint8_t>{'o', 'l', 'd'})) << "OUTPUT kept as it was";
}

INSTANTIATE_TEST_SUITE_P(
    WaysOut, SignalWhileWriting,
    testing::Values(SignalCase{"CtrlCCancels", {SIGINT}, 3}, SignalCase{"SecondCtrlC", {SIGINT, SIGINT}, 128 + SIGINT},
                    SignalCase{"Terminate", {SIGTERM}, 128 + SIGTERM}, SignalCase{"HangUp", {SIGHUP}, 128 + SIGHUP}),
    [](const testing::TestParamInfo<SignalCase>& i) { return std::string(i.param.name); });

TEST(Apply, HelpDescribesOptionsExitStatusesAndExamples) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"}, std::vector<std::string>{"apply", "--help"}}) {
    const test::CommandResult r = test::runVeyra(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Exit status"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("veyra apply photo.jpg lit.jpg"), std::string::npos) << r.out;
  }
  EXPECT_NE(test::runVeyra({"apply", "--help"}).out.find("--rect"), std::string::npos);
}

TEST(CommandLine, ParsesRectangles) {
  const VRect r = app::parseRect("1, 2,30,40");
  EXPECT_EQ(test::rectText(r), "1,2,30,40");
  EXPECT_EQ(test::rectText(app::parseRect("-1,0,0,0")), "-1,0,0,0");
  for (const char* bad : {"", "1,2,3", "1,2,3,4,5", "a,b,c,d", "1;2;3;4", "1,2,3,99999999999"})
    EXPECT_THROW(app::parseRect(bad), app::CommandError) << bad;
}

TEST(CommandLine, WritesAtomicallyAndCleansUpAfterAFailure) {
  test::TempDir dir;
  const app::Document doc = test::makeDocument(ColorMode::CMYK, 5, 5);
  EXPECT_THROW(app::writeAtomically(doc, dir.file("out.png"), FileFormat::Png), app::ImageError);
  EXPECT_TRUE(dir.entries().empty());
  test::writeBytes(dir.file("out.tif"), {'o', 'l', 'd'});
  app::writeAtomically(doc, dir.file("out.tif"), FileFormat::Tiff);
  EXPECT_TRUE(app::loadImage(dir.file("out.tif")) == doc);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.tif"});
}

}  // namespace
