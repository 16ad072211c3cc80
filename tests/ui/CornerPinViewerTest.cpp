// The preview viewer: handle geometry, hover, press, drag, reset and drawing.
#include <gtest/gtest.h>

#include <array>

#include "dialogmanager/DialogManager.h"
#include "host/HostDocument.h"
#include "support/ui_fixture.h"
#include "ui/CornerPinViewer.h"

namespace veyra {
namespace {

namespace adm = dialogmanager;
using test::EventCounter;

class CornerPin : public ::testing::Test, public test::ControlFixture {
 protected:
  CornerPin() {
    viewer = std::make_unique<CornerPinViewer>(&dialog(), 0, ADMRect{0, 0, 377, 290},
                                               &host().host().filterRecord());
    viewer->setMask(viewer->mask() | kADMButtonDownMask | kADMMouseMovedDownMask | kADMMouseMovedUpMask |
                    kADMLeaveMask);
    viewer->moveTo(7, 7);
    viewer->setImageRect(ADMRect{10, 20, 110, 220});
  }
  ~CornerPin() override { viewer.reset(); }

  ADMBoolean send(ADMAction action, int h, int v, ADMModifiers mods = 0) {
    return adm::sendPointer(viewer->ref(), action, ADMPoint{h, v}, mods);
  }
  std::array<double, 8> corners() const {
    std::array<double, 8> c{};
    std::copy(viewer->corners(), viewer->corners() + 8, c.begin());
    return c;
  }

