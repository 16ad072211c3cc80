// The FLTK views of dialogs and items: each dialog a window, each item a
// widget whose drawing, pointer events and user changes go through the
// dialog manager's routing to the plug-in's procedures.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Multiline_Input.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Secret_Input.H>
#include <FL/Fl_Slider.H>
#include <FL/Fl_Color_Chooser.H>
#include <FL/fl_ask.H>
#include <FL/Fl_Shared_Image.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "dialogmanager/AdmFltkAccess.h"
#include "dialogmanager/AdmModel.h"
#include "dialogmanager/platform/ToolkitDisplay.h"

namespace veyra::dialogmanager {

namespace {

// Text sizes: every text starts at the base size and shrinks, down to the
// smallest, until it fits the room its widget gives it.
constexpr int kBaseTextSize = 11;
constexpr int kSmallestTextSize = 8;

// The largest text size at which every text is at most `room` pixels wide;
// room(size) may depend on the size (a radio button's circle grows with it).
template <class Room>
int fittingSize(const std::vector<std::string>& texts, Room room) {
  for (int size = kBaseTextSize; size > kSmallestTextSize; --size) {
    fl_font(FL_HELVETICA, size);
    bool fits = true;
    for (const std::string& t : texts) fits = fits && fl_width(t.c_str()) <= room(size);
    if (fits) return size;
  }
  return kSmallestTextSize;
}

Fl_Color accentColor() { return fl_rgb_color(kAccentRed, kAccentGreen, kAccentBlue); }

ADMModifiers currentModifiers() {
  int state = Fl::event_state();
  ADMModifiers m = 0;
  if (state & FL_BUTTONS) m |= kADMButtonHeldModifier;
  if (state & FL_CTRL) m |= kADMControlKeyModifier;
  if (state & FL_ALT) m |= kADMAltKeyModifier;
  if (state & FL_SHIFT) m |= kADMShiftKeyModifier;
  if (state & FL_META) m |= kADMMetaKeyModifier;
  if (Fl::event_clicks() > 0) m |= kADMDoubleClickModifier;
  return m;
}

ADMAction actionOf(int event) {
  switch (event) {
    case FL_PUSH: return kADMButtonDownAction;
    case FL_RELEASE: return kADMButtonUpAction;
    case FL_DRAG: return kADMMouseMovedDownAction;
    case FL_MOVE: return kADMMouseMovedUpAction;
    case FL_ENTER: return kADMEnterAction;
    case FL_LEAVE: return kADMLeaveAction;
    default: return kADMNoAction;
  }
}

Fl_Align alignOf(const ADMItem& item) {
  Fl_Align a = FL_ALIGN_INSIDE | FL_ALIGN_CLIP;
  if (item.kind == ItemKind::TextStaticMultiLine) a |= FL_ALIGN_WRAP | FL_ALIGN_TOP;
  if (item.justify == kADMLeftJustify) a |= FL_ALIGN_LEFT;
  else if (item.justify == kADMRightJustify) a |= FL_ALIGN_RIGHT;
  return a;
}

// A titled frame: an engraved outline with the title on its top edge.
class FrameBox : public Fl_Box {
 public:
  FrameBox(int x, int y, int w, int h) : Fl_Box(x, y, w, h) { box(FL_NO_BOX); }
  void draw() override {
    fl_font(labelfont(), labelsize());
    int lineY = y() + labelsize() / 2;
    fl_draw_box(FL_ENGRAVED_FRAME, x(), lineY, w(), h() - (lineY - y()), color());
    if (label() && *label()) {
      int tw = static_cast<int>(fl_width(label())) + 6;
      fl_color(color());
      fl_rectf(x() + 8, y(), tw, labelsize() + 2);
      fl_color(labelcolor());
      fl_draw(label(), x() + 11, y() + labelsize() - 1);
    }
  }
};

// A widget of type W whose drawing and pointer handling go to the item.
template <class W>
class ItemWidget : public W {
 public:
  ItemWidget(ADMItem& item, int x, int y, int w, int h) : W(x, y, w, h), item_(item) {}

