#include "host/SuiteCheck.h"

#include "host/PIBufferSuite.h"
#include "host/PIChannelPortsSuite.h"

namespace veyra {

namespace {
// Module-level state: the check runs at most once per load.
bool gSuiteCheckPending = true;
bool gSuitesAvailable = false;

bool runCheck(const SPBasicSuite* basic) {
  if (basic == nullptr) return false;
  const void* ports = nullptr;
  if (basic->AcquireSuite(kPSChannelPortsSuite, kPSChannelPortsSuiteVersion2, &ports) != kSPNoError) return false;
  const void* buffers = nullptr;
  if (basic->AcquireSuite(kPSBufferSuite, kPSBufferSuiteVersion1, &buffers) != kSPNoError) {
    basic->ReleaseSuite(kPSChannelPortsSuite, kPSChannelPortsSuiteVersion2);
    return false;
  }
  basic->ReleaseSuite(kPSBufferSuite, kPSBufferSuiteVersion1);
  basic->ReleaseSuite(kPSChannelPortsSuite, kPSChannelPortsSuiteVersion2);
  return true;
}
}  // namespace

bool checkRequiredSuites(FilterCall& call) {
  if (gSuiteCheckPending) {
    gSuiteCheckPending = false;
    gSuitesAvailable = runCheck(call.basicSuite());
  }
  if (!gSuitesAvailable) call.setResult(errPlugInHostInsufficient);
  return gSuitesAvailable;
}

}  // namespace veyra
