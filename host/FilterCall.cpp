#include "host/FilterCall.h"

#include <new>

namespace veyra {

FilterCall::FilterCall(FilterRecord* record, intptr_t* data, int16_t* result)
    : record_(record), data_(data), result_(result) {
  *result_ = noErr;
}

FilterCall::~FilterCall() {
  // Only a call that locked something touches the handle procedures (the
  // about selector's record is not a filter record at all).
  if (lockedState_ == nullptr && lockedParameters_ == nullptr) return;
  HandleProcs* procs = record_->handleProcs;
  if (lockedState_ != nullptr) procs->unlockProc(lockedState_);
  if (lockedParameters_ != nullptr) procs->unlockProc(lockedParameters_);
}

namespace {

// Makes a new handle holding a default-constructed T; nullptr when the host
// cannot allocate or lock it.
template <typename T>
Handle makeRecordHandle(HandleProcs* procs) {
  Handle h = procs->newProc(static_cast<int32_t>(sizeof(T)));
  if (h == nullptr) return nullptr;
  Ptr p = procs->lockProc(h, true);
  if (p == nullptr) {
    procs->disposeProc(h);
    return nullptr;
  }
  new (p) T();
  procs->unlockProc(h);
  return h;
}

}  // namespace

bool FilterCall::commonSetup() {
  HandleProcs* procs = record_->handleProcs;
  if (procs == nullptr) {
    setResult(memFullErr);
    return false;
  }
  if (record_->parameters == nullptr) {
    Handle h = makeRecordHandle<LightParameters>(procs);
    if (h == nullptr) {
      setResult(memFullErr);
      return false;
    }
    record_->parameters = h;
  }
  if (*data_ == 0) {
    Handle h = makeRecordHandle<PluginState>(procs);
    if (h == nullptr) {
      setResult(memFullErr);
      return false;
    }
    *data_ = reinterpret_cast<intptr_t>(h);
  }
  Ptr params = procs->lockProc(record_->parameters, true);
  if (params != nullptr) lockedParameters_ = record_->parameters;
  Handle stateHandle = reinterpret_cast<Handle>(*data_);
  Ptr state = procs->lockProc(stateHandle, true);
  if (state != nullptr) lockedState_ = stateHandle;
  if (params == nullptr || state == nullptr) {
    setResult(memFullErr);
    return false;
  }
  parameters_ = reinterpret_cast<LightParameters*>(params);
  state_ = reinterpret_cast<PluginState*>(state);
  return true;
}

}  // namespace veyra
