// `veyra gimp-install` and `gimp-uninstall` with a user's GIMP folder: GIMP
// runs the installed copy, which finds the module and Patterns beside itself.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <iostream>
#include <map>

#include "GimpCases.h"
#include "GimpSession.h"
#include "app/ImageFile.h"

namespace veyra::test {
namespace {

mode_t modeOf(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

TEST(GimpInstall, PutsAWorkingPlugInInTheUsersFolderAndTakesItOut) {
  TempDir profile;
  // The second install replaces the first, as when a user updates.
  ASSERT_EQ(runVeyra({"gimp-install", "--gimp-folder", profile.path()}).status, 0);
  const CommandResult installed = runVeyra({"gimp-install", "--gimp-folder", profile.path()});
  ASSERT_EQ(installed.status, 0) << installed.err;
  EXPECT_FALSE(fileExists(profile.file("plug-ins/.veyra-gimp.new")));
  const std::string dir = profile.file("plug-ins/veyra-gimp");
  EXPECT_TRUE(modeOf(dir + "/veyra-gimp") & S_IXUSR);
  // GIMP takes every executable in its plug-in folders for a plug-in.
  EXPECT_FALSE(modeOf(dir + "/KVO_Veyra.8bf") & (S_IXUSR | S_IXGRP | S_IXOTH));
  EXPECT_TRUE(fileExists(dir + "/Patterns/Window.png"));

  SettingSet settings = settingSets()[1];
  settings["sNam"] = dir + "/Patterns/Window.png";
  GimpSession g(dir);
  writePng(makeDocument(app::ColorMode::RGB, kImageW, kImageH, false, 3), g.file("rgb.png"));
  const GimpSession::Result r = g.run({std::string(kSchemeHelpers) +
                                       "(let* ((img (car (gimp-file-load RUN-NONINTERACTIVE " +
                                       schemeString(g.file("rgb.png")) +
                                       " \"rgb.png\")))\n (drw (car (gimp-image-get-active-drawable img))))\n"
                                       " (plug-in-veyra RUN-NONINTERACTIVE img drw" +
                                       schemeArguments(settings) + ")\n (save-layer img drw " +
                                       schemeString(g.file("out.png")) + "))\n"});
  std::cout << "[ GIMP     ] the installed copy, one run: " << r.seconds << " s\n";
  ASSERT_EQ(r.status, 0) << r.output;
  std::vector<std::string> apply = {"apply", g.file("rgb.png"), g.file("expected.png"), "--quiet"};
  for (const std::string& o : setOptions(settings)) apply.push_back(o);
  ASSERT_EQ(runVeyra(apply).status, 0);
  ASSERT_TRUE(fileExists(g.file("out.png"))) << r.output;
  EXPECT_EQ(app::loadImage(g.file("out.png")), app::loadImage(g.file("expected.png")));

  const CommandResult removed = runVeyra({"gimp-uninstall", "--gimp-folder", profile.path()});
  EXPECT_EQ(removed.status, 0) << removed.err;
  EXPECT_FALSE(fileExists(dir));
  EXPECT_TRUE(fileExists(profile.file("plug-ins")));
  const CommandResult again = runVeyra({"gimp-uninstall", "--gimp-folder", profile.path()});
  EXPECT_EQ(again.status, 0);
  EXPECT_NE(again.out.find("nothing installed"), std::string::npos) << again.out;
}

// Without --gimp-folder the commands use the folder GIMP itself reads.
TEST(GimpInstall, DefaultFolderIsTheOneGimpReads) {
  TempDir t;
  struct Case {
    std::string gimp2Directory, xdgConfigHome, expected;
  };
  const Case cases[] = {{"", "", t.file("home/.config/GIMP/2.10")},
                        {"", t.file("xdg"), t.file("xdg/GIMP/2.10")},
                        {t.file("abs"), t.file("xdg"), t.file("abs")},
                        {"profile", t.file("xdg"), t.file("home/profile")}};
  for (const Case& c : cases) {
    const std::map<std::string, std::string> env = {{"HOME", t.file("home")},
                                                    {"GIMP2_DIRECTORY", c.gimp2Directory},
                                                    {"XDG_CONFIG_HOME", c.xdgConfigHome}};
    const CommandResult installed = runVeyra({"gimp-install"}, env);
    ASSERT_EQ(installed.status, 0) << installed.err;
    EXPECT_TRUE(fileExists(c.expected + "/plug-ins/veyra-gimp/veyra-gimp")) << installed.out;
    const CommandResult removed = runVeyra({"gimp-uninstall"}, env);
    EXPECT_EQ(removed.out, "removed from " + c.expected + "/plug-ins\n") << c.expected;
  }
}

}  // namespace
}  // namespace veyra::test
