#include "render_test_host.h"

#include "app/Document.h"
#include "app/FilterHost.h"
#include "app/SuiteRegistry.h"

namespace veyra::test {

struct RenderTestHost::State {
  app::Document image{1, 1, app::ColorMode::Gray};
  app::FilterHost host{image};
  std::unique_ptr<HostDocument> document;
};

RenderTestHost::RenderTestHost() : state_(std::make_unique<State>()) {
  // The host fills the filter record when it calls the plug-in; these tests
  // call the engine directly and need only the suite broker from it.
  state_->host.filterRecord().sSPBasic = app::SuiteRegistry::basicSuite();
  state_->document = std::make_unique<HostDocument>(&state_->host.filterRecord());
}

RenderTestHost::~RenderTestHost() = default;

HostDocument& RenderTestHost::document() { return *state_->document; }

void RenderTestHost::setMemoryLimit(size_t bytes) { state_->host.memory().setLimit(bytes); }

size_t RenderTestHost::liveBuffers() const { return state_->host.memory().bufferCount(); }

}  // namespace veyra::test
