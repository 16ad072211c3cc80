#include "gimp/ProcedureSignature.h"

#include <cctype>
#include <stdexcept>

namespace veyra::gimp {

const char* const kProcedureName = "plug-in-veyra";

std::string enumerationValues(const app::TermEnumeration& e) {
  std::string out;
  for (const app::TermEnumValue& v : e.values)
    out += (out.empty() ? "" : ", ") + app::fourCCText(v.code) + " (" + v.name + ")";
  return out;
}

std::string argumentName(const std::string& terminologyName) {
  std::string out;
  bool gap = false;
  for (unsigned char c : terminologyName) {
    if (std::isalnum(c) != 0 && c < 0x80) {
      if (gap && !out.empty()) out += '-';
      out += static_cast<char>(std::tolower(c));
      gap = false;
    } else {
      gap = true;
    }
  }
  return out;
}

namespace {

std::string describeArgument(const app::ModuleScripting& s, const app::TermParameter& p, app::TermValueKind kind) {
  std::string text = p.description.empty() ? p.name : p.description;
  switch (kind) {
    case app::TermValueKind::Enumerated:
      if (const app::TermEnumeration* e = s.terminology.findEnumeration(p.type))
        text += "; one of " + enumerationValues(*e);
      break;
    case app::TermValueKind::Boolean: text += "; 0 or 1"; break;
    case app::TermValueKind::String:
      text += "; at most " + std::to_string(kMaxStringLength) + " bytes";
      break;
    default: break;
  }
  return text;
}

ArgType argTypeOf(app::TermValueKind kind, const app::TermParameter& p) {
  switch (kind) {
    case app::TermValueKind::Float: return ArgType::Float;
    case app::TermValueKind::Integer:
    case app::TermValueKind::Boolean: return ArgType::Int32;
    case app::TermValueKind::Enumerated:
    case app::TermValueKind::String: return ArgType::String;
    case app::TermValueKind::Unsupported: break;
  }
  throw std::runtime_error("scripting parameter '" + app::fourCCText(p.key) + "' has the type '" +
                           app::fourCCText(p.type) + "', which no procedure argument carries");
}

}  // namespace

ProcedureSignature procedureSignature(const app::ModuleScripting& s) {
  const app::PropertyList& pl = s.properties;
  const app::TermEvent& event = s.event();
  ProcedureSignature sig;
  sig.name = kProcedureName;
  sig.menuLabel = pl.name;
  sig.menuFolder = "<Image>/Filters/" + pl.category;
  sig.blurb = event.description.empty() ? pl.displayName() : event.description;
  sig.help = event.name + " (" + pl.category + ", version " + std::to_string(pl.version >> 16) + "." +
             std::to_string(pl.version & 0xFFFF) + "): " + sig.blurb +
             " Works on the active layer, layer mask or channel inside the selection; the arguments after the "
             "drawable are the filter's scripting parameters.";
  sig.author = pl.category;
  sig.date = std::to_string(pl.version >> 16) + "." + std::to_string(pl.version & 0xFFFF);
  sig.imageTypes = "RGB*, GRAY*";
  for (const app::TermParameter& p : event.parameters) {
    ProcedureArgument a;
    a.kind = app::valueKindOf(s.terminology, p);
    a.type = argTypeOf(a.kind, p);
    a.name = argumentName(p.name);
    a.description = describeArgument(s, p, a.kind);
    a.parameter = &p;
    sig.arguments.push_back(std::move(a));
  }
  return sig;
}

}  // namespace veyra::gimp
