#include "app/ScriptingCommand.h"

#include <iostream>

#include "app/ScriptingHost.h"

namespace veyra::app {

namespace {

std::string versionText(uint32_t v) { return std::to_string(v >> 16) + "." + std::to_string(v & 0xFFFF); }

class ScriptingExtension : public RunExtension {
 public:
  void addOptions(CLI::App& command, bool editing) override {
    Options& o = editing ? edit_ : apply_;
    command
        .add_option("--set", o.sets,
                    "Sets one scripting parameter: KEY is its four-character key (lBrt) or its name "
                    "(\"KVO light brightness\"); VALUE a number, an integer, an enumeration value's code or "
                    "name, a text or true/false, as 'veyra info' lists. Repeatable; applied after --action")
        ->type_name("KEY=VALUE")
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    command.add_option("--action", o.action, "Plays back the parameters of an action file (JSON)")
        ->type_name("FILE");
  }

  void beforeRun(FilterHost& host, const PluginModule& module, const RunOptions& options) override {
    scripting_ = moduleScripting(module);
    try {
      checkDocumentSupported(scripting_.properties, static_cast<int>(host.document().mode()), 8);
    } catch (const PropertyListError& e) {
      throw CommandError(kExitUsage, options.input + ": " + e.what());
    }
    const Options& o = options.editing ? edit_ : apply_;
    if (!options.record.empty()) checkOutputPath(options.record);
    if (o.action.empty() && o.sets.empty()) return;
    Descriptor d;
    try {
      if (!o.action.empty()) d = readActionFile(scripting_, o.action);
      for (const std::string& s : o.sets) mergeDescriptor(d, parseSetting(scripting_, s));
    } catch (const ScriptingInputError& e) {
      throw CommandError(kExitUsage, e.what());
    }
    ScriptingHost* scripting = host.service<ScriptingHost>();
    if (scripting == nullptr) throw CommandError(kExitUsage, "this host offers no scripting");
    scripting->playBack(d, options.editing ? plugInDialogDisplay : plugInDialogDontDisplay);
  }

  void afterRun(FilterHost& host, const PluginModule&, const RunOptions& options) override {
    if (options.record.empty()) return;
    ScriptingHost* scripting = host.service<ScriptingHost>();
    std::optional<Descriptor> recorded = scripting != nullptr ? scripting->currentDescriptor() : std::nullopt;
    if (!recorded)
      throw CommandError(kExitFilterFailed,
                         "the filter recorded no parameters; " + options.record + " was not written");
    try {
      writeActionFile(scripting_, *recorded, options.record);
    } catch (const ScriptingInputError& e) {
      throw CommandError(kExitUsage, e.what());
    }
  }

 private:
  struct Options {
    std::vector<std::string> sets;
    std::string action;
  };
  Options apply_, edit_;
  ModuleScripting scripting_;
};

struct InfoOptions {
  std::string plugin;
  bool json = false;
};

}  // namespace

ModuleScripting moduleScripting(const PluginModule& module) {
  try {
    return ModuleScripting::fromResources(module.resources());
  } catch (const std::runtime_error& e) {
    throw CommandError(kExitUsage, "plug-in module " + module.path() + ": " + e.what());
  }
}

void printInfo(const ModuleScripting& s, bool json, std::ostream& out) {
  const PropertyList& p = s.properties;
  const TermEvent& event = s.event();
  std::vector<std::string> modes;
  for (int m : enabledModes(p, 8)) modes.push_back(imageModeName(m));

  if (json) {
    nlohmann::ordered_json j;
    j["name"] = p.name;
    j["category"] = p.category;
    j["kind"] = fourCCText(p.kind);
    j["version"] = versionText(p.version);
    j["entryPoint"] = p.entryPoint;
    j["modes"] = modes;
    if (p.enable) j["enable"] = *p.enable;
    j["event"] = {{"class", fourCCText(event.eventClass)},
                  {"id", fourCCText(event.id)},
                  {"name", event.name},
                  {"description", event.description}};
    if (p.terminology) j["scope"] = p.terminology->scopeId;
    nlohmann::ordered_json params = nlohmann::ordered_json::array();
    for (const TermParameter& tp : event.parameters) {
      nlohmann::ordered_json e;
      e["key"] = fourCCText(tp.key);
      e["name"] = tp.name;
      e["type"] = valueKindName(valueKindOf(s.terminology, tp));
      e["termType"] = fourCCText(tp.type);
      e["description"] = tp.description;
      if (const TermEnumeration* en = s.terminology.findEnumeration(tp.type)) {
        nlohmann::ordered_json values = nlohmann::ordered_json::array();
        for (const TermEnumValue& v : en->values)
          values.push_back({{"code", fourCCText(v.code)}, {"name", v.name}, {"description", v.description}});
        e["values"] = values;
      }
      params.push_back(e);
    }
    j["parameters"] = params;
    out << j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
    return;
  }

  out << p.name << "  (category: " << p.category << ")\n";
  out << "  kind " << fourCCText(p.kind) << ", interface version " << versionText(p.version)
      << ", entry point " << p.entryPoint << "\n";
  out << "  modes:";
  for (size_t i = 0; i < modes.size(); ++i) out << (i == 0 ? " " : ", ") << modes[i];
  out << (modes.empty() ? " none\n" : "\n");
  if (p.enable) out << "  enabled when: " << *p.enable << "\n";
  out << "  event '" << fourCCText(event.id) << "' \"" << event.name << "\": " << event.description << "\n";
  if (p.terminology) out << "  scope: " << p.terminology->scopeId << "\n";
  out << "  scripting parameters (" << event.parameters.size() << "):\n";
  for (const TermParameter& tp : event.parameters) {
    const TermValueKind kind = valueKindOf(s.terminology, tp);
    out << "    " << fourCCText(tp.key) << "  " << tp.name << "  " << valueKindName(kind);
    if (const TermEnumeration* en = s.terminology.findEnumeration(tp.type)) {
      out << " '" << fourCCText(en->type) << "':";
      for (size_t i = 0; i < en->values.size(); ++i)
        out << (i == 0 ? " " : ", ") << fourCCText(en->values[i].code) << " (" << en->values[i].name << ")";
    }
    if (!tp.description.empty()) out << "  -- " << tp.description;
    out << "\n";
  }
}

void addScriptingCommands(CommandLine& cli) {
  cli.addExtension(std::make_unique<ScriptingExtension>());
  auto options = std::make_shared<InfoOptions>();
  CLI::App* info = cli.app().add_subcommand("info",
                                            "Lists the plug-in's name, category, version, supported modes "
                                            "and scripting parameters, read from its resources.");
  info->add_option("--plugin", options->plugin,
                   "The plug-in module (default: $VEYRA_PLUGIN, then the plug-ins folder beside veyra)");
  info->add_flag("--json", options->json, "Prints JSON for scripts");
  info->callback([options]() {
    // The command line reports a CLI::RuntimeError's message and exits
    // with its status (2: the module is missing or unusable).
    try {
      const PluginModule module = CommandLine::loadModule(options->plugin);
      printInfo(moduleScripting(module), options->json, std::cout);
    } catch (const CommandError& e) {
      throw CLI::RuntimeError(e.what(), e.status());
    } catch (const std::runtime_error& e) {
      throw CLI::RuntimeError(e.what(), kExitUsage);
    }
  });
}

}  // namespace veyra::app
