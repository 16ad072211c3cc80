// plug-in-veyra inside a real, headless GIMP: each result of the batch is
// compared with `veyra apply` on the same pixels with the same settings.
#include <gtest/gtest.h>

#include <algorithm>

#include "GimpBatch.h"
#include "app/ImageFile.h"

namespace veyra::test {
namespace {

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
