// A right-justified label beside a popup list, re-emitting the popup's
// selection as its own "select".
#pragma once

#include <initializer_list>
#include <memory>
#include <utility>

#include "adm/Group.h"
#include "adm/Label.h"
#include "adm/List.h"

namespace veyra {

class LabeledComboBox : public ADM::Group {
 public:
  // rect is the pair's whole area: the label takes its left half less 2
  // pixels (2 lower, 16 high), the popup its right half (20 high). The group
  // and the popup take the id.
  LabeledComboBox(ADM::Dialog* dialog, int32 itemID, const char* label, const ADMRect& rect);
  // Deletes the popup and the label, then the group.
  ~LabeledComboBox() override;

  // Appends an entry with the identifier.
  void append(const char* text, int32 identifier);

  ADM::ComboBox& popup() const { return *popup_; }
  ADM::Label& label() const { return *label_; }

 private:
  void onSelect(ADM::CallbackObject* sender, void* userData, void* arg);

  std::unique_ptr<ADM::ComboBox> popup_;
  std::unique_ptr<ADM::Label> label_;
};

}  // namespace veyra
