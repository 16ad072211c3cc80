// The work the GIMP tests give veyra-gimp: setting sets covering every light
// and shape blend mode, the bundled shapes, rotation and corner pins, and
// the drawables and selections they run on.
#ifndef VEYRA_TESTS_GIMP_GIMPCASES_H
#define VEYRA_TESTS_GIMP_GIMPCASES_H

#include <map>
#include <string>
#include <vector>

#include "app/ActionFile.h"
#include "gimp/ProcedureSignature.h"

namespace veyra::test {

// Values by four-character key, as text ("lScr", "85", a shape's path).
using SettingSet = std::map<std::string, std::string>;

// Every parameter given: the filter's defaults with the set's own values.
const std::vector<SettingSet>& settingSets();

// Rgb16: the RGB picture converted to 16 bits for the filter and back to 8 for the comparison.
enum class DrawableKind { Rgb, Rgba, Gray, LayerMask, Rgb16 };
enum class Selection { None, Rectangle, Feathered };

struct GimpCase {
  std::string name;
  DrawableKind kind;
  Selection selection;
  size_t set;  // into settingSets()
};
const std::vector<GimpCase>& gimpCases();

// The selection's rectangle (x, y, width, height) and feather radius.
constexpr int kSelX = 30, kSelY = 20, kSelW = 250, kSelH = 270, kFeather = 24;
constexpr int kImageW = 320, kImageH = 300;

// The module's scripting and the procedure derived from it.
struct Procedure {
  Procedure();  // from the built module
  Procedure(const Procedure&) = delete;
  app::ModuleScripting scripting;
  gimp::ProcedureSignature signature;  // points into scripting
};
const Procedure& procedure();

// The arguments after the drawable, as Script-Fu text (rawKey's argument,
// when given, the Scheme text rawValue), and as veyra's --set options.
std::string schemeArguments(const SettingSet& s, const std::string& rawKey = "", const std::string& rawValue = "");
std::vector<std::string> setOptions(const SettingSet& s);

}  // namespace veyra::test

#endif
