// One call of the entry point: the host's filter record, the data slot and
// the result, with the parameter and state records locked for the call.
#pragma once

#include <cstdint>

#include "host/FilterRecord.h"
#include "host/LightParameters.h"
#include "host/PluginState.h"

namespace veyra {

class FilterCall {
public:
  // Sets the result to 0.
  FilterCall(FilterRecord* record, intptr_t* data, int16_t* result);
  // Unlocks the state handle, then the parameter handle, if they were locked.
  ~FilterCall();
  FilterCall(const FilterCall&) = delete;
  FilterCall& operator=(const FilterCall&) = delete;

  // Creates missing handles with defaults and locks both records. On failure
  // the result is set to memFullErr and false is answered.
  bool commonSetup();

  FilterRecord* record() const { return record_; }
  HandleProcs* handleProcs() const { return record_->handleProcs; }
  SPBasicSuite* basicSuite() const { return record_->sSPBasic; }
  void* pluginRef() const { return record_->plugInRef; }
  intptr_t data() const { return *data_; }
  void setData(intptr_t value) { *data_ = value; }
  int16_t result() const { return *result_; }
  void setResult(int16_t code) { *result_ = code; }

  LightParameters* parameters() const { return parameters_; }
  PluginState* state() const { return state_; }

private:
  FilterRecord* record_;
  intptr_t* data_;
  int16_t* result_;
  LightParameters* parameters_ = nullptr;
  PluginState* state_ = nullptr;
  Handle lockedParameters_ = nullptr;
  Handle lockedState_ = nullptr;
};

}  // namespace veyra
