// Descriptor playback at Start and recording at Finish, driven through the
// real host: its descriptor procedures, handles and scripting suites.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "app/Descriptor.h"
#include "app/FilterHost.h"
#include "app/ScriptingHost.h"
#include "host/FilterCall.h"
#include "host/LightParameters.h"
#include "host/PIActionsSuites.h"
#include "resources/ResourceTable.h"
#include "ui/FilterDialog.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);

namespace veyra {
namespace {

using app::Descriptor;
using app::DescriptorItem;

constexpr uint32_t fourcc(const char (&s)[5]) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) | (uint32_t(uint8_t(s[2])) << 8) |
         uint32_t(uint8_t(s[3]));
}

const char* const kScope = "AF4DC27E-0910-4D0B-9262-2738D5492C2A";

// What the dialog saw when it was asked for.
struct DialogProbe {
  int calls = 0;
  LightParameters seen;
  bool answer = true;
};
DialogProbe* gProbe = nullptr;

bool probeDialog(FilterCall& call) {
  ++gProbe->calls;
  gProbe->seen = *call.parameters();
  return gProbe->answer;
}

class ScriptingTest : public ::testing::Test {
 protected:
  ScriptingTest()
      : doc_(4, 3, app::ColorMode::RGB),
        host_(doc_),
        module_(app::PluginModule::inProcess(PluginMain, "", PIResourceTable)) {
    gProbe = &probe_;
    previous_ = setDialogOverrideForTesting(probeDialog);
  }
  ~ScriptingTest() override {
    setDialogOverrideForTesting(previous_);
    gProbe = nullptr;
  }

  app::ScriptingHost& scripting() { return *host_.service<app::ScriptingHost>(); }

  const LightParameters& parameters() {
    return *reinterpret_cast<const LightParameters*>(host_.memory().handleData(host_.parameters()));
  }

  int16_t runWith(const Descriptor& d, int16_t playInfo) {
    scripting().playBack(d, playInfo);
    return host_.run(module_).result;
  }

  // The descriptor recorded by the last Finish.
  Descriptor recorded() {
    auto d = scripting().currentDescriptor();
    EXPECT_TRUE(d.has_value());
    return d.value_or(Descriptor{});
  }

  static std::vector<std::string> keysOf(const Descriptor& d) {
    std::vector<std::string> keys;
    for (const DescriptorItem& i : d) keys.push_back(app::fourCCText(i.key));
    return keys;
  }

  app::Document doc_;
  app::FilterHost host_;
  app::PluginModule module_;
  DialogProbe probe_;
  DialogOverride previous_ = nullptr;
};

Descriptor manyChanges() {
  return {DescriptorItem::makeFloat(fourcc("lBlr"), 3.5),
          DescriptorItem::makeEnumerated(fourcc("lBln"), fourcc("lBld"), fourcc("lScr")),
          DescriptorItem::makeEnumerated(fourcc("sBln"), fourcc("sBld"), fourcc("sDif")),
          DescriptorItem::makeEnumerated(fourcc("mChn"), fourcc("useC"), fourcc("satC")),
          DescriptorItem::makeInteger(fourcc("lClY"), 1234),
          DescriptorItem::makeFloat(fourcc("cp2X"), 0.75),
          DescriptorItem::makeString(fourcc("sNam"), "/no/such/shape.png")};
}

TEST_F(ScriptingTest, PlaybackKeepsOnlyPlayedValuesAndDefaultsTheRest) {
  ASSERT_EQ(runWith(manyChanges(), plugInDialogDontDisplay), 0);
  EXPECT_EQ(parameters().lightBlendMode, kLightScreen);
  EXPECT_EQ(parameters().shapeBlendMode, kShapeDifference);
  EXPECT_EQ(parameters().matteChannel, kChannelSaturation);
  EXPECT_EQ(parameters().lightColor[1], 1234);
  EXPECT_EQ(parameters().corners[2].x, 0.75);
  EXPECT_STREQ(parameters().shapeFile.c_str(), "/no/such/shape.png");

  ASSERT_EQ(runWith({DescriptorItem::makeFloat(fourcc("lBrt"), 50.0)}, plugInDialogDontDisplay), 0);
  EXPECT_EQ(probe_.calls, 0);
  LightParameters expected;
  expected.lightBrightness = 50.0;
  EXPECT_TRUE(parameters() == expected);
  EXPECT_TRUE(parameters().shapeFile.isEmpty());
}