  void draw() override {
    if (!item_.drawProc) return W::draw();
    ADMDrawer drawer;
    drawer.mode = ADMDrawer::Mode::Fltk;
    drawer.originX = this->x();
    drawer.originY = this->y();
    drawer.bounds = item_.localRect();
    drawer.widgetDefault = [this] { W::draw(); };
    fl_push_clip(this->x(), this->y(), this->w(), this->h());
    drawItem(item_, drawer);
    fl_pop_clip();
    item_.invalid = false;
  }

  int handle(int event) override {
    if (event == FL_FOCUS || event == FL_UNFOCUS) {
      int r = W::handle(event);
      if (isEditable(item_.kind) && r) {
        if (event == FL_UNFOCUS) showStart();
        notifyItem(item_, event == FL_FOCUS ? kADMActivateWindowNotifier : kADMDeactivateWindowNotifier);
      }
      return r;
    }
    if (event == FL_KEYBOARD && pressesWithReturn()) {
      // Return presses the focused button as space does; it reaches the
      // dialog's default button only from controls without an action of
      // their own for it.
      const int saved = Fl::e_keysym;
      Fl::e_keysym = ' ';
      const int r = W::handle(event);
      Fl::e_keysym = saved;
      return r;
    }
    ADMAction action = actionOf(event);
    if (action == kADMNoAction) return W::handle(event);
    // FLTK reports the first move into a widget as entering it: an item that
    // asked for moves but not for entering gets it as a move.
    if (action == kADMEnterAction && !(item_.mask & kADMEnterMask)) action = kADMMouseMovedUpAction;
    ADMTracker tracker;
    tracker.action = action;
    tracker.modifiers = currentModifiers();
    tracker.point = ADMPoint{Fl::event_x() - this->x(), Fl::event_y() - this->y()};
    int base = 0;
    tracker.widgetDefault = [this, event, &base] {
      base = W::handle(event);
      pullState();
      return base != 0;
    };
    ADMBoolean consumed = trackItem(item_, tracker);
    // Keep receiving the events the plug-in asked for, consumed or not.
    bool wanted = item_.trackProc != nullptr;
    if (wanted && event == FL_PUSH &&
        (item_.mask & (kADMMouseMovedDownMask | kADMButtonUpMask)))
      return 1;
    if (wanted && (event == FL_ENTER || event == FL_MOVE) &&
        (item_.mask & (kADMMouseMovedUpMask | kADMLeaveMask)))
      return 1;
    return consumed || base ? 1 : 0;
  }

  // Copies what the user changed in the widget into the item.
  void pullState();
  // Edit fields: back to the start of the text (after editing ended).
  void showStart();
  // Edit fields: the text's scroll in pixels (0: it shows from its start).
  int textScroll() const;

 private:
  bool pressesWithReturn() const {
    const int key = Fl::event_key();
    return (isPushButton(item_.kind) || isCheckBox(item_.kind) || isRadioButton(item_.kind)) &&
           Fl::focus() == this && (key == FL_Enter || key == FL_KP_Enter) &&
           !(Fl::event_state() & (FL_SHIFT | FL_CTRL | FL_ALT | FL_META));
  }

