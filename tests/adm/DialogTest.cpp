// Dialogs and items over the host's dialog manager: creation through the
// init procedures, modal runs, close, pointer delivery by mask, drawing.
#include <cstring>

#include "AdmFixture.h"

namespace veyra::test {
namespace {

namespace host = dialogmanager;

class ClosingDialog : public ADM::Dialog {
 public:
  ClosingDialog() : ADM::Dialog("closing", 7, kADMModalDialogStyle) {}
  void destroyed() override { ++destroyedCalls; }
  static inline int destroyedCalls = 0;
};

using DialogTest = AdmTest;

TEST_F(DialogTest, CreationStoresTheHandleInstallsProceduresAndWidensTheMask) {
  auto dialog = makeDialog("named");
  ASSERT_NE(dialog->ref(), nullptr);
  ADMDialog* d = dialog->ref();
  EXPECT_EQ(d->userData, dialog.get());
  EXPECT_EQ(d->name, "named");
  EXPECT_EQ(d->id, 100);
  EXPECT_NE(d->notifyProc, nullptr);
  EXPECT_NE(d->trackProc, nullptr);
  EXPECT_NE(d->drawProc, nullptr);
  EXPECT_NE(d->destroyProc, nullptr);
  EXPECT_TRUE(d->mask & 0x80000000u);
  dialog->setText("Title");
  dialog->moveTo(10, 20);
  EXPECT_EQ(d->title, "Title");
  ADMRect b = dialog->boundsRect();
  EXPECT_EQ(b.left, 10);
  EXPECT_EQ(b.top, 20);
  EXPECT_EQ(b.right, 310);
  EXPECT_EQ(b.bottom, 220);
  ADMRect l = dialog->localRect();
  EXPECT_EQ(l.right, 300);
  EXPECT_EQ(l.bottom, 200);
}

TEST_F(DialogTest, ModalRunAnswersTheIdOfTheItemThatEndedIt) {
  auto dialog = makeDialog();
  ADM::Button ok(dialog.get(), 1, "OK", ADMRect{10, 10, 80, 30});
  ADM::Button cancel(dialog.get(), 2, "Cancel", ADMRect{90, 10, 160, 30});
  ADM::Button other(dialog.get(), 5, "Other", ADMRect{170, 10, 240, 30});
  bool endedWhenSelected = true;
  EventLog log;
  log.listen(ok, ADM::kSelectEvent, "ok");
  host::setModalDriver([&](ADMDialogRef ref) {
    host::click(other.ref());  // not the default or cancel item: the run goes on
    EXPECT_FALSE(ref->ended);
    ok.connect(ADM::kSelectEvent, [](ADM::CallbackObject* sender, void* flag, void*) {
      // "select" comes before the default handling that ends the run.
      *static_cast<bool*>(flag) = static_cast<ADM::Button*>(sender)->ref()->dialog->ended;
    }, &endedWhenSelected);
    host::click(ok.ref());
  });
  EXPECT_EQ(dialog->runModal(), 1);
  EXPECT_FALSE(endedWhenSelected);
  EXPECT_EQ(log.entries, (std::vector<std::string>{"ok"}));

  host::setModalDriver([&](ADMDialogRef) { host::click(cancel.ref()); });
  EXPECT_EQ(dialog->runModal(), 2);
  // A driver that leaves the dialog open: the run ends as cancelled.
  host::setModalDriver(nullptr);
  EXPECT_EQ(dialog->runModal(), 2);
}

TEST_F(DialogTest, DefaultAndCancelItemsCanBeSwitchedOff) {
  auto dialog = makeDialog();
  ADM::Button ok(dialog.get(), 1, "OK", ADMRect{10, 10, 80, 30});
  dialog->setDefaultItemID(0);
  dialog->setCancelItemID(0);
  host::setModalDriver([&](ADMDialogRef ref) {
    host::click(ok.ref());
    EXPECT_FALSE(ref->ended);
    dialog->endModal(1);
  });
  EXPECT_EQ(dialog->runModal(), 1);
  host::setModalDriver([&](ADMDialogRef ref) { host::closeWindow(ref); });
  EXPECT_EQ(dialog->runModal(), 0);
}

TEST_F(DialogTest, CloseHitEmitsCloseAndEndsWithTheCancelItem) {
  ClosingDialog dialog;
  EventLog log;
  log.listen(dialog, ADM::kCloseEvent, "close");
  host::setModalDriver([](ADMDialogRef ref) { host::closeWindow(ref); });
  EXPECT_EQ(dialog.runModal(), 2);
  ASSERT_EQ(log.entries, (std::vector<std::string>{"close"}));
  EXPECT_EQ(log.senders[0], &dialog);
  EXPECT_NE(log.args[0], nullptr);  // the notifier
}

TEST_F(DialogTest, HostDestructionReachesTheWrappersDestroyedSlot) {
  ClosingDialog::destroyedCalls = 0;
  ClosingDialog dialog;
  ADM::Button button(&dialog, 1, "OK", ADMRect{0, 0, 10, 10});
  ADMDialogRef ref = dialog.ref();
  dialogmanager::dialogDestroy(ref);  // the host destroys the dialog and its items
  EXPECT_EQ(ClosingDialog::destroyedCalls, 1);
  EXPECT_TRUE(host::liveDialogs().empty());
  // The wrappers' own destruction later finds nothing left to destroy.
}

// An item that records what its procedures receive.
class ProbeItem : public ADM::Item {
 public:
  ProbeItem(ADM::Dialog* d, const ADMRect& r) : ADM::Item(d, 9, kADMPictureStaticType, r) {}
  bool track(ADM::Tracker& t) override {
    actions.push_back(t.action());
    modifiers.push_back(t.modifiers());
    points.push_back(t.point());
    return false;
  }
  void created() override { ++createdCalls; }
  void draw(ADM::Drawer& d) override {
    d.setADMColor(kADMBlackColor);
    d.frameRect(localRect());
    d.setRGBColor(ADMRGBColor{0, 65535, 0});
    ADMPoint pts[3] = {{1, 1}, {5, 1}, {1, 5}};
    d.framePolygon(pts, 3);
    d.setADMColor(kADMWhiteColor);
    d.fillRect(ADMRect{2, 2, 4, 4});
  }
  std::vector<ADMAction> actions;
  std::vector<ADMModifiers> modifiers;
  std::vector<ADMPoint> points;
  int createdCalls = 0;
};

TEST_F(DialogTest, PointerEventsReachTrackAccordingToTheMask) {
  auto dialog = makeDialog();
  ProbeItem probe(dialog.get(), ADMRect{10, 10, 60, 40});
  // created() runs from the base class during creation, so the probe's
  // override is not reached yet.
  EXPECT_EQ(probe.createdCalls, 0);
  host::sendPointer(probe.ref(), kADMMouseMovedUpAction, ADMPoint{3, 4});
  host::sendPointer(probe.ref(), kADMLeaveAction, ADMPoint{3, 4});
  host::sendPointer(probe.ref(), kADMButtonDownAction, ADMPoint{5, 6},
                    kADMAltKeyModifier | kADMShiftKeyModifier);
  ASSERT_EQ(probe.actions, (std::vector<ADMAction>{kADMButtonDownAction}));
  EXPECT_EQ(probe.modifiers[0], 0x60u);
  EXPECT_EQ(probe.points[0].h, 5);
  EXPECT_EQ(probe.points[0].v, 6);
  probe.setMask(probe.mask() | kADMMouseMovedUpMask | kADMLeaveMask);
  host::sendPointer(probe.ref(), kADMMouseMovedUpAction, ADMPoint{3, 4});
  host::sendPointer(probe.ref(), kADMLeaveAction, ADMPoint{3, 4});
  EXPECT_EQ(probe.actions, (std::vector<ADMAction>{kADMButtonDownAction, kADMMouseMovedUpAction,
                                                   kADMLeaveAction}));
}

TEST_F(DialogTest, DrawingReachesTheItemAndIsRecordedWithColours) {
  auto dialog = makeDialog();
  ProbeItem probe(dialog.get(), ADMRect{10, 10, 60, 40});
  host::DrawRecord r = host::draw(probe.ref());
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].kind, host::DrawOp::FrameRect);
  EXPECT_EQ(r[0].rect.right, 50);
  EXPECT_EQ(r[0].rect.bottom, 30);
  EXPECT_EQ(r[0].color.red, 0);
  EXPECT_EQ(r[1].kind, host::DrawOp::FramePolygon);
  EXPECT_EQ(r[1].points.size(), 3u);
  EXPECT_EQ(r[1].color.green, 65535);
  EXPECT_EQ(r[1].color.red, 0);
  EXPECT_EQ(r[2].kind, host::DrawOp::FillRect);
  EXPECT_EQ(r[2].color.red, 65535);
  // Invalidate then update draws at once (without a window, into a record).
  EXPECT_EQ(host::drawCount(probe.ref()), 0);
  probe.update();
  EXPECT_EQ(host::drawCount(probe.ref()), 0);  // nothing was invalid
  probe.invalidate();
  probe.update();
  EXPECT_EQ(host::drawCount(probe.ref()), 1);
  EXPECT_EQ(host::lastDraw(probe.ref()).size(), 3u);
}

