// The composite controls driven through the host's dialog manager.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/FilterHost.h"
#include "dialogmanager/DialogManager.h"
#include "support/ui_fixture.h"
#include "ui/CS_ColorPot.h"
#include "ui/EyeDropper.h"
#include "ui/Frame.h"
#include "ui/LabeledComboBox.h"
#include "ui/TextSlider.h"

namespace veyra {
namespace {

namespace adm = dialogmanager;
using test::EventCounter;

class CompositeControls : public ::testing::Test, public test::ControlFixture {};

const ADMRect kRow{14, 361, 377, 393};

TEST_F(CompositeControls, TextSliderPartsFollowTheRowGeometry) {
  TextSlider s(&dialog(), 12, "Brightness", kRow, 0, 600, 100);
  EXPECT_EQ(s.id(), 12);
  EXPECT_EQ(s.slider().id(), 12);
  EXPECT_EQ(s.edit().id(), 12);
  EXPECT_EQ(s.label().id(), 0);
  const ADMRect label = s.label().boundsRect(), slider = s.slider().boundsRect(),
                edit = s.edit().boundsRect();
  EXPECT_EQ((std::array<int, 4>{label.left, label.top, label.right, label.bottom}),
            (std::array<int, 4>{21, 369, 202, 385}));
  EXPECT_EQ((std::array<int, 4>{slider.left, slider.top, slider.right, slider.bottom}),
            (std::array<int, 4>{14, 383, 377, 393}));
  EXPECT_EQ((std::array<int, 4>{edit.left, edit.top, edit.right, edit.bottom}),
            (std::array<int, 4>{325, 363, 370, 382}));
  EXPECT_EQ(s.label().text(), "Brightness");
  // Until the first set the field is empty; the slider holds the initial value.
  EXPECT_EQ(s.edit().text(), "");
  EXPECT_FLOAT_EQ(s.slider().floatValue(), 100.0f);
  ASSERT_EQ(s.childCount(), 3u);
  EXPECT_EQ(s.child(0), &s.label());
  EXPECT_EQ(s.child(1), &s.slider());
  EXPECT_EQ(s.child(2), &s.edit());
}

struct TypedCase {
  const char* typed;
  float minimum, maximum;
  float stored;
  const char* shown;
};

class TextSliderTyping : public CompositeControls, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TextSliderTyping, StoresTheClampedValueAndRewritesTheText) {
  const TypedCase& c = GetParam();
  TextSlider s(&dialog(), 12, "Value", kRow, c.minimum, c.maximum, 0);
  EventCounter changed(s, ADM::kChangedEvent);
  adm::enterText(s.edit().ref(), c.typed);
  EXPECT_EQ(changed.count(), 1);
  EXPECT_FLOAT_EQ(s.value(), c.stored);
  EXPECT_FLOAT_EQ(s.slider().floatValue(), c.stored);
  EXPECT_EQ(s.edit().text(), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Values, TextSliderTyping,
    ::testing::Values(TypedCase{"1000", 0, 600, 600, "600"}, TypedCase{"-5", 0, 600, 0, "0"},
                      TypedCase{"-5", -100, 100, -5, "-5"}, TypedCase{"-500", -180, 180, -180, "-180"},
                      TypedCase{"12.345678", 0, 600, 12.345678f, "12.3457"},
                      TypedCase{"abc", 10, 600, 10, "10"}, TypedCase{"", -100, 100, 0, "0"},
                      TypedCase{"nan", 5, 100, 5, "5"}, TypedCase{"1e60", 0, 500, 500, "500"}));

TEST_F(CompositeControls, ClampingSendsNotANumberToTheMinimum) {
  EXPECT_EQ(TextSlider::clamp(std::numeric_limits<float>::quiet_NaN(), -3, 3), -3.0f);
  EXPECT_EQ(TextSlider::clamp(3.0f, -3, 3), 3.0f);
  EXPECT_EQ(TextSlider::clamp(-3.5f, -3, 3), -3.0f);
  EXPECT_EQ(TextSlider::clamp(std::numeric_limits<float>::infinity(), -3, 3), 3.0f);
  EXPECT_EQ(TextSlider::format(0.1f), "0.1");
  EXPECT_EQ(TextSlider::format(1e-7f), "1e-07");
}

TEST_F(CompositeControls, SetValueClampsAndNotifiesOnlyWhenAsked) {
  TextSlider s(&dialog(), 13, "Displacement", kRow, -100, 100, 0);
  EventCounter changed(s, ADM::kChangedEvent);
  s.setValue(250, false);
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(s.value(), 100.0f);
  EXPECT_EQ(s.edit().text(), "100");
  EXPECT_EQ(s.slider().floatValue(), 100.0f);
  s.setValue(-7.5f, true);
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(s.edit().text(), "-7.5");
}

TEST_F(CompositeControls, DraggingEmitsChangedAtEveryMoveAndAtRelease) {
  TextSlider s(&dialog(), 18, "Position", kRow, 0, 100, 50);
  EventCounter changed(s, ADM::kChangedEvent);
  std::vector<float> seen;
  struct Watch {
    static void on(ADM::CallbackObject* sender, void* userData, void*) {
      static_cast<std::vector<float>*>(userData)->push_back(static_cast<TextSlider*>(sender)->value());
    }
  };
  s.connect(ADM::kChangedEvent, &Watch::on, &seen);
  adm::dragSlider(s.slider().ref(), {50, 60, 70, 80});
  s.disconnect(ADM::kChangedEvent, &Watch::on, &seen);
  // Three moves after the press, then the release.
  EXPECT_EQ(changed.count(), 4);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_NEAR(seen[0], 60, 0.5);
  EXPECT_NEAR(seen[1], 70, 0.5);
  EXPECT_NEAR(seen[2], 80, 0.5);
  EXPECT_NEAR(seen[3], 80, 0.5);
  EXPECT_EQ(s.edit().text(), TextSlider::format(s.value()));
}

TEST_F(CompositeControls, DestroyedTextSliderLeavesNoConnectionsBehind) {
  auto s = std::make_unique<TextSlider>(&dialog(), 12, "Value", kRow, 0, 10, 1);
  ADM::Slider& slider = s->slider();
  ADM::Edit& edit = s->edit();
  EXPECT_EQ(slider.connectionCount(), 2u);
  EXPECT_EQ(edit.connectionCount(), 1u);
  const size_t before = adm::items(dialog().ref()).size();
  s.reset();
  EXPECT_EQ(adm::items(dialog().ref()).size(), before - 4);
}

TEST_F(CompositeControls, LabeledComboBoxSplitsItsAreaAndReemitsSelect) {
  LabeledComboBox box(&dialog(), 10, "Blend", ADMRect{14, 341, 195, 361});
  for (int i = 0; i < 3; ++i) box.append(i == 0 ? "Add" : i == 1 ? "Subtract" : "Screen", i);
  const ADMRect l = box.label().boundsRect(), p = box.popup().boundsRect();
  EXPECT_EQ((std::array<int, 4>{l.left, l.top, l.right, l.bottom}), (std::array<int, 4>{14, 343, 102, 359}));
  EXPECT_EQ((std::array<int, 4>{p.left, p.top, p.right, p.bottom}), (std::array<int, 4>{104, 341, 195, 361}));
  EXPECT_EQ(box.popup().id(), 10);
  EXPECT_EQ(box.label().id(), 0);
  EXPECT_EQ(box.popup().numberOfEntries(), 3);
  EventCounter select(box, ADM::kSelectEvent);
  adm::choosePopup(box.popup().ref(), 2);
  EXPECT_EQ(select.count(), 1);
  EXPECT_EQ(select.lastSender(), &box);
  EXPECT_NE(select.lastArg(), nullptr);
  EXPECT_EQ(box.popup().selectedId(), 2);
  EXPECT_EQ(box.popup().activeIndex(), 2);
}

TEST_F(CompositeControls, FrameIgnoresPointerEvents) {
  Frame frame(&dialog(), ADMRect{7, 327, 384, 464});
  frame.setText("Light");
  EXPECT_EQ(frame.id(), 0);
  EXPECT_EQ(adm::sendPointer(frame.ref(), kADMButtonDownAction, ADMPoint{10, 10}), 0);
  EXPECT_EQ(frame.text(), "Light");
}

TEST_F(CompositeControls, EyeDropperLoadsItsIconAndEmitsNothing) {
  EyeDropper dropper(&dialog(), 16, ADMRect{111, 471, 137, 491});
  ASSERT_NE(dropper.icon(), nullptr);
  EXPECT_EQ(dropper.iconWidth(), 20);
  EXPECT_EQ(dropper.iconHeight(), 10);
  EventCounter select(dropper, ADM::kSelectEvent);
  adm::click(dropper.ref());
  EXPECT_EQ(select.count(), 0);
  const adm::DrawRecord drawn = adm::draw(dropper.ref());
  bool iconCentred = false;
  for (const adm::DrawOp& op : drawn)
    if (op.kind == adm::DrawOp::Icon) iconCentred = op.rect.left == 3 && op.rect.top == 5;
  EXPECT_TRUE(iconCentred);
}

// The host's own RGB conversion of an XYZ colour, widened as the swatch shows it.
ADMRGBColor hostRgb(uint16_t x, uint16_t y, uint16_t z) {
  const PSColorSpaceSuite1* cs = app::colorSpaceSuite();
  ColorID id = nullptr;
  cs->Make(&id);
  cs->StuffXYZ(id, CS_XYZ{x, y, z});
  unsigned8 r = 0, g = 0, b = 0, k = 0;
  Boolean gamut = false;
  cs->ExtractComponents(id, plugIncolorServicesRGBSpace, &r, &g, &b, &k, &gamut);
  cs->Delete(&id);
  return ADMRGBColor{static_cast<uint16_t>(r * 257), static_cast<uint16_t>(g * 257),
                     static_cast<uint16_t>(b * 257)};
}

TEST_F(CompositeControls, ColorPotShowsTheHostConversionWidenedBy257) {
  CS_ColorPot pot(&dialog(), 15, ADMRect{64, 471, 104, 491});
  EXPECT_EQ(pot.color().red, 65535);
  const uint16_t colours[][3] = {
      {31595, 32768, 27030}, {0, 0, 0}, {14000, 8000, 3000}, {32768, 32768, 32768}};
  for (const auto& c : colours) {
    pot.setXYZ(c[0], c[1], c[2]);
    const ADMRGBColor expected = hostRgb(c[0], c[1], c[2]);
    EXPECT_EQ(pot.color().red, expected.red);
    EXPECT_EQ(pot.color().green, expected.green);
    EXPECT_EQ(pot.color().blue, expected.blue);
    EXPECT_EQ(pot.x(), c[0]);
    EXPECT_EQ(pot.y(), c[1]);
    EXPECT_EQ(pot.z(), c[2]);
  }
  // D50 white shows as full white, black as black.
  pot.setXYZ(31595, 32768, 27030);
  EXPECT_EQ(pot.color().red, 65535);
  EXPECT_EQ(pot.color().green, 65535);
  EXPECT_EQ(pot.color().blue, 65535);
  pot.setXYZ(0, 0, 0);
  EXPECT_EQ(pot.color().green, 0);
}

TEST_F(CompositeControls, CancellingThePickerChangesNothing) {
  CS_ColorPot pot(&dialog(), 15, ADMRect{64, 471, 104, 491});
  pot.setXYZ(14000, 8000, 3000);
  const ADMRGBColor before = pot.color();
  EventCounter changed(pot, ADM::kChangedEvent);
  adm::setColorChooserAnswer(std::nullopt);
  adm::click(pot.ref());
  EXPECT_EQ(adm::colorChooserCalls(), 1);
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(pot.x(), 14000);
  EXPECT_EQ(pot.y(), 8000);
  EXPECT_EQ(pot.z(), 3000);
  EXPECT_EQ(pot.color().red, before.red);
  EXPECT_EQ(pot.color().green, before.green);
  EXPECT_EQ(pot.color().blue, before.blue);
}

TEST_F(CompositeControls, ConfirmingThePickerStoresXYZAndEmitsChanged) {
  CS_ColorPot pot(&dialog(), 15, ADMRect{64, 471, 104, 491});
  pot.setXYZ(31595, 32768, 27030);
  EventCounter changed(pot, ADM::kChangedEvent);
  adm::setColorChooserAnswer(ADMRGBColor{0, 0, 65535});
  adm::click(pot.ref());
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(changed.lastArg(), &pot);
  EXPECT_EQ(pot.color().red, 0);
  EXPECT_EQ(pot.color().green, 0);
  EXPECT_EQ(pot.color().blue, 65535);
  // Pure blue in D50 XYZ: Z well above X and Y.
  EXPECT_GT(pot.z(), pot.x());
  EXPECT_GT(pot.z(), pot.y());
}

}  // namespace
}  // namespace veyra