  ADMItem& item_;
};

template <class W>
void ItemWidget<W>::pullState() {}

template <>
void ItemWidget<Fl_Slider>::pullState() {
  item_.value = static_cast<float>(value());
}

template <class W>
void ItemWidget<W>::showStart() {}

template <>
void ItemWidget<Fl_Input>::showStart() {
  position(0);
  redraw();
}

template <class W>
int ItemWidget<W>::textScroll() const {
  return 0;
}

template <>
int ItemWidget<Fl_Input>::textScroll() const {
  return xscroll();
}

// Widget callbacks: the user changed the item.
void buttonCallback(Fl_Widget* w, void* data) {
  ADMItem& item = *static_cast<ADMItem*>(data);
  if (isCheckBox(item.kind)) item.on = static_cast<Fl_Button*>(w)->value() != 0;
  if (isRadioButton(item.kind)) setRadioOn(item);
  notifyItem(item, kADMUserChangedNotifier);
}

void sliderCallback(Fl_Widget* w, void* data) {
  ADMItem& item = *static_cast<ADMItem*>(data);
  item.value = static_cast<float>(static_cast<Fl_Slider*>(w)->value());
  notifyItem(item, kADMUserChangedNotifier);
}

void inputCallback(Fl_Widget* w, void* data) {
  ADMItem& item = *static_cast<ADMItem*>(data);
  auto* input = static_cast<Fl_Input*>(w);
  item.text = input->value();
  // The typed text is handed over: what the plug-in writes back in answer is
  // shown, not kept out as the user's unfinished typing.
  input->clear_changed();
  notifyItem(item, kADMUserChangedNotifier);
}

void choiceCallback(Fl_Widget* w, void* data) {
  ADMItem& item = *static_cast<ADMItem*>(data);
  choosePopupEntry(item, static_cast<Fl_Choice*>(w)->value());
}

class FltkItemView : public ItemView {
 public:
  FltkItemView(ADMItem& item, Fl_Window& window) : item_(item), window_(window) {
    const ADMRect& b = item.bounds;
    int x = b.left, y = b.top, w = b.right - b.left, h = b.bottom - b.top;
    switch (item.kind) {
      case ItemKind::TextPushButton:
      case ItemKind::PicturePushButton:
        widget_ = std::make_unique<ItemWidget<Fl_Button>>(item, x, y, w, h);
        widget_->callback(buttonCallback, &item);
        break;
      case ItemKind::TextCheckBox:
        widget_ = std::make_unique<ItemWidget<Fl_Check_Button>>(item, x, y, w, h);
        widget_->callback(buttonCallback, &item);
        break;
      case ItemKind::TextRadioButton:
        widget_ = std::make_unique<ItemWidget<Fl_Round_Button>>(item, x, y, w, h);
        static_cast<Fl_Button*>(widget_.get())->type(FL_RADIO_BUTTON);
        widget_->callback(buttonCallback, &item);
        break;
      case ItemKind::PictureCheckBox:
      case ItemKind::PictureRadioButton:
        widget_ = std::make_unique<ItemWidget<Fl_Button>>(item, x, y, w, h);
        static_cast<Fl_Button*>(widget_.get())
            ->type(item.kind == ItemKind::PictureCheckBox ? FL_TOGGLE_BUTTON : FL_RADIO_BUTTON);
        widget_->callback(buttonCallback, &item);
        break;
      case ItemKind::TextEdit:
      case ItemKind::TextEditMultiLine:
      case ItemKind::PasswordTextEdit: {
        auto owned = std::make_unique<ItemWidget<Fl_Input>>(item, x, y, w, h);
        auto* input = owned.get();
        widget_ = std::move(owned);
        input->when(FL_WHEN_ENTER_KEY | FL_WHEN_RELEASE);
        input->callback(inputCallback, &item);
        break;
      }
      case ItemKind::TextStatic:
      case ItemKind::TextStaticMultiLine:
      case ItemKind::PictureStatic:
        widget_ = std::make_unique<ItemWidget<Fl_Box>>(item, x, y, w, h);
        widget_->box(FL_NO_BOX);
        break;
      case ItemKind::Frame:
        widget_ = std::make_unique<ItemWidget<FrameBox>>(item, x, y, w, h);
        widget_->labelfont(FL_HELVETICA_BOLD);
        break;
      case ItemKind::PopupList:
        widget_ = std::make_unique<ItemWidget<Fl_Choice>>(item, x, y, w, h);
        widget_->callback(choiceCallback, &item);
        break;
      case ItemKind::Slider: {
        auto owned = std::make_unique<ItemWidget<Fl_Slider>>(item, x, y, w, h);
        auto* slider = owned.get();
        widget_ = std::move(owned);
        slider->type(FL_HOR_NICE_SLIDER);
        slider->when(FL_WHEN_RELEASE);
        slider->callback(sliderCallback, &item);
        break;
      }
      case ItemKind::ItemGroup:
        break;
    }
    if (widget_) {
      widget_->labelsize(kBaseTextSize);
      window_.add(widget_.get());
      refresh();
    }
  }

  ~FltkItemView() override {
    if (widget_) {
      window_.remove(widget_.get());
      window_.redraw();
    }
  }

  Fl_Widget* widget() const { return widget_.get(); }

  int textScroll() const {
    auto* input = dynamic_cast<ItemWidget<Fl_Input>*>(widget_.get());
    return input ? input->textScroll() : 0;
  }

