// One call of plug-in-veyra: the active drawable becomes a host document,
// the module runs on it inside the selection's bounds, and the result goes
// back through the shadow buffer.
#ifndef VEYRA_GIMP_FILTERPROCEDURE_H
#define VEYRA_GIMP_FILTERPROCEDURE_H

#include <libgimp/gimp.h>

#include <string>

namespace veyra::gimp {

struct ProcedureOutcome {
  GimpPDBStatusType status = GIMP_PDB_SUCCESS;
  std::string message;  // for failures: what went wrong, naming the argument when one is bad
};

// Runs the procedure with the parameters GIMP passed (run-mode, image,
// drawable, then the filter's arguments). moduleFolder is veyra-gimp's own
// folder, where the module is looked for first.
ProcedureOutcome runFilterProcedure(int nparams, const GimpParam* params);

// Where the installed module lies as seen from veyra-gimp (set at build time).
const char* installedModulePath();

}  // namespace veyra::gimp

#endif
