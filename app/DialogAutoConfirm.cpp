#include "app/DialogAutoConfirm.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>

#include <cstring>
#include <memory>
#include <vector>

#include "app/Document.h"
#include "app/ImageFile.h"
#include "dialogmanager/AdmFltkAccess.h"

namespace veyra::app {

namespace {

struct Pending {
  std::string file;
  bool cancel = false;
  Fl_Window* window = nullptr;  // the dialog window once it showed
  int quietTicks = 0;           // ticks since it showed with nothing left to draw
};

// The one auto-confirm of the process, until it pressed.
std::unique_ptr<Pending> gPending;

constexpr double kTick = 0.05;
// Drawn and quiet this long (0.25 s) counts as the first full drawing.
constexpr int kQuietTicks = 5;

Fl_Button* findButton(Fl_Group* group, const char* label) {
  for (int i = 0; group != nullptr && i < group->children(); ++i) {
    Fl_Widget* child = group->child(i);
    auto* button = dynamic_cast<Fl_Button*>(child);
    if (button != nullptr && button->label() != nullptr && std::strcmp(button->label(), label) == 0)
      return button;
    if (Fl_Button* inner = findButton(child->as_group(), label)) return inner;
  }
  return nullptr;
}

void saveScreenshot(Fl_Window* window, const std::string& file) {
  std::vector<unsigned char> rgb;
  int width = 0, height = 0;
  if (!dialogmanager::captureWindow(window, rgb, width, height) || width <= 0 || height <= 0) return;
  Document shot(width, height, ColorMode::RGB);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) shot.at(c, x, y) = rgb[(static_cast<size_t>(y) * width + x) * 3 + c];
  try {
    writePng(shot, file);
  } catch (const ImageError&) {
    // A screenshot that cannot be written does not stop the run.
  }
}

// A click as the user makes it: the pointer moves onto the point, presses
// and releases.
void clickAt(Fl_Window* window, int x, int y) {
  const ADMPoint point{x, y};
  dialogmanager::injectPointer(window, kADMMouseMovedUpAction, point);
  dialogmanager::injectPointer(window, kADMButtonDownAction, point);
  dialogmanager::injectPointer(window, kADMButtonUpAction, point);
}

void tick(void* data) {
  Pending* pending = gPending.get();
  if (pending == nullptr) return;
  if (pending->window == nullptr) {
    for (Fl_Window* w = Fl::first_window(); w != nullptr; w = Fl::next_window(w))
      if (w->shown() && w->visible()) pending->window = w;
  }
  Fl_Window* window = pending->window;
  if (window == nullptr || window->damage() != 0) {
    if (window != nullptr) pending->quietTicks = 0;
    Fl::repeat_timeout(kTick, tick, data);
    return;
  }
  if (++pending->quietTicks < kQuietTicks) {
    Fl::repeat_timeout(kTick, tick, data);
    return;
  }
  saveScreenshot(window, pending->file);
  if (Fl_Button* button = findButton(window, pending->cancel ? "Cancel" : "OK"))
    clickAt(window, button->x() + button->w() / 2, button->y() + button->h() / 2);
  else
    clickAt(window, window->w() / 2, window->h() / 2);
  gPending.reset();
}

}  // namespace

void autoConfirmFirstDialog(const std::string& file, bool cancel) {
  Fl::remove_timeout(tick);
  gPending = std::make_unique<Pending>(Pending{file, cancel});
  Fl::add_timeout(kTick, tick);
}

}  // namespace veyra::app
