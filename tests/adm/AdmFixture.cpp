#include "AdmFixture.h"

#include "resources/ResourceTable.h"

namespace veyra::test {

SuiteLog& suiteLog() {
  static SuiteLog log;
  return log;
}

namespace {

SPErr acquire(const char* name, int32 version, const void** suite) {
  *suite = nullptr;
  if (suiteLog().absent.count(name)) return kSPSuiteNotFoundError;
  *suite = dialogmanager::admSuite(name, version);
  if (!*suite) return kSPSuiteNotFoundError;
  suiteLog().events.push_back(std::string("+") + name);
  return kSPNoError;
}

SPErr release(const char* name, int32) {
  suiteLog().events.push_back(std::string("-") + name);
  return kSPNoError;
}

SPBoolean isEqual(const char* a, const char* b) { return std::string(a) == b; }
SPErr allocate(size_t, void** block) {
  *block = nullptr;
  return -108;
}
SPErr freeBlock(void*) { return kSPNoError; }
SPErr reallocate(void*, size_t, void**) { return -108; }
SPErr undefined() { return kSPNoError; }

const SPBasicSuite kRecordingBasic = {acquire, release, isEqual, allocate, freeBlock, reallocate, undefined};

}  // namespace

const SPBasicSuite* recordingBasic() { return &kRecordingBasic; }

void AdmTest::SetUp() {
  dialogmanager::useHeadless();
  dialogmanager::resetDriver();
  dialogmanager::setResourceResolver([](SPPluginRef) { return PIResourceTable; });
  suiteLog() = SuiteLog{};
  suites_ = std::make_unique<ADM::SuiteSet>(recordingBasic(), nullptr);
}

void AdmTest::TearDown() {
  suites_.reset();
  dialogmanager::resetDriver();
  EXPECT_TRUE(dialogmanager::liveDialogs().empty()) << "a test left a host dialog behind";
}

std::unique_ptr<ADM::Dialog> AdmTest::makeDialog(const char* name) {
  auto dialog = std::make_unique<ADM::Dialog>(name, 100, kADMModalDialogStyle);
  dialog->sizeTo(300, 200);
  return dialog;
}

}  // namespace veyra::test
