// The parameter record and its inline path: defaults, copying, corner-pin
// identity and the path operations the dialog and the shape reader rely on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "host/LightParameters.h"
#include "host/PathBuffer.h"

namespace veyra {
namespace {

TEST(LightParametersTest, ConstructedRecordEqualsResetRecordWithZeroPath) {
  LightParameters changed;
  changed.lightBrightness = 3;
  changed.shapeFile.assign("/tmp/x.png");
  changed.corners[2].y = 7;
  changed.resetToDefaults();
  LightParameters fresh;
  EXPECT_TRUE(fresh == changed);
  const char* path = fresh.shapeFile.c_str();
  for (std::size_t i = 0; i < PathBuffer::kCapacity; ++i) ASSERT_EQ(path[i], 0) << i;
  EXPECT_EQ(fresh.lightBlendMode, kLightAdd);
  EXPECT_EQ(fresh.lightSource, kSourceImage);
  EXPECT_EQ(fresh.lightBrightness, 100.0);
  EXPECT_EQ(fresh.lightBlur, 10.0);
  EXPECT_EQ(fresh.lightColor[0], 32768);
  EXPECT_EQ(fresh.mattePosition, 50.0);
  EXPECT_EQ(fresh.matteRange, 25.0);
  EXPECT_EQ(fresh.shapeBlendMode, kShapeAdd);
  EXPECT_EQ(fresh.shapeScaleY, 100.0);
}

TEST(LightParametersTest, CornerPinIdentityBreaksOnTheSmallestChange) {
  LightParameters p;
  EXPECT_TRUE(p.cornerPinIsIdentity());
  for (int corner = 0; corner < 4; ++corner) {
    for (int axis = 0; axis < 2; ++axis) {
      LightParameters q;
      double& v = axis == 0 ? q.corners[corner].x : q.corners[corner].y;
      v = std::nextafter(v, 2.0);
      EXPECT_FALSE(q.cornerPinIsIdentity()) << corner << "/" << axis;
    }
  }
}

TEST(LightParametersTest, AssignCopiesEverythingAndSelfAssignIsHarmless) {
  LightParameters a;
  a.shapeFile.assign("/srv/Shapes/Window.jpg");
  a.lightColor[1] = 12;
  a.corners[3].x = 0.25;
  LightParameters b;
  b.assign(a);
  EXPECT_TRUE(a == b);
  const LightParameters before = a;
  a.assign(a);
  EXPECT_TRUE(a == before);
}

struct DisplayNameCase {
  const char* path;
  const char* name;
};

class PathDisplayNameTest : public ::testing::TestWithParam<DisplayNameCase> {};

TEST_P(PathDisplayNameTest, TakesTheTextAfterTheLastSeparatorWithoutExtension) {
  PathBuffer p;
  p.assign(GetParam().path);
  EXPECT_EQ(p.displayName(), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Paths, PathDisplayNameTest,
                         ::testing::Values(DisplayNameCase{"C:\\Shapes\\Window.jpg", "Window"},
                                           DisplayNameCase{"/srv/Shapes/Window.jpg", "Window"},
                                           DisplayNameCase{"C:\\Shapes\\noext", "noext"},
                                           DisplayNameCase{"noseparator.png", ""},
                                           DisplayNameCase{"/a.b/c.d.e", "c.d"},
                                           DisplayNameCase{"/dir.x/file", "file"}));

TEST(PathBufferTest, AssignIgnoresEmptyTextAndCutsOverlongText) {
  PathBuffer p;
  p.assign("/a/b");
  p.assign("");
  EXPECT_STREQ(p.c_str(), "/a/b");
  std::string longText(500, 'x');
  p.assign(longText);
  EXPECT_EQ(p.length(), PathBuffer::kCapacity - 1);
}

TEST(PathBufferTest, CutToFolderAndAppendNameBuildTheShapeFolder) {
  PathBuffer p;
  p.assign("/usr/lib/veyra/plug-ins/KVO_Veyra.8bf");
  p.cutToFolder();
  EXPECT_STREQ(p.c_str(), "/usr/lib/veyra/plug-ins");
  p.appendName("Patterns");
  EXPECT_STREQ(p.c_str(), "/usr/lib/veyra/plug-ins/Patterns");
  PathBuffer bare;
  bare.assign("nofolder");
  bare.cutToFolder();
  EXPECT_STREQ(bare.c_str(), "nofolder");
}

TEST(PathBufferTest, AppendNameNeverOverflows) {
  PathBuffer p;
  p.assign(std::string(298, 'a'));
  p.appendName("Patterns");
  EXPECT_EQ(p.length(), PathBuffer::kCapacity - 1);
  EXPECT_EQ(p.c_str()[298], '/');
}

TEST(PathBufferTest, EqualsIsExactAndCaseSensitive) {
  PathBuffer a, b;
  a.assign("/x/Window.png");
  b.assign("/x/window.png");
  EXPECT_FALSE(a.equals(b));
  b.assign("/x/Window.png");
  EXPECT_TRUE(a.equals(b));
  b.copy(b);
  EXPECT_TRUE(a.equals(b));
}

}  // namespace
}  // namespace veyra
