#include "ui/LabeledComboBox.h"

namespace veyra {

LabeledComboBox::LabeledComboBox(ADM::Dialog* dialog, int32 itemID, const char* label, const ADMRect& rect)
    : ADM::Group(dialog, itemID) {
  const int32 half = (rect.right - rect.left) / 2;
  const int32 mid = rect.left + half;
  label_ = std::make_unique<ADM::Label>(dialog, label,
                                        ADM::makeRect(rect.left, rect.top + 2, mid - 2, rect.top + 18));
  label_->setJustify(kADMRightJustify);
  popup_ = std::make_unique<ADM::ComboBox>(dialog, itemID,
                                           ADM::makeRect(mid, rect.top, rect.right, rect.top + 20));
  popup_->connect(ADM::kSelectEvent, this, &LabeledComboBox::onSelect);
  add(label_.get());
  add(popup_.get());
}

LabeledComboBox::~LabeledComboBox() {
  popup_->disconnect(ADM::kSelectEvent, this, &LabeledComboBox::onSelect);
  popup_.reset();
  label_.reset();
}

void LabeledComboBox::append(const char* text, int32 identifier) { popup_->appendEntry(text, identifier); }

void LabeledComboBox::onSelect(ADM::CallbackObject*, void*, void* notifier) {
  emit(ADM::kSelectEvent, this, notifier);
}

}  // namespace veyra
