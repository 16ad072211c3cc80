// veyra-gimp: a GIMP 2.10 plug-in that hosts the filter module. At query
// time it registers one procedure described by the module's resources; at
// run time it runs the module on the active drawable.
#include <libgimp/gimp.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/PluginModule.h"
#include "gimp/FilterProcedure.h"
#include "gimp/ModuleLocation.h"
#include "gimp/ProcedureSignature.h"

namespace {

GimpPDBArgType pdbType(veyra::gimp::ArgType t) {
  switch (t) {
    case veyra::gimp::ArgType::Int32: return GIMP_PDB_INT32;
    case veyra::gimp::ArgType::Float: return GIMP_PDB_FLOAT;
    case veyra::gimp::ArgType::String: return GIMP_PDB_STRING;
  }
  return GIMP_PDB_INT32;
}

gchar* text(const std::string& s) { return const_cast<gchar*>(s.c_str()); }
gchar* text(const char* s) { return const_cast<gchar*>(s); }

void query() {
  using namespace veyra;
  try {
    const app::PluginModule module = app::PluginModule::load(
        gimp::locateModuleFor(app::executableFolder(), gimp::installedModulePath()));
    const app::ModuleScripting scripting = app::ModuleScripting::fromResources(module.resources());
    const gimp::ProcedureSignature sig = gimp::procedureSignature(scripting);
    std::vector<GimpParamDef> args = {
        {GIMP_PDB_INT32, text("run-mode"), text("The run mode { RUN-INTERACTIVE (0), RUN-NONINTERACTIVE (1), "
                                                "RUN-WITH-LAST-VALS (2) }")},
        {GIMP_PDB_IMAGE, text("image"), text("Input image")},
        {GIMP_PDB_DRAWABLE, text("drawable"), text("Input drawable: a layer, layer mask or channel")}};
    for (const gimp::ProcedureArgument& a : sig.arguments)
      args.push_back({pdbType(a.type), text(a.name), text(a.description)});
    gimp_install_procedure(sig.name.c_str(), sig.blurb.c_str(), sig.help.c_str(), sig.author.c_str(),
                           sig.author.c_str(), sig.date.c_str(), sig.menuLabel.c_str(), sig.imageTypes.c_str(),
                           GIMP_PLUGIN, static_cast<gint>(args.size()), 0, args.data(), nullptr);
    gimp_plugin_menu_register(sig.name.c_str(), sig.menuFolder.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "veyra-gimp: %s; the filter is not registered\n", e.what());
  }
}

void run(const gchar*, gint nparams, const GimpParam* params, gint* nreturnVals, GimpParam** returnVals) {
  static GimpParam values[2];
  static std::string message;
  veyra::gimp::ProcedureOutcome outcome;
  gegl_init(nullptr, nullptr);
  try {
    outcome = veyra::gimp::runFilterProcedure(nparams, params);
  } catch (const std::exception& e) {
    outcome = {GIMP_PDB_EXECUTION_ERROR, e.what()};
  } catch (...) {
    outcome = {GIMP_PDB_EXECUTION_ERROR, "unknown failure"};
  }
  message = outcome.message;
  values[0].type = GIMP_PDB_STATUS;
  values[0].data.d_status = outcome.status;
  *nreturnVals = 1;
  if (outcome.status != GIMP_PDB_SUCCESS && !message.empty()) {
    values[1].type = GIMP_PDB_STRING;
    values[1].data.d_string = text(message);
    *nreturnVals = 2;
  }
  *returnVals = values;
}

const GimpPlugInInfo PLUG_IN_INFO = {nullptr, nullptr, query, run};

}  // namespace

MAIN()
