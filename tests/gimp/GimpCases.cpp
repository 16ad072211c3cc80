#include "GimpCases.h"

#include "GimpSession.h"
#include "support/AppTestSupport.h"

namespace veyra::test {

namespace {

std::string shape(const std::string& name) { return std::string(VEYRA_PATTERNS_DIR) + "/" + name; }

SettingSet withDefaults(const SettingSet& own) {
  SettingSet s = {{"lBln", "lAdd"}, {"lSrc", "sImg"}, {"lBrt", "100"}, {"lDsp", "0"},    {"lBlr", "10"},
                  {"lClX", "32768"}, {"lClY", "32768"}, {"lClZ", "32768"}, {"lDmd", "0"}, {"mChn", "lumC"},
                  {"mPos", "50"},   {"mRng", "25"},    {"mBlr", "0"},     {"sBln", "sAdd"}, {"sNam", ""},
                  {"sOpc", "100"},  {"sXbl", "0"},     {"sYbl", "0"},     {"sXps", "0"},    {"sYps", "0"},
                  {"sXsc", "100"},  {"sYsc", "100"},   {"sRot", "0"},     {"cp0X", "0"},    {"cp0Y", "0"},
                  {"cp1X", "1"},    {"cp1Y", "0"},     {"cp2X", "1"},     {"cp2Y", "1"},    {"cp3X", "0"},
                  {"cp3Y", "1"}};
  for (const auto& [k, v] : own) s[k] = v;
  return s;
}

}  // namespace

const std::vector<SettingSet>& settingSets() {
  static const std::vector<SettingSet> sets = {
      withDefaults({}),
      withDefaults({{"sNam", shape("Window.png")}, {"sBln", "sOnl"}, {"lSrc", "sMat"}, {"lBln", "lScr"},
                    {"lBrt", "85"}, {"lBlr", "8"}, {"sXsc", "55"}, {"sYsc", "70"}, {"sXbl", "4"}, {"sYbl", "4"},
                    {"cp0X", "0.25"}, {"cp0Y", "0.12"}, {"cp1X", "0.62"}, {"cp1Y", "0.2"}, {"cp2X", "0.7"},
                    {"cp2Y", "0.95"}, {"cp3X", "0.2"}, {"cp3Y", "0.8"}, {"lClX", "33000"}, {"lClY", "32000"},
                    {"lClZ", "21000"}}),
      withDefaults({{"sNam", shape("Blinds.jpg")}, {"sBln", "sMul"}, {"sRot", "30"}, {"lBln", "lSub"},
                    {"lBrt", "60"}, {"mChn", "redC"}}),
      withDefaults({{"sNam", shape("Foliage.jpg")}, {"sBln", "sScr"}, {"sRot", "-15"}, {"sXps", "20"},
                    {"sYps", "-10"}, {"mChn", "satC"}, {"lDsp", "20"}}),
      withDefaults({{"sNam", shape("Grid.png")}, {"sBln", "sDif"}, {"cp1X", "0.9"}, {"cp1Y", "0.1"},
                    {"cp2X", "0.8"}, {"cp2Y", "0.95"}, {"lBln", "lScr"}}),
      withDefaults({{"sNam", shape("Spot.png")}, {"sBln", "sDrk"}, {"lSrc", "sMat"}, {"mChn", "hueC"},
                    {"mBlr", "5"}}),
      withDefaults({{"sNam", shape("Arched Window.png")}, {"sBln", "sLgt"}, {"sRot", "90"}, {"sXsc", "150"},
                    {"lBln", "lSub"}}),
      withDefaults({{"sNam", shape("Window.png")}, {"sBln", "sNon"}, {"lBlr", "0"}, {"mRng", "60"}}),
      withDefaults({{"sNam", shape("Blinds.jpg")}, {"sBln", "sSub"}, {"sXbl", "12"}, {"sYbl", "3"},
                    {"lBrt", "150"}, {"mChn", "bluC"}, {"lDmd", "1"}}),
  };
  return sets;
}

const std::vector<GimpCase>& gimpCases() {
  static const std::vector<GimpCase> cases = [] {
    std::vector<GimpCase> out;
    const std::pair<DrawableKind, const char*> kinds[] = {{DrawableKind::Rgb, "rgb"},
                                                          {DrawableKind::Rgba, "rgba"},
                                                          {DrawableKind::Gray, "gray"},
                                                          {DrawableKind::LayerMask, "mask"},
                                                          {DrawableKind::Rgb16, "rgb16"}};
    const std::pair<Selection, const char*> selections[] = {
        {Selection::None, "all"}, {Selection::Rectangle, "rect"}, {Selection::Feathered, "feather"}};
    size_t set = 0;
    for (const auto& [kind, kindName] : kinds)
      for (const auto& [sel, selName] : selections)
        out.push_back({std::string(kindName) + "-" + selName, kind, sel, set++ % settingSets().size()});
    return out;
  }();
  return cases;
}

Procedure::Procedure()
    : scripting(app::ModuleScripting::fromResources(builtModule().resources())),
      signature(gimp::procedureSignature(scripting)) {}

const Procedure& procedure() {
  static const Procedure p;
  return p;
}

std::string schemeArguments(const SettingSet& s, const std::string& rawKey, const std::string& rawValue) {
  std::string out;
  for (const gimp::ProcedureArgument& a : procedure().signature.arguments) {
    const std::string key = app::fourCCText(a.parameter->key);
    const std::string& v = s.at(key);
    if (key == rawKey) {
      out += " " + rawValue;
      continue;
    }
    switch (a.type) {
      case gimp::ArgType::String: out += " " + schemeString(v); break;
      case gimp::ArgType::Float: out += " " + v + (v.find('.') == std::string::npos ? ".0" : ""); break;
      case gimp::ArgType::Int32: out += " " + v; break;
    }
  }
  return out;
}

std::vector<std::string> setOptions(const SettingSet& s) {
  std::vector<std::string> out;
  for (const gimp::ProcedureArgument& a : procedure().signature.arguments) {
    const std::string key = app::fourCCText(a.parameter->key);
    std::string v = s.at(key);
    if (a.kind == app::TermValueKind::Boolean) v = v == "1" ? "true" : "false";
    out.push_back("--set");
    out.push_back(key + "=" + v);
  }
  return out;
}

}  // namespace veyra::test
