// Services that other parts of the application add to every host: each adds
// its suites to host.suites() and keeps its state with host.attach(...).
#include "app/FilterHost.h"
#include "app/ScriptingHost.h"

namespace veyra::app {

void installHostServices(FilterHost& host) {
  installScripting(host);
}

}  // namespace veyra::app
