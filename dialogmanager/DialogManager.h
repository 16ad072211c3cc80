// The dialog manager on FLTK, shared by our hosts and by the module (which
// supplies it itself to hosts that have none): the eleven dialog manager
// suites, the filter record's pixel display service, the colour picker of
// the colour-space suite, and a driver through which tests operate dialogs
// without a user.
//
// Dialogs work in one of two backends. Headless (the default): dialogs and
// items exist as objects with state and no window; a modal run calls the
// modal driver (tests) and ends with the cancel item when nothing ended it.
// Display: after openDisplay() succeeded, every dialog is an FLTK window and
// every item a widget; the user's actions go through the same routing as the
// driver's.
#ifndef VEYRA_DIALOGMANAGER_DIALOGMANAGER_H
#define VEYRA_DIALOGMANAGER_DIALOGMANAGER_H

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "adm/ADMSuites.h"
#include "host/PIPixelMap.h"
#include "host/PluginResources.h"

namespace veyra::dialogmanager {

// ---- suites ---------------------------------------------------------------

// One suite's function table under its name and version.
struct SuiteTable {
  const char* name;
  int32 version;
  const void* table;
};
// The eleven dialog manager suites: the ten of a dialog and the icon suite.
std::vector<SuiteTable> suiteTables();
// A dialog manager suite's table by name and version, or null.
const void* admSuite(const char* name, int32 version);

// Where the icon suite finds a plug-in's resources: the host tells it how to
// map the plug-in reference to the module's resource table.
void setResourceResolver(std::function<const PIResourceEntry*(SPPluginRef)> resolver);
// The resource type of bitmaps in a module's resource table.
constexpr OSType kBitmapResourceType = PI_FOURCC('B', 'M', 'P', ' ');

// ---- backend --------------------------------------------------------------

// Opens the X display and makes later dialogs real windows. Answers false with
// a message when there is no display.
bool openDisplay(std::string* error);
// Back to headless dialogs (existing dialogs keep their backend).
void useHeadless();
bool displayOpen();

// The screen rectangle reported without a display (1280 x 1024 by default).
void setHeadlessScreen(const ADMRect& screen);

// ---- services for the rest of the host --------------------------------------

// The filter record's pixel display service (FilterRecord::displayPixels):
// draws gray, RGB and CMYK (255 = no ink) pixel maps into a drawer's port.
OSErr displayPixels(const PSPixelMap* source, const VRect* srcRect, int32 dstRow, int32 dstCol,
                    void* platformContext);

// The colour picker of the colour-space suite: shows the chooser with the
// prompt on the 8-bit RGB colour; answers true and writes the new colour when
// the user confirmed.
bool pickColor(const char* prompt, const unsigned8 in[3], unsigned8 out[3]);

// ---- drawing record ---------------------------------------------------------

// One drawing operation of a recording drawer.
struct DrawOp {
  enum Kind { DefaultDraw, FrameRect, FillRect, Line, FramePolygon, FillPolygon, Text, Icon, Pixels };
  Kind kind;
  ADMRGBColor color{0, 0, 0};    // the drawer's colour at the time
  ADMRect rect{0, 0, 0, 0};      // rectangles; icons and pixels: where they went
  std::vector<ADMPoint> points;  // lines and polygons
  std::string text;
  std::vector<unsigned char> rgb;  // icons and pixels: the RGB drawn, rows top first
};
using DrawRecord = std::vector<DrawOp>;

// ---- test driver ------------------------------------------------------------

// Called when a modal run starts (headless: instead of an event loop; with a
// display: once the window is shown). A run the driver does not end ends with
// the cancel item's id (headless) or goes on with the user (display).
void setModalDriver(std::function<void(ADMDialogRef)> driver);

// Dialogs that exist, oldest first.
std::vector<ADMDialogRef> liveDialogs();
// The n-th item (creation order) with the id, and of the type when one is
// given; null when there is none.
ADMItemRef findItem(ADMDialogRef dialog, int32 itemID, const char* itemType = nullptr, int n = 0);
// Every item of the dialog in creation order.
std::vector<ADMItemRef> items(ADMDialogRef dialog);

// Sends one pointer event (local point) to the item: its track procedure
// when the mask asks for the action, else its default tracking. Answers the
// result.
ADMBoolean sendPointer(ADMItemRef item, ADMAction action, ADMPoint point, ADMModifiers modifiers = 0);
// Presses and releases a button (or a check box, radio button, picture
// button) at its centre: button down, button up, and the user change when
// the default tracking completed the press.
void click(ADMItemRef item, ADMModifiers modifiers = 0);
// Drags a slider through the values (down at the first, moves through the
// rest, up at the last), then the user change at release.
void dragSlider(ADMItemRef item, const std::vector<float>& values);
// Types the text into an edit field and commits it (Enter).
void enterText(ADMItemRef item, const std::string& text);
// The edit field gains or loses the keyboard focus.
void setFocus(ADMItemRef item, bool focused);
// Opens the popup (button down) and chooses the entry at the position.
void choosePopup(ADMItemRef item, int32 position);
// The user closes the dialog window (close box or Escape).
void closeWindow(ADMDialogRef dialog);
// Draws the item into a recording drawer and answers what was drawn.
DrawRecord draw(ADMItemRef item);
// Times an item was drawn by an update (headless) and what was drawn last.
long drawCount(ADMItemRef item);
const DrawRecord& lastDraw(ADMItemRef item);
// With a display: feeds a pointer event into the dialog's window as the
// window system would (point in dialog coordinates), so that it goes
// through the widgets' own event handling. Answers whether a widget took it.
bool injectPointer(ADMDialogRef dialog, ADMAction action, ADMPoint point, ADMModifiers modifiers = 0);
// Reads a shown dialog window's pixels (RGB rows, top first).
bool captureWindow(ADMDialogRef dialog, std::vector<unsigned char>& rgb, int& width, int& height);

// The standard open-file dialog without a display answers this (nullopt:
// cancel) and remembers what it was asked.
struct FileDialogRequest {
  std::string prompt;
  std::string startFolder;
  std::vector<std::pair<std::string, std::string>> filters;
};
void setFileDialogAnswer(std::optional<std::string> path);
const std::vector<FileDialogRequest>& fileDialogRequests();
// The colour chooser without a display answers this (nullopt: cancel).
void setColorChooserAnswer(std::optional<ADMRGBColor> color);
int colorChooserCalls();
// The messages shown with the basic suite's message alert, oldest first.
const std::vector<std::string>& messageAlerts();
// Clears the answers, the remembered requests and the modal driver.
void resetDriver();

}  // namespace veyra::dialogmanager

#endif
