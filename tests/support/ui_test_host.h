// An in-process host for tests of the plug-in's dialogs: the real host
// application's filter host and headless dialog manager, calling the plug-in
// linked into the test, so that a test can both drive the dialog through the
// dialog manager and look at the dialog objects behind it.
#pragma once

#include <functional>
#include <memory>

#include "adm/ADMSuites.h"
#include "app/Document.h"
#include "app/FilterHost.h"
#include "host/LightParameters.h"
#include "host/PluginState.h"

namespace veyra {
class LightDialog;
}

namespace veyra::test {

class UiTestHost {
 public:
  // A document of the size and mode, every pixel a diagonal ramp. A forced
  // image mode other than 0 replaces the filter record's image mode on every
  // call (modes the host cannot hold a document in, such as Lab).
  UiTestHost(int width, int height, app::ColorMode mode, int32_t forcedImageMode = 0);
  ~UiTestHost();
  UiTestHost(const UiTestHost&) = delete;
  UiTestHost& operator=(const UiTestHost&) = delete;

  app::Document& image();
  app::FilterHost& host();

  // One filter run (parameters, prepare, start, finish); the driver operates
  // the light dialog while it runs modally. A driver that does not end the
  // dialog leaves it to be cancelled.
  using Driver = std::function<void(LightDialog& dialog, ADMDialogRef ref)>;
  app::FilterHost::RunResult run(const Driver& driver);
  // The about selector, with a driver for the box.
  int16_t about(const std::function<void(ADMDialogRef ref)>& driver);

  // The host's parameter record and plug-in state (created on first use).
  LightParameters parameters();
  void setParameters(const LightParameters& params);
  PluginState state();
  void setState(const PluginState& state);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The light dialog behind a dialog handle (null for another dialog).
LightDialog* lightDialogOf(ADMDialogRef ref);

}  // namespace veyra::test
