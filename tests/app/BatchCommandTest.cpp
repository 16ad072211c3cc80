// `veyra apply` with many pictures, end to end through the executable: each
// output equals the one-picture run, a failed picture does not stop the
// others, names that would overwrite a file are refused before anything runs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "app/ImageFile.h"
#include "support/AppTestSupport.h"

using namespace veyra;

namespace {

struct BatchCase {
  const char* name;
  std::vector<std::string> args;  // after "apply"; $DIR is the test's folder
  int status;
  // What $DIR/out holds afterwards, each name with the input it was made from.
  std::vector<std::pair<std::string, std::string>> written;
  std::string message;               // a part of stderr ("" for none at all)
};

class Batch : public testing::TestWithParam<BatchCase> {
 protected:
  void SetUp() override {
    app::saveImage(test::makeDocument(app::ColorMode::RGB, 64, 300, true, 3), dir_.file("a.png"), app::FileFormat::Png);
    app::saveImage(test::makeDocument(app::ColorMode::CMYK, 40, 270, false, 4), dir_.file("b.tif"),
                   app::FileFormat::Tiff);
    test::writeBytes(dir_.file("cut.png"), {0x89, 'P', 'N', 'G'});
    ASSERT_EQ(mkdir(dir_.file("out").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(dir_.file("sub").c_str(), 0755), 0);
    app::saveImage(test::makeDocument(app::ColorMode::Gray, 8, 8), dir_.file("sub/a.png"), app::FileFormat::Png);
  }
  std::string substituted(std::string a) const {
    for (size_t at = a.find("$DIR"); at != std::string::npos; at = a.find("$DIR")) a.replace(at, 4, dir_.path());
    return a;
  }
  test::TempDir dir_;
};

TEST_P(Batch, WritesEachPictureAsAloneAndEndsWithTheWorstStatus) {
  const BatchCase& c = GetParam();
  std::vector<std::string> args{"apply", "--plugin", VEYRA_PLUGIN_PATH};
  for (const std::string& a : c.args) args.push_back(substituted(a));
  const test::CommandResult r = test::runVeyra(args);
  EXPECT_EQ(r.status, c.status) << r.err;
  if (c.message.empty())
    EXPECT_EQ(r.err, "");
  else
    EXPECT_NE(r.err.find(substituted(c.message)), std::string::npos) << r.err;

  std::vector<std::string> names;
  for (const auto& [name, input] : c.written) names.push_back(name);
  EXPECT_EQ(test::folderEntries(dir_.file("out")), names) << "and no temporary file";
  test::TempDir alone;
  for (const auto& [name, input] : c.written) {
    ASSERT_EQ(test::runVeyra({"apply", dir_.file(input), alone.file(name), "--plugin", VEYRA_PLUGIN_PATH}).status, 0);
    EXPECT_EQ(test::readBytes(dir_.file("out/" + name)), test::readBytes(alone.file(name))) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, Batch,
    testing::Values(
        BatchCase{"EveryInputIntoOutDir", {"$DIR/a.png", "$DIR/b.tif", "--out-dir", "$DIR/out", "-j", "2"}, 0,
                  {{"a.png", "a.png"}, {"b.tif", "b.tif"}}, "2 pictures: 2 written"},
        BatchCase{"SuffixBeforeTheExtension", {"$DIR/a.png", "$DIR/b.tif", "--out-dir", "$DIR/out", "--suffix", "-lit", "-j", "1"},
                  0, {{"a-lit.png", "a.png"}, {"b-lit.tif", "b.tif"}}, "2 pictures: 2 written"},
        BatchCase{"GoesOnAfterAFailedPicture", {"$DIR/a.png", "$DIR/cut.png", "$DIR/b.tif", "--out-dir", "$DIR/out"}, 2,
                  {{"a.png", "a.png"}, {"b.tif", "b.tif"}}, "3 pictures: 2 written, 1 failed"},
        BatchCase{"FailedPictureIsNamed", {"$DIR/cut.png", "$DIR/a.png", "--out-dir", "$DIR/out", "-j", "1"}, 2,
                  {{"a.png", "a.png"}}, "veyra: $DIR/cut.png: "},
        BatchCase{"OneInputKeepsTheOnePictureForm", {"$DIR/a.png", "--out-dir", "$DIR/out"}, 0, {{"a.png", "a.png"}}, ""},
        BatchCase{"OutputOverItsInputIsRefused", {"$DIR/a.png", "$DIR/b.tif", "--out-dir", "$DIR/./"}, 2, {},
                  "is the same file as INPUT"},
        BatchCase{"OutputsOfOneNameAreRefused", {"$DIR/a.png", "$DIR/sub/a.png", "--out-dir", "$DIR/out"}, 2, {},
                  "is the same file as OUTPUT"},
        BatchCase{"RecordOverAnOutputIsRefused",
                  {"$DIR/a.png", "$DIR/b.tif", "--out-dir", "$DIR/out", "--record", "$DIR/out/b.tif"}, 2, {},
                  "is the same file as --record"},
        BatchCase{"SeveralInputsNeedOutDir", {"$DIR/a.png", "$DIR/b.tif", "$DIR/cut.png"}, 2, {}, "--out-dir DIR"},
        BatchCase{"SuffixNeedsOutDir", {"$DIR/a.png", "$DIR/out/a.png", "--suffix", "-x"}, 2, {}, "--out-dir"},
        BatchCase{"OutDirMissing", {"$DIR/a.png", "$DIR/b.tif", "--out-dir", "$DIR/none"}, 2, {}, "does not exist"}),
    [](const testing::TestParamInfo<BatchCase>& i) { return std::string(i.param.name); });

TEST(BatchInterrupt, CtrlCCancelsEveryPictureAndWritesNothing) {
  test::TempDir dir;
  std::vector<std::string> args{"apply", "--plugin", VEYRA_PLUGIN_PATH, "--out-dir", dir.file("out"), "-j", "2"};
  for (const char* name : {"p.png", "q.png", "r.png"}) {
    app::saveImage(test::makeDocument(app::ColorMode::RGB, 900, 900), dir.file(name), app::FileFormat::Png);
    args.push_back(dir.file(name));
  }
  ASSERT_EQ(mkdir(dir.file("out").c_str(), 0755), 0);
  const test::CommandResult r = test::runVeyra(args, {}, true);
  EXPECT_EQ(r.status, 3) << r.err;
  EXPECT_NE(r.err.find("3 pictures: 0 written"), std::string::npos) << r.err;
  EXPECT_EQ(test::folderEntries(dir.file("out")), std::vector<std::string>{});
}

}  // namespace
