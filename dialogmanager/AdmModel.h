// The dialog manager's state: dialogs, items, lists and entries as objects
// that exist with or without a display. With a display each dialog and item
// also has a view (an FLTK window and widget) that mirrors the state and
// turns the user's actions into the same calls the test driver makes.
#ifndef VEYRA_DIALOGMANAGER_ADMMODEL_H
#define VEYRA_DIALOGMANAGER_ADMMODEL_H

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "adm/ADMSuites.h"
#include "dialogmanager/DialogManager.h"

namespace veyra::dialogmanager {

enum class ItemKind {
  TextPushButton,
  TextCheckBox,
  TextRadioButton,
  PicturePushButton,
  PictureCheckBox,
  PictureRadioButton,
  TextEdit,
  TextEditMultiLine,
  TextStatic,
  TextStaticMultiLine,
  PasswordTextEdit,
  ItemGroup,
  PopupList,
  Slider,
  Frame,
  PictureStatic
};

// The kind of an item type name; false for an unknown name.
bool itemKindFromName(const char* name, ItemKind* kind);
bool isPushButton(ItemKind kind);
bool isCheckBox(ItemKind kind);
bool isRadioButton(ItemKind kind);
bool isEditable(ItemKind kind);

// The widget side of an item (FLTK), when the dialog has a window.
class ItemView {
 public:
  virtual ~ItemView() = default;
  // Copies the item's state (bounds, text, value, visibility...) to the widget.
  virtual void refresh() = 0;
  // Schedules a redraw.
  virtual void redraw() = 0;
  // Redraws at once.
  virtual void redrawNow() = 0;
};

class DialogView {
 public:
  virtual ~DialogView() = default;
  virtual std::unique_ptr<ItemView> createItemView(ADMItem& item) = 0;
  virtual void refresh() = 0;  // title, bounds
  virtual void show() = 0;
  virtual void hide() = 0;
  virtual bool shown() const = 0;
  virtual void redraw() = 0;
  // Reads the window's pixels (RGB, rows top first); false when not shown.
  virtual bool capture(std::vector<unsigned char>& rgb, int& width, int& height) = 0;
};

// Makes the FLTK view of a dialog (only with an open display).
std::unique_ptr<DialogView> makeFltkDialogView(ADMDialog& dialog);
// Runs the FLTK event loop until the dialog's modal run ended.
void runFltkModal(ADMDialog& dialog);

}  // namespace veyra::dialogmanager

// The structures behind the opaque handles of adm/ADMSuites.h.

struct ADMEntry {
  ADMList* list = nullptr;
  int32 id = 0;
  std::string text;
  ADMUserData userData = nullptr;
  bool enabled = true;
};

struct ADMList {
  ADMItem* item = nullptr;
  std::vector<std::unique_ptr<ADMEntry>> entries;
  int32 active = -1;  // position of the shown entry
  ADMUserData userData = nullptr;
  ADMEntryDrawProc drawProc = nullptr;
  ADMEntryTrackProc trackProc = nullptr;
  ADMEntryNotifyProc notifyProc = nullptr;
  int32 indexOf(const ADMEntry* entry) const;
};

struct ADMItem {
  ADMDialog* dialog = nullptr;
  int32 id = 0;
  veyra::dialogmanager::ItemKind kind = veyra::dialogmanager::ItemKind::PictureStatic;
  std::string typeName;
  ADMRect bounds{0, 0, 0, 0};  // dialog coordinates
  std::string text;
  float value = 0.0f;
  float minValue = 0.0f;
  float maxValue = 1.0f;
  int32 intValue = 0;
  bool on = false;
  bool enabled = true;
  bool visible = true;
  bool invalid = false;
  bool pressed = false;            // a button press is under way
  bool pendingUserChange = false;  // the default tracking completed a user action
  ADMActionMask mask = kADMDefaultActionMask;
  ADMJustify justify = kADMLeftJustify;
  int32 style = 0;
  int32 precision = 2;
  int32 displayWidth = 0;
  std::string tip;  // tooltip, empty for none
  ADMItemDrawProc drawProc = nullptr;
  ADMItemTrackProc trackProc = nullptr;
  ADMItemNotifyProc notifyProc = nullptr;
  ADMItemDestroyProc destroyProc = nullptr;
  ADMUserData userData = nullptr;
  std::unique_ptr<ADMList> list;  // popup lists
  ADMItem* group = nullptr;       // the group the item was added to
  std::vector<ADMItem*> members;  // item groups
  long drawCount = 0;             // draws into a recording drawer (headless updates)
  veyra::dialogmanager::DrawRecord lastDraw;
  std::unique_ptr<veyra::dialogmanager::ItemView> view;

  ~ADMItem();
  ADMRect localRect() const { return ADMRect{0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top}; }
};

struct ADMDialog {
  SPPluginRef plugin = nullptr;
  std::string name;
  std::string title;
  int32 id = 0;
  ADMDialogStyle style = kADMModalDialogStyle;
  int32 options = 0;
  ADMRect bounds{0, 0, 0, 0};  // screen coordinates
  ADMDialogDrawProc drawProc = nullptr;
  ADMDialogTrackProc trackProc = nullptr;
  ADMDialogNotifyProc notifyProc = nullptr;
  ADMDialogDestroyProc destroyProc = nullptr;
  ADMUserData userData = nullptr;
  ADMActionMask mask = kADMDefaultActionMask;
  int32 defaultItem = kADMDefaultItemID;
  int32 cancelItem = kADMCancelItemID;
  bool visible = false;
  bool modal = false;  // a modal run is under way
  bool ended = false;
  bool cancelled = false;
  int32 result = 0;
  std::vector<std::unique_ptr<ADMItem>> items;  // creation order
  std::unique_ptr<veyra::dialogmanager::DialogView> view;