TEST_F(DialogTest, ItemOperationsReachTheHostItem) {
  auto dialog = makeDialog();
  ADM::Item item(dialog.get(), 4, kADMSliderType, ADMRect{0, 0, 100, 10});
  ADMItem* i = item.ref();
  ASSERT_NE(i, nullptr);
  EXPECT_EQ(item.id(), 4);
  item.setText(nullptr);
  EXPECT_EQ(item.text(), "");
  item.setText("abc");
  EXPECT_EQ(item.text(), "abc");
  item.setFloatRange(-5.0f, 5.0f);
  EventLog log;
  log.listen(item, ADM::kChangedEvent, "changed");
  item.setFloatValue(2.5f);
  EXPECT_TRUE(log.entries.empty());
  item.setFloatValue(9.0f, true);  // the slider clamps to its range
  EXPECT_EQ(log.entries, (std::vector<std::string>{"changed"}));
  EXPECT_FLOAT_EQ(item.floatValue(), 5.0f);
  item.enable(false);
  EXPECT_FALSE(item.isEnabled());
  item.hide();
  EXPECT_FALSE(item.isVisible());
  item.show();
  EXPECT_TRUE(item.isVisible());
  EXPECT_TRUE(i->invalid);  // show invalidates
  item.moveTo(20, 30);
  item.sizeTo(40, 8);
  ADMRect b = item.boundsRect();
  EXPECT_EQ(b.left, 20);
  EXPECT_EQ(b.top, 30);
  EXPECT_EQ(b.right, 60);
  EXPECT_EQ(b.bottom, 38);
  item.setJustify(kADMRightJustify);
  EXPECT_EQ(i->justify, kADMRightJustify);
  item.setIntValue(12);
  EXPECT_EQ(i->intValue, 12);
}

TEST_F(DialogTest, UnknownItemTypeLeavesTheWrapperWithoutHandle) {
  auto dialog = makeDialog();
  ADM::Item item(dialog.get(), 1, "ADM No Such Type", ADMRect{0, 0, 10, 10});
  EXPECT_EQ(item.ref(), nullptr);
  EXPECT_TRUE(dialog->ref()->items.empty());
}

}  // namespace
}  // namespace veyra::test
