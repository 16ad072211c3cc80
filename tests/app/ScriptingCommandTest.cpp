// The scripting side of the veyra command, end to end through the executable
// and the built module: --set, --action, --record and info.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/ImageFile.h"
#include "support/AppTestSupport.h"

namespace veyra {
namespace {

using test::CommandResult;
using test::runVeyra;

class ScriptingCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    input_ = dir_.file("in.png");
    app::saveImage(test::makeDocument(app::ColorMode::RGB, 24, 16), input_, app::FileFormat::Png);
  }

  // Runs apply into a new output and answers the result; the output bytes
  // (empty when none was written) in *bytes.
  CommandResult apply(const std::string& output, std::vector<std::string> extra,
                      std::vector<uint8_t>* bytes = nullptr) {
    std::vector<std::string> args = {"apply", input_, dir_.file(output), "--quiet"};
    args.insert(args.end(), extra.begin(), extra.end());
    CommandResult r = runVeyra(args);
    if (bytes != nullptr)
      *bytes =
          test::fileExists(dir_.file(output)) ? test::readBytes(dir_.file(output)) : std::vector<uint8_t>{};
    return r;
  }

  void writeText(const std::string& name, const std::string& text) {
    test::writeBytes(dir_.file(name), std::vector<uint8_t>(text.begin(), text.end()));
  }

  test::TempDir dir_;
  std::string input_;
};

TEST_F(ScriptingCommandTest, RecordedActionReplaysByteForByte) {
  const std::string shape = std::string(VEYRA_SOURCE_DIR) + "/patterns/Spot.png";
  std::vector<uint8_t> first, replayed;
  const CommandResult r1 = apply(
      "first.png",
      {"--set", "lBrt=60", "--set", "KVO shape blend mode=KVO screen", "--set", "sNam=" + shape, "--set",
       "cp1X=0.875", "--set", "lClY=20000", "--set", "mPos=33.3", "--record", dir_.file("run.json")},
      &first);
  ASSERT_EQ(r1.status, 0) << r1.err;
  ASSERT_FALSE(first.empty());

  const auto recorded = nlohmann::json::parse(test::readBytes(dir_.file("run.json")));
  EXPECT_EQ(recorded["filter"], "Veyra!...");
  EXPECT_EQ(recorded["event"], "kvoV");
  const auto& items = recorded["descriptor"];
  ASSERT_EQ(items.size(), 24u);
  EXPECT_EQ(items[0]["key"], "cp1X");
  EXPECT_EQ(items[0]["value"], 0.875);
  EXPECT_EQ(items[1]["key"], "cp1Y");
  EXPECT_EQ(items[8]["key"], "lClY");
  EXPECT_EQ(items[8]["type"], "integer");
  EXPECT_EQ(items[8]["value"], 20000);
  EXPECT_EQ(items[14]["key"], "sBln");
  EXPECT_EQ(items[14]["enumType"], "sBld");
  EXPECT_EQ(items[14]["value"], "sScr");
  EXPECT_EQ(items[23]["key"], "sNam");
  EXPECT_EQ(items[23]["value"], shape);

  const CommandResult r2 = apply(
      "replayed.png", {"--action", dir_.file("run.json"), "--record", dir_.file("again.json")}, &replayed);
  ASSERT_EQ(r2.status, 0) << r2.err;
  EXPECT_EQ(replayed, first);
  EXPECT_EQ(test::readBytes(dir_.file("again.json")), test::readBytes(dir_.file("run.json")));
}

// Shape file names, as bytes: each must come back from the action file
// exactly, and the replay must light the picture with that very shape.
struct ShapeName {
  const char* name;
  std::string file;
  bool utf8;
};

class ShapePathReplayTest : public ScriptingCommandTest, public ::testing::WithParamInterface<ShapeName> {};

