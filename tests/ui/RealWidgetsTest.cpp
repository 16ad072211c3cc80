// The light dialog in a real window (the suite runs under xvfb-run), operated
// through FLTK's own event handling: keys, text and menu picks go through
// Fl::handle to the focused widget, as a keyboard's would.
#include <gtest/gtest.h>

#include "app/DialogServices.h"
// FLTK after GoogleTest and the command line's headers: the X headers behind
// it define None and Success.
#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_File_Input.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Shared_Image.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "app/Document.h"
#include "app/ImageFile.h"
#include "app/SuiteRegistry.h"
#include "dialogmanager/AdmFltkAccess.h"
#include "dialogmanager/DialogManager.h"
#include "dialogmanager/AdmModel.h"
#include "support/ui_test_host.h"
#include "ui/LightDialog.h"

namespace veyra {
namespace {

namespace adm = dialogmanager;
using app::ColorMode;
using test::UiTestHost;

constexpr int16_t kCancelled = -128;

Fl_Widget* widget(const ADM::Item& item) { return adm::widgetOf(item.ref()); }

// One key stroke as the window system delivers it: to the focused widget,
// then as a shortcut to the window.
int key(ADMDialogRef dialog, int keysym, const std::string& text = "", int state = 0) {
  static std::string buffer;
  buffer = text;
  Fl::e_keysym = keysym;
  Fl::e_text = buffer.data();
  Fl::e_length = static_cast<int>(buffer.size());
  Fl::e_state = state;
  Fl::e_clicks = 0;
  Fl::e_is_click = 0;
  const int handled = Fl::handle(FL_KEYBOARD, adm::windowOf(dialog));
  Fl::flush();
  return handled;
}

void type(ADMDialogRef dialog, const std::string& text) {
  for (char c : text) key(dialog, static_cast<unsigned char>(c), std::string(1, c));
}

// Keys typed once a menu opened by the next key is up: FLTK runs a menu in
// a loop of its own, so the keys are queued to arrive from inside it.
void keysInOpenMenu(std::vector<int> keys) {
  static std::vector<int> pending;
  pending = std::move(keys);
  Fl::add_timeout(0.05, [](void*) {
    for (int k : pending) {
      Fl::e_keysym = k;
      Fl::e_text = const_cast<char*>("");
      Fl::e_length = 0;
      Fl::e_state = 0;
      Fl::handle(FL_KEYBOARD, Fl::grab() ? Fl::grab() : Fl::first_window());
    }
  });
}

const char* shownText(const ADM::Item& item) {
  if (auto* input = dynamic_cast<Fl_Input*>(widget(item))) return input->value();
  if (auto* choice = dynamic_cast<Fl_Choice*>(widget(item))) return choice->text();
  return widget(item)->label();
}

class RealWidgets : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == 0) GTEST_SKIP() << "no X display (the suite runs under xvfb-run)";
    host = std::make_unique<UiTestHost>(640, 400, ColorMode::RGB);
    std::string error;
    ASSERT_TRUE(adm::openDisplay(&error)) << error;
  }
  void TearDown() override {
    host.reset();
    adm::useHeadless();
  }

  // Runs the dialog; the driver must end it (a real window waits for a user).
  int16_t run(const std::function<void(LightDialog&, ADMDialogRef)>& driver) {
    return host
        ->run([&](LightDialog& d, ADMDialogRef ref) {
          driver(d, ref);
          if (!ref->ended) {
            ADD_FAILURE() << "the dialog was left open";
            adm::endModal(*ref, 2, true);
          }
        })
        .result;
  }

  std::unique_ptr<UiTestHost> host;
};

// ---- typing into value fields ------------------------------------------------

struct TypedCase {
  const char* name;
  std::function<TextSlider&(LightDialog&)> slider;
  double LightParameters::*parameter;
  const char* typed;
  int commitKey;
  float value;
  const char* text;   // what the plug-in writes back
  const char* shown;  // what the field shows of it
};

