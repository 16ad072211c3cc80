// plug-in-veyra run interactively by GIMP on a virtual display: the module's
// dialog opens with the last run's values, shows what `veyra edit` shows for
// them, and OK applies them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

#include "GimpCases.h"
#include "GimpSession.h"
#include "app/ImageFile.h"

namespace veyra::test {
namespace {

TEST(GimpDialog, OpensWithTheLastValuesAndOkAppliesThem) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  GimpSession g;
  writePng(makeDocument(app::ColorMode::RGB, kImageW, kImageH, false, 3), g.file("rgb.png"));
  const std::string args = schemeArguments(settingSets()[1]);
  auto run = [&](const char* mode, const char* out) {
    return "(let* ((img (car (gimp-file-load RUN-NONINTERACTIVE " + schemeString(g.file("rgb.png")) +
           " \"rgb.png\")))\n       (drw (car (gimp-image-get-active-drawable img))))\n  (plug-in-veyra " + mode +
           " img drw" + args + ")\n  (save-layer img drw " + schemeString(g.file(out)) + "))\n";
  };
  const GimpSession::Result r =
      g.run({std::string(kSchemeHelpers) + run("RUN-NONINTERACTIVE", "scripted.png") + run("RUN-INTERACTIVE", "dialog.png")},
            {{"VEYRA_DIALOG_AUTOCONFIRM", g.file("gimp-dialog.png")}});
  std::cout << "[ GIMP     ] a scripted and an interactive run in one GIMP start: " << r.seconds << " s\n";
  ASSERT_EQ(r.status, 0) << r.output;
  ASSERT_TRUE(fileExists(g.file("dialog.png"))) << r.output;
  EXPECT_EQ(app::loadImage(g.file("dialog.png")), app::loadImage(g.file("scripted.png")));

  // The same document and values in `veyra edit` show the same window.
  std::vector<std::string> apply = {"apply", g.file("rgb.png"), g.file("v.png"), "--quiet", "--record",
                                    g.file("set.json")};
  for (const std::string& o : setOptions(settingSets()[1])) apply.push_back(o);
  ASSERT_EQ(runVeyra(apply).status, 0);
  const CommandResult edit = runVeyra({"edit", g.file("rgb.png"), g.file("e.png"), "--quiet", "--action", g.file("set.json")},
                                      {{"VEYRA_DIALOG_AUTOCONFIRM", g.file("veyra-dialog.png")}});
  ASSERT_EQ(edit.status, 0) << edit.err;
  const app::Document shot = app::loadImage(g.file("gimp-dialog.png"));
  EXPECT_GT(shot.width(), 400);
  EXPECT_GT(shot.height(), 300);
  EXPECT_EQ(shot, app::loadImage(g.file("veyra-dialog.png")));
}

}  // namespace
}  // namespace veyra::test
