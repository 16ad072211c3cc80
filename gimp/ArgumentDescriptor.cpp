#include "gimp/ArgumentDescriptor.h"

#include <cmath>

namespace veyra::gimp {

namespace {

const char* typeName(ArgType t) {
  switch (t) {
    case ArgType::Int32: return "an integer";
    case ArgType::Float: return "a float";
    case ArgType::String: return "a string";
  }
  return "";
}

}  // namespace

app::Descriptor descriptorFromArguments(const app::ModuleScripting& s, const ProcedureSignature& sig,
                                        const std::vector<ArgumentValue>& values) {
  if (values.size() != sig.arguments.size())
    throw ArgumentError(std::string(kProcedureName) + " takes " + std::to_string(sig.arguments.size()) +
                        " arguments after the drawable, not " + std::to_string(values.size()));
  app::Descriptor d;
  for (size_t i = 0; i < values.size(); ++i) {
    const ProcedureArgument& a = sig.arguments[i];
    const ArgumentValue& v = values[i];
    const OSType key = a.parameter->key;
    auto refuse = [&](const std::string& why) {
      return ArgumentError("argument " + std::to_string(i + 4) + " (" + a.name + "): " + why);
    };
    if (v.type != a.type) throw refuse(std::string("wants ") + typeName(a.type) + ", got " + typeName(v.type));
    switch (a.kind) {
      case app::TermValueKind::Float:
        if (!std::isfinite(v.number)) throw refuse("is not a finite number");
        d.push_back(app::DescriptorItem::makeFloat(key, v.number));
        break;
      case app::TermValueKind::Integer: d.push_back(app::DescriptorItem::makeInteger(key, v.integer)); break;
      case app::TermValueKind::Boolean:
        if (v.integer != 0 && v.integer != 1) throw refuse(std::to_string(v.integer) + " is not 0 or 1");
        d.push_back(app::DescriptorItem::makeBoolean(key, v.integer == 1));
        break;
      case app::TermValueKind::Enumerated: {
        const app::TermEnumeration* e = s.terminology.findEnumeration(a.parameter->type);
        const app::TermEnumValue* value = e != nullptr ? e->find(v.text) : nullptr;
        if (value == nullptr)
          throw refuse("unknown value \"" + v.text + "\"" +
                       (e != nullptr ? "; valid values: " + enumerationValues(*e) : ""));
        d.push_back(app::DescriptorItem::makeEnumerated(key, e->type, value->code));
        break;
      }
      case app::TermValueKind::String:
        if (v.text.size() > kMaxStringLength)
          throw refuse("the text has " + std::to_string(v.text.size()) + " bytes, at most " +
                       std::to_string(kMaxStringLength) + " are carried");
        d.push_back(app::DescriptorItem::makeString(key, v.text));
        break;
      case app::TermValueKind::Unsupported: throw refuse("its type is not supported");
    }
  }
  return d;
}

}  // namespace veyra::gimp
