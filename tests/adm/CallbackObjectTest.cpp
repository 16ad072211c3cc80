// Named events: matching by pointer identity, connection order, removal of
// the first match, and emission that survives handlers changing the list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adm/CallbackObject.h"

namespace {

using ADM::CallbackObject;

std::vector<std::string> gCalls;

void plainHandler(CallbackObject*, void* userData, void*) {
  gCalls.push_back(std::string("plain:") + static_cast<const char*>(userData));
}

class Target : public CallbackObject {
 public:
  explicit Target(std::string name) : name_(std::move(name)) {}
  void onEvent(CallbackObject* sender, void* userData, void* arg) {
    lastSender = sender;
    lastArg = arg;
    gCalls.push_back(name_ + (userData ? std::string(":") + static_cast<const char*>(userData) : ""));
  }
  void onOther(CallbackObject*, void*, void*) { gCalls.push_back(name_ + ":other"); }
  CallbackObject* lastSender = nullptr;
  void* lastArg = nullptr;

 private:
  std::string name_;
};

class CallbackObjectTest : public ::testing::Test {
 protected:
  void SetUp() override { gCalls.clear(); }
  CallbackObject source;
};

TEST_F(CallbackObjectTest, EmitCallsConnectionsInOrderWithSenderAndArgument) {
  Target a("a"), b("b");
  source.connect(ADM::kChangedEvent, &b, &Target::onEvent);
  source.connect(ADM::kChangedEvent, &plainHandler, const_cast<char*>("p"));
  source.connect(ADM::kChangedEvent, &a, &Target::onEvent);
  source.connect(ADM::kSelectEvent, &a, &Target::onOther);
  int payload = 7;
  source.emit(ADM::kChangedEvent, &source, &payload);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"b", "plain:p", "a"}));
  EXPECT_EQ(a.lastSender, &source);
  EXPECT_EQ(a.lastArg, &payload);
}

TEST_F(CallbackObjectTest, EventsMatchByPointerNotByText) {
  Target a("a");
  static const char otherChanged[] = "changed";  // same text, another pointer
  source.connect(otherChanged, &a, &Target::onEvent);
  source.emit(ADM::kChangedEvent, &source, nullptr);
  EXPECT_TRUE(gCalls.empty());
  source.emit(otherChanged, &source, nullptr);
  EXPECT_EQ(gCalls.size(), 1u);
}

TEST_F(CallbackObjectTest, DisconnectRemovesOnlyTheFirstFullMatch) {
  Target a("a"), b("b");
  source.connect(ADM::kChangedEvent, &a, &Target::onEvent, const_cast<char*>("1"));
  source.connect(ADM::kChangedEvent, &a, &Target::onEvent, const_cast<char*>("1"));
  source.connect(ADM::kChangedEvent, &b, &Target::onEvent, const_cast<char*>("1"));
  // A different user data, handler, target or event does not match.
  EXPECT_FALSE(source.disconnect(ADM::kChangedEvent, &a, &Target::onEvent, const_cast<char*>("2")));
  EXPECT_FALSE(source.disconnect(ADM::kChangedEvent, &a, &Target::onOther, const_cast<char*>("1")));
  EXPECT_FALSE(source.disconnect(ADM::kSelectEvent, &a, &Target::onEvent, const_cast<char*>("1")));
  EXPECT_TRUE(source.disconnect(ADM::kChangedEvent, &a, &Target::onEvent, const_cast<char*>("1")));
  EXPECT_EQ(source.connectionCount(), 2u);
  source.emit(ADM::kChangedEvent, &source, nullptr);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"a:1", "b:1"}));
  EXPECT_FALSE(source.disconnect(ADM::kChangedEvent, &plainHandler));
}

TEST_F(CallbackObjectTest, PlainFunctionsDisconnectByFunctionAndUserData) {
  source.connect(ADM::kTrackEvent, &plainHandler, const_cast<char*>("x"));
  source.connect(ADM::kTrackEvent, &plainHandler, const_cast<char*>("y"));
  char* y = const_cast<char*>("y");
  EXPECT_TRUE(source.disconnect(ADM::kTrackEvent, &plainHandler, y));
  source.emit(ADM::kTrackEvent, &source, nullptr);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"plain:x"}));
}

// A handler that emits, disconnects and connects while being emitted.
class Reentrant : public CallbackObject {
 public:
  explicit Reentrant(CallbackObject& source) : source_(source) {}
  void first(CallbackObject*, void*, void*) {
    gCalls.push_back("first");
    source_.emit(ADM::kTrackEvent, &source_, nullptr);  // nested emission
    source_.disconnect(ADM::kChangedEvent, this, &Reentrant::third);
    source_.connect(ADM::kChangedEvent, this, &Reentrant::late);
  }
  void second(CallbackObject*, void*, void*) { gCalls.push_back("second"); }
  void third(CallbackObject*, void*, void*) { gCalls.push_back("third"); }
  void late(CallbackObject*, void*, void*) { gCalls.push_back("late"); }
  void nested(CallbackObject*, void*, void*) { gCalls.push_back("nested"); }

 private:
  CallbackObject& source_;
};

TEST_F(CallbackObjectTest, HandlersMayEmitConnectAndDisconnectDuringEmission) {
  Reentrant r(source);
  source.connect(ADM::kChangedEvent, &r, &Reentrant::first);
  source.connect(ADM::kChangedEvent, &r, &Reentrant::second);
  source.connect(ADM::kChangedEvent, &r, &Reentrant::third);
  source.connect(ADM::kTrackEvent, &r, &Reentrant::nested);
  source.emit(ADM::kChangedEvent, &source, nullptr);
  // The removed connection is not called; the added one waits for the next emission.
  EXPECT_EQ(gCalls, (std::vector<std::string>{"first", "nested", "second"}));
  gCalls.clear();
  source.disconnect(ADM::kChangedEvent, &r, &Reentrant::first);
  source.emit(ADM::kChangedEvent, &source, nullptr);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"second", "late"}));
}

}  // namespace