TEST_P(ShapePathReplayTest, RecordedPathReplaysTheSameShape) {
  const std::string shape = dir_.file(GetParam().file);
  app::saveImage(test::makeDocument(app::ColorMode::Gray, 16, 12, false, 5), shape, app::FileFormat::Png);
  std::vector<uint8_t> noShape, recorded, replayed;
  ASSERT_EQ(apply("none.png", {}, &noShape).status, 0);
  const CommandResult r1 = apply("first.png", {"--set", "sNam=" + shape, "--set", "sBln=sOnl", "--record",
                                               dir_.file("run.json")}, &recorded);
  ASSERT_EQ(r1.status, 0) << r1.err;
  EXPECT_NE(recorded, noShape) << "the shape was read";

  const auto action = nlohmann::json::parse(test::readBytes(dir_.file("run.json")));  // valid UTF-8 JSON
  const auto& item = action["descriptor"].back();
  ASSERT_EQ(item["key"], "sNam");
  if (GetParam().utf8)
    EXPECT_EQ(item["value"], shape) << "UTF-8 text is written as it is";
  else
    EXPECT_FALSE(item.contains("value")) << "bytes that are not UTF-8 are written as \"bytes\"";

  const CommandResult r2 = apply("replayed.png", {"--action", dir_.file("run.json")}, &replayed);
  ASSERT_EQ(r2.status, 0) << r2.err;
  EXPECT_EQ(replayed, recorded);
}

INSTANTIATE_TEST_SUITE_P(Names, ShapePathReplayTest,
                         ::testing::Values(ShapeName{"Ordinary", "Window shape.png", true},
                                           ShapeName{"NonAscii", "Fen\xC3\xAAtre \xE5\x85\x89.png", true},
                                           ShapeName{"Latin1", "Fen\xEAtre.png", false},
                                           ShapeName{"StrayBytes", "\x80\xFF\xC3(.png", false}),
                         [](const ::testing::TestParamInfo<ShapeName>& i) { return std::string(i.param.name); });

TEST_F(ScriptingCommandTest, SetAfterActionWinsAndNoOptionsMeansDefaults) {
  std::vector<uint8_t> defaults, viaAction, viaSet;
  ASSERT_EQ(apply("defaults.png", {}, &defaults).status, 0);
  writeText("a.json", R"({"descriptor": [{"key": "lBrt", "type": "float", "value": 10}]})");
  ASSERT_EQ(apply("action.png", {"--action", dir_.file("a.json"), "--set", "lBrt=100"}, &viaAction).status,
            0);
  EXPECT_EQ(viaAction, defaults);
  ASSERT_EQ(apply("set.png", {"--set", "lBrt=10"}, &viaSet).status, 0);
  EXPECT_NE(viaSet, defaults);
  // Each --set takes one value, so options may come before the files.
  const CommandResult before =
      runVeyra({"apply", "--set", "lBrt=10", "--set", "lBrt=10", input_, dir_.file("before.png"), "--quiet"});
  ASSERT_EQ(before.status, 0) << before.err;
  EXPECT_EQ(test::readBytes(dir_.file("before.png")), viaSet);
}

struct SetPair {
  const char* byCode;
  const char* byName;
};

class SetByNameTest : public ScriptingCommandTest, public ::testing::WithParamInterface<SetPair> {};

TEST_P(SetByNameTest, CodeAndTerminologyNameGiveTheSameResult) {
  std::vector<uint8_t> byCode, byName;
  const CommandResult a = apply("code.png", {"--set", GetParam().byCode}, &byCode);
  const CommandResult b = apply("name.png", {"--set", GetParam().byName}, &byName);
  ASSERT_EQ(a.status, 0) << a.err;
  ASSERT_EQ(b.status, 0) << b.err;
  EXPECT_FALSE(byCode.empty());
  EXPECT_EQ(byCode, byName);
}

INSTANTIATE_TEST_SUITE_P(Pairs, SetByNameTest,
                         ::testing::Values(SetPair{"lBrt=40", "KVO light brightness=40"},
                                           SetPair{"lBln=lScr", "KVO light blend mode=KVO screen"},
                                           SetPair{"mChn=redC", "KVO matte extract channel=redC"},
                                           SetPair{"lSrc=sMat", "lSrc=KVO matte"},
                                           SetPair{"lClZ=100", "KVO light color/Z=100"}));