TEST_F(ScriptingTest, PlayInfoOneShowsTheDialogWithPlayedValues) {
  ASSERT_EQ(runWith({DescriptorItem::makeFloat(fourcc("lBrt"), 50.0),
                     DescriptorItem::makeEnumerated(fourcc("lSrc"), fourcc("sorC"), fourcc("sMat"))},
                    plugInDialogDisplay),
            0);
  ASSERT_EQ(probe_.calls, 1);
  EXPECT_EQ(probe_.seen.lightBrightness, 50.0);
  EXPECT_EQ(probe_.seen.lightSource, kSourceMatte);
  EXPECT_EQ(probe_.seen.matteRange, 25.0);
}

TEST_F(ScriptingTest, CancelledDialogAfterPlaybackRestoresTheRecord) {
  ASSERT_EQ(runWith({DescriptorItem::makeFloat(fourcc("mRng"), 7.0)}, plugInDialogDontDisplay), 0);
  probe_.answer = false;
  EXPECT_EQ(runWith({DescriptorItem::makeFloat(fourcc("lBrt"), 50.0)}, plugInDialogDisplay), userCanceledErr);
  EXPECT_EQ(probe_.seen.lightBrightness, 50.0);
  EXPECT_EQ(parameters().lightBrightness, 100.0);
  EXPECT_EQ(parameters().matteRange, 7.0);
}

TEST_F(ScriptingTest, NoDescriptorShowsTheDialogAndLeavesTheRecord) {
  ASSERT_EQ(runWith({DescriptorItem::makeFloat(fourcc("sRot"), 30.0)}, plugInDialogDontDisplay), 0);
  scripting().clearPlayback();
  ASSERT_EQ(host_.run(module_).result, 0);
  EXPECT_EQ(probe_.calls, 1);
  EXPECT_EQ(probe_.seen.shapeRotation, 30.0);
}

TEST_F(ScriptingTest, UnreadableDescriptorIsTreatedAsNone) {
  ASSERT_EQ(runWith({DescriptorItem::makeFloat(fourcc("mBlr"), 4.0)}, plugInDialogDontDisplay), 0);
  scripting().clearPlayback();
  host_.defaultDescriptorParameters().descriptor = host_.memory().makeHandle(3);  // not a descriptor
  ASSERT_EQ(host_.run(module_).result, 0);
  EXPECT_EQ(probe_.calls, 1);
  EXPECT_EQ(probe_.seen.matteBlur, 4.0);
  EXPECT_EQ(scripting().readersOpened(), 1);  // only the first run's
}

TEST_F(ScriptingTest, UnknownCodesKeysAndMistypedItemsAreIgnored) {
  ASSERT_EQ(runWith({DescriptorItem::makeEnumerated(fourcc("sBln"), fourcc("sBld"), fourcc("sXXX")),
                     DescriptorItem::makeEnumerated(fourcc("lBln"), fourcc("lBld"), 0),
                     DescriptorItem::makeFloat(fourcc("zzzz"), 1.0),
                     DescriptorItem::makeBoolean(fourcc("lDmd"), true),
                     DescriptorItem::makeString(fourcc("mPos"), "not a number"),
                     DescriptorItem::makeFloat(fourcc("mChn"), 3.0)},
                    plugInDialogDontDisplay),
            0);
  EXPECT_EQ(probe_.calls, 0);
  EXPECT_TRUE(parameters() == LightParameters());
}