class TypedValue : public RealWidgets, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedValue, CommitsAndShowsTheWholeNumberFromItsStart) {
  const TypedCase& c = GetParam();
  const int16_t result = run([&](LightDialog& d, ADMDialogRef ref) {
    TextSlider& s = c.slider(d);
    ASSERT_TRUE(widget(s.edit())->take_focus());
    key(ref, 'a', "\x01", FL_CTRL);  // select all
    type(ref, c.typed);
    key(ref, c.commitKey);
    EXPECT_FALSE(ref->ended) << "the field's own key must not press OK";
    EXPECT_FLOAT_EQ(s.value(), c.value);
    EXPECT_EQ(s.edit().text(), c.text);
    EXPECT_STREQ(shownText(s.edit()), c.shown);
    EXPECT_EQ(adm::textScrollOf(s.edit().ref()), 0);
    if (c.commitKey == FL_Tab) {
      EXPECT_NE(Fl::focus(), widget(s.edit()));
    }
    ASSERT_TRUE(widget(d.okButton())->take_focus());
    key(ref, FL_Enter);
  });
  EXPECT_EQ(result, 0);
  EXPECT_DOUBLE_EQ(host->parameters().*c.parameter, static_cast<double>(c.value));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, TypedValue,
    ::testing::Values(
        TypedCase{"BrightnessAboveRange", [](LightDialog& d) -> TextSlider& { return d.brightness(); },
                  &LightParameters::lightBrightness, "1000", FL_Enter, 600.0f, "600", "600"},
        TypedCase{"DisplacementManyDigits", [](LightDialog& d) -> TextSlider& { return d.displacement(); },
                  &LightParameters::lightDisplacement, "12.345678", FL_Enter, 12.345678f, "12.3457",
                  "12.346"},
        TypedCase{"RotationNegative", [](LightDialog& d) -> TextSlider& { return d.shapeSlider(7); },
                  &LightParameters::shapeRotation, "-127.692", FL_Tab, -127.692f, "-127.692", "-127.7"},
        TypedCase{"MatteBlurBelowRange", [](LightDialog& d) -> TextSlider& { return d.matteBlur(); },
                  &LightParameters::matteBlur, "-5", FL_Tab, 0.0f, "0", "0"}),
    [](const ::testing::TestParamInfo<TypedCase>& info) { return std::string(info.param.name); });

// ---- keys on buttons ------------------------------------------------------------

enum class Outcome { Ok, Cancel, Reset, ZoomOut, ShapeView };

struct KeyCase {
  const char* name;
  std::function<ADM::Item&(LightDialog&)> focus;
  Outcome outcome;
};

class ButtonKey : public RealWidgets, public ::testing::WithParamInterface<std::tuple<KeyCase, int>> {};

// Return and space press the focused button; from a popup (no action of its
// own for Return) Return presses OK; Escape cancels wherever the focus is.
TEST_P(ButtonKey, PressesTheFocusedButton) {
  const KeyCase& c = std::get<0>(GetParam());
  const int keysym = std::get<1>(GetParam());
  LightParameters stored;
  stored.lightBrightness = 250;
  host->setParameters(stored);
  const int16_t result = run([&](LightDialog& d, ADMDialogRef ref) {
    ASSERT_TRUE(widget(c.focus(d))->take_focus());
    key(ref, keysym, keysym == ' ' ? " " : "");
    if (keysym == FL_Escape) return;
    switch (c.outcome) {
      case Outcome::Reset:
        EXPECT_FLOAT_EQ(d.brightness().value(), 100.0f);
        break;
      case Outcome::ZoomOut:
        EXPECT_STREQ(shownText(d.zoomLabel()), " 85%");
        break;
      case Outcome::ShapeView:
        EXPECT_TRUE(d.viewButton(2).booleanValue());
        break;
      default:
        return;  // the dialog ended
    }
    EXPECT_FALSE(ref->ended);
    key(ref, FL_Escape);
  });
  const Outcome expected = keysym == FL_Escape ? Outcome::Cancel : c.outcome;
  EXPECT_EQ(result, expected == Outcome::Ok ? 0 : kCancelled);
  EXPECT_DOUBLE_EQ(host->parameters().lightBrightness, 250.0);
  EXPECT_EQ(host->state().viewMode, expected == Outcome::ShapeView ? 2 : 0);
}

