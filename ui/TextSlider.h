// A labelled numeric value edited with a slider and with a text field, kept
// in one float clamped to a range.
#pragma once

#include <memory>

#include "adm/Edit.h"
#include "adm/Group.h"
#include "adm/Label.h"
#include "adm/Slider.h"

namespace veyra {

class TextSlider : public ADM::Group {
 public:
  // Builds the row inside rect: the label at the left of the upper half, the
  // numeric field at the right, the slider along the bottom 10 pixels. The
  // group, slider and edit take the id; the label takes 0. The value starts
  // at initial (clamped); the edit text stays empty until the first setValue.
  TextSlider(ADM::Dialog* dialog, int32 itemID, const char* label, const ADMRect& rect, float minimum,
             float maximum, float initial);
  // Disconnects from the slider and edit, then deletes label, edit and slider.
  ~TextSlider() override;

  // Clamps x, stores it, moves the slider and rewrites the text; emits
  // "changed" when notify is true.
  void setValue(float x, bool notify);
  float value() const { return value_; }
  float minimum() const { return minimum_; }
  float maximum() const { return maximum_; }

  // The parts, for layout checks and for tests that drive them.
  ADM::Slider& slider() const { return *slider_; }
  ADM::Edit& edit() const { return *edit_; }
  ADM::Label& label() const { return *label_; }

  // Clamps to [minimum, maximum]; anything that is not a number (NaN)
  // becomes the minimum.
  static float clamp(float x, float minimum, float maximum);
  // The text shown for a value: "%g" of the float widened to double.
  static std::string format(float x);

 private:
  void onSlider(ADM::CallbackObject* sender, void* userData, void* arg);
  void onEdit(ADM::CallbackObject* sender, void* userData, void* arg);
  void showText();

  float minimum_;
  float maximum_;
  float value_;
  std::unique_ptr<ADM::Slider> slider_;
  std::unique_ptr<ADM::Edit> edit_;
  std::unique_ptr<ADM::Label> label_;
};

}  // namespace veyra