TEST_F(ScriptingTest, StartHandsTheKeyListAndFreesWhatItOpens) {
  ASSERT_EQ(runWith({}, plugInDialogDontDisplay), 0);
  const std::vector<DescriptorKeyID>& keys = scripting().lastKeyList();
  std::vector<std::string> names;
  for (DescriptorKeyID k : keys) names.push_back(app::fourCCText(k));
  const std::vector<std::string> expected = {"cp0X", "cp0Y", "cp1X", "cp1Y", "cp2X", "cp2Y", "cp3X", "cp3Y",
                                             "lBln", "lSrc", "lBrt", "lBlr", "lDsp", "lClX", "lClY", "lClZ",
                                             "mChn", "mPos", "mRng", "mBlr", "sBln", "sOpc", "sXbl", "sYbl",
                                             "sXps", "sYps", "sXsc", "sYsc", "sRot", "sNam"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(scripting().openReaders(), 0u);
  EXPECT_EQ(scripting().openWriters(), 0u);
  // Finish registered a descriptor; the next Start looks it up and frees it.
  ASSERT_EQ(scripting().registry().count(kScope), 1u);
  EXPECT_TRUE(scripting().registry().at(kScope).persistent);
  const int lookups = scripting().registryLookups();
  ASSERT_EQ(runWith({}, plugInDialogDontDisplay), 0);
  EXPECT_EQ(scripting().registryLookups(), lookups + 1);
  EXPECT_EQ(scripting().liveActionDescriptors(), 0u);
  EXPECT_EQ(host_.suites().outstanding(), 0);
}

TEST_F(ScriptingTest, RecordingDefaultsWritesEveryKeyButTheCornersInOrder) {
  ASSERT_EQ(runWith({}, plugInDialogDontDisplay), 0);
  const Descriptor d = recorded();
  const std::vector<std::pair<std::string, DescriptorItem::Kind>> expected = {
      {"lBln", DescriptorItem::Kind::Enumerated}, {"lSrc", DescriptorItem::Kind::Enumerated},
      {"lBrt", DescriptorItem::Kind::Float},      {"lBlr", DescriptorItem::Kind::Float},
      {"lDsp", DescriptorItem::Kind::Float},      {"lClX", DescriptorItem::Kind::Integer},
      {"lClY", DescriptorItem::Kind::Integer},    {"lClZ", DescriptorItem::Kind::Integer},
      {"mChn", DescriptorItem::Kind::Enumerated}, {"mPos", DescriptorItem::Kind::Float},
      {"mRng", DescriptorItem::Kind::Float},      {"mBlr", DescriptorItem::Kind::Float},
      {"sBln", DescriptorItem::Kind::Enumerated}, {"sOpc", DescriptorItem::Kind::Float},
      {"sXbl", DescriptorItem::Kind::Float},      {"sYbl", DescriptorItem::Kind::Float},
      {"sXps", DescriptorItem::Kind::Float},      {"sYps", DescriptorItem::Kind::Float},
      {"sXsc", DescriptorItem::Kind::Float},      {"sYsc", DescriptorItem::Kind::Float},
      {"sRot", DescriptorItem::Kind::Float},      {"sNam", DescriptorItem::Kind::String}};
  ASSERT_EQ(d.size(), expected.size());
  for (size_t i = 0; i < d.size(); ++i) {
    EXPECT_EQ(app::fourCCText(d[i].key), expected[i].first) << i;
    EXPECT_EQ(d[i].kind, expected[i].second) << expected[i].first;
  }
  EXPECT_EQ(d[0], DescriptorItem::makeEnumerated(fourcc("lBln"), fourcc("lBld"), fourcc("lAdd")));
  EXPECT_EQ(d[1], DescriptorItem::makeEnumerated(fourcc("lSrc"), fourcc("sorC"), fourcc("sImg")));
  EXPECT_EQ(d[2].number, 100.0);
  EXPECT_EQ(d[5].integer, 32768);
  EXPECT_EQ(d[8], DescriptorItem::makeEnumerated(fourcc("mChn"), fourcc("useC"), fourcc("lumC")));
  EXPECT_EQ(d[12], DescriptorItem::makeEnumerated(fourcc("sBln"), fourcc("sBld"), fourcc("sAdd")));
  EXPECT_EQ(d[21].text, "");
  EXPECT_EQ(host_.descriptorParameters()->recordInfo, plugInDialogOptional);
}

TEST_F(ScriptingTest, MovingOnlyTheUpperRightCornerRecordsOnlyItsKeys) {
  ASSERT_EQ(runWith({DescriptorItem::makeFloat(fourcc("cp1Y"), 0.25)}, plugInDialogDontDisplay), 0);
  const Descriptor d = recorded();
  ASSERT_GE(d.size(), 3u);
  EXPECT_EQ(d[0], DescriptorItem::makeFloat(fourcc("cp1X"), 1.0));
  EXPECT_EQ(d[1], DescriptorItem::makeFloat(fourcc("cp1Y"), 0.25));
  EXPECT_EQ(app::fourCCText(d[2].key), "lBln");
  EXPECT_EQ(d.size(), 24u);
}

TEST_F(ScriptingTest, AllCornersMovedRecordAllThirtyKeysAndReplayExactly) {
  Descriptor played = manyChanges();
  const char* corners[] = {"cp0X", "cp0Y", "cp1X", "cp1Y", "cp2X", "cp2Y", "cp3X", "cp3Y"};
  for (int i = 0; i < 8; ++i)
    played.push_back(DescriptorItem::makeFloat(*app::parseFourCC(corners[i]), 0.1 * i));
  ASSERT_EQ(runWith(played, plugInDialogDontDisplay), 0);
  const LightParameters first = parameters();
  const Descriptor d = recorded();
  ASSERT_EQ(d.size(), 30u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(app::fourCCText(d[static_cast<size_t>(i)].key), corners[i]);
  EXPECT_EQ(app::fourCCText(d[29].key), "sNam");

  // Playing the recording back reproduces the record and records the same.
  ASSERT_EQ(runWith(d, plugInDialogDontDisplay), 0);
  EXPECT_TRUE(parameters() == first);
  EXPECT_EQ(recorded(), d);
}

TEST_F(ScriptingTest, FinishDisposesTheOlderDescriptorHandle) {
  ASSERT_EQ(runWith({}, plugInDialogDontDisplay), 0);
  const size_t handles = host_.memory().handleCount();
  const long disposals = host_.calls().handleDisposals;
  ASSERT_EQ(host_.call(module_, filterSelectorFinish), 0);
  EXPECT_EQ(host_.memory().handleCount(), handles);
  EXPECT_EQ(host_.calls().handleDisposals, disposals + 1);
}

TEST_F(ScriptingTest, NoDescriptorParametersMeansDialogAndNoRecording) {
  host_.setDescriptorParameters(nullptr);
  ASSERT_EQ(host_.run(module_).result, 0);
  EXPECT_EQ(probe_.calls, 1);
  // The registry still gets its descriptor; nothing else is recorded.
  EXPECT_EQ(scripting().registry().count(kScope), 1u);
  EXPECT_EQ(scripting().writersOpened(), 0);
}

// ---- values the record cannot hold as they come --------------------------

struct ColorCase {
  double played;
  uint16_t expected;
};

class ColorPlaybackTest : public ScriptingTest, public ::testing::WithParamInterface<ColorCase> {};

TEST_P(ColorPlaybackTest, ComponentIsTheLowSixteenBitsTruncatedTowardZero) {
  ASSERT_EQ(runWith({DescriptorItem::makeFloat(fourcc("lClX"), GetParam().played),
                     DescriptorItem::makeFloat(fourcc("lClZ"), GetParam().played)},
                    plugInDialogDontDisplay),
            0);
  EXPECT_EQ(parameters().lightColor[0], GetParam().expected);
  EXPECT_EQ(parameters().lightColor[1], 32768);
  EXPECT_EQ(parameters().lightColor[2], GetParam().expected);
}

const double kInf = std::numeric_limits<double>::infinity();
INSTANTIATE_TEST_SUITE_P(
    Values, ColorPlaybackTest,
    ::testing::Values(ColorCase{40000.7, 40000}, ColorCase{65535.99, 65535}, ColorCase{65536.0, 0},
                      ColorCase{70000.9, 4464}, ColorCase{-0.5, 0}, ColorCase{-1.0, 65535},
                      ColorCase{-40000.7, 25536},
                      // 2^60 + 768 is exact in a double; its low 16 bits are 768.
                      ColorCase{1152921504606847744.0, 768}, ColorCase{-1152921504606847744.0, 64768},
                      ColorCase{1e300, static_cast<uint16_t>(std::fmod(1e300, 65536.0))},
                      ColorCase{std::nan(""), 32768}, ColorCase{kInf, 32768}, ColorCase{-kInf, 32768}));

TEST_F(ScriptingTest, RecordedIntegerColourReadsBack) {
  ASSERT_EQ(runWith({DescriptorItem::makeInteger(fourcc("lClY"), 65535)}, plugInDialogDontDisplay), 0);
  EXPECT_EQ(parameters().lightColor[1], 65535);
  const Descriptor d = recorded();
  EXPECT_EQ(d[6], DescriptorItem::makeInteger(fourcc("lClY"), 65535));
}

TEST_F(ScriptingTest, NonFiniteFloatsAreStoredAsTheyCome) {
  ASSERT_EQ(runWith({DescriptorItem::makeFloat(fourcc("lBrt"), std::nan("")),
                     DescriptorItem::makeFloat(fourcc("sRot"), -kInf)},
                    plugInDialogDontDisplay),
            0);
  EXPECT_TRUE(std::isnan(parameters().lightBrightness));
  EXPECT_EQ(parameters().shapeRotation, -kInf);
}

TEST_F(ScriptingTest, ShapeNames) {
  ASSERT_EQ(runWith({DescriptorItem::makeString(fourcc("sNam"), "")}, plugInDialogDontDisplay), 0);
  EXPECT_TRUE(parameters().shapeFile.isEmpty());

  // The host hands at most 255 characters of a longer string.
  const std::string longName(400, 'a');
  ASSERT_EQ(runWith({DescriptorItem::makeString(fourcc("sNam"), longName)}, plugInDialogDontDisplay), 0);
  EXPECT_EQ(std::string(parameters().shapeFile.c_str()), longName.substr(0, 255));
  EXPECT_EQ(recorded().back().text, longName.substr(0, 255));

  // An embedded zero ends the name.
  ASSERT_EQ(
      runWith({DescriptorItem::makeString(fourcc("sNam"), std::string("/a\0b", 4))}, plugInDialogDontDisplay),
      0);
  EXPECT_STREQ(parameters().shapeFile.c_str(), "/a");
}

TEST_F(ScriptingTest, NameLongerThanTheStringKeyIsRecordedEmpty) {
  // The dialog can set a path of up to 299 characters.
  const std::string path = "/" + std::string(297, 'p');
  probe_.answer = true;
  scripting().clearPlayback();
  ASSERT_EQ(host_.call(module_, filterSelectorParameters), 0);
  auto* p = reinterpret_cast<LightParameters*>(host_.memory().handleData(host_.parameters()));
  p->shapeFile.assign(path);
  ASSERT_EQ(std::string(p->shapeFile.c_str()), path);
  ASSERT_EQ(host_.call(module_, filterSelectorFinish), 0);
  EXPECT_EQ(recorded().back(), DescriptorItem::makeString(fourcc("sNam"), ""));

  const std::string fits = "/" + std::string(254, 'q');
  p->shapeFile.assign(fits);
  ASSERT_EQ(host_.call(module_, filterSelectorFinish), 0);
  EXPECT_EQ(recorded().back().text, fits);
}

// ---- missing suites ---------------------------------------------------------

struct MissingSuiteCase {
  const char* suite;
  int16_t selector;
};

class MissingSuiteTest : public ScriptingTest, public ::testing::WithParamInterface<MissingSuiteCase> {};

TEST_P(MissingSuiteTest, FailsWithHostInsufficientAndReleasesWhatItHeld) {
  ASSERT_EQ(host_.call(module_, filterSelectorParameters), 0);
  scripting().playBack({DescriptorItem::makeFloat(fourcc("lBrt"), 50.0)}, plugInDialogDontDisplay);
  host_.faults().absentSuites.insert(GetParam().suite);
  EXPECT_EQ(host_.call(module_, GetParam().selector), errPlugInHostInsufficient);
  EXPECT_EQ(host_.suites().outstanding(), 0);
  EXPECT_EQ(probe_.calls, 0);
  EXPECT_EQ(parameters().lightBrightness, 100.0);
  EXPECT_EQ(scripting().writersOpened(), 0);
  EXPECT_EQ(scripting().liveActionDescriptors(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Suites, MissingSuiteTest,
                         ::testing::Values(MissingSuiteCase{kPSDescriptorRegistrySuite, filterSelectorStart},
                                           MissingSuiteCase{kPSActionDescriptorSuite, filterSelectorStart},
                                           MissingSuiteCase{kPSDescriptorRegistrySuite, filterSelectorFinish},
                                           MissingSuiteCase{kPSActionDescriptorSuite, filterSelectorFinish}));

}  // namespace
}  // namespace veyra
