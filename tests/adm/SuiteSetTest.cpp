// The suite set: the ten suites acquired in order for the life of a dialog
// and released in the same order, and single-use acquisitions.
#include "AdmFixture.h"

namespace veyra::test {
namespace {

const std::vector<std::string> kOrder = {
    "ADM Basic Suite",    "ADM Dialog Suite", "ADM Item Suite",       "ADM Notifier Suite",
    "ADM Tracker Suite",  "ADM Entry Suite",  "ADM List Suite",       "ADM List Entry Suite",
    "ADM Drawer Suite",   "ADM Image Suite"};

class SuiteSetTest : public ::testing::Test {
 protected:
  void SetUp() override { suiteLog() = SuiteLog{}; }
};

TEST_F(SuiteSetTest, AcquiresTenSuitesInOrderAndReleasesThemInTheSameOrder) {
  SPPluginRef plugin = reinterpret_cast<SPPluginRef>(&suiteLog());
  {
    ADM::SuiteSet set(recordingBasic(), plugin);
    EXPECT_EQ(ADM::SuiteSet::current(), &set);
    EXPECT_EQ(set.plugin(), plugin);
    EXPECT_EQ(ADM::sSPBasic, recordingBasic());
    EXPECT_NE(ADM::sBasic, nullptr);
    EXPECT_NE(ADM::sImage, nullptr);
    std::vector<std::string> expected;
    for (const auto& n : kOrder) expected.push_back("+" + n);
    EXPECT_EQ(suiteLog().events, expected);
  }
  std::vector<std::string> expected;
  for (const auto& n : kOrder) expected.push_back("+" + n);
  for (const auto& n : kOrder) expected.push_back("-" + n);
  EXPECT_EQ(suiteLog().events, expected);
  EXPECT_EQ(ADM::SuiteSet::current(), nullptr);
  EXPECT_EQ(ADM::sBasic, nullptr);
  EXPECT_EQ(ADM::sDialog, nullptr);
  EXPECT_EQ(ADM::sDrawer, nullptr);
  EXPECT_EQ(ADM::sSPBasic, nullptr);
}

TEST_F(SuiteSetTest, AMissingSuiteLeavesItsSlotEmptyAndIsNotReleased) {
  suiteLog().absent = {"ADM Tracker Suite"};
  {
    ADM::SuiteSet set(recordingBasic(), nullptr);
    EXPECT_EQ(ADM::sTracker, nullptr);
    EXPECT_NE(ADM::sEntry, nullptr);  // the later ones are still acquired
  }
  int releases = 0;
  for (const auto& e : suiteLog().events) {
    EXPECT_NE(e, "-ADM Tracker Suite");
    releases += e[0] == '-';
  }
  EXPECT_EQ(releases, 9);
}

TEST_F(SuiteSetTest, SingleUseAcquisitionAnswersTheHostsError) {
  ADM::SuiteSet set(recordingBasic(), nullptr);
  suiteLog().events.clear();
  const void* suite = reinterpret_cast<const void*>(1);
  EXPECT_EQ(set.acquire("No Such Suite", 1, &suite), kSPSuiteNotFoundError);
  EXPECT_EQ(suite, nullptr);
  EXPECT_EQ(set.acquire(kADMIconSuite, kADMIconSuiteVersion2, &suite), kSPNoError);
  EXPECT_NE(suite, nullptr);
  set.release(kADMIconSuite, kADMIconSuiteVersion2);
  {
    ADM::IconSuiteScope scope;
    EXPECT_NE(scope.suite(), nullptr);
  }
  EXPECT_EQ(suiteLog().events,
            (std::vector<std::string>{"+ADM Icon Suite", "-ADM Icon Suite", "+ADM Icon Suite",
                                      "-ADM Icon Suite"}));
}

}  // namespace
}  // namespace veyra::test
