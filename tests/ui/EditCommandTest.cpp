// `veyra edit` and `veyra about` in real windows (the suite runs under
// xvfb-run): the dialog is shown, drawn, captured and confirmed by the host's
// test-only auto-confirm variable.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/Document.h"
#include "app/ImageFile.h"

namespace veyra {
namespace {

std::string quoted(const std::string& s) { return "'" + s + "'"; }

// A file name in the test's temporary folder that no other test process
// (ctest runs them in parallel) uses.
std::string tempFile(const std::string& name) {
  return ::testing::TempDir() + "veyra_ui_" + std::to_string(::getpid()) + "_" + name;
}

// Runs the command through the shell; answers its exit status.
int runCommand(const std::string& command, std::string* output = nullptr) {
  const std::string log = tempFile("output.txt");
  const int status = std::system((command + " >" + quoted(log) + " 2>&1").c_str());
  if (output != nullptr) {
    std::ifstream in(log);
    output->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::remove(log.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool exists(const std::string& path) { return std::ifstream(path).good(); }

const std::string kRoom = std::string(VEYRA_SOURCE_DIR) + "/samples/Room.jpg";

class EditCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display (the suite runs under xvfb-run)";
  }

  // veyra edit with the dialog confirmed (or cancelled) after its first drawing.
  int edit(const std::string& options, const std::string& shot, const std::string& out, bool cancel = false,
           std::string* messages = nullptr) {
    std::remove(shot.c_str());
    std::remove(out.c_str());
    const std::string env =
        std::string("VEYRA_DIALOG_AUTOCONFIRM=") + quoted((cancel ? "cancel:" : "") + shot) + " ";
    return runCommand(
        env + quoted(VEYRA_EXE_PATH) + " edit " + quoted(kRoom) + " " + quoted(out) + " " + options,
        messages);
  }
};

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

Rgb pixel(const app::Document& d, int x, int y) { return Rgb{d.at(0, x, y), d.at(1, x, y), d.at(2, x, y)}; }

double meanLuma(const app::Document& d, int left, int top, int right, int bottom) {
  double sum = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      sum += 0.3 * d.at(0, x, y) + 0.59 * d.at(1, x, y) + 0.11 * d.at(2, x, y);
  return sum / ((right - left) * (bottom - top));
}

// The share of pixels along a vertical or horizontal segment that differ
// from the background colour.
double drawnShare(const app::Document& d, int x0, int y0, int x1, int y1, const Rgb& background) {
  int drawn = 0, total = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x, ++total) drawn += pixel(d, x, y) == background ? 0 : 1;
  return static_cast<double>(drawn) / total;
}

TEST_F(EditCommand, ShowsTheRenderedPreviewAndTheLayoutThenWritesOnOk) {
  const std::string shot = tempFile("bright.png"), out = tempFile("bright.jpg");
  ASSERT_EQ(edit("--set lBrt=400 --set lBln=lAdd --set mRng=100", shot, out), 0);
  ASSERT_TRUE(exists(out));
  const app::Document d = app::loadImage(shot);
  ASSERT_EQ(d.width(), 775);
  ASSERT_EQ(d.height(), 514);

  const Rgb background = pixel(d, 387, 250);  // between the columns
  // The preview item's black outline at (7, 7, 384, 297).
  EXPECT_EQ(pixel(d, 7, 150), (Rgb{0, 0, 0}));
  EXPECT_EQ(pixel(d, 383, 150), (Rgb{0, 0, 0}));
  EXPECT_EQ(pixel(d, 200, 7), (Rgb{0, 0, 0}));
  EXPECT_EQ(pixel(d, 200, 296), (Rgb{0, 0, 0}));
  // The image fills the inner width (Room.jpg is wider than 369 / 282), with
  // the green corner-pin outline along its edges.
  EXPECT_EQ(pixel(d, 11, 150), (Rgb{0, 255, 0}));

  // Buttons, frames and the swatch where the layout table puts them: their
  // edges are drawn, the gaps between them are background.
  struct Box {
    const char* name;
    int left, top, right, bottom;
  };
  const Box boxes[] = {{"OK", 668, 7, 768, 33},
                       {"Cancel", 561, 7, 661, 33},
                       {"Reset", 447, 7, 547, 33},
                       {"Select", 695, 198, 761, 224},
                       {"matte frame", 391, 40, 768, 177},
                       {"shape frame", 391, 184, 768, 507},
                       {"light frame", 7, 327, 384, 464},
                       {"colour swatch", 64, 471, 104, 491}};
  for (const Box& b : boxes) {
    const int midY = (b.top + b.bottom) / 2;
    EXPECT_GT(drawnShare(d, b.left, midY - 3, b.left + 1, midY + 3, background), 0.4) << b.name;
    EXPECT_GT(drawnShare(d, b.right - 2, midY - 3, b.right - 1, midY + 3, background), 0.4) << b.name;
    EXPECT_EQ(drawnShare(d, b.left - 3, midY - 3, b.left - 3, midY + 3, background), 0.0) << b.name;
  }
  EXPECT_EQ(drawnShare(d, 662, 10, 666, 30, background), 0.0);  // between Cancel and OK

  // The same run with no brightness shows a darker preview: the preview shows
  // the rendered effect, not the unprocessed image.
  const std::string darkShot = tempFile("dark.png"), darkOut = tempFile("dark.jpg");
  ASSERT_EQ(edit("--set lBrt=0 --set lBln=lAdd --set mRng=100", darkShot, darkOut), 0);
  const app::Document dark = app::loadImage(darkShot);
  const double lit = meanLuma(d, 20, 40, 370, 260), plain = meanLuma(dark, 20, 40, 370, 260);
  EXPECT_GT(lit, plain + 15) << "lit " << lit << " plain " << plain;
  // Outside the preview both dialogs look alike.
  EXPECT_NEAR(meanLuma(d, 400, 190, 760, 500), meanLuma(dark, 400, 190, 760, 500), 2.0);
  // And the written result carries the effect too.
  EXPECT_GT(meanLuma(app::loadImage(out), 0, 0, 200, 200),
            meanLuma(app::loadImage(darkOut), 0, 0, 200, 200) + 15);
  for (const std::string& f : {shot, out, darkShot, darkOut}) std::remove(f.c_str());
}

TEST_F(EditCommand, CancelWritesNothingAndExitsThree) {
  const std::string shot = tempFile("cancel.png"), out = tempFile("cancel.jpg");
  std::string messages;
  EXPECT_EQ(edit("", shot, out, true, &messages), 3);
  EXPECT_TRUE(exists(shot));
  EXPECT_FALSE(exists(out));
  EXPECT_NE(messages.find("cancel"), std::string::npos) << messages;
  std::remove(shot.c_str());
}

TEST_F(EditCommand, AboutBoxIsTheSplashAndClosesOnAClick) {
  const std::string shot = tempFile("about.png");
  std::remove(shot.c_str());
  ASSERT_EQ(runCommand("VEYRA_DIALOG_AUTOCONFIRM=" + quoted(shot) + " " + quoted(VEYRA_EXE_PATH) + " about"),
            0);
  const app::Document d = app::loadImage(shot);
  EXPECT_EQ(d.width(), 450);
  EXPECT_EQ(d.height(), 231);
  std::remove(shot.c_str());
}

TEST(EditCommandWithoutDisplay, SaysWhyAndExitsTwo) {
  const std::string out = tempFile("nodisplay.jpg");
  std::remove(out.c_str());
  std::string messages;
  const int status = runCommand(
      "env -u DISPLAY " + quoted(VEYRA_EXE_PATH) + " edit " + quoted(kRoom) + " " + quoted(out), &messages);
  EXPECT_EQ(status, 2);
  EXPECT_FALSE(exists(out));
  EXPECT_NE(messages.find("display"), std::string::npos) << messages;
  EXPECT_EQ(runCommand("env -u DISPLAY " + quoted(VEYRA_EXE_PATH) + " about", &messages), 2);
}

}  // namespace
}  // namespace veyra
