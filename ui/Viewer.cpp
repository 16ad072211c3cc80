#include "ui/Viewer.h"

namespace veyra {

namespace {
ADMRect inset(const ADMRect& r, int32 d) { return ADMRect{r.left + d, r.top + d, r.right - d, r.bottom - d}; }
}  // namespace

Viewer::Viewer(ADM::Dialog* dialog, int32 itemID, const ADMRect& bounds, FilterRecord* record)
    : ADM::Item(dialog, itemID, kADMPictureStaticType, bounds), record_(record) {
  pixelMap_.version = 1;
}

void Viewer::showBuffer(const HostBufferRef& buffer) {
  shown_ = buffer;
  PSPixelMap map{};
  map.version = 1;
  if (buffer) {
    map.bounds = VRect{0, 0, buffer->height(), buffer->width()};
    map.imageMode = buffer->imageMode();
    map.rowBytes = buffer->rowBytes();
    map.colBytes = buffer->bytesPerPixel();
    map.planeBytes = buffer->bytesPerSample();
    map.baseAddr = buffer->data();
  }
  pixelMap_ = map;
}

void Viewer::drawFrameAndImage(ADM::Drawer& drawer) {
  const ADMRect bounds = localRect();
  drawer.setADMColor(kADMBlackColor);
  drawer.frameRect(bounds);
  drawer.setADMColor(kADMBackgroundColor);
  drawer.frameRect(inset(bounds, 1));
  drawer.setADMColor(kADMWhiteColor);
  if (shown_ && record_ != nullptr && record_->displayPixels != nullptr) {
    VRect source = pixelMap_.bounds;
    record_->displayPixels(&pixelMap_, &source, imageRect_.top, imageRect_.left, drawer.port());
  } else {
    drawer.fillRect(imageRect_);
  }
}

void Viewer::draw(ADM::Drawer& drawer) { drawFrameAndImage(drawer); }

}  // namespace veyra
