// A real FLTK dialog under an X display (the suite runs under xvfb-run):
// the window shows what the items draw, and a modal run ends by a button.
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "AdmFixture.h"

namespace veyra::test {
namespace {

namespace host = dialogmanager;

bool writePng(const std::string& path, const std::vector<unsigned char>& rgb, int w, int h) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (png && info && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, f);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y)
      png_write_row(png, const_cast<png_bytep>(&rgb[static_cast<std::size_t>(y) * w * 3]));
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  return ok;
}

// A picture item that fills itself red with a black outline.
class Swatch : public ADM::Item {
 public:
  Swatch(ADM::Dialog* d, const ADMRect& r) : ADM::Item(d, 5, kADMPictureStaticType, r) {}
  void draw(ADM::Drawer& drawer) override {
    drawer.setADMColor(kADMRedColor);
    drawer.fillRect(localRect());
    drawer.setADMColor(kADMBlackColor);
    drawer.frameRect(localRect());
    ++draws;
  }
  int draws = 0;
};

class WindowTest : public AdmTest {
 protected:
  void SetUp() override {
    AdmTest::SetUp();
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no X display (run under xvfb-run)";
    std::string error;
    ASSERT_TRUE(host::openDisplay(&error)) << error;
  }
  void TearDown() override {
    host::useHeadless();
    AdmTest::TearDown();
  }
};

TEST_F(WindowTest, ShowsWhatItemsDrawAndEndsByItsDefaultButton) {
  ADM::Dialog dialog("window test", 1, kADMModalDialogStyle);
  dialog.setText("Window test");
  dialog.sizeTo(240, 140);
  dialog.moveTo(40, 40);
  Swatch swatch(&dialog, ADMRect{20, 20, 100, 80});
  ADM::Button ok(&dialog, 1, "OK", ADMRect{130, 100, 220, 126});
  ADM::Slider slider(&dialog, 6, ADMRect{130, 20, 220, 36});
  slider.setFloatRange(0, 10);
  slider.setFloatValue(5);
  ASSERT_NE(dialog.ref()->view, nullptr);

  std::vector<unsigned char> rgb;
  int w = 0, h = 0;
  bool captured = false;
  host::setModalDriver([&](ADMDialogRef ref) {
    captured = host::captureWindow(ref, rgb, w, h);
    host::click(ok.ref());
  });
  EXPECT_EQ(dialog.runModal(), 1);
  ASSERT_TRUE(captured);
  ASSERT_EQ(w, 240);
  ASSERT_EQ(h, 140);
  EXPECT_GT(swatch.draws, 0);
  auto pixel = [&](int x, int y) {
    const unsigned char* p = &rgb[(static_cast<std::size_t>(y) * w + x) * 3];
    return std::vector<int>{p[0], p[1], p[2]};
  };
  EXPECT_EQ(pixel(60, 50), (std::vector<int>{255, 0, 0}));  // inside the swatch
  EXPECT_EQ(pixel(20, 20), (std::vector<int>{0, 0, 0}));    // its outline
  EXPECT_EQ(pixel(99, 79), (std::vector<int>{0, 0, 0}));
  EXPECT_NE(pixel(10, 130), (std::vector<int>{255, 0, 0}));  // the dialog's background
  EXPECT_NE(pixel(101, 50), (std::vector<int>{255, 0, 0}));  // nothing drawn outside the item
  EXPECT_TRUE(writePng(::testing::TempDir() + "adm_window.png", rgb, w, h));
}

TEST_F(WindowTest, ClosingTheWindowCancels) {
  ADM::Dialog dialog("close test", 2, kADMModalDialogStyle);
  dialog.sizeTo(120, 60);
  EventLog log;
  log.listen(dialog, ADM::kCloseEvent, "close");
  host::setModalDriver([](ADMDialogRef ref) { host::closeWindow(ref); });
  EXPECT_EQ(dialog.runModal(), 2);
  EXPECT_EQ(log.entries, (std::vector<std::string>{"close"}));
}

