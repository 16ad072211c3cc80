// The module's one exported function: the host calls it once per step of a
// filter run. Failures inside a selector are exceptions, caught only here and
// turned into the call's result code.
#include <new>

#include "host/DialogManagerFallback.h"
#include "host/Errors.h"
#include "host/FilterCall.h"
#include "host/FilterRecord.h"
#include "host/Scripting.h"
#include "host/SuiteCheck.h"
#include "render/RenderDriver.h"
#include "ui/FilterDialog.h"

namespace veyra {
namespace {

void startSequence(FilterCall& call) {
  if (!call.commonSetup()) return;
  LightParameters* params = call.parameters();
  const LightParameters backup(*params);
  const bool played = readScriptingParameters(call);
  if (!played && !runLightDialog(call)) {
    params->assign(backup);
    call.setResult(userCanceledErr);
    return;
  }
  renderDocument(call);
}

void dispatch(int16_t selector, FilterCall& call) {
  switch (selector) {
    case filterSelectorAbout:
      showAboutBox(reinterpret_cast<const AboutRecord*>(call.record()));
      break;
    case filterSelectorParameters:
    case filterSelectorPrepare:
    case filterSelectorContinue:
      call.commonSetup();
      break;
    case filterSelectorStart:
      startSequence(call);
      break;
    case filterSelectorFinish:
      if (call.commonSetup()) writeScriptingParameters(call);
      break;
    default:
      break;
  }
}

}  // namespace
}  // namespace veyra

extern "C" __attribute__((visibility("default"))) void PluginMain(int16_t selector, void* filterRecord,
                                                                  intptr_t* data, int16_t* result) {
  using namespace veyra;
  FilterCall call(static_cast<FilterRecord*>(filterRecord), data, result);
  // Dialogs work in hosts without a dialog manager too: the module brings one.
  auto* about = static_cast<AboutRecord*>(filterRecord);
  DialogManagerFallback dialogs(filterRecord == nullptr             ? nullptr
                                : selector == filterSelectorAbout ? &about->sSPBasic
                                                                  : &call.record()->sSPBasic,
                                filterRecord == nullptr || selector == filterSelectorAbout
                                    ? nullptr
                                    : &call.record()->displayPixels);
  if (selector != filterSelectorAbout && !checkRequiredSuites(call)) return;
  try {
    dispatch(selector, call);
  } catch (const HostResultError& e) {
    call.setResult(e.code());
  } catch (const SuiteError&) {
    call.setResult(errPlugInHostInsufficient);
  } catch (const std::bad_alloc&) {
    call.setResult(memFullErr);
  } catch (...) {
    // Nothing may cross the C boundary; an unexpected failure is reported as
    // the host being unable to serve the call.
    call.setResult(errPlugInHostInsufficient);
  }
}