  void refresh() override {
    if (!widget_) return;
    Fl_Widget& w = *widget_;
    const ADMRect& b = item_.bounds;
    int nx = b.left, ny = b.top, nw = std::max(0, b.right - b.left), nh = std::max(0, b.bottom - b.top);
    if (w.x() != nx || w.y() != ny || w.w() != nw || w.h() != nh) {
      w.resize(nx, ny, nw, nh);
      window_.redraw();
    }
    if (item_.visible && !w.visible()) w.show();
    if (!item_.visible && w.visible()) {
      w.hide();
      window_.redraw();
    }
    if (item_.enabled) {
      w.activate();
    } else if (w.active()) {
      // Focus stays near: a button that disables itself under the keyboard
      // hands the focus to its nearest enabled neighbour, preferably of the
      // same kind ("-" at the smallest zoom to "+"), not to the window's
      // first control.
      const bool focused = Fl::focus() == &w;
      w.deactivate();
      if (focused)
        if (Fl_Widget* next = focusNeighbour()) next->take_focus();
    }
    w.copy_tooltip(item_.tip.empty() ? nullptr : item_.tip.c_str());
    switch (item_.kind) {
      case ItemKind::TextEdit:
      case ItemKind::TextEditMultiLine:
      case ItemKind::PasswordTextEdit:
        refreshInput(static_cast<Fl_Input&>(w));
        break;
      case ItemKind::TextCheckBox:
      case ItemKind::TextRadioButton:
      case ItemKind::PictureCheckBox:
      case ItemKind::PictureRadioButton:
        static_cast<Fl_Button&>(w).value(item_.on ? 1 : 0);
        w.copy_label(item_.text.c_str());
        fitLabel([&w](int size) {
          // The check mark or circle is as large as the text, left of it.
          return w.w() - size - 2 * (Fl::box_dx(w.box()) + 2) - 6;
        });
        break;
      case ItemKind::Slider: {
        auto& slider = static_cast<Fl_Slider&>(w);
        slider.bounds(item_.minValue, item_.maxValue);
        slider.value(item_.value);
        break;
      }
      case ItemKind::PopupList:
        refreshChoice(static_cast<Fl_Choice&>(w));
        break;
      case ItemKind::TextPushButton:
        w.copy_label(item_.text.c_str());
        showDefault(w);
        fitLabel([&w](int) { return w.w() - Fl::box_dw(w.box()) - 6; });
        break;
      case ItemKind::TextStatic:
      case ItemKind::TextStaticMultiLine:
        w.copy_label(item_.text.c_str());
        w.align(alignOf(item_));
        // Multi-line text wraps instead.
        if (item_.kind == ItemKind::TextStatic) fitLabel([&w](int) { return w.w() - 6; });
        break;
      default:
        if (item_.kind != ItemKind::PictureStatic && item_.kind != ItemKind::PicturePushButton)
          w.copy_label(item_.text.c_str());
        break;
    }
    w.redraw();
  }

  void redraw() override {
    if (widget_) widget_->redraw();
  }

  void redrawNow() override {
    if (!widget_) return;
    widget_->redraw();
    Fl::flush();
  }

 private:
  template <class Room>
  void fitLabel(Room room) {
    widget_->labelsize(fittingSize({item_.text}, room));
  }

  // The dialog's default button is drawn in the accent colour.
  void showDefault(Fl_Widget& w) {
    const bool isDefault = item_.dialog && item_.id != 0 && item_.id == item_.dialog->defaultItem;
    w.color(isDefault ? accentColor() : FL_BACKGROUND_COLOR);
    w.selection_color(isDefault ? fl_darker(accentColor()) : FL_BACKGROUND_COLOR);
    w.labelcolor(isDefault ? FL_WHITE : FL_FOREGROUND_COLOR);
    w.labelfont(isDefault ? FL_HELVETICA_BOLD : FL_HELVETICA);
  }

