#include "GimpBatch.h"

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "app/ImageFile.h"

namespace veyra::test {

std::string input(const GimpSession& g, DrawableKind kind) {
  switch (kind) {
    case DrawableKind::Rgba: return g.file("rgba.png");
    case DrawableKind::Gray: return g.file("gray.png");
    default: return g.file("rgb.png");
  }
}

namespace {

std::string caseCall(const GimpSession& g, const GimpCase& c, const std::string& name, const char* runMode) {
  const bool selected = c.selection != Selection::None;
  std::ostringstream s;
  s << "(veyra-case " << schemeString(name) << " " << schemeString(input(g, c.kind)) << " "
    << (c.kind == DrawableKind::LayerMask ? "#t" : "#f") << " " << (c.kind == DrawableKind::Rgb16 ? "#t" : "#f")
    << " " << (selected ? kSelW : 0) << " "
    << (c.selection == Selection::Feathered ? kFeather : 0) << " " << runMode << schemeArguments(settingSets()[c.set])
    << ")\n";
  return s.str();
}

// One call of plug-in-veyra on a fresh copy of the RGB picture with the
// arguments of setting set 1, key given the Scheme value; then a marker file.
std::string callWith(const GimpSession& g, const std::string& key, const std::string& value,
                     const std::string& marker) {
  return "(let* ((img (car (gimp-file-load RUN-NONINTERACTIVE " + schemeString(g.file("rgb.png")) +
         " \"rgb.png\")))\n"
         "       (drw (car (gimp-image-get-active-drawable img))))\n"
         "  (plug-in-veyra RUN-NONINTERACTIVE img drw" +
         schemeArguments(settingSets()[1], key, value) +
         ")\n"
         "  (let ((p (open-output-file " +
         schemeString(g.file(marker)) + "))) (display \"done\" p) (close-output-port p)))\n";
}

// The procedure's entry, one argument a line, then its menu path and image types.
std::string pdbDump(const GimpSession& g) {
  return "(let* ((port (open-output-file " + schemeString(g.file("pdb.txt")) + R"scm())
       (info (gimp-procedural-db-proc-info "plug-in-veyra")))
  (put-fields port info)
  (let loop ((i 0))
    (if (< i (list-ref info 6))
        (begin (put-fields port (gimp-procedural-db-proc-arg "plug-in-veyra" i)) (loop (+ i 1)))))
  (put-fields port (cadr (gimp-plugins-query "Veyra")))
  (put-fields port (list-ref (gimp-plugins-query "Veyra") 7))
  (close-output-port port))
)scm";
}

}  // namespace

const std::vector<BadCall>& badCalls() {
  static const std::vector<BadCall> calls = {
      {"lBln", "\"lFoo\"", "argument 4 (kvo-light-blend-mode): unknown value \"lFoo\""},
      {"lDmd", "2", "(kvo-light-modulate-displacement): 2 is not 0 or 1"},
      {"lBrt", "\"bright\"", "Invalid type for argument 6"},
  };
  return calls;
}

const Batch& batch() {
  static const std::unique_ptr<Batch> b = [] {
    auto out = std::make_unique<Batch>();
    GimpSession& g = out->gimp;
    writePng(makeDocument(app::ColorMode::RGB, kImageW, kImageH, false, 3), g.file("rgb.png"));
    writePng(makeDocument(app::ColorMode::RGB, kImageW, kImageH, true, 5), g.file("rgba.png"));
    writePng(makeDocument(app::ColorMode::Gray, kImageW, kImageH, false, 7), g.file("gray.png"));
    std::ostringstream script;
    script << kSchemeHelpers << "(define areas (open-output-file " << schemeString(g.file("areas.txt")) << "))\n"
           << "(define (veyra-case name path mask? deep? width feather mode . args)\n"
              "  (let* ((img (car (gimp-file-load RUN-NONINTERACTIVE path path)))\n"
              "         (layer (car (gimp-image-get-active-layer img)))\n"
              "         (drw (if mask? (car (gimp-layer-create-mask layer ADD-MASK-COPY)) layer))\n"
              "         (out (string-append name \".png\")))\n"
              "    (if deep? (gimp-image-convert-precision img PRECISION-U16-GAMMA))\n"
              "    (if mask? (begin (gimp-layer-add-mask layer drw)\n"
              "                     (export-channel img drw (string-append name \"-before.png\"))))\n"
              "    (gimp-context-set-feather (if (> feather 0) TRUE FALSE))\n"
              "    (gimp-context-set-feather-radius feather feather)\n"
           << "    (if (> width 0) (gimp-image-select-rectangle img CHANNEL-OP-REPLACE " << kSelX << " " << kSelY
           << " width " << kSelH << "))\n"
           << "    (let ((selection (car (gimp-selection-save img))))\n"
              "      (put-fields areas (cons name (gimp-drawable-mask-intersect drw)))\n"
              "      (apply plug-in-veyra (cons mode (cons img (cons drw args))))\n"
              "      (gimp-selection-none img)\n"
              "      (if deep? (gimp-image-convert-precision img PRECISION-U8-GAMMA))\n"
              "      (if (> feather 0) (export-channel img selection (string-append name \"-selection.png\")))\n"
              "      (if mask? (export-channel img drw out) (save-layer img drw out))\n"
              "      (gimp-image-delete img))))\n";
    for (const GimpCase& c : gimpCases()) {
      script << caseCall(g, c, g.file(c.name), "RUN-NONINTERACTIVE");
      // Repeat: the last values, on the same pixels, give the same bytes.
      if (c.name == "rgb-rect") script << caseCall(g, gimpCases()[0], g.file("repeat"), "RUN-WITH-LAST-VALS");
    }
    script << "(close-output-port areas)\n";
    std::vector<std::string> commands = {script.str()};
    for (size_t i = 0; i < badCalls().size(); ++i)
      commands.push_back(callWith(g, badCalls()[i].key, badCalls()[i].schemeValue, "bad" + std::to_string(i)));
    // GIMP and the procedure still work after the refusals.
    commands.push_back(callWith(g, "lBln", "\"lScr\"", "alive"));
    commands.push_back(kSchemeHelpers + pdbDump(g));
    out->result = g.run(commands);
    std::cout << "[ GIMP     ] " << gimpCases().size() + 1 << " filter runs in one GIMP start: "
              << out->result.seconds << " s\n";
    std::ifstream in(g.file("areas.txt"));
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream f(line);
      std::string name;
      int nonEmpty = 0, x = 0, y = 0, w = 0, h = 0;
      if (f >> name >> nonEmpty >> x >> y >> w >> h)
        out->areas[name.substr(name.find_last_of('/') + 1)] = VRect{y, x, y + h, x + w};
    }
    return out;
  }();
  return *b;
}

}  // namespace veyra::test