const KeyCase kKeyCases[] = {
    {"Ok", [](LightDialog& d) -> ADM::Item& { return d.okButton(); }, Outcome::Ok},
    {"Cancel", [](LightDialog& d) -> ADM::Item& { return d.cancelButton(); }, Outcome::Cancel},
    {"Reset", [](LightDialog& d) -> ADM::Item& { return d.resetButton(); }, Outcome::Reset},
    {"ZoomOut", [](LightDialog& d) -> ADM::Item& { return d.zoomOutButton(); }, Outcome::ZoomOut},
    {"ShapeView", [](LightDialog& d) -> ADM::Item& { return d.viewButton(2); }, Outcome::ShapeView}};

INSTANTIATE_TEST_SUITE_P(Buttons, ButtonKey,
                         ::testing::Combine(::testing::ValuesIn(kKeyCases),
                                            ::testing::Values(FL_Enter, ' ', FL_Escape)),
                         [](const ::testing::TestParamInfo<std::tuple<KeyCase, int>>& info) {
                           const int k = std::get<1>(info.param);
                           return std::string(std::get<0>(info.param).name) + (k == FL_Enter ? "Return"
                                                                               : k == ' '    ? "Space"
                                                                                             : "Escape");
                         });

// ---- whose dialog manager --------------------------------------------------------

// These tests run twice: against the host's dialog manager, and with the
// host withholding it (the test switch), against the module's own. The
// dialog works either way; only the host's registry tells which one served,
// and the record is as the host made it once the call is over.
TEST_F(RealWidgets, DialogManagerIsTheHostsUnlessTheHostWithholdsIt) {
  const bool withheld = app::dialogManagerWithheld();
  FilterRecord& record = host->host().filterRecord();
  const DisplayPixelsProc hostDisplay = record.displayPixels;
  EXPECT_EQ(run([&](LightDialog& d, ADMDialogRef ref) {
              ASSERT_TRUE(widget(d.okButton())->take_focus());
              key(ref, FL_Enter);
            }),
            0);
  app::SuiteRegistry& suites = host->host().suites();
  EXPECT_EQ(suites.acquisitions(kADMDialogSuite, kADMDialogSuiteVersion5) > 0, !withheld);
  EXPECT_EQ(suites.outstanding(), 0);
  EXPECT_EQ(record.sSPBasic, app::SuiteRegistry::basicSuite());
  EXPECT_EQ(record.displayPixels, hostDisplay);
}

TEST_F(RealWidgets, ReturnOnAPopupPressesOk) {
  LightParameters stored;
  stored.lightBrightness = 250;
  host->setParameters(stored);
  EXPECT_EQ(run([&](LightDialog& d, ADMDialogRef ref) {
              ASSERT_TRUE(widget(d.matteChannel().popup())->take_focus());
              key(ref, FL_Enter);
            }),
            0);
  EXPECT_DOUBLE_EQ(host->parameters().lightBrightness, 250.0);
}

// ---- popups ------------------------------------------------------------------------