  ~ADMDialog();
  ADMItem* find(int32 id) const;
};

struct ADMNotifier {
  const char* type = "";
  ADMItem* item = nullptr;
  ADMDialog* dialog = nullptr;
  ADMEntry* entry = nullptr;
};

struct ADMTracker {
  ADMAction action = kADMNoAction;
  ADMModifiers modifiers = 0;
  ADMPoint point{0, 0};
  // With a view: the widget's own handling of the event (default tracking).
  std::function<bool()> widgetDefault;
  // Synthetic slider drags: the value the pointer stands for.
  bool hasValue = false;
  float value = 0.0f;
};

struct ADMDrawer {
  enum class Mode { Fltk, Record } mode = Mode::Record;
  int originX = 0;  // window position of local (0, 0) (FLTK)
  int originY = 0;
  ADMRect bounds{0, 0, 0, 0};
  ADMRGBColor color{0, 0, 0};
  veyra::dialogmanager::DrawRecord* record = nullptr;
  // With a view: the widget's own drawing (default drawing).
  std::function<void()> widgetDefault;
};

struct ADMIcon {
  int32 width = 0;
  int32 height = 0;
  std::vector<unsigned char> rgb;  // rows top first
  bool fromResource = false;
};

struct ADMImage {
  int32 width = 0;
  int32 height = 0;
  std::vector<unsigned char> rgb;
};

namespace veyra::dialogmanager {

// Event routing shared by the views and the test driver.
ADMBoolean trackItem(ADMItem& item, ADMTracker& tracker);
ADMBoolean defaultTrackItem(ADMItem& item, ADMTracker& tracker);
void notifyItem(ADMItem& item, const char* type);
void defaultNotifyItem(ADMItem& item, ADMNotifier& notifier);
void notifyDialog(ADMDialog& dialog, const char* type);
void defaultNotifyDialog(ADMDialog& dialog, ADMNotifier& notifier);
// The user chose the popup entry at a position: it becomes the shown one and
// the entry (or, without entry procedures, the item) is notified.
void choosePopupEntry(ADMItem& item, int32 position);
// The user pressed and released a button or moved a slider: the item gets
// the user change when its default tracking completed the action.
void finishUserAction(ADMItem& item);
// Draws the item with its draw procedure (or default drawing) into the drawer.
void drawItem(ADMItem& item, ADMDrawer& drawer);
void endModal(ADMDialog& dialog, int32 itemID, bool cancelled);
// Radio buttons: turns the item on and its siblings (same dialog and group) off.
void setRadioOn(ADMItem& item);

// Process-wide state of the dialog manager.
struct HostState {
  bool display = false;  // dialogs get FLTK views
  ADMRect headlessScreen{0, 0, 1280, 1024};
  std::vector<ADMDialog*> dialogs;  // live dialogs, oldest first
  std::set<const ADMItem*> items;   // live items (stale handles are ignored)
  std::function<void(ADMDialogRef)> modalDriver;
  std::function<const PIResourceEntry*(SPPluginRef)> resources;
  std::optional<std::string> fileAnswer;
  std::vector<FileDialogRequest> fileRequests;
  std::optional<ADMRGBColor> colorAnswer;
  int colorCalls = 0;
  std::vector<std::string> alerts;
};
HostState& hostState();

// Whether dialogs get FLTK views.
bool displayBackend();
// The window face (a neutral gray) and the accent of the default button and
// selections. The face is the window's colour and the standard background
// colour alike.
constexpr unsigned kFaceGray = 236;
constexpr unsigned kAccentRed = 53, kAccentGreen = 110, kAccentBlue = 180;
// The standard colours as RGB.
ADMRGBColor standardColor(ADMColor color);
// How a numeric edit field shows its text: a number rounded to at most
// `precision` decimals and, where decimals can be given up, to at most
// `width` characters, without trailing zeros; any other text as it is.
std::string numberForDisplay(const std::string& text, int32 precision, int32 width);
// The colour chooser, file dialog and message box, headless or FLTK.
bool runColorChooser(const char* prompt, ADMRGBColor& color);
std::optional<std::string> runFileDialog(const FileDialogRequest& request);
void runMessageAlert(const std::string& message);
// The screen rectangle (the display's, or the headless one).
ADMRect screenRect();
// The size an item needs for its text.
ADMPoint bestSize(const ADMItem& item);

// Suite functions other parts of the host call directly.
void dialogDestroy(ADMDialogRef dialog);
void itemDestroy(ADMItemRef item);
void itemUpdate(ADMItemRef item);
const ADMDrawerSuite3* drawerSuite();
const ADMIconSuite2* iconSuite();
// Decodes a bitmap resource's bytes (a DIB) into RGB rows, top first.
bool decodeDib(const unsigned char* data, std::size_t size, int32& width, int32& height,
               std::vector<unsigned char>& rgb);

}  // namespace veyra::dialogmanager

#endif
