// The end-to-end cases, written once for every host that runs them: light
// settings, documents and geometries, and the groups of combinations that
// are run. The Linux tests compare `veyra apply` with the reference
// pipeline; the Windows tests compare `veyra.exe` with the Linux build.
#ifndef VEYRA_TESTS_SUPPORT_ENDTOENDCASES_H
#define VEYRA_TESTS_SUPPORT_ENDTOENDCASES_H

#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "app/Document.h"
#include "app/ImageFile.h"
#include "render/reference/ReferencePipeline.h"

namespace veyra::test {

class TempDir;

enum class ShapeKind {
  None,        // no shape file
  Small,       // a test-made PNG smaller than the document: tiles are resampled from the canvas
  FullSize,    // a test-made PNG of the document's size: tiles are copied out of the canvas
  Missing,     // a name that is no file
  Bundled,     // a bundled JPEG shape
  BundledPng,  // a bundled PNG shape
};

struct LightCase {
  const char* name;
  ShapeKind shape;
  std::function<void(reftest::Settings&)> set;
  // CMYK documents have no hue or saturation: the matte is the constant
  // table[0], here 0, and the document stays as it was.
  bool cmykUnlit = false;
  // The shape file takes no part (shape blend None, a shape scaled to nothing).
  bool shapeUnused = false;
};

// Inputs in TIFF for CMYK and RGB without alpha, PNG otherwise, and one
// CMYK JPEG; outputs always lossless (a JPEG input is written as TIFF).
struct DocumentCase {
  const char* name;
  app::ColorMode mode;
  bool alpha;
  app::FileFormat format;
};

struct Geometry {
  const char* name;
  int width, height;
  bool selection;
  reftest::Box rect;  // used when selection is true
};

const std::vector<LightCase>& lightCases();
const std::vector<DocumentCase>& documentCases();
const std::vector<Geometry>& geometries();
size_t lightCaseNamed(const char* name);

// Light case, document, geometry: indices into the tables above.
using EndToEndParam = std::tuple<size_t, size_t, size_t>;
std::string endToEndName(const EndToEndParam& p);

// A set of combinations run together: every case of `cases` on every
// document of `documents` in every geometry of `geometries`.
struct RunGroup {
  const char* name;
  std::vector<size_t> cases, documents, geometries;
  std::vector<EndToEndParam> params() const;
};
const std::vector<RunGroup>& runGroups();
const RunGroup& runGroupNamed(const char* name);

// A gray picture with smooth and sharp parts: a radial falloff, a bar and noise.
app::Document makeShape(int w, int h, uint32_t seed);

// The files of one run, made in dir: the input document and the shape file
// the case names.
struct PreparedRun {
  std::string input, output;
  reftest::Settings settings;  // shapeFile as this machine names it
  reftest::Box rect;           // the filter rectangle
  bool selection = false;
};
PreparedRun prepareRun(const TempDir& dir, const EndToEndParam& p);

// `veyra apply` arguments for a run: every setting as --set, the selection
// as --rect. hostPath turns this machine's paths into the ones the program
// sees (identity on Linux, drive letters under Wine).
std::vector<std::string> applyArguments(const PreparedRun& run, const std::string& plugin,
                                        const std::function<std::string(const std::string&)>& hostPath);
// Every parameter as a --set argument; the light blend goes by its
// terminology names so that both spellings of a key reach the plug-in.
std::vector<std::string> setArguments(const reftest::Settings& s, const std::string& shapeFile);

}  // namespace veyra::test

#endif
