// Toolkit tests run against the host's real dialog manager (headless), with
// the suites handed out by a basic suite that records every acquisition.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "adm/ADM.h"
#include "dialogmanager/DialogManager.h"
#include "dialogmanager/AdmModel.h"

namespace veyra::test {

// What the recording basic suite saw: "+name" for an acquisition, "-name"
// for a release, in order. Suites named in absent are refused.
struct SuiteLog {
  std::vector<std::string> events;
  std::set<std::string> absent;
};
SuiteLog& suiteLog();
const SPBasicSuite* recordingBasic();

// Collects events: each connection's user data is the label recorded.
class EventLog : public ADM::CallbackObject {
 public:
  void on(ADM::CallbackObject* sender, void* userData, void* arg) {
    entries.push_back(static_cast<const char*>(userData));
    senders.push_back(sender);
    args.push_back(arg);
  }
  // Connects the event of the source, recorded under the label.
  void listen(ADM::CallbackObject& source, const char* event, const char* label) {
    source.connect(event, this, &EventLog::on, const_cast<char*>(label));
  }
  std::vector<std::string> entries;
  std::vector<ADM::CallbackObject*> senders;
  std::vector<void*> args;
};

class AdmTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A fresh dialog owned by the test.
  std::unique_ptr<ADM::Dialog> makeDialog(const char* name = "test");
  std::unique_ptr<ADM::SuiteSet> suites_;
};

}  // namespace veyra::test
