#include "ui_fixture.h"

#include "app/SuiteRegistry.h"

namespace veyra::test {

ControlFixture::ControlFixture() : host_(64, 48, app::ColorMode::RGB) {
  host_.host().makeCurrent();
  host_.host().filterRecord().sSPBasic = app::SuiteRegistry::basicSuite();
  suites_ = std::make_unique<ADM::SuiteSet>(app::SuiteRegistry::basicSuite(), host_.host().pluginRef());
  dialog_ = std::make_unique<ADM::Dialog>("controls", 0, kADMModalDialogStyle);
}

ControlFixture::~ControlFixture() {
  dialog_.reset();
  suites_.reset();
}

EventCounter::EventCounter(ADM::CallbackObject& object, const char* event) : object_(object), event_(event) {
  object_.connect(event_, &EventCounter::onEvent, this);
}

EventCounter::~EventCounter() { object_.disconnect(event_, &EventCounter::onEvent, this); }

void EventCounter::onEvent(ADM::CallbackObject* sender, void* userData, void* arg) {
  auto* self = static_cast<EventCounter*>(userData);
  ++self->count_;
  self->lastArg_ = arg;
  self->lastSender_ = sender;
}

}  // namespace veyra::test
