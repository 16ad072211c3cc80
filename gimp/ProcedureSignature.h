// The GIMP procedure that stands for the module, derived from the module's
// own resources: its name and menu place from the property list, its
// arguments from the scripting terminology, in the terminology's order.
#ifndef VEYRA_GIMP_PROCEDURESIGNATURE_H
#define VEYRA_GIMP_PROCEDURESIGNATURE_H

#include <cstddef>
#include <string>
#include <vector>

#include "app/ActionFile.h"

namespace veyra::gimp {

// The procedure's name in GIMP's procedural database.
extern const char* const kProcedureName;

// The longest text a string argument carries (descriptor strings are length-prefixed).
constexpr size_t kMaxStringLength = 255;

// An enumeration's values for messages: "lAdd (KVO add), lScr (KVO screen)".
std::string enumerationValues(const app::TermEnumeration& e);

// How an argument travels through the procedural database.
enum class ArgType { Int32, Float, String };

struct ProcedureArgument {
  ArgType type = ArgType::Int32;
  std::string name;         // "kvo-light-blend-mode"
  std::string description;  // what it is and which values it takes
  const app::TermParameter* parameter = nullptr;  // into the ModuleScripting it was made from
  app::TermValueKind kind = app::TermValueKind::Unsupported;
};

struct ProcedureSignature {
  std::string name;        // kProcedureName
  std::string menuLabel;   // the property list's name: "Veyra!..."
  std::string menuFolder;  // "<Image>/Filters/" + the property list's category
  std::string blurb;       // one line
  std::string help;        // a paragraph
  std::string author;
  std::string date;
  std::string imageTypes;  // "RGB*, GRAY*"
  // After run-mode, image and drawable: one per scripting parameter.
  std::vector<ProcedureArgument> arguments;
};

// An argument name from a terminology name: lower case, every run of other
// characters than letters and digits one '-', none at either end
// ("KVO light color/X" -> "kvo-light-color-x").
std::string argumentName(const std::string& terminologyName);

// The signature of scripting's filter. The arguments point into scripting,
// which must outlive the signature. Throws std::runtime_error for a parameter
// whose type no argument can carry.
ProcedureSignature procedureSignature(const app::ModuleScripting& scripting);

}  // namespace veyra::gimp

#endif
