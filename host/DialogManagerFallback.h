// The dialog manager for hosts that have none. While a DialogManagerFallback
// exists, the record's basic suite is a stand-in that passes every request
// on to the host's; the first dialog manager suite asked for decides where
// all of them come from for the rest of the call: the host's when it has
// them, else the module's own (when it can show windows). With the module's
// own, the record's pixel display service is the module's too, since only
// it can draw into the module's windows. The record is as the host made it
// again when the object goes.
#pragma once

#include "host/FilterRecord.h"

namespace veyra {

class DialogManagerFallback {
 public:
  enum class Source { Undecided, Host, Module, None };

  // basic: the record's basic suite field; displayPixels: its pixel display
  // field (null for the about record, which has none). Does nothing when the
  // host gave no basic suite or another fallback exists.
  DialogManagerFallback(SPBasicSuite** basic, DisplayPixelsProc* displayPixels);
  ~DialogManagerFallback();
  DialogManagerFallback(const DialogManagerFallback&) = delete;
  DialogManagerFallback& operator=(const DialogManagerFallback&) = delete;

  Source source() const { return source_; }

  // The stand-in's acquire and release.
  SPErr acquire(const char* name, int32 version, const void** suite);
  SPErr release(const char* name, int32 version);
  SPBasicSuite* host() const { return host_; }

  // The fallback of the call in progress, or null.
  static DialogManagerFallback* current() { return sCurrent; }

 private:
  static DialogManagerFallback* sCurrent;
  SPBasicSuite** basic_ = nullptr;
  DisplayPixelsProc* displayPixels_ = nullptr;
  SPBasicSuite* host_ = nullptr;
  DisplayPixelsProc hostDisplayPixels_ = nullptr;
  Source source_ = Source::Undecided;
};

}  // namespace veyra