  std::unique_ptr<CornerPinViewer> viewer;
};

TEST_F(CornerPin, HandleCentresTruncateTowardZero) {
  const double c[8] = {0.0, 0.0, 1.0, 0.0, 0.999, 0.4999, -0.015, 1.0};
  viewer->setCorners(c);
  EXPECT_EQ(viewer->handleCenter(0).h, 10);
  EXPECT_EQ(viewer->handleCenter(0).v, 20);
  EXPECT_EQ(viewer->handleCenter(1).h, 110);  // a corner of 1 sits on the right edge
  EXPECT_EQ(viewer->handleCenter(2).h, 109);
  EXPECT_EQ(viewer->handleCenter(2).v, 119);
  EXPECT_EQ(viewer->handleCenter(3).h, 8);  // 10 - 1.5 truncates to 8
  EXPECT_EQ(viewer->handleCenter(3).v, 220);
}

TEST_F(CornerPin, HitTestIncludesLeftAndTopEdgesOnly) {
  // Upper-right handle centre (110, 20): the square is 103..116 x 13..26.
  EXPECT_EQ(viewer->hitHandle(ADMPoint{103, 13}), 1);
  EXPECT_EQ(viewer->hitHandle(ADMPoint{116, 26}), 1);
  EXPECT_EQ(viewer->hitHandle(ADMPoint{117, 20}), -1);
  EXPECT_EQ(viewer->hitHandle(ADMPoint{110, 27}), -1);
  EXPECT_EQ(viewer->hitHandle(ADMPoint{102, 20}), -1);
  EXPECT_EQ(viewer->hitHandle(ADMPoint{60, 120}), -1);
}

TEST_F(CornerPin, LowerNumberedCornerWinsWhenHandlesOverlap) {
  const double c[8] = {0.5, 0.5, 0.52, 0.5, 0.5, 0.5, 0.5, 0.51};
  viewer->setCorners(c);
  EXPECT_EQ(viewer->hitHandle(ADMPoint{60, 120}), 0);
  send(kADMMouseMovedUpAction, 60, 120);
  EXPECT_EQ(viewer->activeHandle(), 0);
  // Only the upper-right square reaches this far right.
  EXPECT_EQ(viewer->hitHandle(ADMPoint{67, 120}), 1);
}

TEST_F(CornerPin, HoverHighlightsAndRedrawsOnlyOnChange) {
  EventCounter changed(*viewer, ADM::kChangedEvent);
  const long drawn = adm::drawCount(viewer->ref());
  EXPECT_EQ(send(kADMMouseMovedUpAction, 111, 219), 0);
  EXPECT_EQ(viewer->activeHandle(), 2);
  EXPECT_EQ(adm::drawCount(viewer->ref()), drawn + 1);
  send(kADMMouseMovedUpAction, 112, 218);
  EXPECT_EQ(adm::drawCount(viewer->ref()), drawn + 1);
  send(kADMMouseMovedUpAction, 60, 120);
  EXPECT_EQ(viewer->activeHandle(), -1);
  EXPECT_EQ(adm::drawCount(viewer->ref()), drawn + 2);
  EXPECT_EQ(changed.count(), 0);
}

TEST_F(CornerPin, DragWritesUnclampedValuesAndEmitsChanged) {
  EventCounter changed(*viewer, ADM::kChangedEvent);
  EXPECT_EQ(send(kADMButtonDownAction, 110, 220), 0);
  EXPECT_EQ(viewer->activeHandle(), 2);
  EXPECT_EQ(changed.count(), 0);
  send(kADMMouseMovedDownAction, 160, 270);
  EXPECT_EQ(changed.count(), 1);
  EXPECT_DOUBLE_EQ(viewer->corners()[4], 1.5);
  EXPECT_DOUBLE_EQ(viewer->corners()[5], 1.25);
  send(kADMMouseMovedDownAction, 0, 10);
  EXPECT_EQ(changed.count(), 2);
  EXPECT_DOUBLE_EQ(viewer->corners()[4], -0.1);
  EXPECT_DOUBLE_EQ(viewer->corners()[5], -0.05);
  // The other corners stay.
  EXPECT_EQ(viewer->corners()[0], 0.0);
  EXPECT_EQ(viewer->corners()[2], 1.0);
  // After the release the handle stays active until the pointer leaves.
  send(kADMButtonUpAction, 0, 10);
  EXPECT_EQ(viewer->activeHandle(), 2);
  send(kADMLeaveAction, -5, -5);
  EXPECT_EQ(viewer->activeHandle(), -1);
  send(kADMMouseMovedDownAction, 50, 50);
  EXPECT_EQ(changed.count(), 2);
}

TEST_F(CornerPin, EmptyImageRectangleIgnoresDrags) {
  viewer->setImageRect(ADMRect{50, 60, 50, 60});
  EventCounter changed(*viewer, ADM::kChangedEvent);
  send(kADMButtonDownAction, 50, 60);
  EXPECT_EQ(viewer->activeHandle(), 0);
  send(kADMMouseMovedDownAction, 80, 90);
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(corners(), (std::array<double, 8>{0, 0, 1, 0, 1, 1, 0, 1}));
}

TEST_F(CornerPin, PressOutsideEveryHandleDoesNothing) {
  EventCounter changed(*viewer, ADM::kChangedEvent);
  send(kADMButtonDownAction, 60, 120, kADMAltKeyModifier | kADMShiftKeyModifier);
  EXPECT_EQ(viewer->activeHandle(), -1);
  EXPECT_EQ(changed.count(), 0);
}

// Alt resets, and Ctrl as well (window managers often take Alt-drag).
class CornerPinReset : public CornerPin, public ::testing::WithParamInterface<ADMModifiers> {};

TEST_P(CornerPinReset, ResetsOneCornerAndWithShiftAllFour) {
  const ADMModifiers reset = GetParam();
  const double moved[8] = {0.1, 0.2, 0.9, 0.1, 0.8, 0.7, 0.2, 0.9};
  viewer->setCorners(moved);
  EventCounter changed(*viewer, ADM::kChangedEvent);
  // Upper-right handle centre: (10 + 100 x 0.9, 20 + 200 x 0.1) = (100, 40).
  send(kADMMouseMovedUpAction, 100, 40);
  EXPECT_EQ(viewer->activeHandle(), 1);
  send(kADMButtonDownAction, 100, 40, reset);
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(viewer->activeHandle(), -1);
  EXPECT_EQ(corners(), (std::array<double, 8>{0.1, 0.2, 1.0, 0.0, 0.8, 0.7, 0.2, 0.9}));

  // Resetting a corner that already has its default still reports a change.
  send(kADMButtonDownAction, 110, 20, reset);
  EXPECT_EQ(changed.count(), 2);

  // Shift alone only picks the handle.
  send(kADMButtonDownAction, 90, 160, kADMShiftKeyModifier);
  EXPECT_EQ(viewer->activeHandle(), 2);
  EXPECT_EQ(changed.count(), 2);

  send(kADMButtonDownAction, 90, 160, reset | kADMShiftKeyModifier);
  EXPECT_EQ(changed.count(), 3);
  EXPECT_EQ(viewer->activeHandle(), -1);
  EXPECT_EQ(corners(), (std::array<double, 8>{0, 0, 1, 0, 1, 1, 0, 1}));
}

INSTANTIATE_TEST_SUITE_P(AltOrCtrl, CornerPinReset,
                         ::testing::Values(kADMAltKeyModifier, kADMControlKeyModifier));

TEST_F(CornerPin, CornerOutsideTheItemIsGrabbedAtItsMarkerOnTheEdge) {
  // Upper-right at (210, -80) and lower-left at (-40, 320): both outside the
  // 377 x 290 item, their markers held a handle's half inside its edges.
  const double c[8] = {0.0, 0.0, 2.0, -0.5, 1.0, 1.0, -0.5, 1.5};
  viewer->setCorners(c);
  EXPECT_FALSE(viewer->outsideView(0));
  ASSERT_TRUE(viewer->outsideView(1));
  ASSERT_TRUE(viewer->outsideView(3));
  EXPECT_EQ(viewer->markerCenter(1).h, 210);
  EXPECT_EQ(viewer->markerCenter(1).v, 7);
  EXPECT_EQ(viewer->markerCenter(3).h, 7);
  EXPECT_EQ(viewer->markerCenter(3).v, 283);
  EXPECT_EQ(viewer->hitHandle(ADMPoint{203, 0}), 1);
  EXPECT_EQ(viewer->hitHandle(ADMPoint{1, 289}), 3);
  EXPECT_EQ(viewer->hitHandle(ADMPoint{217, 7}), -1);

  // Each marker is drawn as a green-filled handle.
  int markers = 0;
  for (const adm::DrawOp& op : adm::draw(viewer->ref()))
    if (op.kind == adm::DrawOp::FillRect && op.color.green == 65535 && op.color.red == 0)
      markers += (op.rect.left == 206 && op.rect.top == 3) || (op.rect.left == 3 && op.rect.top == 279);
  EXPECT_EQ(markers, 2);

  // Grabbed at its marker, the corner follows the pointer, unclamped.
  EventCounter changed(*viewer, ADM::kChangedEvent);
  send(kADMButtonDownAction, 210, 7, kADMButtonHeldModifier);
  EXPECT_EQ(viewer->activeHandle(), 1);
  send(kADMMouseMovedDownAction, 60, 120, kADMButtonHeldModifier);
  EXPECT_EQ(changed.count(), 1);
  EXPECT_DOUBLE_EQ(viewer->corners()[2], 0.5);
  EXPECT_DOUBLE_EQ(viewer->corners()[3], 0.5);
  EXPECT_FALSE(viewer->outsideView(1));
  // A reset at the other marker resets that corner only.
  send(kADMButtonDownAction, 7, 283, kADMAltKeyModifier);
  EXPECT_EQ(corners(), (std::array<double, 8>{0, 0, 0.5, 0.5, 1, 1, 0, 1}));
}

TEST_F(CornerPin, DrawsStripsFrameImageOutlineAndThreeRingHandles) {
  const double c[8] = {0.0, 0.0, 1.0, 0.0, 1.0, 1.0, 0.0, 1.0};
  viewer->setCorners(c);
  send(kADMMouseMovedUpAction, 10, 20);  // upper-left active
  const adm::DrawRecord ops = adm::draw(viewer->ref());
  // Skip what the host draws before the item's own drawing.
  size_t i = 0;
  while (i < ops.size() && ops[i].kind == adm::DrawOp::DefaultDraw) ++i;
  ASSERT_GE(ops.size(), i + 4 + 3 + 1 + 12);
  auto rect = [](const ADMRect& r) { return std::array<int, 4>{r.left, r.top, r.right, r.bottom}; };
  // Four background strips around the image rectangle.
  const ADMRGBColor background = ops[i].color;
  EXPECT_EQ(rect(ops[i].rect), (std::array<int, 4>{0, 0, 10, 290}));
  EXPECT_EQ(rect(ops[i + 1].rect), (std::array<int, 4>{110, 0, 377, 290}));
  EXPECT_EQ(rect(ops[i + 2].rect), (std::array<int, 4>{10, 0, 110, 20}));
  EXPECT_EQ(rect(ops[i + 3].rect), (std::array<int, 4>{10, 220, 110, 290}));
  for (int k = 0; k < 4; ++k) EXPECT_EQ(ops[i + k].kind, adm::DrawOp::FillRect);
  i += 4;
  // Black outline, background outline inset by one, white image area.
  EXPECT_EQ(ops[i].kind, adm::DrawOp::FrameRect);
  EXPECT_EQ(rect(ops[i].rect), (std::array<int, 4>{0, 0, 377, 290}));
  EXPECT_EQ(rect(ops[i + 1].rect), (std::array<int, 4>{1, 1, 376, 289}));
  EXPECT_EQ(ops[i + 1].color.red, background.red);
  EXPECT_EQ(ops[i + 2].kind, adm::DrawOp::FillRect);
  EXPECT_EQ(rect(ops[i + 2].rect), (std::array<int, 4>{10, 20, 110, 220}));
  EXPECT_EQ(ops[i + 2].color.red, 65535);
  EXPECT_EQ(ops[i + 2].color.green, 65535);
  i += 3;
  // The green quadrilateral through the four handle centres, closed.
  EXPECT_EQ(ops[i].kind, adm::DrawOp::FramePolygon);
  EXPECT_EQ(ops[i].color.red, 0);
  EXPECT_EQ(ops[i].color.green, 65535);
  EXPECT_EQ(ops[i].color.blue, 0);
  ASSERT_EQ(ops[i].points.size(), 5u);
  const int px[5] = {10, 110, 110, 10, 10}, py[5] = {20, 20, 220, 220, 20};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(ops[i].points[k].h, px[k]);
    EXPECT_EQ(ops[i].points[k].v, py[k]);
  }
  ++i;
  // Handles: rings of 14, 12 and 10 pixels; the active one's middle ring differs.
  const ADMRGBColor activeRing = ops[i + 1].color, idleRing = ops[i + 4].color;
  EXPECT_FALSE(activeRing.red == idleRing.red && activeRing.green == idleRing.green &&
               activeRing.blue == idleRing.blue);
  EXPECT_GT(activeRing.red, activeRing.green);
  for (int handle = 0; handle < 4; ++handle) {
    for (int ring = 0; ring < 3; ++ring) {
      const adm::DrawOp& op = ops[i + 3 * handle + ring];
      EXPECT_EQ(op.kind, adm::DrawOp::FrameRect);
      EXPECT_EQ(op.rect.right - op.rect.left, 14 - 2 * ring);
      EXPECT_EQ(op.rect.bottom - op.rect.top, 14 - 2 * ring);
      EXPECT_EQ(op.rect.left, px[handle] - 7 + ring);
    }
  }
}

TEST_F(CornerPin, PlainViewerDrawsFrameAndImageOnly) {
  Viewer plain(&dialog(), 0, ADMRect{0, 0, 60, 40}, &host().host().filterRecord());
  plain.setImageRect(ADMRect{5, 6, 55, 34});
  adm::DrawRecord ops = adm::draw(plain.ref());
  std::vector<adm::DrawOp> own;
  for (const adm::DrawOp& op : ops)
    if (op.kind != adm::DrawOp::DefaultDraw) own.push_back(op);
  ASSERT_EQ(own.size(), 3u);
  EXPECT_EQ(own[0].kind, adm::DrawOp::FrameRect);
  EXPECT_EQ(own[0].color.red, 0);
  EXPECT_EQ(own[1].kind, adm::DrawOp::FrameRect);
  EXPECT_EQ(own[1].rect.left, 1);
  EXPECT_EQ(own[2].kind, adm::DrawOp::FillRect);
  EXPECT_EQ(own[2].rect.left, 5);
  EXPECT_EQ(own[2].rect.bottom, 34);
  EXPECT_EQ(own[2].color.blue, 65535);

  // With a buffer shown, the host's pixel display draws it at the image
  // rectangle's top-left instead of the white fill.
  HostDocument document(&host().host().filterRecord());
  HostBufferRef buffer = document.makeBuffer(50, 28, 1, 1, plugInModeGrayScale);
  buffer->clear();
  plain.showBuffer(buffer);
  EXPECT_EQ(plain.pixelMap().bounds.bottom, 28);
  EXPECT_EQ(plain.pixelMap().rowBytes, 50);
  ops = adm::draw(plain.ref());
  own.clear();
  for (const adm::DrawOp& op : ops)
    if (op.kind != adm::DrawOp::DefaultDraw) own.push_back(op);
  ASSERT_EQ(own.size(), 3u);
  EXPECT_EQ(own[2].kind, adm::DrawOp::Pixels);
  EXPECT_EQ(own[2].rect.left, 5);
  EXPECT_EQ(own[2].rect.top, 6);
  ASSERT_FALSE(own[2].rgb.empty());
  EXPECT_EQ(own[2].rgb[0], 0);
  plain.showBuffer(HostBufferRef());
}

}  // namespace
}  // namespace veyra
