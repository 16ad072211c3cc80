// The preview item: shows a host buffer through the host's pixel display
// service, centred in an outlined frame.
#pragma once

#include "adm/Item.h"
#include "host/FilterRecord.h"
#include "host/HostBuffer.h"

namespace veyra {

class Viewer : public ADM::Item {
 public:
  // A picture item in the dialog at the bounds (dialog coordinates).
  Viewer(ADM::Dialog* dialog, int32 itemID, const ADMRect& bounds, FilterRecord* record);

  // Black outline, background outline inset 1, then the shown buffer at the
  // image rectangle (or white when none is shown).
  void draw(ADM::Drawer& drawer) override;

  // Shows the buffer (or nothing) and describes it in the pixel map.
  void showBuffer(const HostBufferRef& buffer);
  const HostBufferRef& shownBuffer() const { return shown_; }
  const PSPixelMap& pixelMap() const { return pixelMap_; }

  // Where the image is drawn, in item coordinates (left, top, right, bottom).
  void setImageRect(const ADMRect& rect) { imageRect_ = rect; }
  const ADMRect& imageRect() const { return imageRect_; }

 protected:
  // Steps shared with the corner-pin viewer's drawing.
  void drawFrameAndImage(ADM::Drawer& drawer);

 private:
  FilterRecord* record_;
  PSPixelMap pixelMap_{};
  ADMRect imageRect_{0, 0, 0, 0};
  HostBufferRef shown_;
};

}  // namespace veyra
