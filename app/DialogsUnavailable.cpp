// The dialog extension of a veyra built without the GUI toolkit: runs
// without a dialog work as everywhere, edit and about say why they cannot.
#include "app/DialogServices.h"

namespace veyra::app {

namespace {

const char* const kNoDialogs = "cannot show the dialog: this build of veyra has no dialog manager";

class NoDialogExtension : public RunExtension {
 public:
  void beforeRun(FilterHost&, const PluginModule&, const RunOptions& options) override {
    if (options.editing) throw CommandError(kExitUsage, kNoDialogs);
  }
  void beforeAbout(FilterHost&, const PluginModule&) override { throw CommandError(kExitUsage, kNoDialogs); }
};

}  // namespace

void installDialogServices(FilterHost&, const PIResourceEntry*) {}

std::unique_ptr<RunExtension> makeDialogExtension() { return std::make_unique<NoDialogExtension>(); }

}  // namespace veyra::app
