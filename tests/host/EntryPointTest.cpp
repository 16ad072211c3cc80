// The entry point's selector protocol through the real host: the suite check,
// the common set-up of the parameter and state handles, and failures turned
// into result codes.
#include <gtest/gtest.h>

#include "app/DialogServices.h"
#include "host/LightParameters.h"
#include "host/PIChannelPortsSuite.h"
#include "host/PluginState.h"
#include "support/AppTestSupport.h"
#include "ui/FilterDialog.h"

namespace veyra {
namespace {

using app::ColorMode;
using test::HostedDocument;
using test::makeDocument;

// The parameter record the host holds, read through the handle procedures.
LightParameters storedParameters(app::FilterHost& host) {
  FilterRecord& r = host.filterRecord();
  Ptr p = r.handleProcs->lockProc(r.parameters, false);
  LightParameters copy(*reinterpret_cast<LightParameters*>(p));
  r.handleProcs->unlockProc(r.parameters);
  return copy;
}

PluginState storedState(app::FilterHost& host) {
  FilterRecord& r = host.filterRecord();
  Handle h = reinterpret_cast<Handle>(host.dataSlot());
  Ptr p = r.handleProcs->lockProc(h, false);
  PluginState copy = *reinterpret_cast<PluginState*>(p);
  r.handleProcs->unlockProc(h);
  return copy;
}

TEST(EntryPointTest, AboutRunsWithoutSuiteCheckOrHandles) {
  // A freshly loaded module whose host lacks the channel ports: about skips
  // the check (so the check still runs, and passes, on the next selector)
  // and touches no handle. The host's headless dialog manager ends the about
  // box at once (without one the module would show its own and wait).
  app::PluginModule module = test::builtModule();
  HostedDocument d(makeDocument(ColorMode::RGB, 8, 8));
  app::installDialogServices(d.host, module.resources());
  d.host.faults().absentSuites.insert(kPSChannelPortsSuite);
  d.host.about(module);
  EXPECT_EQ(d.host.calls().handleAllocations, 0);
  EXPECT_EQ(d.host.parameters(), nullptr);
  EXPECT_EQ(d.host.dataSlot(), 0);
  d.host.faults().absentSuites.clear();
  EXPECT_EQ(d.host.call(module, filterSelectorParameters), 0);
}

TEST(EntryPointTest, MissingChannelPortsFailEveryCallWhileLoaded) {
  app::PluginModule module = test::builtModule();
  HostedDocument d(makeDocument(ColorMode::RGB, 8, 8));
  d.host.faults().absentSuites.insert(kPSChannelPortsSuite);
  for (int16_t selector : {1, 2, 3, 4, 5, 1}) {
    EXPECT_EQ(d.host.call(module, selector), errPlugInHostInsufficient) << selector;
  }
  // The outcome is remembered: even with the suite back, the module stays refused.
  d.host.faults().absentSuites.clear();
  EXPECT_EQ(d.host.call(module, filterSelectorParameters), errPlugInHostInsufficient);
  EXPECT_EQ(d.host.calls().handleAllocations, 0);
  EXPECT_EQ(d.host.parameters(), nullptr);
}

TEST(EntryPointTest, MissingBufferSuiteFailsTheCheckToo) {
  app::PluginModule module = test::builtModule();
  HostedDocument d(makeDocument(ColorMode::Gray, 4, 4));
  d.host.faults().absentSuites.insert(kPSBufferSuite);
  EXPECT_EQ(d.host.call(module, filterSelectorPrepare), errPlugInHostInsufficient);
  EXPECT_EQ(d.host.calls().handleAllocations, 0);
}

class UnknownSelectorTest : public ::testing::TestWithParam<int16_t> {};

TEST_P(UnknownSelectorTest, PassesTheCheckAndDoesNothing) {
  app::PluginModule module = test::inProcessPlugin();
  HostedDocument d(makeDocument(ColorMode::RGB, 8, 8));
  EXPECT_EQ(d.host.call(module, GetParam()), 0);
  EXPECT_EQ(d.host.calls().handleAllocations, 0);
  EXPECT_EQ(d.host.parameters(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Selectors, UnknownSelectorTest, ::testing::Values(6, 7, 100, -1, -32768));

TEST(EntryPointTest, FirstCallCreatesBothHandlesWithDefaults) {
  app::PluginModule module = test::inProcessPlugin();
  HostedDocument d(makeDocument(ColorMode::RGB, 8, 8));
  ASSERT_EQ(d.host.call(module, filterSelectorParameters), 0);
  ASSERT_NE(d.host.parameters(), nullptr);
  ASSERT_NE(d.host.dataSlot(), 0);
  EXPECT_EQ(d.host.calls().handleAllocations, 2);
  EXPECT_TRUE(storedParameters(d.host) == LightParameters());
  EXPECT_EQ(storedState(d.host).viewMode, 0);
  // Later calls reuse them.
  ASSERT_EQ(d.host.call(module, filterSelectorPrepare), 0);
  EXPECT_EQ(d.host.calls().handleAllocations, 2);
}

class HandleFailureTest : public ::testing::TestWithParam<long> {};

TEST_P(HandleFailureTest, FailingAllocationGivesOutOfMemoryAndNoWork) {
  app::PluginModule module = test::inProcessPlugin();
  HostedDocument d(makeDocument(ColorMode::RGB, 8, 8));
  d.host.faults().failHandleAllocation = GetParam();
  EXPECT_EQ(d.host.call(module, filterSelectorStart), memFullErr);
  EXPECT_TRUE(d.host.calls().portCalls.empty());
  EXPECT_EQ(d.host.calls().progressCalls, 0);
}

// The first allocation is the parameter record, the second the state record.
INSTANTIATE_TEST_SUITE_P(Allocations, HandleFailureTest, ::testing::Values(1L, 2L));

int gDialogCalls = 0;
bool cancelDialog(FilterCall& call) {
  ++gDialogCalls;
  call.parameters()->lightBrightness = 1.0;  // an edit the cancel must undo
  call.parameters()->shapeFile.assign("/tmp/edited.png");
  return false;
}

TEST(EntryPointTest, CancelledDialogRestoresEveryParameter) {
  app::PluginModule module = test::inProcessPlugin();
  HostedDocument d(makeDocument(ColorMode::RGB, 8, 8));
  ASSERT_EQ(d.host.call(module, filterSelectorParameters), 0);
  const LightParameters before = storedParameters(d.host);
  gDialogCalls = 0;
  DialogOverride previous = setDialogOverrideForTesting(cancelDialog);
  const int16_t result = d.host.call(module, filterSelectorStart);
  setDialogOverrideForTesting(previous);
  EXPECT_EQ(gDialogCalls, 1);
  EXPECT_EQ(result, userCanceledErr);
  EXPECT_TRUE(storedParameters(d.host) == before);
  EXPECT_TRUE(d.host.calls().portCalls.empty()) << "a cancelled run reads and writes nothing";
}

}  // namespace
}  // namespace veyra
