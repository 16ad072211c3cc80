#include "adm/Wrappers.h"

#include "adm/SuiteSet.h"

namespace ADM {

ADMPortRef Drawer::port() const { return sDrawer->GetPortRef(ref_); }

ADMRect Drawer::boundsRect() const {
  ADMRect r{0, 0, 0, 0};
  sDrawer->GetBoundsRect(ref_, &r);
  return r;
}

void Drawer::setADMColor(ADMColor color) { sDrawer->SetADMColor(ref_, color); }
void Drawer::setRGBColor(const ADMRGBColor& color) { sDrawer->SetRGBColor(ref_, &color); }
void Drawer::frameRect(const ADMRect& rect) { sDrawer->FrameRect(ref_, &rect); }
void Drawer::fillRect(const ADMRect& rect) { sDrawer->FillRect(ref_, &rect); }
void Drawer::framePolygon(const ADMPoint* points, int count) {
  sDrawer->FramePolygon(ref_, points, count);
}
void Drawer::drawIconCentered(ADMIconRef icon, const ADMRect& rect) {
  sDrawer->DrawIconCentered(ref_, icon, &rect);
}
void Drawer::drawIcon(ADMIconRef icon, const ADMPoint& topLeft) {
  sDrawer->DrawIcon(ref_, icon, &topLeft);
}

ADMAction Tracker::action() const { return sTracker->GetAction(ref_); }
ADMModifiers Tracker::modifiers() const { return sTracker->GetModifiers(ref_); }
ADMPoint Tracker::point() const {
  ADMPoint p{0, 0};
  sTracker->GetPoint(ref_, &p);
  return p;
}

bool Notifier::isNotifierType(const char* type) const {
  return sNotifier->IsNotifierType(ref_, type) != 0;
}

}  // namespace ADM
