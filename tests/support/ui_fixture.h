// A bare dialog for tests of single controls: the host's dialog manager
// suites acquired for the test, and an empty dialog to put items in.
#pragma once

#include <memory>

#include "adm/Dialog.h"
#include "adm/SuiteSet.h"
#include "ui_test_host.h"

namespace veyra::test {

class ControlFixture {
 public:
  ControlFixture();
  ~ControlFixture();
  UiTestHost& host() { return host_; }
  ADM::Dialog& dialog() { return *dialog_; }

 private:
  UiTestHost host_;
  std::unique_ptr<ADM::SuiteSet> suites_;
  std::unique_ptr<ADM::Dialog> dialog_;
};

// Counts the emissions of one event of an object.
class EventCounter {
 public:
  EventCounter(ADM::CallbackObject& object, const char* event);
  ~EventCounter();
  int count() const { return count_; }
  void* lastArg() const { return lastArg_; }
  ADM::CallbackObject* lastSender() const { return lastSender_; }

 private:
  static void onEvent(ADM::CallbackObject* sender, void* userData, void* arg);
  ADM::CallbackObject& object_;
  const char* event_;
  int count_ = 0;
  void* lastArg_ = nullptr;
  ADM::CallbackObject* lastSender_ = nullptr;
};

}  // namespace veyra::test