  void refreshInput(Fl_Input& input) {
    int type = item_.kind == ItemKind::TextEditMultiLine ? FL_MULTILINE_INPUT
               : item_.kind == ItemKind::PasswordTextEdit ? FL_SECRET_INPUT
               : item_.style == kADMNumericEditStyle     ? FL_FLOAT_INPUT
                                                         : FL_NORMAL_INPUT;
    input.type(static_cast<uchar>(type));
    const bool numeric = item_.style == kADMNumericEditStyle && item_.displayWidth > 0;
    if (numeric) {
      // Big enough for the requested number of digits in the field.
      const std::string widest(static_cast<std::size_t>(item_.displayWidth), '0');
      const int room = input.w() - Fl::box_dw(input.box()) - 4;
      input.textsize(fittingSize({widest}, [room](int) { return room; }));
    } else {
      input.textsize(kBaseTextSize);
    }
    // The user's unfinished typing stays; otherwise the field shows the
    // item's text, a number rounded to the requested precision and width.
    if (Fl::focus() == &input && input.changed()) return;
    const std::string shown =
        numeric ? numberForDisplay(item_.text, item_.precision, item_.displayWidth) : item_.text;
    if (shown != input.value()) {
      input.value(shown.c_str());
      if (Fl::focus() != &input) input.position(0);
    }
  }

  void refreshChoice(Fl_Choice& choice) {
    std::vector<std::string> texts;
    for (auto& e : item_.list->entries) texts.push_back(e->text);
    if (texts != menuTexts_) {
      // The menu may keep pointers to the texts: they live in menuTexts_.
      menuTexts_ = std::move(texts);
      choice.clear();
      // Menu text treats '/', '&' and '_' specially; add each entry literally.
      for (const std::string& t : menuTexts_) {
        int index = choice.add("x");
        choice.replace(index, t.c_str());
      }
      // Every entry fits beside the arrow, whichever is shown.
      const int room = choice.w() - 20 - Fl::box_dw(FL_DOWN_BOX) - 8;
      choice.textsize(fittingSize(menuTexts_, [room](int) { return room; }));
    }
    if (item_.list->active >= 0 && item_.list->active < choice.size() - 1) choice.value(item_.list->active);
  }

  // The nearest enabled, visible control that takes the keyboard, one of the
  // same kind before any other.
  Fl_Widget* focusNeighbour() const {
    if (!item_.dialog) return nullptr;
    const auto centre = [](const Fl_Widget& w) { return std::make_pair(w.x() + w.w() / 2, w.y() + w.h() / 2); };
    const auto [cx, cy] = centre(*widget_);
    Fl_Widget* best = nullptr;
    double bestScore = 0;
    for (const auto& other : item_.dialog->items) {
      auto* view = dynamic_cast<FltkItemView*>(other->view.get());
      Fl_Widget* w = view ? view->widget() : nullptr;
      if (!w || w == widget_.get() || !other->enabled || !w->visible() || !w->active() || !w->visible_focus())
        continue;
      const auto [ox, oy] = centre(*w);
      double score = std::hypot(ox - cx, oy - cy);
      if (other->kind != item_.kind) score += 1e6;
      if (!best || score < bestScore) {
        best = w;
        bestScore = score;
      }
    }
    return best;
  }

  ADMItem& item_;
  Fl_Window& window_;
  std::unique_ptr<Fl_Widget> widget_;
  std::vector<std::string> menuTexts_;
};

class DialogWindow : public Fl_Double_Window {
 public:
  DialogWindow(ADMDialog& dialog, int w, int h) : Fl_Double_Window(w, h), dialog_(dialog) {
    end();
    callback(closeCallback, &dialog);
  }

  void draw() override {
    if (!dialog_.drawProc) return Fl_Double_Window::draw();
    ADMDrawer drawer;
    drawer.mode = ADMDrawer::Mode::Fltk;
    drawer.bounds = ADMRect{0, 0, w(), h()};
    drawer.widgetDefault = [this] { Fl_Double_Window::draw(); };
    dialog_.drawProc(&dialog_, &drawer);
  }

  int handle(int event) override {
    if (event == FL_SHORTCUT && (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter)) {
      ADMItem* item = dialog_.find(dialog_.defaultItem);
      if (item && dialog_.defaultItem != 0 && isPushButton(item->kind) && item->enabled) {
        notifyItem(*item, kADMUserChangedNotifier);
        return 1;
      }
    }
    int r = Fl_Double_Window::handle(event);
    ADMAction action = actionOf(event);
    if (!r && action != kADMNoAction && dialog_.trackProc &&
        (dialog_.mask & kADMDialogBackgroundEventMask) && (dialog_.mask & ADM_ACTION_BIT(action))) {
      ADMTracker tracker;
      tracker.action = action;
      tracker.modifiers = currentModifiers();
      tracker.point = ADMPoint{Fl::event_x(), Fl::event_y()};
      r = dialog_.trackProc(&dialog_, &tracker) ? 1 : 0;
    }
    return r;
  }