TEST_F(ScriptingCommandTest, InfoListsEveryParameter) {
  const CommandResult text = runVeyra({"info"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("Veyra!..."), std::string::npos);
  EXPECT_NE(text.out.find("Tarnwell Imaging"), std::string::npos);
  EXPECT_NE(text.out.find("scripting parameters (31)"), std::string::npos);
  EXPECT_NE(text.out.find("lDmd  KVO light modulate displacement  boolean"), std::string::npos);

  const CommandResult json = runVeyra({"info", "--json"});
  ASSERT_EQ(json.status, 0) << json.err;
  const auto info = nlohmann::json::parse(json.out);
  EXPECT_EQ(info["name"], "Veyra!...");
  EXPECT_EQ(info["category"], "Tarnwell Imaging");
  EXPECT_EQ(info["version"], "4.0");
  EXPECT_EQ(info["modes"], nlohmann::json({"GrayScaleMode", "RGBMode", "CMYKMode"}));
  ASSERT_EQ(info["parameters"].size(), 31u);
  EXPECT_EQ(info["parameters"][0]["key"], "lBln");
  EXPECT_EQ(info["parameters"][0]["values"].size(), 3u);
  EXPECT_EQ(info["parameters"][8]["key"], "lDmd");
  EXPECT_EQ(info["parameters"][8]["type"], "boolean");
  EXPECT_EQ(info["parameters"][13]["values"][8]["code"], "sLgt");
  EXPECT_EQ(info["parameters"][30]["key"], "cp3Y");
}

TEST_F(ScriptingCommandTest, InfoWithoutModuleIsUsageError) {
  const CommandResult r = runVeyra({"info", "--plugin", dir_.file("missing.8bf")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("missing.8bf"), std::string::npos) << r.err;
}

struct BadInput {
  const char* name;
  std::vector<std::string> args;  // "{action}" stands for the action file below
  const char* action;             // its contents, or null for none
  std::vector<const char*> message;
};

class BadScriptingInputTest : public ScriptingCommandTest, public ::testing::WithParamInterface<BadInput> {};

TEST_P(BadScriptingInputTest, RefusedWithUsageAndAUsefulMessage) {
  std::vector<std::string> args = GetParam().args;
  if (GetParam().action != nullptr) writeText("action.json", GetParam().action);
  for (std::string& a : args)
    if (a == "{action}") a = dir_.file("action.json");
  std::vector<uint8_t> out;
  const CommandResult r = apply("out.png", args, &out);
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(out.empty());
  for (const char* m : GetParam().message) EXPECT_NE(r.err.find(m), std::string::npos) << r.err;
}

const std::string kLongName(300, 'n');

// The fuzzing finding: a value nested 3,000 levels deep.
const std::string kDeepNesting = [] {
  const std::vector<uint8_t> bytes = test::readBytes(VEYRA_SOURCE_DIR "/tests/fuzz/corpus/action/deep_nesting.json");
  return std::string(bytes.begin(), bytes.end());
}();
// Values that messages must show by kind or cut short, never in full.
const std::string kNestedValue = R"({"descriptor": [{"key": "lBrt", "type": "float", "value": )" +
                                 std::string(60, '[') + std::string(60, ']') + "}]}";
const std::string kLongText =
    R"({"descriptor": [{"key": "lBrt", "type": "float", "value": ")" + std::string(100000, 'a') + "\"}]}";

INSTANTIATE_TEST_SUITE_P(
    Cases, BadScriptingInputTest,
    ::testing::Values(
        BadInput{"NotANumber", {"--set", "lBrt=abc"}, nullptr, {"lBrt", "\"abc\"", "a number"}},
        BadInput{"NotFinite", {"--set", "lBrt=nan"}, nullptr, {"finite"}},
        BadInput{"UnknownKey",
                 {"--set", "xxxx=1"},
                 nullptr,
                 {"unknown key \"xxxx\"", "valid keys", "lBrt (KVO light brightness)"}},
        BadInput{"NoEquals", {"--set", "lBrt"}, nullptr, {"KEY=VALUE"}},
        BadInput{
            "UnknownValue", {"--set", "lBln=lXXX"}, nullptr, {"unknown value \"lXXX\"", "lScr (KVO screen)"}},
        BadInput{"NotAnInteger", {"--set", "lClX=1.5"}, nullptr, {"32-bit integer"}},
        BadInput{"IntegerTooLarge", {"--set", "lClX=2147483648"}, nullptr, {"32-bit integer"}},
        BadInput{"NotABoolean", {"--set", "lDmd=yes"}, nullptr, {"true or false"}},
        BadInput{"TextTooLong", {"--set", "sNam=" + kLongName}, nullptr, {"300 bytes"}},
        BadInput{"MissingFile", {"--action", "{action}x"}, nullptr, {"cannot read"}},
        BadInput{"NotJson", {"--action", "{action}"}, "lBrt = 50", {"not a JSON action file"}},
        BadInput{"NotAnObject", {"--action", "{action}"}, "[1, 2]", {"JSON object"}},
        BadInput{"NoDescriptor", {"--action", "{action}"}, R"({"descriptor": 5})", {"\"descriptor\" list"}},
        BadInput{"ItemNotObject", {"--action", "{action}"}, R"({"descriptor": [3]})", {"descriptor item 1"}},
        BadInput{
            "UnknownItemKey",
            {"--action", "{action}"},
            R"({"descriptor": [{"key": "lBrt", "type": "float", "value": 1}, {"key": "zzzz", "type": "float", "value": 1}]})",
            {"descriptor item 2", "unknown key \"zzzz\""}},
        BadInput{"WrongType",
                 {"--action", "{action}"},
                 R"({"descriptor": [{"key": "lBrt", "type": "integer", "value": 5}]})",
                 {"descriptor item 1 (lBrt)", "\"integer\" given, \"float\" expected"}},
        BadInput{"FloatAsText",
                 {"--action", "{action}"},
                 R"({"descriptor": [{"key": "lBrt", "type": "float", "value": "50"}]})",
                 {"(lBrt)", "must be a number"}},
        BadInput{"UnknownEnumCode",
                 {"--action", "{action}"},
                 R"({"descriptor": [{"key": "sBln", "type": "enum", "enumType": "sBld", "value": "sXXX"}]})",
                 {"(sBln)", "unknown value \"sXXX\"", "sLgt (KVO lighten)"}},
        BadInput{"WrongEnumType",
                 {"--action", "{action}"},
                 R"({"descriptor": [{"key": "sBln", "type": "enum", "enumType": "lBld", "value": "sAdd"}]})",
                 {"(sBln)", "\"enumType\": \"sBld\""}},
        BadInput{"OtherFilter",
                 {"--action", "{action}"},
                 R"({"filter": "Other...", "descriptor": []})",
                 {"\"Other...\"", "\"Veyra!...\""}},
        BadInput{"BytesNotHex",
                 {"--action", "{action}"},
                 R"({"descriptor": [{"key": "sNam", "type": "string", "bytes": "2fzz"}]})",
                 {"(sNam)", "hexadecimal digit pairs"}},
        BadInput{"BytesOddLength",
                 {"--action", "{action}"},
                 R"({"descriptor": [{"key": "sNam", "type": "string", "bytes": "2f6"}]})",
                 {"(sNam)", "hexadecimal digit pairs"}},
        BadInput{"BytesAndValue",
                 {"--action", "{action}"},
                 R"({"descriptor": [{"key": "sNam", "type": "string", "bytes": "2f", "value": "/"}]})",
                 {"(sNam)", "not both"}},
        BadInput{"DeepNesting", {"--action", "{action}"}, kDeepNesting.c_str(), {"nested more than 64 levels"}},
        BadInput{"NestedValue", {"--action", "{action}"}, kNestedValue.c_str(), {"number, not a list of 1 values\n"}},
        BadInput{"LongValue", {"--action", "{action}"}, kLongText.c_str(), {"number, not \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa...\n"}},
        BadInput{"BadSetAfterGoodAction",
                 {"--action", "{action}", "--set", "sOpc=x"},
                 R"({"descriptor": []})",
                 {"sOpc"}}),
    [](const ::testing::TestParamInfo<BadInput>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace veyra