TEST_F(RealWidgets, EachPopupOpensAndPicksAnEntry) {
  struct Pick {
    std::function<LabeledComboBox&(LightDialog&)> popup;
    int entry;
    const char* text;
  };
  const Pick picks[] = {
      {[](LightDialog& d) -> LabeledComboBox& { return d.lightBlend(); }, 2, "Screen"},
      {[](LightDialog& d) -> LabeledComboBox& { return d.lightSource(); }, 1, "Matte"},
      {[](LightDialog& d) -> LabeledComboBox& { return d.matteChannel(); }, 8, "Saturation"},
      {[](LightDialog& d) -> LabeledComboBox& { return d.shapeBlend(); }, 6, "Difference"}};
  EXPECT_EQ(run([&](LightDialog& d, ADMDialogRef ref) {
              for (const Pick& p : picks) {
                ADM::ComboBox& popup = p.popup(d).popup();
                ASSERT_TRUE(widget(popup)->take_focus());
                // Space opens the menu on the shown entry; Down walks to the pick.
                std::vector<int> keys(static_cast<size_t>(p.entry - popup.activeIndex()), FL_Down);
                keys.push_back(FL_Enter);
                keysInOpenMenu(keys);
                key(ref, ' ', " ");
                EXPECT_EQ(popup.activeIndex(), p.entry) << p.text;
                EXPECT_STREQ(shownText(popup), p.text);
              }
              ASSERT_TRUE(widget(d.okButton())->take_focus());
              key(ref, FL_Enter);
            }),
            0);
  const LightParameters p = host->parameters();
  EXPECT_EQ(p.lightBlendMode, 2);
  EXPECT_EQ(p.lightSource, 1);
  EXPECT_EQ(p.matteChannel, 8);
  EXPECT_EQ(p.shapeBlendMode, 6);
}

// ---- zoom from the keyboard --------------------------------------------------------

TEST_F(RealWidgets, ZoomButtonsWorkFromTheKeyboardAndKeepTheFocusNear) {
  EXPECT_EQ(run([&](LightDialog& d, ADMDialogRef ref) {
              ASSERT_TRUE(widget(d.zoomOutButton())->take_focus());
              for (const char* label : {" 85%", " 70%", " 54%", " 50%"}) {
                key(ref, ' ', " ");
                EXPECT_EQ(d.zoomLabel().text(), label);
                EXPECT_STREQ(shownText(d.zoomLabel()), label);
              }
              // "-" disabled itself: the focus went to "+", not to the first control.
              EXPECT_FALSE(widget(d.zoomOutButton())->active());
              EXPECT_EQ(Fl::focus(), widget(d.zoomInButton()));
              key(ref, FL_Enter);
              EXPECT_STREQ(shownText(d.zoomLabel()), " 65%");
              EXPECT_DOUBLE_EQ(d.zoom(), 0.65);
              key(ref, FL_Escape);
            }),
            kCancelled);
}

// ---- pointer gestures on the preview --------------------------------------------

TEST_F(RealWidgets, CornerDraggedOutIsGrabbedAgainAtItsMarkerAndCtrlClickResetsIt) {
  EXPECT_EQ(run([&](LightDialog& d, ADMDialogRef ref) {
              CornerPinViewer& preview = d.preview();
              const std::string tip = widget(preview)->tooltip() ? widget(preview)->tooltip() : "";
              EXPECT_NE(tip.find("Alt"), std::string::npos) << tip;
              EXPECT_NE(tip.find("Ctrl"), std::string::npos) << tip;
              const ADMRect b = preview.boundsRect();
              const auto at = [&](const ADMPoint& p) { return ADMPoint{b.left + p.h, b.top + p.v}; };
              // Drag the upper-right handle above and right of the preview.
              const ADMPoint ur = preview.handleCenter(1);
              adm::injectPointer(ref, kADMMouseMovedUpAction, at(ur));
              adm::injectPointer(ref, kADMButtonDownAction, at(ur));
              adm::injectPointer(ref, kADMMouseMovedDownAction, ADMPoint{b.right + 40, b.top - 30});
              adm::injectPointer(ref, kADMButtonUpAction, ADMPoint{b.right + 40, b.top - 30});
              ASSERT_TRUE(preview.outsideView(1));
              EXPECT_GT(preview.corners()[2], 1.0);
              EXPECT_LT(preview.corners()[3], 0.0);
              // Its marker on the edge takes it back into the preview.
              const ADMPoint marker = preview.markerCenter(1);
              adm::injectPointer(ref, kADMMouseMovedUpAction, at(marker));
              adm::injectPointer(ref, kADMButtonDownAction, at(marker));
              adm::injectPointer(ref, kADMMouseMovedDownAction, at(ADMPoint{200, 100}));
              adm::injectPointer(ref, kADMButtonUpAction, at(ADMPoint{200, 100}));
              EXPECT_FALSE(preview.outsideView(1));
              EXPECT_LT(preview.corners()[2], 1.0);
              // Ctrl-click on it resets the corner.
              adm::injectPointer(ref, kADMMouseMovedUpAction, at(ADMPoint{200, 100}));
              adm::injectPointer(ref, kADMButtonDownAction, at(ADMPoint{200, 100}), kADMControlKeyModifier);
              adm::injectPointer(ref, kADMButtonUpAction, at(ADMPoint{200, 100}), kADMControlKeyModifier);
              EXPECT_DOUBLE_EQ(preview.corners()[2], 1.0);
              EXPECT_DOUBLE_EQ(preview.corners()[3], 0.0);
              ASSERT_TRUE(widget(d.okButton())->take_focus());
              key(ref, FL_Enter);
            }),
            0);
  EXPECT_TRUE(host->parameters().cornerPinIsIdentity());
}