 private:
  static void closeCallback(Fl_Widget*, void* data) {
    notifyDialog(*static_cast<ADMDialog*>(data), kADMCloseHitNotifier);
  }
  ADMDialog& dialog_;
};

class FltkDialogView : public DialogView {
 public:
  explicit FltkDialogView(ADMDialog& dialog) : dialog_(dialog) {
    window_ = std::make_unique<DialogWindow>(dialog, 100, 100);
    window_->set_modal();
    refresh();
  }

  ~FltkDialogView() override { window_->hide(); }

  std::unique_ptr<ItemView> createItemView(ADMItem& item) override {
    if (item.kind == ItemKind::ItemGroup) return nullptr;
    return std::make_unique<FltkItemView>(item, *window_);
  }

  void refresh() override {
    const ADMRect& b = dialog_.bounds;
    int w = std::max(1, b.right - b.left), h = std::max(1, b.bottom - b.top);
    if (window_->x() != b.left || window_->y() != b.top || window_->w() != w || window_->h() != h)
      window_->resize(b.left, b.top, w, h);
    window_->copy_label(dialog_.title.empty() ? dialog_.name.c_str() : dialog_.title.c_str());
  }

  void show() override { window_->show(); }
  void hide() override { window_->hide(); }
  bool shown() const override { return window_->shown() != 0; }
  Fl_Window* window() const { return window_.get(); }
  void redraw() override { window_->redraw(); }

  bool capture(std::vector<unsigned char>& rgb, int& width, int& height) override {
    return captureWindow(window_.get(), rgb, width, height);
  }

