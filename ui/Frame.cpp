#include "ui/Frame.h"

namespace veyra {

Frame::Frame(ADM::Dialog* dialog, const ADMRect& rect) : ADM::Item(dialog, 0, kADMFrameType, rect) {}

bool Frame::track(ADM::Tracker&) { return false; }

}  // namespace veyra