// ---- the shape file chooser -------------------------------------------------------

// Steps run one after the other from inside the modal loops of other windows
// (the file chooser, a message box): each acts once its window is up. A step
// is counted as taken before it acts, so that the next one can run inside a
// loop the action itself opens.
class Steps {
 public:
  struct Step {
    std::function<bool()> ready;
    std::function<void()> act;
  };
  explicit Steps(std::vector<Step> steps) : steps_(std::move(steps)) { Fl::add_timeout(0.05, tick, this); }
  ~Steps() { Fl::remove_timeout(tick, this); }
  bool done() const { return next_ == steps_.size(); }

 private:
  static void tick(void* data) {
    auto* self = static_cast<Steps*>(data);
    if (self->done()) return;
    Fl::repeat_timeout(0.05, tick, data);
    Step& step = self->steps_[self->next_];
    if (!step.ready()) return;
    ++self->next_;
    step.act();
  }
  std::vector<Step> steps_;
  std::size_t next_ = 0;
};

template <class W>
W* findChild(Fl_Group* group) {
  for (int i = 0; group && i < group->children(); ++i) {
    if (auto* w = dynamic_cast<W*>(group->child(i))) return w;
    if (W* inner = findChild<W>(group->child(i)->as_group())) return inner;
  }
  return nullptr;
}

