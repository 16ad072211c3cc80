#include "host/DialogManagerFallback.h"

#include <cstring>

#include "adm/ADMSuites.h"
#include "host/OwnDialogManager.h"

namespace veyra {

DialogManagerFallback* DialogManagerFallback::sCurrent = nullptr;

namespace {

bool isDialogManagerSuite(const char* name) {
  static const char* const kNames[] = {kADMBasicSuite,      kADMDialogSuite, kADMItemSuite,  kADMNotifierSuite,
                                       kADMTrackerSuite,    kADMEntrySuite,  kADMListSuite,  kADMListEntrySuite,
                                       kADMDrawerSuite,     kADMImageSuite,  kADMIconSuite};
  if (name == nullptr) return false;
  for (const char* n : kNames)
    if (std::strcmp(n, name) == 0) return true;
  return false;
}

// The stand-in basic suite: every procedure acts through the current
// fallback, which exists whenever the stand-in is in a record.
SPErr standInAcquire(const char* name, int32 version, const void** suite) {
  return DialogManagerFallback::current()->acquire(name, version, suite);
}
SPErr standInRelease(const char* name, int32 version) {
  return DialogManagerFallback::current()->release(name, version);
}
SPBoolean standInIsEqual(const char* a, const char* b) {
  const SPBasicSuite* host = DialogManagerFallback::current()->host();
  if (host->IsEqual) return host->IsEqual(a, b);
  return a != nullptr && b != nullptr && std::strcmp(a, b) == 0;
}
SPErr standInAllocate(size_t size, void** block) {
  const SPBasicSuite* host = DialogManagerFallback::current()->host();
  return host->AllocateBlock ? host->AllocateBlock(size, block) : kSPSuiteNotFoundError;
}
SPErr standInFree(void* block) {
  const SPBasicSuite* host = DialogManagerFallback::current()->host();
  return host->FreeBlock ? host->FreeBlock(block) : kSPSuiteNotFoundError;
}
SPErr standInReallocate(void* block, size_t size, void** newBlock) {
  const SPBasicSuite* host = DialogManagerFallback::current()->host();
  return host->ReallocateBlock ? host->ReallocateBlock(block, size, newBlock) : kSPSuiteNotFoundError;
}
SPErr standInUndefined() {
  const SPBasicSuite* host = DialogManagerFallback::current()->host();
  return host->Undefined ? host->Undefined() : kSPSuiteNotFoundError;
}

SPBasicSuite gStandIn = {standInAcquire,  standInRelease,    standInIsEqual,  standInAllocate,
                         standInFree,     standInReallocate, standInUndefined};

}  // namespace

DialogManagerFallback::DialogManagerFallback(SPBasicSuite** basic, DisplayPixelsProc* displayPixels) {
  if (basic == nullptr || *basic == nullptr || sCurrent != nullptr) return;
  basic_ = basic;
  displayPixels_ = displayPixels;
  host_ = *basic;
  if (displayPixels_ != nullptr) hostDisplayPixels_ = *displayPixels_;
  sCurrent = this;
  *basic_ = &gStandIn;
}

DialogManagerFallback::~DialogManagerFallback() {
  if (sCurrent != this) return;
  *basic_ = host_;
  if (displayPixels_ != nullptr) *displayPixels_ = hostDisplayPixels_;
  sCurrent = nullptr;
}

SPErr DialogManagerFallback::acquire(const char* name, int32 version, const void** suite) {
  if (suite == nullptr) return kSPSuiteNotFoundError;
  if (!isDialogManagerSuite(name) || source_ == Source::Host) return host_->AcquireSuite(name, version, suite);
  if (source_ == Source::Undecided) {
    // The host is asked first; a host that has no dialog manager gets the
    // module's, never a mixture of the two.
    const void* hostSuite = nullptr;
    if (host_->AcquireSuite(name, version, &hostSuite) == kSPNoError && hostSuite != nullptr) {
      source_ = Source::Host;
      *suite = hostSuite;
      return kSPNoError;
    }
    source_ = own_dialog_manager::start() ? Source::Module : Source::None;
    if (source_ == Source::Module && displayPixels_ != nullptr)
      *displayPixels_ = own_dialog_manager::displayPixels();
  }
  *suite = source_ == Source::Module ? own_dialog_manager::suite(name, version) : nullptr;
  return *suite != nullptr ? kSPNoError : kSPSuiteNotFoundError;
}

SPErr DialogManagerFallback::release(const char* name, int32 version) {
  // The module's own suites are static tables: nothing to give back.
  if (source_ == Source::Module && isDialogManagerSuite(name)) return kSPNoError;
  return host_->ReleaseSuite(name, version);
}

}  // namespace veyra
