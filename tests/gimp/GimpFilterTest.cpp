// plug-in-veyra inside a real, headless GIMP: every case of GimpCases runs
// in one GIMP start (GIMP's start-up dominates), then each result is
// compared with `veyra apply` on the same pixels with the same settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>

#include "GimpCases.h"
#include "GimpSession.h"
#include "app/ImageFile.h"

namespace veyra::test {
namespace {

// The one GIMP start all tests of this file read from.
struct Batch {
  GimpSession gimp;
  GimpSession::Result result;
  std::map<std::string, VRect> areas;  // each case's filter area as GIMP reported it
};

std::string input(const GimpSession& g, DrawableKind kind) {
  switch (kind) {
    case DrawableKind::Rgba: return g.file("rgba.png");
    case DrawableKind::Gray: return g.file("gray.png");
    default: return g.file("rgb.png");
  }
}

std::string caseCall(const GimpSession& g, const GimpCase& c, const std::string& name, const char* runMode) {
  const bool selected = c.selection != Selection::None;
  std::ostringstream s;
  s << "(veyra-case " << schemeString(name) << " " << schemeString(input(g, c.kind)) << " "
    << (c.kind == DrawableKind::LayerMask ? "#t" : "#f") << " " << (selected ? kSelW : 0) << " "
    << (c.selection == Selection::Feathered ? kFeather : 0) << " " << runMode << schemeArguments(settingSets()[c.set])
    << ")\n";
  return s.str();
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
           << "(define (veyra-case name path mask? width feather mode . args)\n"
              "  (let* ((img (car (gimp-file-load RUN-NONINTERACTIVE path path)))\n"
              "         (layer (car (gimp-image-get-active-layer img)))\n"
              "         (drw (if mask? (car (gimp-layer-create-mask layer ADD-MASK-COPY)) layer))\n"
              "         (out (string-append name \".png\")))\n"
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
              "      (if (> feather 0) (export-channel img selection (string-append name \"-selection.png\")))\n"
              "      (if mask? (export-channel img drw out) (save-layer img drw out))\n"
              "      (gimp-image-delete img))))\n";
    for (const GimpCase& c : gimpCases()) {
      script << caseCall(g, c, g.file(c.name), "RUN-NONINTERACTIVE");
      // Repeat: the last values, on the same pixels, give the same bytes.
      if (c.name == "rgb-rect") script << caseCall(g, gimpCases()[0], g.file("repeat"), "RUN-WITH-LAST-VALS");
    }
    script << "(close-output-port areas)\n";
    out->result = g.run({script.str()});
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

class GimpFilter : public ::testing::TestWithParam<GimpCase> {};

TEST_P(GimpFilter, MatchesVeyraApplyInsideTheSelectionAndKeepsTheRest) {
  const Batch& b = batch();
  ASSERT_EQ(b.result.status, 0) << b.result.output;
  const GimpCase& c = GetParam();
  ASSERT_TRUE(b.areas.count(c.name)) << b.result.output;
  const VRect area = b.areas.at(c.name);
  const std::string before =
      c.kind == DrawableKind::LayerMask ? b.gimp.file(c.name + "-before.png") : input(b.gimp, c.kind);
  std::vector<std::string> args = {"apply", before, b.gimp.file(c.name + "-veyra.png"), "--quiet",
                                   "--rect", rectText(area)};
  for (const std::string& o : setOptions(settingSets()[c.set])) args.push_back(o);
  const CommandResult veyra = runVeyra(args);
  ASSERT_EQ(veyra.status, 0) << veyra.err;

  const app::Document original = app::loadImage(before);
  const app::Document filtered = app::loadImage(b.gimp.file(c.name + "-veyra.png"));
  const app::Document got = app::loadImage(b.gimp.file(c.name + ".png"));
  ASSERT_EQ(got.mode(), original.mode());
  ASSERT_EQ(got.hasAlpha(), original.hasAlpha());
  ASSERT_NE(filtered, original) << "the settings change nothing; the case shows nothing";
  if (original.hasAlpha()) {
    EXPECT_TRUE(std::equal(got.alpha(), got.alpha() + got.pixelCount(), original.alpha())) << "alpha changed";
  }
  if (c.selection != Selection::Feathered) {
    EXPECT_EQ(got, filtered);
    return;
  }
  // Feathered: where GIMP's mask is full the bytes are the filter's, where
  // it is empty the original's, and between them GIMP's blend of the two.
  const app::Document mask = app::loadImage(b.gimp.file(c.name + "-selection.png"));
  int full = 0, partial = 0, mismatches = 0;
  for (int ch = 0; ch < got.channelCount(); ++ch)
    for (int y = 0; y < got.height(); ++y)
      for (int x = 0; x < got.width(); ++x) {
        const int m = mask.at(0, x, y), g = got.at(ch, x, y), o = original.at(ch, x, y), f = filtered.at(ch, x, y);
        bool ok = g >= std::min(o, f) - 1 && g <= std::max(o, f) + 1;
        if (m == 255) ok = g == f, ++full;
        if (m == 0) ok = g == o;
        if (m != 0 && m != 255) ++partial;
        if (!ok && ++mismatches <= 5) ADD_FAILURE() << "channel " << ch << " at " << x << "," << y << ": mask " << m
                                                    << ", got " << g << ", original " << o << ", filtered " << f;
      }
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(full, 0);
  EXPECT_GT(partial, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, GimpFilter, ::testing::ValuesIn(gimpCases()),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           n.erase(std::remove(n.begin(), n.end(), '-'), n.end());
                           return n;
                         });

TEST(GimpRepeat, LastValuesGiveTheSameBytes) {
  const Batch& b = batch();
  ASSERT_EQ(b.result.status, 0) << b.result.output;
  // The repeat ran on rgb-all's input with rgb-rect's recorded settings and no selection.
  const app::Document repeated = app::loadImage(b.gimp.file("repeat.png"));
  std::vector<std::string> args = {"apply", b.gimp.file("rgb.png"), b.gimp.file("repeat-veyra.png"), "--quiet"};
  const GimpCase& recorded = gimpCases()[1];
  for (const std::string& o : setOptions(settingSets()[recorded.set])) args.push_back(o);
  ASSERT_EQ(runVeyra(args).status, 0);
  EXPECT_EQ(repeated, app::loadImage(b.gimp.file("repeat-veyra.png")));
  EXPECT_NE(repeated, app::loadImage(b.gimp.file("rgb-all.png")));
}

}  // namespace
}  // namespace veyra::test
