// The light dialog run by the host through the plug-in's entry point, driven
// with synthesised events.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "adm/SuiteSet.h"
#include "app/ImageFile.h"
#include "dialogmanager/DialogManager.h"
#include "support/ui_test_host.h"
#include "ui/LightDialog.h"

namespace veyra {
namespace {

namespace adm = dialogmanager;
using app::ColorMode;
using test::UiTestHost;
using Rect4 = std::array<int, 4>;

Rect4 r4(const ADMRect& r) { return Rect4{r.left, r.top, r.right, r.bottom}; }

void press(ADM::Item& item) { adm::click(item.ref()); }

// The rectangle of a slider row, from its parts: the slider spans the row's
// width along its bottom 10 pixels and the field starts 2 below its top.
Rect4 rowOf(const TextSlider& s) {
  const ADMRect slider = s.slider().boundsRect(), edit = s.edit().boundsRect();
  return Rect4{slider.left, edit.top - 2, slider.right, slider.bottom};
}

// A pair's rectangle from its popup (right half) and label (left half).
Rect4 pairOf(const LabeledComboBox& b) {
  const ADMRect label = b.label().boundsRect(), popup = b.popup().boundsRect();
  return Rect4{label.left, popup.top, popup.right, popup.bottom};
}

TEST(LightDialogLayout, EveryControlSitsWhereTheTableSays) {
  UiTestHost host(640, 480, ColorMode::RGB);
  bool ran = false;
  host.run([&](LightDialog& d, ADMDialogRef) {
    ran = true;
    const ADMRect local = d.localRect();
    EXPECT_EQ(local.right - local.left, 775);
    EXPECT_EQ(local.bottom - local.top, 514);

    struct Plain {
      ADM::Item* item;
      int id;
      Rect4 rect;
    };
    const Plain plain[] = {
        {&d.preview(), 0, {7, 7, 384, 297}},
        {&d.viewButton(0), 4, {7, 304, 85, 320}},
        {&d.viewButton(1), 5, {85, 304, 163, 320}},
        {&d.viewButton(2), 6, {163, 304, 241, 320}},
        {&d.viewButton(3), 7, {241, 304, 319, 320}},
        {&d.zoomOutButton(), 9, {320, 304, 336, 320}},
        {&d.zoomLabel(), 0, {336, 304, 368, 320}},
        {&d.zoomInButton(), 8, {368, 304, 384, 320}},
        {&d.lightFrame(), 0, {7, 327, 384, 464}},
        {&d.colorLabel(), 0, {14, 473, 64, 489}},
        {&d.colorSwatch(), 15, {64, 471, 104, 491}},
        {&d.eyeDropper(), 16, {111, 471, 137, 491}},
        {&d.okButton(), 1, {668, 7, 768, 33}},
        {&d.cancelButton(), 2, {561, 7, 661, 33}},
        {&d.resetButton(), 3, {447, 7, 547, 33}},
        {&d.matteFrame(), 0, {391, 40, 768, 177}},
        {&d.shapeFrame(), 0, {391, 184, 768, 507}},
        {&d.selectButton(), 22, {695, 198, 761, 224}},
        {&d.shapeFileLabel(), 0, {398, 203, 688, 224}},
    };
    for (const Plain& p : plain) {
      EXPECT_EQ(r4(p.item->boundsRect()), p.rect) << "item id " << p.id;
      EXPECT_EQ(p.item->id(), p.id);
    }

    struct Pair {
      LabeledComboBox* box;
      int id;
      Rect4 group, label, popup;
    };
    const Pair pairs[] = {
        {&d.lightBlend(), 10, {14, 341, 195, 361}, {14, 343, 102, 359}, {104, 341, 195, 361}},
        {&d.lightSource(), 11, {195, 341, 376, 361}, {195, 343, 283, 359}, {285, 341, 376, 361}},
        {&d.matteChannel(), 17, {398, 54, 579, 74}, {398, 56, 486, 72}, {488, 54, 579, 74}},
        {&d.shapeBlend(), 10, {398, 224, 579, 244}, {398, 226, 486, 242}, {488, 224, 579, 244}},
    };
    for (const Pair& p : pairs) {
      EXPECT_EQ(pairOf(*p.box), p.group);
      EXPECT_EQ(r4(p.box->label().boundsRect()), p.label);
      EXPECT_EQ(r4(p.box->popup().boundsRect()), p.popup);
      EXPECT_EQ(p.box->popup().id(), p.id);
      EXPECT_EQ(p.box->id(), p.id);
    }

    struct Row {
      TextSlider* slider;
      int id;
      Rect4 rect;
    };
    const Row rows[] = {
        {&d.brightness(), 12, {14, 361, 377, 393}},    {&d.displacement(), 13, {14, 393, 377, 425}},
        {&d.lightBlur(), 14, {14, 425, 377, 457}},     {&d.mattePosition(), 18, {398, 74, 761, 106}},
        {&d.matteRange(), 19, {398, 106, 761, 138}},   {&d.matteBlur(), 20, {398, 138, 761, 170}},
        {&d.shapeSlider(0), 23, {398, 244, 761, 276}}, {&d.shapeSlider(1), 24, {398, 276, 761, 308}},
        {&d.shapeSlider(2), 25, {398, 308, 761, 340}}, {&d.shapeSlider(3), 26, {398, 340, 761, 372}},
        {&d.shapeSlider(4), 27, {398, 372, 761, 404}}, {&d.shapeSlider(5), 28, {398, 404, 761, 436}},
        {&d.shapeSlider(6), 29, {398, 436, 761, 468}}, {&d.shapeSlider(7), 30, {398, 468, 761, 500}},
    };
    for (const Row& r : rows) {
      EXPECT_EQ(rowOf(*r.slider), r.rect) << "row id " << r.id;
      EXPECT_EQ(r.slider->id(), r.id);
      EXPECT_EQ(r.slider->slider().id(), r.id);
      EXPECT_EQ(r.slider->edit().id(), r.id);
    }

    EXPECT_EQ(d.selectButton().text(), "Select");
    EXPECT_EQ(d.shapeSlider(0).label().text(), "Opacity");
    EXPECT_EQ(d.zoomInButton().text(), "+");
    EXPECT_EQ(d.zoomOutButton().text(), "-");
    EXPECT_FALSE(d.eyeDropper().isVisible());
    press(d.cancelButton());
  });
  EXPECT_TRUE(ran);
}

TEST(LightDialogLayout, FollowsThePreviewWidth) {
  const LightDialogLayout L = LightDialogLayout::compute(300);
  EXPECT_EQ(L.dialogWidth, 621);
  EXPECT_EQ(r4(L.zoomIn), (Rect4{291, 304, 307, 320}));
  EXPECT_EQ(r4(L.viewButtons[3]), (Rect4{7 + 3 * 59, 304, 7 + 4 * 59, 320}));
  EXPECT_EQ(r4(L.ok), (Rect4{514, 7, 614, 33}));
  EXPECT_EQ(L.dialogHeight, 514);
}

TEST(LightDialog, TypingShowsTheClampedValueAndOkKeepsIt) {
  UiTestHost host(200, 150, ColorMode::RGB);
  const auto r = host.run([](LightDialog& d, ADMDialogRef) {
    adm::enterText(d.brightness().edit().ref(), "1000");
    EXPECT_EQ(d.brightness().edit().text(), "600");
    adm::enterText(d.displacement().edit().ref(), "-5");
    EXPECT_EQ(d.displacement().edit().text(), "-5");
    adm::enterText(d.lightBlur().edit().ref(), "-5");
    EXPECT_EQ(d.lightBlur().edit().text(), "0");
    adm::enterText(d.mattePosition().edit().ref(), "12.345678");
    EXPECT_EQ(d.mattePosition().edit().text(), "12.3457");
    adm::enterText(d.shapeSlider(7).edit().ref(), "-400");
    press(d.okButton());
  });
  EXPECT_EQ(r.result, 0);
  const LightParameters p = host.parameters();
  EXPECT_EQ(p.lightBrightness, 600.0);
  EXPECT_EQ(p.lightDisplacement, -5.0);
  EXPECT_EQ(p.lightBlur, 0.0);
  EXPECT_EQ(p.mattePosition, static_cast<double>(12.345678f));
  EXPECT_EQ(p.shapeRotation, -180.0);
}

TEST(LightDialog, StoredValuesOutsideTheRangesShowClampedWithoutChangingTheParameters) {
  UiTestHost host(64, 64, ColorMode::RGB);
  LightParameters stored;
  stored.lightBrightness = 5000;
  stored.shapeScaleX = -3;
  stored.matteBlur = std::nan("");
  host.setParameters(stored);
  host.run([](LightDialog& d, ADMDialogRef) {
    EXPECT_EQ(d.brightness().edit().text(), "600");
    EXPECT_EQ(d.shapeSlider(5).edit().text(), "0");
    EXPECT_EQ(d.matteBlur().edit().text(), "0");
    press(d.okButton());
  });
  const LightParameters p = host.parameters();
  EXPECT_EQ(p.lightBrightness, 5000.0);
  EXPECT_EQ(p.shapeScaleX, -3.0);
}

TEST(LightDialog, CancelRestoresEveryParameterAndAnswersCancelled) {
  UiTestHost host(120, 90, ColorMode::RGB);
  LightParameters before;
  before.lightBrightness = 42;
  before.lightBlendMode = kLightScreen;
  before.matteChannel = kChannelGreen;
  before.shapeFile.assign("/srv/shapes/Blinds.png");
  before.corners[2] = {0.75, 0.8};
  host.setParameters(before);
  adm::setFileDialogAnswer(std::string("/tmp/Window.png"));
  const auto r = host.run([](LightDialog& d, ADMDialogRef ref) {
    adm::enterText(d.brightness().edit().ref(), "300");
    adm::choosePopup(d.lightBlend().popup().ref(), 0);
    adm::choosePopup(d.matteChannel().popup().ref(), 8);
    adm::choosePopup(adm::findItem(ref, LightDialog::kBlendMode, kADMPopupListType, 1), 3);
    adm::dragSlider(d.shapeSlider(3).slider().ref(), {0, 20, 40});
    press(d.selectButton());
    press(d.resetButton());
    adm::enterText(d.matteRange().edit().ref(), "77");
    press(d.cancelButton());
  });
  EXPECT_EQ(r.result, userCanceledErr);
  EXPECT_EQ(r.selector, filterSelectorStart);
  EXPECT_TRUE(host.parameters() == before);
}

TEST(LightDialog, ClosingTheWindowCancels) {
  UiTestHost host(40, 30, ColorMode::Gray);
  const auto r = host.run([](LightDialog& d, ADMDialogRef ref) {
    adm::enterText(d.brightness().edit().ref(), "300");
    adm::closeWindow(ref);
  });
  EXPECT_EQ(r.result, userCanceledErr);
  EXPECT_EQ(host.parameters().lightBrightness, 100.0);
}

TEST(LightDialog, BlendGroupsShareAnIdYetReachTheirOwnHandlers) {
  UiTestHost host(80, 60, ColorMode::RGB);
  host.run([](LightDialog& d, ADMDialogRef ref) {
    ADMItemRef first = adm::findItem(ref, 10, kADMPopupListType, 0);
    ADMItemRef second = adm::findItem(ref, 10, kADMPopupListType, 1);
    ASSERT_EQ(first, d.lightBlend().popup().ref());
    ASSERT_EQ(second, d.shapeBlend().popup().ref());
    adm::choosePopup(first, 1);
    adm::choosePopup(second, 4);
    press(d.okButton());
  });
  LightParameters p = host.parameters();
  EXPECT_EQ(p.lightBlendMode, kLightSubtract);
  EXPECT_EQ(p.shapeBlendMode, kShapeMultiply);

  const auto second = host.run([](LightDialog& d, ADMDialogRef ref) {
    EXPECT_EQ(d.lightBlend().popup().activeIndex(), 1);
    EXPECT_EQ(d.shapeBlend().popup().activeIndex(), 4);
    adm::choosePopup(adm::findItem(ref, 10, kADMPopupListType, 1), 8);
    press(d.okButton());
  });
  EXPECT_EQ(second.result, 0) << second.selector;
  p = host.parameters();
  EXPECT_EQ(p.lightBlendMode, kLightSubtract);
  EXPECT_EQ(p.shapeBlendMode, kShapeLighten);
}

struct ChannelCase {
  const char* name;
  ColorMode mode;
  int32_t forcedMode;
  int entries;
  int32_t stored;
  int32_t kept;
};

class MatteChannels : public ::testing::TestWithParam<ChannelCase> {};

TEST_P(MatteChannels, OfferTheChannelsOfTheImageMode) {
  const ChannelCase& c = GetParam();
  UiTestHost host(48, 32, c.mode, c.forcedMode);
  LightParameters stored;
  stored.matteChannel = c.stored;
  host.setParameters(stored);
  host.run([&](LightDialog& d, ADMDialogRef) {
    ASSERT_EQ(d.matteChannel().popup().numberOfEntries(), c.entries);
    for (int i = 0; i < c.entries; ++i) EXPECT_NE(d.matteChannel().popup().findEntry(i), nullptr);
    EXPECT_EQ(d.matteChannel().popup().selectedId(), c.kept);
    press(d.okButton());
  });
  EXPECT_EQ(host.parameters().matteChannel, c.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, MatteChannels,
    ::testing::Values(
        ChannelCase{"GrayRed", ColorMode::Gray, 0, 1, kChannelRed, kChannelLuminance},
        ChannelCase{"LabRed", ColorMode::Gray, plugInModeLabColor, 1, kChannelRed, kChannelLuminance},
        ChannelCase{"CmykHue", ColorMode::CMYK, 0, 7, kChannelHue, kChannelLuminance},
        ChannelCase{"CmykYellow", ColorMode::CMYK, 0, 7, kChannelYellow, kChannelYellow},
        ChannelCase{"RgbSaturation", ColorMode::RGB, 0, 9, kChannelSaturation, kChannelSaturation}),
    [](const ::testing::TestParamInfo<ChannelCase>& info) { return std::string(info.param.name); });

TEST(LightDialog, ZoomStepsLabelAndEnableTheButtons) {
  UiTestHost host(738, 300, ColorMode::RGB);
  host.run([](LightDialog& d, ADMDialogRef) {
    EXPECT_EQ(d.zoomLabel().text(), "100%");
    EXPECT_FALSE(d.zoomInButton().isEnabled());
    EXPECT_TRUE(d.zoomOutButton().isEnabled());
    EXPECT_EQ(d.displayBuffer()->width(), 369);
    press(d.zoomInButton());
    EXPECT_EQ(d.zoom(), 1.0);

    const char* labels[] = {" 85%", " 70%", " 54%", " 50%"};
    for (const char* label : labels) {
      press(d.zoomOutButton());
      EXPECT_EQ(d.zoomLabel().text(), label);
      EXPECT_TRUE(d.zoomInButton().isEnabled());
    }
    EXPECT_FALSE(d.zoomOutButton().isEnabled());
    EXPECT_EQ(d.displayBuffer()->width(), 184);
    EXPECT_EQ(d.sourceProxy()->width(), 184);
    EXPECT_EQ(d.viewBuffer()->height(), 75);
    EXPECT_EQ(r4(d.preview().imageRect()), (Rect4{96, 107, 280, 182}));
    press(d.zoomInButton());
    EXPECT_EQ(d.zoomLabel().text(), " 65%");
    press(d.cancelButton());
  });
}

TEST(LightDialog, ResetRestoresDefaultsAndResultViewButKeepsTheZoom) {
  UiTestHost host(160, 120, ColorMode::RGB);
  LightParameters stored;
  stored.shapeOpacity = 12;
  stored.corners[0] = {0.3, 0.4};
  host.setParameters(stored);
  host.run([](LightDialog& d, ADMDialogRef) {
    press(d.viewButton(1));
    press(d.zoomOutButton());
    adm::enterText(d.brightness().edit().ref(), "250");
    press(d.resetButton());
    EXPECT_EQ(d.zoomLabel().text(), " 85%");
    EXPECT_TRUE(d.viewButton(0).isOn());
    EXPECT_FALSE(d.viewButton(1).isOn());
    EXPECT_EQ(d.brightness().edit().text(), "100");
    EXPECT_EQ(d.shapeSlider(0).edit().text(), "100");
    EXPECT_EQ(d.preview().corners()[0], 0.0);
    EXPECT_EQ(d.preview().corners()[1], 0.0);
    EXPECT_EQ(d.preview().shownBuffer().get(), d.displayBuffer().get());
    press(d.okButton());
  });
  EXPECT_TRUE(host.parameters() == LightParameters());
  EXPECT_EQ(host.state().viewMode, 0);
}

TEST(LightDialog, ViewModeSurvivesIntoTheNextRun) {
  UiTestHost host(90, 70, ColorMode::RGB);
  host.run([](LightDialog& d, ADMDialogRef) {
    press(d.viewButton(2));
    EXPECT_EQ(d.preview().shownBuffer().get(), d.viewBuffer().get());
    press(d.cancelButton());
  });
  EXPECT_EQ(host.state().viewMode, 2);
  host.run([](LightDialog& d, ADMDialogRef) {
    for (int i = 0; i < 4; ++i) EXPECT_EQ(d.viewButton(i).isOn(), i == 2);
    EXPECT_EQ(d.preview().shownBuffer().get(), d.viewBuffer().get());
    press(d.cancelButton());
  });
}

TEST(LightDialog, SmallDocumentIsShownAtItsOwnSizeCentred) {
  UiTestHost host(100, 50, ColorMode::RGB);
  host.run([&](LightDialog& d, ADMDialogRef) {
    EXPECT_EQ(r4(d.preview().imageRect()), (Rect4{138, 120, 238, 170}));
    EXPECT_EQ(d.displayBuffer()->width(), 100);
    EXPECT_EQ(d.displayBuffer()->height(), 50);
    // The unprocessed view shows the document's own pixels.
    press(d.viewButton(3));
    const HostBuffer& shown = *d.displayBuffer();
    for (int y = 0; y < 50; y += 7)
      for (int x = 0; x < 100; x += 9)
        for (int c = 0; c < 3; ++c)
          ASSERT_EQ(shown.row(y)[x * shown.bytesPerPixel() + c], host.image().at(c, x, y));
    const adm::DrawRecord ops = adm::draw(d.preview().ref());
    bool drawnAtImageRect = false;
    for (const adm::DrawOp& op : ops)
      if (op.kind == adm::DrawOp::Pixels) drawnAtImageRect = op.rect.left == 138 && op.rect.top == 120;
    EXPECT_TRUE(drawnAtImageRect);
    press(d.cancelButton());
  });
}

TEST(LightDialog, OnePixelDocumentZoomsOutToAnEmptyPreview) {
  UiTestHost host(1, 1, ColorMode::RGB);
  host.run([](LightDialog& d, ADMDialogRef) {
    EXPECT_EQ(d.displayBuffer()->width(), 1);
    for (int i = 0; i < 4; ++i) press(d.zoomOutButton());
    EXPECT_EQ(d.zoomLabel().text(), " 50%");
    EXPECT_EQ(d.displayBuffer()->width(), 0);
    // Corners cannot be dragged on an empty image; views still switch.
    adm::sendPointer(d.preview().ref(), kADMButtonDownAction, ADMPoint{188, 145});
    adm::sendPointer(d.preview().ref(), kADMMouseMovedDownAction, ADMPoint{250, 200});
    press(d.viewButton(1));
    press(d.viewButton(2));
    press(d.zoomInButton());
    EXPECT_EQ(d.displayBuffer()->width(), 0);  // 0.65 of one pixel
    press(d.okButton());
  });
  EXPECT_TRUE(host.parameters().cornerPinIsIdentity());
}

TEST(LightDialog, ResultViewShowsTheEffect) {
  UiTestHost host(100, 50, ColorMode::RGB);
  host.run([&](LightDialog& d, ADMDialogRef) {
    adm::enterText(d.brightness().edit().ref(), "400");
    adm::enterText(d.matteRange().edit().ref(), "100");
    const HostBuffer& shown = *d.displayBuffer();
    const HostBuffer& source = *d.sourceProxy();
    EXPECT_NE(std::memcmp(shown.data(), source.data(), shown.byteSize()), 0);
    press(d.viewButton(3));
    EXPECT_EQ(std::memcmp(shown.data(), source.data(), shown.byteSize()), 0);
    press(d.cancelButton());
  });
}

bool allZero(const HostBuffer& b) {
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x)
      if (b.row(y)[x * b.bytesPerPixel()] != 0) return false;
  return true;
}

TEST(LightDialog, LightMapAndShapeViewsShowTheOnePlaneBuffer) {
  UiTestHost host(100, 50, ColorMode::RGB);
  LightParameters stored;
  stored.shapeBlendMode = kShapeAdd;
  stored.matteRange = 100;
  host.setParameters(stored);
  host.run([](LightDialog& d, ADMDialogRef) {
    // Without a shape file the shape view is black; the light map is the matte.
    press(d.viewButton(2));
    const HostBuffer& view = *d.viewBuffer();
    EXPECT_EQ(d.preview().shownBuffer().get(), &view);
    EXPECT_EQ(d.preview().pixelMap().imageMode, plugInModeGrayScale);
    EXPECT_EQ(d.preview().pixelMap().bounds.right, 100);
    EXPECT_EQ(d.preview().pixelMap().colBytes, 1);
    EXPECT_TRUE(allZero(view));
    press(d.viewButton(1));
    EXPECT_FALSE(allZero(view));
    press(d.viewButton(0));
    EXPECT_EQ(d.preview().pixelMap().imageMode, plugInModeRGBColor);
    EXPECT_EQ(d.preview().pixelMap().baseAddr, d.displayBuffer()->data());
    press(d.cancelButton());
  });
  stored.shapeFile.assign(std::string(VEYRA_SOURCE_DIR) + "/patterns/Spot.png");
  host.setParameters(stored);
  host.run([](LightDialog& d, ADMDialogRef) {
    press(d.viewButton(2));
    EXPECT_FALSE(allZero(*d.viewBuffer()));
    press(d.cancelButton());
  });
}

TEST(LightDialog, SliderDragRendersAndRedrawsAtEveryMove) {
  UiTestHost host(100, 80, ColorMode::RGB);
  host.run([](LightDialog& d, ADMDialogRef) {
    const long drawn = adm::drawCount(d.preview().ref());
    adm::dragSlider(d.brightness().slider().ref(), {100, 200, 300, 400});
    EXPECT_EQ(adm::drawCount(d.preview().ref()), drawn + 4);
    press(d.okButton());
  });
  EXPECT_NEAR(host.parameters().lightBrightness, 400, 1);
}

TEST(LightDialog, LightStageChangesReuseTheCachedShapeAndMatte) {
  UiTestHost host(300, 200, ColorMode::RGB);
  LightParameters stored;
  stored.shapeBlendMode = kShapeMultiply;
  stored.shapeFile.assign(std::string(VEYRA_SOURCE_DIR) + "/patterns/Window.png");
  host.setParameters(stored);
  host.run([](LightDialog& d, ADMDialogRef) {
    const LightRenderer::Statistics before = d.renderer().statistics();
    EXPECT_EQ(before.canvasBuilds, 1);
    adm::dragSlider(d.brightness().slider().ref(), {100, 150, 200, 250});
    adm::choosePopup(d.lightBlend().popup().ref(), kLightScreen);
    LightRenderer::Statistics after = d.renderer().statistics();
    EXPECT_EQ(after.canvasBuilds, before.canvasBuilds);
    EXPECT_EQ(after.matteBuilds, before.matteBuilds);
    EXPECT_EQ(after.lightMapBuilds, before.lightMapBuilds);
    // A shape change places the shape again but keeps the matte.
    adm::enterText(d.shapeSlider(3).edit().ref(), "20");
    after = d.renderer().statistics();
    EXPECT_EQ(after.canvasBuilds, before.canvasBuilds + 1);
    EXPECT_EQ(after.matteBuilds, before.matteBuilds);
    EXPECT_EQ(after.shapeLoads, before.shapeLoads);
    press(d.cancelButton());
  });
}

TEST(LightDialog, CornerDragWritesTheParameters) {
  UiTestHost host(100, 50, ColorMode::RGB);
  host.run([](LightDialog& d, ADMDialogRef) {
    // Lower-right handle of the image rectangle (138, 120, 238, 170).
    ADMItemRef preview = d.preview().ref();
    adm::sendPointer(preview, kADMMouseMovedUpAction, ADMPoint{238, 170});
    adm::sendPointer(preview, kADMButtonDownAction, ADMPoint{238, 170});
    adm::sendPointer(preview, kADMMouseMovedDownAction, ADMPoint{288, 145});
    adm::sendPointer(preview, kADMButtonUpAction, ADMPoint{288, 145});
    press(d.okButton());
  });
  LightParameters p = host.parameters();
  EXPECT_DOUBLE_EQ(p.corners[2].x, 1.5);
  EXPECT_DOUBLE_EQ(p.corners[2].y, 0.5);

  host.run([](LightDialog& d, ADMDialogRef) {
    EXPECT_DOUBLE_EQ(d.preview().corners()[4], 1.5);
    adm::sendPointer(d.preview().ref(), kADMButtonDownAction, ADMPoint{138, 120},
                     kADMAltKeyModifier | kADMShiftKeyModifier);
    press(d.okButton());
  });
  p = host.parameters();
  EXPECT_TRUE(p.cornerPinIsIdentity());
}

TEST(LightDialog, ShapeFileChooserStartsInPatternsAndCancelChangesNothing) {
  UiTestHost host(100, 50, ColorMode::RGB);
  LightParameters stored;
  stored.shapeFile.assign("/srv/shapes/Blinds.png");
  host.setParameters(stored);
  adm::setFileDialogAnswer(std::nullopt);
  host.run([](LightDialog& d, ADMDialogRef) {
    EXPECT_EQ(d.shapeFileLabel().text(), "Blinds: cannot be opened");
    const long drawn = adm::drawCount(d.preview().ref());
    press(d.selectButton());
    EXPECT_EQ(d.shapeFileLabel().text(), "Blinds: cannot be opened");
    EXPECT_EQ(adm::drawCount(d.preview().ref()), drawn);
    press(d.okButton());
  });
  EXPECT_STREQ(host.parameters().shapeFile.c_str(), "/srv/shapes/Blinds.png");
  ASSERT_EQ(adm::fileDialogRequests().size(), 1u);
  const adm::FileDialogRequest& request = adm::fileDialogRequests()[0];
  std::string folder = VEYRA_PLUGIN_PATH;
  folder = folder.substr(0, folder.rfind('/')) + "/Patterns";
  EXPECT_EQ(request.startFolder, folder);
  EXPECT_FALSE(request.prompt.empty());
  const std::vector<std::pair<std::string, std::string>> filters = {
      {"Supported Image Files", "*.jpeg;*.jpg;*.png"},
      {"JPEG files (*.jpeg)", "*.jpeg;*.jpg"},
      {"PNG files (*.png)", "*.png"}};
  EXPECT_EQ(request.filters, filters);
}

// A chosen file shows its name; one that gives no shape says why beside it
// and in a message, and is recorded all the same.
TEST(LightDialog, ChosenShapeFileShowsItsNameOrWhyItCannotBeUsed) {
  const std::string folder = ::testing::TempDir();
  app::Document gray(4, 3, app::ColorMode::Gray), rgb(4, 3, app::ColorMode::RGB);
  app::writePng(gray, folder + "Window.light.png");
  app::writePng(rgb, folder + "Colour.png");
  struct Case {
    std::string path, label;
    bool alert;
  };
  const Case cases[] = {{folder + "Window.light.png", "Window.light", false},
                        {folder + "Colour.png", "Colour: not an 8-bit grayscale PNG or grayscale JPEG", true},
                        {"/srv/shapes/Gone.png", "Gone: cannot be opened", true},
                        {folder + "Pipe.png", "Pipe: cannot be opened", true}};
  ASSERT_EQ(mkfifo((folder + "Pipe.png").c_str(), 0600), 0) << "a FIFO nobody writes to";
  for (const Case& c : cases) {
    UiTestHost host(100, 50, ColorMode::RGB);
    adm::setFileDialogAnswer(c.path);
    host.run([&](LightDialog& d, ADMDialogRef) {
      EXPECT_EQ(d.shapeFileLabel().text(), d.shapeBlend().popup().entryText(0));
      const long drawn = adm::drawCount(d.preview().ref());
      press(d.selectButton());
      EXPECT_EQ(d.shapeFileLabel().text(), c.label);
      EXPECT_EQ(adm::drawCount(d.preview().ref()), drawn + 1);
      press(d.okButton());
    });
    EXPECT_STREQ(host.parameters().shapeFile.c_str(), c.path.c_str());
    ASSERT_EQ(adm::messageAlerts().size(), c.alert ? 1u : 0u) << c.path;
    if (c.alert) {
      EXPECT_NE(adm::messageAlerts()[0].find("8-bit grayscale PNG"), std::string::npos);
    }
  }
  for (const char* f : {"Window.light.png", "Colour.png", "Pipe.png"}) std::remove((folder + f).c_str());
}

TEST(LightDialog, CancelledColourPickerChangesNothing) {
  UiTestHost host(100, 50, ColorMode::RGB);
  LightParameters stored;
  stored.lightColor[0] = 20000;
  stored.lightColor[1] = 15000;
  stored.lightColor[2] = 4000;
  host.setParameters(stored);
  adm::setColorChooserAnswer(std::nullopt);
  host.run([](LightDialog& d, ADMDialogRef) {
    const ADMRGBColor shown = d.colorSwatch().color();
    const long drawn = adm::drawCount(d.preview().ref());
    press(d.colorSwatch());
    EXPECT_EQ(adm::drawCount(d.preview().ref()), drawn);
    EXPECT_EQ(d.colorSwatch().color().red, shown.red);
    EXPECT_EQ(d.colorSwatch().color().blue, shown.blue);
    press(d.okButton());
  });
  const LightParameters p = host.parameters();
  EXPECT_EQ(p.lightColor[0], 20000);
  EXPECT_EQ(p.lightColor[1], 15000);
  EXPECT_EQ(p.lightColor[2], 4000);

  adm::setColorChooserAnswer(ADMRGBColor{65535, 0, 0});
  host.run([](LightDialog& d, ADMDialogRef) {
    press(d.colorSwatch());
    press(d.okButton());
  });
  EXPECT_NE(host.parameters().lightColor[0], 20000);
  EXPECT_GT(host.parameters().lightColor[0], host.parameters().lightColor[2]);
}

TEST(LightDialog, OpensWithoutPreviewWhenItsBuffersCannotBeMade) {
  UiTestHost host(100, 50, ColorMode::RGB);
  host.host().faults().failBufferAllocation = 1;
  host.run([](LightDialog& d, ADMDialogRef) {
    EXPECT_FALSE(d.displayBuffer());
    EXPECT_FALSE(d.preview().shownBuffer());
    // The controls keep their initial values, not refreshed.
    EXPECT_EQ(d.brightness().edit().text(), "");
    adm::enterText(d.brightness().edit().ref(), "200");
    EXPECT_FALSE(d.preview().shownBuffer());
    // A zoom change that succeeds brings the preview.
    press(d.zoomOutButton());
    EXPECT_TRUE(d.displayBuffer());
    EXPECT_EQ(d.preview().shownBuffer().get(), d.displayBuffer().get());
    press(d.cancelButton());
  });
}

TEST(LightDialog, MissingColourServiceEndsTheCallAsInsufficientHost) {
  UiTestHost host(40, 30, ColorMode::RGB);
  host.host().faults().absentSuites.insert("Photoshop ColorSpace Suite for Plug-ins");
  bool shown = false;
  const auto r = host.run([&](LightDialog&, ADMDialogRef) { shown = true; });
  EXPECT_FALSE(shown);
  EXPECT_EQ(r.result, errPlugInHostInsufficient);
  EXPECT_EQ(host.host().suites().outstanding(), 0);
}

TEST(LightDialog, SuiteFailureInsideAHandlerEndsTheDialogAndTheCall) {
  UiTestHost host(60, 40, ColorMode::RGB);
  const auto r = host.run([&](LightDialog& d, ADMDialogRef) {
    host.host().faults().absentSuites.insert("Photoshop ColorSpace Suite for Plug-ins");
    press(d.colorSwatch());
  });
  // Not a cancel: the failure kept inside the handler is raised once the
  // host's modal run has returned.
  EXPECT_EQ(r.result, errPlugInHostInsufficient);
  EXPECT_EQ(r.selector, filterSelectorStart);
  EXPECT_TRUE(adm::liveDialogs().empty());
}

TEST(LightDialog, OutOfMemoryWhileRenderingEndsTheDialogAsCancelled) {
  UiTestHost host(60, 40, ColorMode::RGB);
  LightParameters stored;
  stored.lightBlur = 0;
  host.setParameters(stored);
  const auto r = host.run([&](LightDialog& d, ADMDialogRef) {
    adm::enterText(d.brightness().edit().ref(), "300");
    const long made = host.host().calls().bufferAllocations;
    host.host().faults().failBufferAllocation = made + 1;
    press(d.zoomOutButton());  // new proxy buffers: the first one fails
    EXPECT_FALSE(d.displayBuffer());
    host.host().faults().failBufferAllocation = 0;
    press(d.zoomInButton());
    ASSERT_TRUE(d.displayBuffer());
    host.host().faults().failBufferAllocation = host.host().calls().bufferAllocations + 1;
    adm::choosePopup(d.lightSource().popup().ref(), kSourceImage);  // the render needs a light image
  });
  EXPECT_EQ(r.result, userCanceledErr);
  EXPECT_EQ(host.parameters().lightBrightness, 100.0);
  EXPECT_EQ(host.host().memory().bufferCount(), 0u);
}

TEST(LightDialog, ViewButtonsActAsOneRadioGroup) {
  UiTestHost host(60, 40, ColorMode::RGB);
  host.run([](LightDialog& d, ADMDialogRef) {
    for (int pressed : {3, 1, 0, 2}) {
      press(d.viewButton(pressed));
      for (int i = 0; i < 4; ++i) EXPECT_EQ(d.viewButton(i).isOn(), i == pressed) << pressed << " " << i;
    }
    press(d.okButton());
  });
  EXPECT_EQ(host.state().viewMode, 2);
}

}  // namespace
}  // namespace veyra
