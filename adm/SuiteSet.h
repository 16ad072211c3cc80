// The dialog manager suites acquired for the life of one dialog, reachable
// from anywhere in the toolkit through process-wide slots.
#pragma once

#include "adm/ADMSuites.h"

namespace ADM {

// The ten suites, filled while a SuiteSet exists (a suite the host does not
// provide leaves its slot null).
extern const ADMBasicSuite5* sBasic;
extern const ADMDialogSuite5* sDialog;
extern const ADMItemSuite5* sItem;
extern const ADMNotifierSuite2* sNotifier;
extern const ADMTrackerSuite1* sTracker;
extern const ADMEntrySuite4* sEntry;
extern const ADMListSuite2* sList;
extern const ADMListEntrySuite2* sListEntry;
extern const ADMDrawerSuite3* sDrawer;
extern const ADMImageSuite1* sImage;
// The host's basic suite access of the current suite set.
extern const SPBasicSuite* sSPBasic;

// Acquires the ten dialog manager suites on construction and releases them,
// in the same order, on destruction. One exists at a time.
class SuiteSet {
 public:
  // Stores the access and the plug-in reference, becomes the current suite
  // set and acquires the ten suites in order.
  SuiteSet(const SPBasicSuite* basic, SPPluginRef plugin);
  // Releases the ten suites in acquisition order and clears every slot.
  ~SuiteSet();
  SuiteSet(const SuiteSet&) = delete;
  SuiteSet& operator=(const SuiteSet&) = delete;

  // The current suite set, or null.
  static SuiteSet* current() { return sCurrent; }
  // The plug-in reference given by the host.
  SPPluginRef plugin() const { return plugin_; }
  const SPBasicSuite* basic() const { return basic_; }

  // Single-use acquisition through the same access: the host's error (0 on
  // success) and the suite in *suite (null on failure).
  SPErr acquire(const char* name, int32 version, const void** suite) const;
  // Releases a single-use suite.
  void release(const char* name, int32 version) const;

 private:
  static SuiteSet* sCurrent;
  const SPBasicSuite* basic_;
  SPPluginRef plugin_;
};

// The single-use icon suite for the scope of one object: acquired on
// construction through the current suite set (the result is used without a
// test: suite() may be null), released on destruction.
class IconSuiteScope {
 public:
  IconSuiteScope();
  ~IconSuiteScope();
  IconSuiteScope(const IconSuiteScope&) = delete;
  IconSuiteScope& operator=(const IconSuiteScope&) = delete;
  const ADMIconSuite2* suite() const { return suite_; }

 private:
  const ADMIconSuite2* suite_ = nullptr;
};

}  // namespace ADM
