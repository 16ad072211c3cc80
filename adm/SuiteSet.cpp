#include "adm/SuiteSet.h"

namespace ADM {

const ADMBasicSuite5* sBasic = nullptr;
const ADMDialogSuite5* sDialog = nullptr;
const ADMItemSuite5* sItem = nullptr;
const ADMNotifierSuite2* sNotifier = nullptr;
const ADMTrackerSuite1* sTracker = nullptr;
const ADMEntrySuite4* sEntry = nullptr;
const ADMListSuite2* sList = nullptr;
const ADMListEntrySuite2* sListEntry = nullptr;
const ADMDrawerSuite3* sDrawer = nullptr;
const ADMImageSuite1* sImage = nullptr;
const SPBasicSuite* sSPBasic = nullptr;

SuiteSet* SuiteSet::sCurrent = nullptr;

namespace {

// The ten suites in the order of acquisition and release.
struct SuiteSlot {
  const char* name;
  int32 version;
  const void** slot;
};

const SuiteSlot* suiteSlots() {
  static const SuiteSlot slots[] = {
      {kADMBasicSuite, kADMBasicSuiteVersion5, reinterpret_cast<const void**>(&sBasic)},
      {kADMDialogSuite, kADMDialogSuiteVersion5, reinterpret_cast<const void**>(&sDialog)},
      {kADMItemSuite, kADMItemSuiteVersion5, reinterpret_cast<const void**>(&sItem)},
      {kADMNotifierSuite, kADMNotifierSuiteVersion2, reinterpret_cast<const void**>(&sNotifier)},
      {kADMTrackerSuite, kADMTrackerSuiteVersion1, reinterpret_cast<const void**>(&sTracker)},
      {kADMEntrySuite, kADMEntrySuiteVersion4, reinterpret_cast<const void**>(&sEntry)},
      {kADMListSuite, kADMListSuiteVersion2, reinterpret_cast<const void**>(&sList)},
      {kADMListEntrySuite, kADMListEntrySuiteVersion2,
       reinterpret_cast<const void**>(&sListEntry)},
      {kADMDrawerSuite, kADMDrawerSuiteVersion3, reinterpret_cast<const void**>(&sDrawer)},
      {kADMImageSuite, kADMImageSuiteVersion1, reinterpret_cast<const void**>(&sImage)},
  };
  return slots;
}
constexpr int kSuiteCount = 10;

}  // namespace

SuiteSet::SuiteSet(const SPBasicSuite* basic, SPPluginRef plugin) : basic_(basic), plugin_(plugin) {
  sCurrent = this;
  sSPBasic = basic;
  const SuiteSlot* slots = suiteSlots();
  for (int i = 0; i < kSuiteCount; ++i) {
    // A suite the host does not provide leaves its slot empty.
    const void* suite = nullptr;
    if (basic && basic->AcquireSuite(slots[i].name, slots[i].version, &suite) != kSPNoError)
      suite = nullptr;
    *slots[i].slot = suite;
  }
}

SuiteSet::~SuiteSet() {
  const SuiteSlot* slots = suiteSlots();
  for (int i = 0; i < kSuiteCount; ++i) {
    // Only what was acquired is released.
    if (basic_ && *slots[i].slot) basic_->ReleaseSuite(slots[i].name, slots[i].version);
    *slots[i].slot = nullptr;
  }
  sSPBasic = nullptr;
  if (sCurrent == this) sCurrent = nullptr;
}

SPErr SuiteSet::acquire(const char* name, int32 version, const void** suite) const {
  *suite = nullptr;
  if (!basic_) return kSPSuiteNotFoundError;
  SPErr err = basic_->AcquireSuite(name, version, suite);
  if (err != kSPNoError) *suite = nullptr;
  else if (!*suite) err = kSPSuiteNotFoundError;
  return err;
}

void SuiteSet::release(const char* name, int32 version) const {
  if (basic_) basic_->ReleaseSuite(name, version);
}

IconSuiteScope::IconSuiteScope() {
  SuiteSet* set = SuiteSet::current();
  const void* suite = nullptr;
  if (set && set->acquire(kADMIconSuite, kADMIconSuiteVersion2, &suite) == kSPNoError)
    suite_ = static_cast<const ADMIconSuite2*>(suite);
}

IconSuiteScope::~IconSuiteScope() {
  SuiteSet* set = SuiteSet::current();
  if (set && suite_) set->release(kADMIconSuite, kADMIconSuiteVersion2);
}

}  // namespace ADM