// A picture item that records the pointer events it is given.
class PointerProbe : public ADM::Item {
 public:
  PointerProbe(ADM::Dialog* d, const ADMRect& r) : ADM::Item(d, 7, kADMPictureStaticType, r) {}
  bool track(ADM::Tracker& t) override {
    actions.push_back(t.action());
    modifiers.push_back(t.modifiers());
    points.push_back(t.point());
    return false;
  }
  std::vector<ADMAction> actions;
  std::vector<ADMModifiers> modifiers;
  std::vector<ADMPoint> points;
};

TEST_F(WindowTest, WindowEventsReachTheItemsThroughTheWidgets) {
  ADM::Dialog dialog("events", 3, kADMModalDialogStyle);
  dialog.sizeTo(300, 160);
  PointerProbe probe(&dialog, ADMRect{10, 10, 110, 90});
  probe.setMask(probe.mask() | kADMMouseMovedUpMask | kADMLeaveMask);
  ADM::Slider slider(&dialog, 6, ADMRect{130, 20, 290, 36});
  slider.setFloatRange(0, 100);
  ADM::Button ok(&dialog, 1, "OK", ADMRect{200, 120, 290, 146});
  EventLog log;
  log.listen(slider, ADM::kTrackEvent, "track");
  log.listen(slider, ADM::kChangedEvent, "changed");
  log.listen(ok, ADM::kSelectEvent, "ok");
  float valueAtRelease = -1;
  host::setModalDriver([&](ADMDialogRef ref) {
    host::injectPointer(ref, kADMMouseMovedUpAction, ADMPoint{30, 40});
    host::injectPointer(ref, kADMButtonDownAction, ADMPoint{35, 45},
                        kADMAltKeyModifier | kADMShiftKeyModifier);
    host::injectPointer(ref, kADMMouseMovedDownAction, ADMPoint{50, 60});
    host::injectPointer(ref, kADMButtonUpAction, ADMPoint{50, 60});
    // Drag the slider from its left end to its far right.
    host::injectPointer(ref, kADMButtonDownAction, ADMPoint{135, 28});
    host::injectPointer(ref, kADMMouseMovedDownAction, ADMPoint{200, 28});
    host::injectPointer(ref, kADMMouseMovedDownAction, ADMPoint{289, 28});
    host::injectPointer(ref, kADMButtonUpAction, ADMPoint{289, 28});
    valueAtRelease = slider.floatValue();
    host::injectPointer(ref, kADMButtonDownAction, ADMPoint{240, 130});
    host::injectPointer(ref, kADMButtonUpAction, ADMPoint{240, 130});
  });
  EXPECT_EQ(dialog.runModal(), 1);
  // The probe saw the pointer enter and move without a button, then the
  // press with Alt (0x20) and Shift (0x40), the drag and the release, in
  // item coordinates.
  auto down = std::find(probe.actions.begin(), probe.actions.end(), kADMButtonDownAction);
  ASSERT_NE(down, probe.actions.end());
  EXPECT_NE(std::find(probe.actions.begin(), down, kADMMouseMovedUpAction), down);
  std::size_t at = static_cast<std::size_t>(down - probe.actions.begin());
  ASSERT_GE(probe.actions.size(), at + 3);
  EXPECT_EQ(probe.actions[at + 1], kADMMouseMovedDownAction);
  EXPECT_EQ(probe.actions[at + 2], kADMButtonUpAction);
  EXPECT_EQ(probe.modifiers[at] & 0x60u, 0x60u);
  EXPECT_EQ(probe.points[at].h, 25);
  EXPECT_EQ(probe.points[at].v, 35);
  EXPECT_EQ(probe.points[at + 1].h, 40);
  // Leaving the item for the slider is reported too.
  EXPECT_EQ(probe.actions.back(), kADMLeaveAction);
  // The slider: "track" at each move with the button held, "changed" once at release.
  ASSERT_GE(log.entries.size(), 3u);
  EXPECT_EQ(std::count(log.entries.begin(), log.entries.end(), "track"), 2);
  EXPECT_EQ(std::count(log.entries.begin(), log.entries.end(), "changed"), 1);
  EXPECT_EQ(log.entries.back(), "ok");
  EXPECT_EQ(log.entries[log.entries.size() - 2], "changed");
  EXPECT_GT(valueAtRelease, 90.0f);
}

}  // namespace
}  // namespace veyra::test
