// The controls: their host item types, their events and the order of the
// events relative to the host's default handling.
#include <cstring>

#include "AdmFixture.h"

namespace veyra::test {
namespace {

namespace host = dialogmanager;

using ControlsTest = AdmTest;

struct StyleCase {
  int style;
  const char* type;
};

class ButtonStyleTest : public AdmTest, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(ButtonStyleTest, StyleChoosesTheHostItemType) {
  auto dialog = makeDialog();
  ADM::Button button(dialog.get(), 3, "Text", ADMRect{0, 0, 50, 20}, GetParam().style);
  ASSERT_NE(button.ref(), nullptr);
  EXPECT_EQ(button.ref()->typeName, GetParam().type);
  EXPECT_EQ(button.text(), "Text");
}

INSTANTIATE_TEST_SUITE_P(
    Styles, ButtonStyleTest,
    ::testing::Values(StyleCase{0, "ADM Text Push Button Type"}, StyleCase{1, "ADM Text Check Box Type"},
                      StyleCase{2, "ADM Text Radio Button Type"},
                      StyleCase{3, "ADM Picture Push Button Type"},
                      StyleCase{4, "ADM Picture Check Box Button Type"},
                      StyleCase{5, "ADM Picture Radio Button Type"}));

class EditStyleTest : public AdmTest, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(EditStyleTest, StyleChoosesTheHostItemType) {
  auto dialog = makeDialog();
  ADM::Edit edit(dialog.get(), 3, ADMRect{0, 0, 50, 20}, GetParam().style);
  ASSERT_NE(edit.ref(), nullptr);
  EXPECT_EQ(edit.ref()->typeName, GetParam().type);
  EXPECT_EQ(edit.ref()->style, GetParam().style == 4 ? kADMNumericEditStyle : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, EditStyleTest,
    ::testing::Values(StyleCase{0, "ADM Text Edit Type"}, StyleCase{1, "ADM Text Edit Multi Line Type"},
                      StyleCase{2, "ADM Text Static Type"},
                      StyleCase{3, "ADM Text Static Multi Line Type"}, StyleCase{4, "ADM Text Edit Type"},
                      StyleCase{5, "ADM Password Text Edit Type"}));

TEST_F(ControlsTest, ZeroWidthButtonsAndLabelsTakeTheBestSize) {
  auto dialog = makeDialog();
  ADM::Button button(dialog.get(), 3, "Press", ADMRect{5, 6, 5, 26});
  ADM::Label label(dialog.get(), "Some label", ADMRect{5, 40, 5, 40});
  ADMPoint best = button.bestSize();
  EXPECT_GT(best.h, 0);
  EXPECT_EQ(button.boundsRect().left, 5);
  EXPECT_EQ(button.boundsRect().right - button.boundsRect().left, best.h);
  EXPECT_EQ(button.boundsRect().bottom - button.boundsRect().top, best.v);
  EXPECT_EQ(label.id(), 0);
  EXPECT_EQ(label.text(), "Some label");
  EXPECT_EQ(label.localRect().right, label.bestSize().h);
  ADM::Label sized(dialog.get(), "x", ADMRect{0, 0, 30, 16});
  EXPECT_EQ(sized.localRect().right, 30);
}

TEST_F(ControlsTest, CheckBoxesToggleAndRadioButtonsExcludeEachOther) {
  auto dialog = makeDialog();
  ADM::Button check(dialog.get(), 3, "Check", ADMRect{0, 0, 50, 20}, ADM::Button::kTextCheckBox);
  ADM::Button r1(dialog.get(), 4, "A", ADMRect{0, 30, 50, 50}, ADM::Button::kTextRadioButton);
  ADM::Button r2(dialog.get(), 5, "B", ADMRect{60, 30, 110, 50}, ADM::Button::kTextRadioButton);
  EventLog log;
  log.listen(check, ADM::kSelectEvent, "check");
  log.listen(r2, ADM::kSelectEvent, "r2");
  host::click(check.ref());
  EXPECT_TRUE(check.isOn());
  host::click(check.ref());
  EXPECT_FALSE(check.isOn());
  r1.setOn(true);
  host::click(r2.ref());
  EXPECT_TRUE(r2.isOn());
  EXPECT_FALSE(r1.isOn());
  EXPECT_EQ(log.entries, (std::vector<std::string>{"check", "check", "r2"}));
  // A press released outside the button is no press.
  host::sendPointer(r1.ref(), kADMButtonDownAction, ADMPoint{5, 5});
  host::sendPointer(r1.ref(), kADMButtonUpAction, ADMPoint{80, 5});
  dialogmanager::finishUserAction(*r1.ref());
  EXPECT_FALSE(r1.isOn());
  // A disabled button takes no clicks.
  check.enable(false);
  host::click(check.ref());
  EXPECT_EQ(log.entries.size(), 3u);
}

TEST_F(ControlsTest, SliderEmitsTrackWhileDraggedAndChangedAtRelease) {
  auto dialog = makeDialog();
  ADM::Slider slider(dialog.get(), 12, ADMRect{0, 0, 200, 10});
  slider.setFloatRange(0.0f, 600.0f);
  struct Seen : EventLog {
    ADM::Slider* slider = nullptr;
    std::vector<float> values;
    void onSlider(ADM::CallbackObject* s, void* u, void* a) {
      on(s, u, a);
      values.push_back(slider->floatValue());
    }
  } seen;
  seen.slider = &slider;
  slider.connect(ADM::kTrackEvent, &seen, &Seen::onSlider, const_cast<char*>("track"));
  slider.connect(ADM::kChangedEvent, &seen, &Seen::onSlider, const_cast<char*>("changed"));
  host::dragSlider(slider.ref(), {100.0f, 250.0f, 400.0f});
  EXPECT_EQ(seen.entries, (std::vector<std::string>{"track", "track", "changed"}));
  EXPECT_EQ(seen.values, (std::vector<float>{250.0f, 400.0f, 400.0f}));
  EXPECT_NE(seen.args[2], nullptr);  // "changed" carries the notifier
  EXPECT_EQ(seen.args[0], nullptr);
  // A drag beyond the range stops at the end.
  host::dragSlider(slider.ref(), {500.0f, 900.0f});
  EXPECT_FLOAT_EQ(slider.floatValue(), 600.0f);
}

TEST_F(ControlsTest, DisabledSliderNeitherTracksNorChanges) {
  auto dialog = makeDialog();
  ADM::Slider slider(dialog.get(), 12, ADMRect{0, 0, 200, 10});
  EventLog log;
  log.listen(slider, ADM::kTrackEvent, "track");
  log.listen(slider, ADM::kChangedEvent, "changed");
  slider.enable(false);
  // Pointer events still reach the track procedure; the default tracking
  // refuses them, so nothing is emitted.
  host::sendPointer(slider.ref(), kADMButtonDownAction, ADMPoint{10, 5});
  host::sendPointer(slider.ref(), kADMMouseMovedDownAction, ADMPoint{50, 5});
  EXPECT_TRUE(log.entries.empty());
}

TEST_F(ControlsTest, EditEmitsChangedOnCommitAndFocusEvents) {
  auto dialog = makeDialog();
  ADM::Edit edit(dialog.get(), 12, ADMRect{0, 0, 60, 20}, ADM::Edit::kNumericEdit);
  EventLog log;
  log.listen(edit, ADM::kChangedEvent, "changed");
  log.listen(edit, ADM::kGainFocusEvent, "gain");
  log.listen(edit, ADM::kLoseFocusEvent, "lose");
  host::setFocus(edit.ref(), true);
  host::enterText(edit.ref(), "12.5");
  host::setFocus(edit.ref(), false);
  EXPECT_EQ(log.entries, (std::vector<std::string>{"gain", "changed", "lose"}));
  EXPECT_EQ(edit.text(), "12.5");
  EXPECT_FLOAT_EQ(edit.floatValue(), 12.5f);
  edit.setPrecision(5);
  edit.setDisplayWidth(6);
  EXPECT_EQ(edit.ref()->precision, 5);
  EXPECT_EQ(edit.ref()->displayWidth, 6);
}

TEST_F(ControlsTest, ColorPotChangesOnlyWhenAColourWasChosen) {
  auto dialog = makeDialog();
  ADM::ColorPot pot(dialog.get(), 15, ADMRect{64, 471, 104, 491});
  EXPECT_EQ(pot.color().red, 65535);
  EventLog log;
  log.listen(pot, ADM::kChangedEvent, "changed");
  host::setColorChooserAnswer(std::nullopt);  // the user cancels
  host::click(pot.ref());
  EXPECT_EQ(host::colorChooserCalls(), 1);
  EXPECT_TRUE(log.entries.empty());
  EXPECT_EQ(pot.color().green, 65535);
  host::setColorChooserAnswer(ADMRGBColor{257 * 10, 257 * 20, 257 * 30});
  pot.ref()->invalid = false;
  host::click(pot.ref());
  ASSERT_EQ(log.entries, (std::vector<std::string>{"changed"}));
  EXPECT_EQ(log.args[0], &pot);
  EXPECT_EQ(pot.color().red, 2570);
  EXPECT_EQ(pot.color().blue, 7710);
  EXPECT_TRUE(pot.ref()->invalid);
  // Drawing: the button face, then the local rectangle in the colour.
  host::DrawRecord r = host::draw(pot.ref());
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].kind, host::DrawOp::DefaultDraw);
  EXPECT_EQ(r[1].kind, host::DrawOp::FillRect);
  EXPECT_EQ(r[1].rect.left, 0);
  EXPECT_EQ(r[1].rect.right, 40);
  EXPECT_EQ(r[1].rect.bottom, 20);
  EXPECT_EQ(r[1].color.green, 5140);
}

TEST_F(ControlsTest, GroupShowsHidesAndMovesItsChildren) {
  auto dialog = makeDialog();
  ADM::Group group(dialog.get(), 12);
  ADM::Label label(dialog.get(), "L", ADMRect{7, 8, 50, 24});
  ADM::Slider slider(dialog.get(), 12, ADMRect{0, 22, 100, 32});
  group.add(&label);
  group.add(&slider);
  EXPECT_EQ(group.childCount(), 2u);
  EXPECT_EQ(label.ref()->group, group.ref());
  group.hide();
  EXPECT_FALSE(group.isVisible());
  EXPECT_FALSE(label.isVisible());
  EXPECT_FALSE(slider.isVisible());
  group.show();
  EXPECT_TRUE(label.isVisible());
  EXPECT_TRUE(slider.isVisible());
  // Children move by the rectangle's corner from where they were when added,
  // so moving twice does not accumulate; the group item stays where it is.
  group.setBoundsRect(ADMRect{100, 200, 0, 0});
  group.setBoundsRect(ADMRect{10, 20, 0, 0});
  EXPECT_EQ(label.boundsRect().left, 17);
  EXPECT_EQ(label.boundsRect().top, 28);
  EXPECT_EQ(label.boundsRect().right, 60);
  EXPECT_EQ(slider.boundsRect().top, 42);
  EXPECT_EQ(group.boundsRect().left, 0);
  EXPECT_EQ(group.boundsRect().right, 0);
}

// A combo box whose list slots record what reaches them.
class ProbeCombo : public ADM::ComboBox {
 public:
  using ADM::ComboBox::ComboBox;
  void notifyEntry(Entry& entry, ADM::Notifier& n) override {
    notified.push_back(&entry);
    ADM::ComboBox::notifyEntry(entry, n);
  }
  std::vector<Entry*> notified;
};

TEST_F(ControlsTest, ComboBoxEntriesIdentifiersAndSelection) {
  auto dialog = makeDialog();
  ProbeCombo combo(dialog.get(), 17, ADMRect{0, 0, 90, 20});
  EXPECT_EQ(combo.ref()->typeName, "ADM Popup List Type");
  EXPECT_EQ(combo.selectedId(), -1);
  combo.appendEntry("luminance", 0);
  combo.appendEntry("red", 1);
  ADM::List::Entry* blue = combo.appendEntry("blue", 3);
  combo.insertEntry(0, "first", 9);
  EXPECT_EQ(combo.numberOfEntries(), 4);
  EXPECT_EQ(combo.entryText(0), "first");
  EXPECT_EQ(combo.entryText(3), "blue");
  EXPECT_EQ(combo.entryText(7), "");
  ASSERT_NE(combo.findEntry(3), nullptr);
  EXPECT_EQ(combo.findEntry(3), blue->ref);
  EXPECT_EQ(combo.findEntry(42), nullptr);
  EXPECT_EQ(combo.selectedId(), -1);
  combo.selectEntry(2);
  EXPECT_EQ(combo.selectedId(), 1);
  combo.selectEntry(9);  // no entry there: nothing changes
  EXPECT_EQ(combo.selectedId(), 1);
  EXPECT_TRUE(combo.selectEntryWithId(3));
  EXPECT_EQ(combo.activeIndex(), 3);
  EXPECT_FALSE(combo.selectEntryWithId(5));
  // The wrapper is the entry's user data.
  EXPECT_EQ(blue->ref->userData, blue);

  struct Seen : EventLog {
    ProbeCombo* combo = nullptr;
    std::vector<int> activeAtEvent;
    void onCombo(ADM::CallbackObject* s, void* u, void* a) {
      on(s, u, a);
      activeAtEvent.push_back(combo->activeIndex());
    }
  } seen;
  seen.combo = &combo;
  combo.connect(ADM::kActivateEvent, &seen, &Seen::onCombo, const_cast<char*>("activate"));
  combo.connect(ADM::kSelectEvent, &seen, &Seen::onCombo, const_cast<char*>("select"));
  host::choosePopup(combo.ref(), 1);
  EXPECT_EQ(seen.entries, (std::vector<std::string>{"activate", "select"}));
  EXPECT_EQ(seen.args[0], static_cast<ADM::Menu*>(&combo));
  EXPECT_EQ(seen.activeAtEvent, (std::vector<int>{3, 1}));  // "select" after the choice took effect
  EXPECT_EQ(combo.selectedId(), 0);
  ASSERT_EQ(combo.notified.size(), 1u);  // routed through the list's entry slot
  EXPECT_EQ(combo.notified[0]->ref, combo.findEntry(0));
}

TEST_F(ControlsTest, DestroyingTheDialogsControlsLeavesNoHostItems) {
  auto dialog = makeDialog();
  {
    ADM::ComboBox combo(dialog.get(), 17, ADMRect{0, 0, 90, 20});
    combo.appendEntry("a", 1);
    combo.appendEntry("b", 2);
    ADM::Group group(dialog.get(), 3);
    ADM::Label label(dialog.get(), "x", ADMRect{0, 0, 10, 10});
    group.add(&label);
    EXPECT_EQ(dialog->ref()->items.size(), 3u);
  }
  EXPECT_TRUE(dialog->ref()->items.empty());
}

}  // namespace
}  // namespace veyra::test