 private:
  ADMDialog& dialog_;
  std::unique_ptr<DialogWindow> window_;
};

std::string filterPattern(const std::string& patterns) {
  // "*.jpeg;*.jpg" -> "*.{jpeg,jpg}" for FLTK's chooser.
  std::vector<std::string> exts;
  std::size_t start = 0;
  while (start <= patterns.size()) {
    std::size_t end = patterns.find(';', start);
    if (end == std::string::npos) end = patterns.size();
    std::string p = patterns.substr(start, end - start);
    if (p.rfind("*.", 0) == 0) exts.push_back(p.substr(2));
    start = end + 1;
  }
  if (exts.empty()) return "*";
  if (exts.size() == 1) return "*." + exts[0];
  std::string out = "*.{";
  for (std::size_t i = 0; i < exts.size(); ++i) out += (i ? "," : "") + exts[i];
  return out + "}";
}

}  // namespace

std::unique_ptr<DialogView> makeFltkDialogView(ADMDialog& dialog) {
  return std::make_unique<FltkDialogView>(dialog);
}

void runFltkModal(ADMDialog& dialog) {
  dialog.view->refresh();
  dialog.view->show();
  Fl::flush();
  if (auto driver = hostState().modalDriver) {
    // Let the window appear and draw before the driver looks at it.
    for (int i = 0; i < 10 && !dialog.ended; ++i) Fl::wait(0.02);
    driver(&dialog);
  }
  while (!dialog.ended) {
    if (!dialog.view->shown()) {
      endModal(dialog, dialog.cancelItem, true);
      break;
    }
    Fl::wait(0.1);
  }
  dialog.view->hide();
  Fl::flush();
}

bool openDisplay(std::string* error) {
  HostState& s = hostState();
  if (s.display) return true;
  // One connection for the life of the process: the toolkit keeps state
  // (the text renderer's drawing context among it) bound to the display it
  // opened first, so going back to headless dialogs leaves it open. The
  // toolkit's state is shared by everything in the process that uses it (a
  // host and the module carrying its own copy of this dialog manager): a
  // connection someone else opened is used as it is, with its look.
  s.display = true;
  if (platform::toolkitDisplayOpen()) return true;
  if (!platform::openToolkitDisplay(error)) {
    s.display = false;
    return false;
  }
  // A calm, flat look: the gleam scheme over one neutral face colour (the
  // standard background colour items paint with), white fields, dark text
  // and one accent for selections and the default button.
  Fl::scheme("gleam");
  Fl::background(kFaceGray, kFaceGray, kFaceGray);
  Fl::background2(255, 255, 255);
  Fl::foreground(32, 32, 32);
  Fl::set_color(FL_SELECTION_COLOR, kAccentRed, kAccentGreen, kAccentBlue);
  Fl::visual(FL_DOUBLE | FL_RGB);
  // The file chooser previews the pictures it lists.
  fl_register_images();
  return true;
}

void useHeadless() { hostState().display = false; }
bool displayOpen() { return hostState().display; }
bool displayBackend() { return hostState().display; }

ADMRect screenRect() {
  HostState& s = hostState();
  if (!s.display) return s.headlessScreen;
  int x, y, w, h;
  Fl::screen_xywh(x, y, w, h, 0);
  return ADMRect{x, y, x + w, y + h};
}

ADMPoint bestSize(const ADMItem& item) {
  int textWidth = static_cast<int>(item.text.size()) * 7;
  if (hostState().display) {
    fl_font(FL_HELVETICA, kBaseTextSize);
    textWidth = static_cast<int>(fl_width(item.text.c_str()));
  }
  switch (item.kind) {
    case ItemKind::TextPushButton: return ADMPoint{textWidth + 24, 22};
    case ItemKind::TextCheckBox:
    case ItemKind::TextRadioButton: return ADMPoint{textWidth + 24, 18};
    default: return ADMPoint{textWidth + 4, 16};
  }
}

bool runColorChooser(const char* prompt, ADMRGBColor& color) {
  HostState& s = hostState();
  ++s.colorCalls;
  if (!s.display) {
    if (!s.colorAnswer) return false;
    color = *s.colorAnswer;
    return true;
  }
  uchar r = static_cast<uchar>(color.red >> 8), g = static_cast<uchar>(color.green >> 8),
        b = static_cast<uchar>(color.blue >> 8);
  if (!fl_color_chooser(prompt && *prompt ? prompt : "Choose a colour", r, g, b)) return false;
  color = ADMRGBColor{static_cast<unsigned16>(r * 257), static_cast<unsigned16>(g * 257),
                      static_cast<unsigned16>(b * 257)};
  return true;
}

// A folder as the user reads it: "a/bin/../plug-ins/Patterns" is
// "a/plug-ins/Patterns".
std::string normalFolder(const std::string& folder) {
  if (folder.empty()) return folder;
  std::string normal = std::filesystem::path(folder).lexically_normal().string();
  if (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

// The chooser offers the caller's types only: FLTK adds "All Files" and a
// custom pattern to the type menu, which are taken out again.
void keepOnlyRequestedTypes(Fl_File_Chooser& chooser) {
  Fl_Group* window = chooser.newButton ? chooser.newButton->window() : nullptr;
  for (int i = 0; window && i < window->children(); ++i) {
    auto* group = window->child(i)->as_group();
    auto* choice = dynamic_cast<Fl_Choice*>(window->child(i));
    for (int j = 0; !choice && group && j < group->children(); ++j) choice = dynamic_cast<Fl_Choice*>(group->child(j));
    if (!choice) continue;
    for (const char* extra : {Fl_File_Chooser::custom_filter_label, Fl_File_Chooser::all_files_label}) {
      const int index = choice->find_index(extra);
      if (index >= 0) choice->remove(index);
    }
    return;
  }
}

std::optional<std::string> runFileDialog(const FileDialogRequest& asked) {
  HostState& s = hostState();
  FileDialogRequest request = asked;
  request.startFolder = normalFolder(request.startFolder);
  s.fileRequests.push_back(request);
  if (!s.display) return s.fileAnswer;
  std::string filter;
  for (const auto& f : request.filters) {
    if (!filter.empty()) filter += '\t';
    // The chooser shows "name (pattern)"; parentheses in the name would be
    // read as the pattern, so they are dropped from it.
    std::string name = f.first.substr(0, f.first.find('('));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    filter += name + " (" + filterPattern(f.second) + ")";
  }
  Fl_File_Chooser chooser(request.startFolder.empty() ? "." : request.startFolder.c_str(),
                          filter.empty() ? "*" : filter.c_str(), Fl_File_Chooser::SINGLE,
                          request.prompt.c_str());
  if (!filter.empty()) keepOnlyRequestedTypes(chooser);
  chooser.preview(1);
  chooser.show();
  while (chooser.shown()) Fl::wait();
  if (chooser.count() < 1 || !chooser.value()) return std::nullopt;
  return std::string(chooser.value());
}

void runMessageAlert(const std::string& message) {
  hostState().alerts.push_back(message);
  if (hostState().display) fl_alert("%s", message.c_str());
  else std::fprintf(stderr, "%s\n", message.c_str());
}

bool captureWindow(Fl_Window* window, std::vector<unsigned char>& rgb, int& width, int& height) {
  if (window == nullptr || !window->shown()) return false;
  window->redraw();
  Fl::flush();
  window->make_current();
  width = window->w();
  height = window->h();
  rgb.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 0);
  return fl_read_image(rgb.data(), 0, 0, width, height) != nullptr;
}

bool injectPointer(ADMDialogRef dialog, ADMAction action, ADMPoint point, ADMModifiers modifiers) {
  if (!dialog || !dialog->view || !dialog->view->shown()) return false;
  Fl_Window* window = Fl::first_window();
  while (window && window->user_data() != dialog) window = Fl::next_window(window);
  return injectPointer(window, action, point, modifiers);
}

bool injectPointer(Fl_Window* window, ADMAction action, ADMPoint point, ADMModifiers modifiers) {
  if (!window) return false;
  int event;
  switch (action) {
    case kADMButtonDownAction: event = FL_PUSH; break;
    case kADMButtonUpAction: event = FL_RELEASE; break;
    case kADMMouseMovedDownAction: event = FL_DRAG; break;
    case kADMMouseMovedUpAction: event = FL_MOVE; break;
    default: return false;
  }
  int state = 0;
  if (modifiers & kADMAltKeyModifier) state |= FL_ALT;
  if (modifiers & kADMShiftKeyModifier) state |= FL_SHIFT;
  if (modifiers & kADMControlKeyModifier) state |= FL_CTRL;
  if (event == FL_PUSH || event == FL_DRAG) state |= FL_BUTTON1;
  Fl::e_x = point.h;
  Fl::e_y = point.v;
  Fl::e_x_root = window->x() + point.h;
  Fl::e_y_root = window->y() + point.v;
  Fl::e_state = state;
  Fl::e_keysym = FL_Button + 1;
  Fl::e_clicks = 0;
  Fl::e_is_click = event == FL_RELEASE;
  int handled = Fl::handle(event, window);
  Fl::flush();
  return handled != 0;
}

bool captureWindow(ADMDialogRef dialog, std::vector<unsigned char>& rgb, int& width, int& height) {
  if (!dialog || !dialog->view) return false;
  return dialog->view->capture(rgb, width, height);
}

Fl_Widget* widgetOf(ADMItemRef item) {
  auto* view = item ? dynamic_cast<FltkItemView*>(item->view.get()) : nullptr;
  return view ? view->widget() : nullptr;
}

Fl_Window* windowOf(ADMDialogRef dialog) {
  auto* view = dialog ? dynamic_cast<FltkDialogView*>(dialog->view.get()) : nullptr;
  return view ? view->window() : nullptr;
}

int textScrollOf(ADMItemRef item) {
  auto* view = item ? dynamic_cast<FltkItemView*>(item->view.get()) : nullptr;
  return view ? view->textScroll() : 0;
}

}  // namespace veyra::dialogmanager

// The X display opened for dialogs stays open for the life of the process,
// and the X and font libraries keep what they allocated for it: not leaks of
// ours. In the sanitizer build LeakSanitizer reads these suppressions (the
// definition sits here so that it is linked wherever dialogs can be shown;
// visible, because the sanitizer looks it up in the program, and this library
// hides its names; the module's export list keeps it hidden there).
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libX11.so\n"
         "leak:libfontconfig.so\n"
         "leak:libXft.so\n"
         "leak:libXrender.so\n";
}
