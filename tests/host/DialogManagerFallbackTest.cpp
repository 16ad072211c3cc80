// Where the module's dialog manager suites come from during a call: the
// host's when it has them (all of them, never a mixture with the module's),
// else the module's own, or none when the module cannot show windows; and the
// record is as the host made it once the call is over.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "adm/ADMSuites.h"
#include "host/DialogManagerFallback.h"

namespace veyra {
namespace {

constexpr const char* kOtherSuite = "Other Host Suite";

// A host that has the suites in gHostSuites, each answered with gHostTable.
std::set<std::string> gHostSuites;
const int gHostTable = 0;
int gHostReleases = 0;

SPErr hostAcquire(const char* name, int32, const void** suite) {
  *suite = gHostSuites.count(name) != 0 ? &gHostTable : nullptr;
  return *suite != nullptr ? kSPNoError : kSPSuiteNotFoundError;
}
SPErr hostRelease(const char*, int32) {
  ++gHostReleases;
  return kSPNoError;
}
SPBasicSuite gHostBasic = {hostAcquire, hostRelease, nullptr, nullptr, nullptr, nullptr, nullptr};

OSErr hostDisplay(const PSPixelMap*, const VRect*, int32, int32, void*) { return noErr; }

const void* acquired(SPBasicSuite* basic, const char* name, int32 version) {
  const void* suite = nullptr;
  return basic->AcquireSuite(name, version, &suite) == kSPNoError ? suite : nullptr;
}

struct FallbackCase {
  const char* label;
  std::set<std::string> hostSuites;
  DialogManagerFallback::Source source;
};

class DialogManagerFallbackTest : public ::testing::TestWithParam<FallbackCase> {};

TEST_P(DialogManagerFallbackTest, DecidesOnceAndRestoresTheRecord) {
  const FallbackCase& c = GetParam();
  // Without a display the module cannot bring its own dialog manager; with
  // one (under xvfb-run), a host that has some of the suites keeps the
  // module from opening it for the rest.
  const bool hideDisplay = c.source == DialogManagerFallback::Source::None;
  const char* display = std::getenv("DISPLAY");
  const std::string savedDisplay = display != nullptr ? display : "";
  if (hideDisplay) unsetenv("DISPLAY");
  gHostSuites = c.hostSuites;
  gHostReleases = 0;
  SPBasicSuite* basic = &gHostBasic;
  DisplayPixelsProc displayPixels = &hostDisplay;
  {
    DialogManagerFallback fallback(&basic, &displayPixels);
    ASSERT_NE(basic, &gHostBasic);
    // A nested call leaves the first call's stand-in alone.
    SPBasicSuite* nestedBasic = &gHostBasic;
    DialogManagerFallback nested(&nestedBasic, nullptr);
    EXPECT_EQ(nestedBasic, &gHostBasic);

    EXPECT_EQ(acquired(basic, kOtherSuite, 1), &gHostTable);
    EXPECT_EQ(fallback.source(), DialogManagerFallback::Source::Undecided);
    const void* dialog = acquired(basic, kADMDialogSuite, kADMDialogSuiteVersion5);
    EXPECT_EQ(fallback.source(), c.source);
    EXPECT_EQ(dialog != nullptr, c.source == DialogManagerFallback::Source::Host);
    // The icon suite the host lacks is not taken from the module instead.
    EXPECT_EQ(acquired(basic, kADMIconSuite, kADMIconSuiteVersion2), nullptr);
    EXPECT_EQ(fallback.source(), c.source);
    EXPECT_EQ(displayPixels, &hostDisplay);
    EXPECT_EQ(basic->ReleaseSuite(kOtherSuite, 1), kSPNoError);
    EXPECT_EQ(gHostReleases, 1);
  }
  EXPECT_EQ(basic, &gHostBasic);
  EXPECT_EQ(displayPixels, &hostDisplay);
  if (hideDisplay && display != nullptr) setenv("DISPLAY", savedDisplay.c_str(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, DialogManagerFallbackTest,
    ::testing::Values(
        FallbackCase{"HostsOwn", {kOtherSuite, kADMDialogSuite}, DialogManagerFallback::Source::Host},
        FallbackCase{"NoneWithoutADisplay", {kOtherSuite}, DialogManagerFallback::Source::None}),
    [](const ::testing::TestParamInfo<FallbackCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace veyra
