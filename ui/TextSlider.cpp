#include "ui/TextSlider.h"

#include <cstdio>
#include <cstdlib>

namespace veyra {

namespace {
// Host edit settings applied to every value field: five decimals when the host
// writes a float itself, and room for a sign, four digits and a decimal part.
constexpr int32 kEditPrecision = 5;
constexpr int32 kEditDisplayWidth = 6;
}  // namespace

float TextSlider::clamp(float x, float minimum, float maximum) {
  if (!(x >= minimum)) return minimum;
  if (x > maximum) return maximum;
  return x;
}

std::string TextSlider::format(float x) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(x));
  return text;
}

TextSlider::TextSlider(ADM::Dialog* dialog, int32 itemID, const char* label, const ADMRect& rect,
                       float minimum, float maximum, float initial)
    : ADM::Group(dialog, itemID),
      minimum_(minimum),
      maximum_(maximum),
      value_(clamp(initial, minimum, maximum)) {
  const int32 l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
  label_ =
      std::make_unique<ADM::Label>(dialog, label, ADM::makeRect(l + 7, t + 8, l + (r - l) / 2 + 7, t + 24));

  slider_ = std::make_unique<ADM::Slider>(dialog, itemID, ADM::makeRect(l, b - 10, r, b));
  slider_->setFloatRange(minimum_, maximum_);
  slider_->setFloatValue(value_, false);
  slider_->connect(ADM::kTrackEvent, this, &TextSlider::onSlider);
  slider_->connect(ADM::kChangedEvent, this, &TextSlider::onSlider);

  edit_ = std::make_unique<ADM::Edit>(dialog, itemID, ADM::makeRect(r - 52, t + 2, r - 7, b - 11),
                                      ADM::Edit::kNumericEdit);
  edit_->setPrecision(kEditPrecision);
  edit_->setDisplayWidth(kEditDisplayWidth);
  edit_->connect(ADM::kChangedEvent, this, &TextSlider::onEdit);

  add(label_.get());
  add(slider_.get());
  add(edit_.get());
}

TextSlider::~TextSlider() {
  edit_->disconnect(ADM::kChangedEvent, this, &TextSlider::onEdit);
  slider_->disconnect(ADM::kTrackEvent, this, &TextSlider::onSlider);
  slider_->disconnect(ADM::kChangedEvent, this, &TextSlider::onSlider);
  label_.reset();
  edit_.reset();
  slider_.reset();
}

void TextSlider::showText() { edit_->setText(format(value_).c_str()); }

void TextSlider::setValue(float x, bool notify) {
  value_ = clamp(x, minimum_, maximum_);
  slider_->setFloatValue(value_, false);
  showText();
  if (notify) emit(ADM::kChangedEvent, this, nullptr);
}

void TextSlider::onSlider(ADM::CallbackObject*, void*, void*) {
  value_ = slider_->floatValue();
  showText();
  emit(ADM::kChangedEvent, this, nullptr);
}

void TextSlider::onEdit(ADM::CallbackObject*, void*, void*) {
  // Empty or unreadable text reads as 0; strtof keeps what a float can hold.
  const std::string text = edit_->text();
  const float typed = std::strtof(text.c_str(), nullptr);
  value_ = clamp(typed, minimum_, maximum_);
  slider_->setFloatValue(value_, false);
  showText();
  emit(ADM::kChangedEvent, this, nullptr);
}

}  // namespace veyra