TEST_F(RealWidgets, ShapeChooserOffersTheShapeTypesAndAnUnusableFileIsToldInTheDialog) {
  const std::string colour = ::testing::TempDir() + "Colour.png";
  app::writePng(app::Document(4, 3, ColorMode::RGB), colour);
  std::vector<std::string> types;
  bool previews = false;
  EXPECT_EQ(run([&](LightDialog& d, ADMDialogRef ref) {
              Fl_Window* dialogWindow = adm::windowOf(ref);
              Fl_Window* chooser = nullptr;
              const auto keyInto = [](Fl_Window* window, int keysym) {
                Fl::e_keysym = keysym;
                Fl::e_text = const_cast<char*>("");
                Fl::e_length = 0;
                Fl::e_state = 0;
                Fl::handle(FL_KEYBOARD, window);
              };
              // A window over the dialog other than the chooser: the message box.
              const auto another = [&] {
                return Fl::modal() != nullptr && Fl::modal() != dialogWindow && Fl::modal() != chooser;
              };
              Steps steps({// In the chooser: read its type menu, give the file's path, Return.
                           {another,
                            [&] {
                              chooser = Fl::modal();
                              if (auto* menu = findChild<Fl_Choice>(chooser))
                                for (int i = 0; i < menu->size() - 1; ++i) types.push_back(menu->text(i));
                              previews =
                                  Fl_Shared_Image::get(
                                      (std::string(VEYRA_SOURCE_DIR) + "/patterns/Window.png").c_str()) !=
                                  nullptr;
                              auto* name = findChild<Fl_File_Input>(chooser);
                              ASSERT_NE(name, nullptr);
                              ASSERT_TRUE(name->take_focus());
                              name->value(colour.c_str());
                              keyInto(chooser, FL_Enter);
                            }},
                           // The message that says why the file cannot be used: Return closes it.
                           {another, [&] { keyInto(Fl::modal(), FL_Enter); }}});
              ASSERT_TRUE(widget(d.selectButton())->take_focus());
              key(ref, ' ', " ");
              EXPECT_TRUE(steps.done());
              const char* label = "Colour: not an 8-bit grayscale PNG or grayscale JPEG";
              EXPECT_EQ(d.shapeFileLabel().text(), label);
              EXPECT_STREQ(shownText(d.shapeFileLabel()), label);
              ASSERT_TRUE(widget(d.okButton())->take_focus());
              key(ref, FL_Enter);
            }),
            0);
  EXPECT_EQ(types, (std::vector<std::string>{"Supported Image Files (*.{jpeg,jpg,png})",
                                             "JPEG files (*.{jpeg,jpg})", "PNG files (*.png)"}));
  EXPECT_TRUE(previews) << "PNG pictures cannot be previewed";
  ASSERT_EQ(adm::messageAlerts().size(), 1u);
  EXPECT_NE(adm::messageAlerts()[0].find("8-bit grayscale PNG or grayscale JPEG"), std::string::npos);
  EXPECT_STREQ(host->parameters().shapeFile.c_str(), colour.c_str());
  std::remove(colour.c_str());
}

// ---- what the window shows ------------------------------------------------------

// The columns of a region that hold text: pixels much darker than the
// white fields and the light window face. Right is exclusive; -1 for none.
struct Ink {
  int left = -1, right = -1;
  int width() const { return right - left; }
};

class Shot {
 public:
  explicit Shot(ADMDialogRef dialog) { ok_ = adm::captureWindow(dialog, rgb_, width_, height_); }
  bool ok() const { return ok_; }
  std::array<int, 3> pixel(int x, int y) const {
    const unsigned char* p =
        &rgb_[(static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) * 3];
    return {p[0], p[1], p[2]};
  }
  Ink ink(int left, int top, int right, int bottom) const {
    Ink ink;
    for (int x = left; x < right; ++x)
      for (int y = top; y < bottom; ++y) {
        const std::array<int, 3> p = pixel(x, y);
        if (p[0] + p[1] + p[2] < 3 * 130) {
          if (ink.left < 0) ink.left = x;
          ink.right = x + 1;
          break;
        }
      }
    return ink;
  }

 private:
  std::vector<unsigned char> rgb_;
  int width_ = 0, height_ = 0;
  bool ok_ = false;
};

double textWidth(const char* text, Fl_Font font, int size) {
  fl_font(font, size);
  return fl_width(text);
}

// A text is shown whole and from its start: its ink begins near the text
// area's left edge, is as wide as the text, and ends before the area does.
void expectWhole(const Shot& shot, const char* what, const char* text, double width, int left, int top,
                 int right, int bottom) {
  const Ink ink = shot.ink(left, top, right, bottom);
  ASSERT_GE(ink.left, 0) << what << ": no text";
  EXPECT_GE(ink.width(), width - 3) << what << " \"" << text << "\" is cut";
  EXPECT_LT(ink.right, right) << what << " \"" << text << "\" runs into the edge";
}

