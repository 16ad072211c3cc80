#include "gimp/FilterProcedure.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "app/DialogServices.h"
#include "app/FilterHost.h"
#include "app/ScriptingHost.h"
#include "gimp/ArgumentDescriptor.h"
#include "gimp/DrawableDocument.h"
#include "gimp/ModuleLocation.h"

#ifndef VEYRA_GIMP_MODULE_PATH
#define VEYRA_GIMP_MODULE_PATH ""
#endif

namespace veyra::gimp {

namespace {

// The descriptor the last run recorded, kept by GIMP for the session.
std::optional<app::Descriptor> lastValues() {
  const gint size = gimp_get_data_size(kProcedureName);
  if (size <= 0) return std::nullopt;
  std::vector<char> bytes(static_cast<size_t>(size));
  if (!gimp_get_data(kProcedureName, bytes.data())) return std::nullopt;
  return app::decodeDescriptor(bytes.data(), bytes.size());
}

void keepLastValues(const app::Descriptor& d) {
  const std::vector<char> bytes = app::encodeDescriptor(d);
  gimp_set_data(kProcedureName, bytes.data(), static_cast<guint32>(bytes.size()));
}

std::vector<ArgumentValue> argumentValues(int nparams, const GimpParam* params) {
  std::vector<ArgumentValue> values;
  for (int i = 3; i < nparams; ++i) {
    ArgumentValue v;
    switch (params[i].type) {
      case GIMP_PDB_INT32:
        v.type = ArgType::Int32;
        v.integer = params[i].data.d_int32;
        break;
      case GIMP_PDB_FLOAT:
        v.type = ArgType::Float;
        v.number = params[i].data.d_float;
        break;
      case GIMP_PDB_STRING:
        v.type = ArgType::String;
        if (params[i].data.d_string != nullptr) v.text = params[i].data.d_string;
        break;
      default:
        throw ArgumentError("argument " + std::to_string(i + 1) + " has a type this procedure does not take");
    }
    values.push_back(std::move(v));
  }
  return values;
}

ProcedureOutcome fail(GimpPDBStatusType status, const std::string& message) { return {status, message}; }

}  // namespace

const char* installedModulePath() { return VEYRA_GIMP_MODULE_PATH; }

ProcedureOutcome runFilterProcedure(int nparams, const GimpParam* params) {
  if (nparams < 3) return fail(GIMP_PDB_CALLING_ERROR, "run-mode, image and drawable are required");
  const auto runMode = static_cast<GimpRunMode>(params[0].data.d_int32);
  const gint32 drawable = params[2].data.d_drawable;

  const app::PluginModule module =
      app::PluginModule::load(locateModuleFor(app::executableFolder(), installedModulePath()));
  const app::ModuleScripting scripting = app::ModuleScripting::fromResources(module.resources());
  const ProcedureSignature signature = procedureSignature(scripting);

  // What the filter plays back: the arguments, the last run's record, or
  // (interactive) the last record shown in the dialog.
  std::optional<app::Descriptor> playback;
  int16 playInfo = plugInDialogDontDisplay;
  switch (runMode) {
    case GIMP_RUN_NONINTERACTIVE:
      try {
        playback = descriptorFromArguments(scripting, signature, argumentValues(nparams, params));
      } catch (const ArgumentError& e) {
        return fail(GIMP_PDB_CALLING_ERROR, e.what());
      }
      break;
    case GIMP_RUN_WITH_LAST_VALS: playback = lastValues().value_or(app::Descriptor{}); break;
    case GIMP_RUN_INTERACTIVE:
      playback = lastValues();
      playInfo = plugInDialogDisplay;
      break;
  }

  if (!gimp_item_is_drawable(drawable)) return fail(GIMP_PDB_CALLING_ERROR, "argument 3 is not a drawable");
  const std::optional<VRect> area = filterArea(drawable);
  if (!area) return {};  // the selection misses the drawable: nothing to do

  app::Document doc = readDrawable(drawable);
  try {
    app::checkDocumentSupported(scripting.properties, static_cast<int>(doc.mode()), 8);
  } catch (const app::PropertyListError& e) {
    return fail(GIMP_PDB_EXECUTION_ERROR, e.what());
  }
  std::optional<app::Document> original;
  if (!drawableIsEightBit(drawable)) original = doc;

  app::FilterHost host(doc);
  host.setFilterRect(*area);
  if (runMode == GIMP_RUN_INTERACTIVE) {
    std::string error;
    if (!app::openDialogDisplay(&error)) return fail(GIMP_PDB_EXECUTION_ERROR, "cannot show the dialog: " + error);
    app::installDialogServices(host, module.resources());
  }
  app::ScriptingHost* scriptingHost = host.service<app::ScriptingHost>();
  if (scriptingHost == nullptr) return fail(GIMP_PDB_EXECUTION_ERROR, "the host offers no scripting");
  if (playback)
    scriptingHost->playBack(*playback, playInfo);
  else
    scriptingHost->clearPlayback();

  gimp_progress_init(scripting.properties.displayName().c_str());
  int lastPercent = -1;
  host.setProgressReporter([&lastPercent](int32 done, int32 total) {
    if (total <= 0) return;
    const int percent = static_cast<int>(std::clamp<int64_t>(int64_t{done} * 100 / total, 0, 100));
    if (percent == lastPercent) return;
    lastPercent = percent;
    gimp_progress_update(percent / 100.0);
  });
  const app::FilterHost::RunResult result = host.run(module);
  host.setProgressReporter(nullptr);
  if (result.result == userCanceledErr) return fail(GIMP_PDB_CANCEL, "cancelled");
  if (result.result != noErr) return fail(GIMP_PDB_EXECUTION_ERROR, "the filter failed: " + app::describeResult(result.result));

  writeDrawable(drawable, doc, original ? &*original : nullptr, *area);
  gimp_progress_update(1.0);
  if (std::optional<app::Descriptor> recorded = scriptingHost->currentDescriptor()) keepLastValues(*recorded);
  if (runMode != GIMP_RUN_NONINTERACTIVE) gimp_displays_flush();
  return {};
}

}  // namespace veyra::gimp