TEST_F(RealWidgets, EveryFieldPopupAndLabelShowsWholeOnTheWindowFace) {
  // A dialog before this one, and headless dialogs in between: the window
  // that follows still draws its text.
  EXPECT_EQ(run([](LightDialog&, ADMDialogRef ref) { key(ref, FL_Escape); }), kCancelled);
  adm::useHeadless();
  ASSERT_TRUE(adm::openDisplay(nullptr));
  LightParameters stored;
  stored.lightBrightness = 138.462;
  stored.lightDisplacement = -0.0763359;
  stored.mattePosition = 12.3457;
  stored.shapeRotation = -127.692;
  stored.shapePositionX = -99.9876;
  host->setParameters(stored);
  EXPECT_EQ(
      run([&](LightDialog& d, ADMDialogRef ref) {
        std::vector<TextSlider*> sliders = {&d.brightness(),    &d.displacement(), &d.lightBlur(),
                                            &d.mattePosition(), &d.matteRange(),   &d.matteBlur()};
        for (int i = 0; i < 8; ++i) sliders.push_back(&d.shapeSlider(i));
        const Shot shot(ref);
        ASSERT_TRUE(shot.ok());
        for (TextSlider* s : sliders) {
          auto* in = dynamic_cast<Fl_Input*>(widget(s->edit()));
          ASSERT_NE(in, nullptr);
          const int dx = Fl::box_dx(in->box()) + 1;
          expectWhole(shot, "field", in->value(), textWidth(in->value(), in->textfont(), in->textsize()),
                      in->x() + dx, in->y() + dx, in->x() + in->w() - dx, in->y() + in->h() - dx);
          EXPECT_LE(shot.ink(in->x() + dx, in->y() + dx, in->x() + in->w(), in->y() + in->h() - dx).left,
                    in->x() + dx + 4)
              << "field \"" << in->value() << "\" does not show its start";
          const Fl_Widget* label = widget(s->label());
          expectWhole(shot, "label", label->label(),
                      textWidth(label->label(), label->labelfont(), label->labelsize()), label->x(),
                      label->y(), label->x() + label->w(),
                      label->y() + label->h() - 3);  // the slider's track below
        }
        EXPECT_STREQ(shownText(d.shapeSlider(7).edit()), "-127.7");

        // Every entry of every popup, each shown in turn.
        for (LabeledComboBox* box : {&d.lightBlend(), &d.lightSource(), &d.matteChannel(), &d.shapeBlend()}) {
          auto* choice = dynamic_cast<Fl_Choice*>(widget(box->popup()));
          ASSERT_NE(choice, nullptr);
          for (int i = 0; i < choice->size() - 1; ++i) {
            adm::choosePopup(box->popup().ref(), i);
            const Shot entry(ref);
            const char* text = choice->text();
            ASSERT_NE(text, nullptr);
            // The text area ends where the arrow button begins.
            expectWhole(entry, "popup", text, textWidth(text, choice->textfont(), choice->textsize()),
                        choice->x() + 2, choice->y() + 2, choice->x() + choice->w() - 20,
                        choice->y() + choice->h() - 2);
          }
        }

        // The preview's strips around the image are the window's face.
        const ADMRect image = d.preview().imageRect();
        ASSERT_GT(image.top, 6);
        const ADMRGBColor face = adm::standardColor(kADMBackgroundColor);
        const std::array<int, 3> faceRgb = {face.red >> 8, face.green >> 8, face.blue >> 8};
        EXPECT_EQ(shot.pixel(387, 250), faceRgb);  // the window between the columns
        EXPECT_EQ(shot.pixel(7 + 100, 7 + image.top - 2), faceRgb);
        EXPECT_EQ(shot.pixel(7 + 100, 7 + image.bottom + 2), faceRgb);
        // OK is drawn as the default button, in the accent colour; Cancel is not.
        const std::array<int, 3> ok = shot.pixel(668 + 6, 7 + 20), cancel = shot.pixel(561 + 6, 7 + 20);
        EXPECT_GT(ok[2], ok[0] + 60);
        EXPECT_LT(std::abs(cancel[2] - cancel[0]), 16);
        key(ref, FL_Escape);
      }),
      kCancelled);
}

}  // namespace
}  // namespace veyra
