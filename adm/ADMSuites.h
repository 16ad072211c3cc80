/* The dialog manager: function suites through which a plug-in creates modal
 * dialogs and their items, and through which the host calls the plug-in back
 * for drawing, pointer tracking, notifications and destruction.
 *
 * C header shared by both halves: the plug-in sees every handle as opaque;
 * the host defines the structures behind them. Rectangles are (left, top,
 * right, bottom), right and bottom exclusive; points are (h, v). Dialog
 * bounds are in screen coordinates, item bounds in dialog coordinates, and
 * local rectangles start at (0, 0). */
#ifndef VEYRA_ADM_ADMSUITES_H
#define VEYRA_ADM_ADMSUITES_H

#include "host/PITypes.h"
#include "host/SPBasic.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- basic types ---------------------------------------------------------- */

typedef int32 ADMErr;
typedef int32 ADMInt32;
typedef float ADMFloat;
typedef int32 ADMBoolean; /* 0 false, anything else true */

enum { kADMNoErr = 0, kADMBadParameterErr = -50, kADMOutOfMemoryErr = -108 };

typedef struct ADMRect { int32 left; int32 top; int32 right; int32 bottom; } ADMRect;
typedef struct ADMPoint { int32 h; int32 v; } ADMPoint;
typedef struct ADMRGBColor { unsigned16 red; unsigned16 green; unsigned16 blue; } ADMRGBColor;

typedef struct ADMDialog* ADMDialogRef;
typedef struct ADMItem* ADMItemRef;
typedef struct ADMList* ADMListRef;
typedef struct ADMEntry* ADMEntryRef;
typedef struct ADMListEntry* ADMListEntryRef; /* entries of hierarchy lists */
typedef struct ADMNotifier* ADMNotifierRef;
typedef struct ADMTracker* ADMTrackerRef;
typedef struct ADMDrawer* ADMDrawerRef;
typedef struct ADMIcon* ADMIconRef;
typedef struct ADMImage* ADMImageRef;
typedef void* ADMUserData;
typedef void* ADMPortRef; /* the platform drawing context of a drawer */

/* ---- procedures the plug-in gives the host ------------------------------- */

typedef ADMErr (*ADMDialogInitProc)(ADMDialogRef dialog);
typedef void (*ADMDialogDrawProc)(ADMDialogRef dialog, ADMDrawerRef drawer);
typedef ADMBoolean (*ADMDialogTrackProc)(ADMDialogRef dialog, ADMTrackerRef tracker);
typedef void (*ADMDialogNotifyProc)(ADMDialogRef dialog, ADMNotifierRef notifier);
typedef void (*ADMDialogDestroyProc)(ADMDialogRef dialog);

typedef ADMErr (*ADMItemInitProc)(ADMItemRef item);
typedef void (*ADMItemDrawProc)(ADMItemRef item, ADMDrawerRef drawer);
/* Answers whether the item consumed the pointer event. */
typedef ADMBoolean (*ADMItemTrackProc)(ADMItemRef item, ADMTrackerRef tracker);
typedef void (*ADMItemNotifyProc)(ADMItemRef item, ADMNotifierRef notifier);
typedef void (*ADMItemDestroyProc)(ADMItemRef item);

typedef void (*ADMEntryDrawProc)(ADMEntryRef entry, ADMDrawerRef drawer);
typedef ADMBoolean (*ADMEntryTrackProc)(ADMEntryRef entry, ADMTrackerRef tracker);
typedef void (*ADMEntryNotifyProc)(ADMEntryRef entry, ADMNotifierRef notifier);

/* ---- item type names ------------------------------------------------------ */

#define kADMTextPushButtonType "ADM Text Push Button Type"
#define kADMTextCheckBoxType "ADM Text Check Box Type"
#define kADMTextRadioButtonType "ADM Text Radio Button Type"
#define kADMPicturePushButtonType "ADM Picture Push Button Type"
#define kADMPictureCheckBoxType "ADM Picture Check Box Button Type"
#define kADMPictureRadioButtonType "ADM Picture Radio Button Type"
#define kADMTextEditType "ADM Text Edit Type"
#define kADMTextEditMultiLineType "ADM Text Edit Multi Line Type"
#define kADMTextStaticType "ADM Text Static Type"
#define kADMTextStaticMultiLineType "ADM Text Static Multi Line Type"
#define kADMPasswordTextEditType "ADM Password Text Edit Type"
#define kADMItemGroupType "ADM Item Group Type"
#define kADMPopupListType "ADM Popup List Type"
#define kADMSliderType "ADM Slider Type"
#define kADMFrameType "ADM Frame Type"
#define kADMPictureStaticType "ADM Picture Static Type"

/* ---- notifier type names -------------------------------------------------- */

/* The user changed the item: pressed a button, released a slider, chose a
 * popup entry, committed an edit field (Enter or leaving the field). */
#define kADMUserChangedNotifier "ADM User Changed Notifier"
/* Declared for completeness; this host does not send it for edit fields (the
 * commit of an edit field is a user change). */
#define kADMEntryTextChangedNotifier "ADM Entry Text Changed Notifier"
/* Sent to the dialog when the user asks to close the window. */
#define kADMCloseHitNotifier "ADM Close Hit Notifier"
/* Sent to an edit item when it gains / loses the keyboard focus. */
#define kADMActivateWindowNotifier "ADM Activate Window Notifier"
#define kADMDeactivateWindowNotifier "ADM Deactivate Window Notifier"
#define kADMBoundsChangedNotifier "ADM Bounds Changed Notifier"

/* ---- pointer tracking ----------------------------------------------------- */

typedef int32 ADMAction;
enum {
  kADMNoAction = 0,
  kADMButtonDownAction = 1,
  kADMButtonUpAction = 2,
  kADMMouseMovedDownAction = 3, /* pointer moved with the button held */
  kADMMouseMovedUpAction = 4,   /* pointer moved without a button */
  kADMEnterAction = 5,          /* pointer entered the item */
  kADMLeaveAction = 6           /* pointer left the item */
};

/* Pointer-event mask: which actions reach an item's track procedure. An
 * action not in the mask gets the item's default tracking only. */
typedef unsigned32 ADMActionMask;
#define ADM_ACTION_BIT(action) ((ADMActionMask)1u << (action))
enum {
  kADMButtonDownMask = 1u << kADMButtonDownAction,
  kADMButtonUpMask = 1u << kADMButtonUpAction,
  kADMMouseMovedDownMask = 1u << kADMMouseMovedDownAction,
  kADMMouseMovedUpMask = 1u << kADMMouseMovedUpAction,
  kADMEnterMask = 1u << kADMEnterAction,
  kADMLeaveMask = 1u << kADMLeaveAction,
  /* The mask an item or dialog has at creation. */
  kADMDefaultActionMask = (1u << kADMButtonDownAction) | (1u << kADMButtonUpAction) |
                          (1u << kADMMouseMovedDownAction)
};
/* Bit 31 of a dialog's mask: deliver pointer events over the dialog's own
 * background (outside every item) to the dialog's track procedure. */
#define kADMDialogBackgroundEventMask ((ADMActionMask)0x80000000u)

/* Modifier flags of a tracker. */
typedef unsigned32 ADMModifiers;
enum {
  kADMButtonHeldModifier = 0x01,  /* a pointer button is down */
  kADMControlKeyModifier = 0x10,
  kADMAltKeyModifier = 0x20,      /* Alt: resets one corner handle */
  kADMShiftKeyModifier = 0x40,    /* Shift: with Alt, resets all corner handles */
  kADMMetaKeyModifier = 0x80,
  kADMDoubleClickModifier = 0x100
};

/* ---- drawing -------------------------------------------------------------- */

typedef int32 ADMColor;
enum {
  kADMBlackColor = 0,
  kADMWhiteColor = 1,
  kADMHiliteColor = 2,
  kADMHiliteTextColor = 3,
  kADMLightColor = 4,
  kADMBackgroundColor = 5,
  kADMShadowColor = 6,
  kADMDisabledColor = 7,
  kADMButtonUpColor = 8,
  kADMButtonDownColor = 9,
  kADMTextColor = 10,
  kADMRedColor = 11,
  kADMGreenColor = 12,
  kADMBlueColor = 13,
  kADMYellowColor = 14,
  kADMGrayColor = 15
};

/* ---- dialogs -------------------------------------------------------------- */

typedef int32 ADMDialogStyle;
enum {
  kADMModalDialogStyle = 0,
  kADMMovableModalDialogStyle = 1,
  kADMNoCloseModalDialogStyle = 2, /* modal, without a close box */
  kADMFloatingDialogStyle = 3
};

/* Default and cancel item ids a dialog has at creation. */
enum { kADMDefaultItemID = 1, kADMCancelItemID = 2 };

/* ---- items ---------------------------------------------------------------- */

typedef int32 ADMJustify;
enum { kADMLeftJustify = 0, kADMCenterJustify = 1, kADMRightJustify = 2 };

/* Item styles (SetItemStyle). */
enum {
  kADMDefaultItemStyle = 0,
  kADMNumericEditStyle = 2 /* edit fields: accept only numbers */
};

/* File-type filter of the standard open-file dialog. */
typedef struct ADMFileFilter {
  const char* description; /* "PNG files (*.png)" */
  const char* pattern;     /* "*.png" or several: "*.jpeg;*.jpg" */
} ADMFileFilter;

/* ---- "ADM Basic Suite" 5 ------------------------------------------------- */

#define kADMBasicSuite "ADM Basic Suite"
#define kADMBasicSuiteVersion5 5

typedef struct ADMBasicSuite5 {
  void (*Beep)(void);
  /* The rectangle of the main screen, which dialogs centre on. */
  void (*GetScreenDimensions)(ADMRect* screen);
  /* The standard open-file dialog: answers true and writes the chosen file's
   * full path (zero-terminated, at most pathSize bytes) when the user
   * confirmed, false when cancelled. */
  ADMBoolean (*StandardGetFileDialog)(const char* prompt, const ADMFileFilter* filters,
                                      int32 filterCount, const char* startFolder, char* path,
                                      int32 pathSize);
  /* The dialog manager's colour chooser, opened near point (screen): answers
   * true and writes the colour when the user confirmed. */
  ADMBoolean (*ChooseColor)(ADMPoint where, const ADMRGBColor* inColor, ADMRGBColor* outColor);
  /* A modal message box with one OK button. */
  void (*MessageAlert)(const char* message);
} ADMBasicSuite5;

/* ---- "ADM Dialog Suite" 5 ------------------------------------------------ */

#define kADMDialogSuite "ADM Dialog Suite"
#define kADMDialogSuiteVersion5 5

typedef struct ADMDialogSuite5 {
  /* Creates a dialog; initProc is called during creation with the new
   * handle, after userData is set. name may be null. Answers null when the
   * init procedure failed. */
  ADMDialogRef (*Create)(SPPluginRef pluginRef, const char* name, int32 dialogID,
                         ADMDialogStyle style, ADMDialogInitProc initProc, ADMUserData userData,
                         int32 options);
  /* Destroys the dialog and every item still in it; calls the destroy
   * procedure first. */
  void (*Destroy)(ADMDialogRef dialog);

  /* Shows the dialog and runs it until EndModal; answers the id of the item
   * that ended it. Closing the window ends it with the cancel item's id. */
  int32 (*Modal)(ADMDialogRef dialog);
  void (*EndModal)(ADMDialogRef dialog, int32 itemID, ADMBoolean cancelled);

  void (*SetDrawProc)(ADMDialogRef dialog, ADMDialogDrawProc proc);
  void (*DefaultDraw)(ADMDialogRef dialog, ADMDrawerRef drawer);
  void (*SetTrackProc)(ADMDialogRef dialog, ADMDialogTrackProc proc);
  ADMBoolean (*DefaultTrack)(ADMDialogRef dialog, ADMTrackerRef tracker);
  void (*SetNotifyProc)(ADMDialogRef dialog, ADMDialogNotifyProc proc);
  /* Default notification handling: a close hit ends a modal run with the
   * cancel item's id. */
  void (*DefaultNotify)(ADMDialogRef dialog, ADMNotifierRef notifier);
  void (*SetDestroyProc)(ADMDialogRef dialog, ADMDialogDestroyProc proc);

  void (*SetUserData)(ADMDialogRef dialog, ADMUserData data);
  ADMUserData (*GetUserData)(ADMDialogRef dialog);
  SPPluginRef (*GetPluginRef)(ADMDialogRef dialog);
  int32 (*GetID)(ADMDialogRef dialog);

  void (*SetText)(ADMDialogRef dialog, const char* title);
  /* Copies the title (zero-terminated, truncated to maxLength bytes). */
  void (*GetText)(ADMDialogRef dialog, char* text, int32 maxLength);

  void (*Move)(ADMDialogRef dialog, int32 x, int32 y);
  void (*Size)(ADMDialogRef dialog, int32 width, int32 height);
  void (*GetLocalRect)(ADMDialogRef dialog, ADMRect* rect);
  void (*GetBoundsRect)(ADMDialogRef dialog, ADMRect* rect);
  void (*SetBoundsRect)(ADMDialogRef dialog, const ADMRect* rect);

  void (*SetDefaultItemID)(ADMDialogRef dialog, int32 itemID);
  int32 (*GetDefaultItemID)(ADMDialogRef dialog);
  void (*SetCancelItemID)(ADMDialogRef dialog, int32 itemID);
  int32 (*GetCancelItemID)(ADMDialogRef dialog);

  void (*SetMask)(ADMDialogRef dialog, ADMActionMask mask);
  ADMActionMask (*GetMask)(ADMDialogRef dialog);

  /* The first item with the id, or null. */
  ADMItemRef (*GetItem)(ADMDialogRef dialog, int32 itemID);
  void (*Show)(ADMDialogRef dialog, ADMBoolean show);
  ADMBoolean (*IsVisible)(ADMDialogRef dialog);
  void (*Invalidate)(ADMDialogRef dialog);
  void (*Update)(ADMDialogRef dialog);
} ADMDialogSuite5;

/* ---- "ADM Item Suite" 5 -------------------------------------------------- */

#define kADMItemSuite "ADM Item Suite"
#define kADMItemSuiteVersion5 5

typedef struct ADMItemSuite5 {
  /* Creates an item of the named type in the dialog at boundsRect (dialog
   * coordinates); initProc is called during creation after userData is set.
   * Answers null for an unknown type name or a failed init procedure. */
  ADMItemRef (*Create)(ADMDialogRef dialog, int32 itemID, const char* itemType,
                       const ADMRect* boundsRect, ADMItemInitProc initProc, ADMUserData userData,
                       int32 options);
  void (*Destroy)(ADMItemRef item);

  void (*SetDrawProc)(ADMItemRef item, ADMItemDrawProc proc);
  /* The item's own drawing (button face, text, frame...). */
  void (*DefaultDraw)(ADMItemRef item, ADMDrawerRef drawer);
  void (*SetTrackProc)(ADMItemRef item, ADMItemTrackProc proc);
  /* The item's own pointer handling; answers whether it consumed the event
   * (a slider moved, a button pressed...). */
  ADMBoolean (*DefaultTrack)(ADMItemRef item, ADMTrackerRef tracker);
  void (*SetNotifyProc)(ADMItemRef item, ADMItemNotifyProc proc);
  /* The item's own notification handling: a user change of the dialog's
   * default or cancel push button ends the modal run with its id. */
  void (*DefaultNotify)(ADMItemRef item, ADMNotifierRef notifier);
  void (*SetDestroyProc)(ADMItemRef item, ADMItemDestroyProc proc);

  void (*SetUserData)(ADMItemRef item, ADMUserData data);
  ADMUserData (*GetUserData)(ADMItemRef item);
  int32 (*GetID)(ADMItemRef item);
  ADMDialogRef (*GetDialog)(ADMItemRef item);
  /* Copies the item's type name. */
  void (*GetItemType)(ADMItemRef item, char* type, int32 maxLength);

  void (*SetText)(ADMItemRef item, const char* text);
  void (*GetText)(ADMItemRef item, char* text, int32 maxLength);
  int32 (*GetTextLength)(ADMItemRef item);

  /* Sliders: the position; edit fields: the number in the text. */
  void (*SetFloatValue)(ADMItemRef item, ADMFloat value);
  ADMFloat (*GetFloatValue)(ADMItemRef item);
  void (*SetMinFloatValue)(ADMItemRef item, ADMFloat value);
  ADMFloat (*GetMinFloatValue)(ADMItemRef item);
  void (*SetMaxFloatValue)(ADMItemRef item, ADMFloat value);
  ADMFloat (*GetMaxFloatValue)(ADMItemRef item);
  void (*SetIntValue)(ADMItemRef item, int32 value);
  int32 (*GetIntValue)(ADMItemRef item);
  /* Check boxes and radio buttons: the on state. */
  void (*SetBooleanValue)(ADMItemRef item, ADMBoolean value);
  ADMBoolean (*GetBooleanValue)(ADMItemRef item);

  void (*Enable)(ADMItemRef item, ADMBoolean enable);
  ADMBoolean (*IsEnabled)(ADMItemRef item);
  void (*Show)(ADMItemRef item, ADMBoolean show);
  ADMBoolean (*IsVisible)(ADMItemRef item);

  void (*GetLocalRect)(ADMItemRef item, ADMRect* rect);
  void (*GetBoundsRect)(ADMItemRef item, ADMRect* rect);
  void (*SetBoundsRect)(ADMItemRef item, const ADMRect* rect);
  void (*Move)(ADMItemRef item, int32 x, int32 y);
  void (*Size)(ADMItemRef item, int32 width, int32 height);
  /* The size the item needs for its text (h = width, v = height). */
  void (*GetBestSize)(ADMItemRef item, ADMPoint* size);

  void (*Invalidate)(ADMItemRef item);
  /* Redraws the item now when it is invalid. */
  void (*Update)(ADMItemRef item);

  void (*SetMask)(ADMItemRef item, ADMActionMask mask);
  ADMActionMask (*GetMask)(ADMItemRef item);
  void (*SetJustify)(ADMItemRef item, ADMJustify justify);
  ADMJustify (*GetJustify)(ADMItemRef item);
  void (*SetItemStyle)(ADMItemRef item, int32 style);
  int32 (*GetItemStyle)(ADMItemRef item);
  /* Edit fields: digits after the decimal point when the host writes a
   * float value as text (SetFloatValue on an edit). */
  void (*SetPrecision)(ADMItemRef item, int32 digits);
  int32 (*GetPrecision)(ADMItemRef item);
  /* Edit fields: the width in characters the field is laid out for; a hint
   * that does not limit what can be typed. */
  void (*SetDisplayWidth)(ADMItemRef item, int32 characters);
  int32 (*GetDisplayWidth)(ADMItemRef item);

  /* Popup lists: the item's list of entries. */
  ADMListRef (*GetList)(ADMItemRef item);
  /* Item groups: add a member, remove one. Membership does not move items. */
  void (*AddItem)(ADMItemRef group, ADMItemRef item);
  void (*RemoveItem)(ADMItemRef group, ADMItemRef item);

  /* The tip shown while the pointer rests on the item (null or empty: none). */
  void (*SetTipString)(ADMItemRef item, const char* tip);
  /* Copies the tip (zero-terminated, truncated to maxLength bytes). */
  void (*GetTipString)(ADMItemRef item, char* tip, int32 maxLength);
} ADMItemSuite5;

/* ---- "ADM Notifier Suite" 2 ---------------------------------------------- */

#define kADMNotifierSuite "ADM Notifier Suite"
#define kADMNotifierSuiteVersion2 2

typedef struct ADMNotifierSuite2 {
  ADMItemRef (*GetItem)(ADMNotifierRef notifier);
  ADMDialogRef (*GetDialog)(ADMNotifierRef notifier);
  ADMBoolean (*IsNotifierType)(ADMNotifierRef notifier, const char* notifierType);
  void (*GetNotifierType)(ADMNotifierRef notifier, char* notifierType, int32 maxLength);
} ADMNotifierSuite2;

/* ---- "ADM Tracker Suite" 1 ----------------------------------------------- */

#define kADMTrackerSuite "ADM Tracker Suite"
#define kADMTrackerSuiteVersion1 1

typedef struct ADMTrackerSuite1 {
  /* The pointer position in the local coordinates of the tracked item. */
  void (*GetPoint)(ADMTrackerRef tracker, ADMPoint* point);
  ADMAction (*GetAction)(ADMTrackerRef tracker);
  ADMModifiers (*GetModifiers)(ADMTrackerRef tracker);
  ADMBoolean (*TestAction)(ADMTrackerRef tracker, ADMAction action);
  ADMBoolean (*TestModifier)(ADMTrackerRef tracker, ADMModifiers modifier);
} ADMTrackerSuite1;

/* ---- "ADM Entry Suite" 4 ------------------------------------------------- */

#define kADMEntrySuite "ADM Entry Suite"
#define kADMEntrySuiteVersion4 4

typedef struct ADMEntrySuite4 {
  ADMListRef (*GetList)(ADMEntryRef entry);
  int32 (*GetIndex)(ADMEntryRef entry);
  void (*SetID)(ADMEntryRef entry, int32 entryID);
  int32 (*GetID)(ADMEntryRef entry);
  void (*SetUserData)(ADMEntryRef entry, ADMUserData data);
  ADMUserData (*GetUserData)(ADMEntryRef entry);
  void (*SetText)(ADMEntryRef entry, const char* text);
  void (*GetText)(ADMEntryRef entry, char* text, int32 maxLength);
  /* Popups: selecting or activating an entry makes it the shown one. */
  void (*Select)(ADMEntryRef entry, ADMBoolean select);
  ADMBoolean (*IsSelected)(ADMEntryRef entry);
  void (*Activate)(ADMEntryRef entry, ADMBoolean activate);
  ADMBoolean (*IsActive)(ADMEntryRef entry);
  void (*Enable)(ADMEntryRef entry, ADMBoolean enable);
  ADMBoolean (*IsEnabled)(ADMEntryRef entry);
  void (*DefaultDraw)(ADMEntryRef entry, ADMDrawerRef drawer);
  ADMBoolean (*DefaultTrack)(ADMEntryRef entry, ADMTrackerRef tracker);
  /* Passes the notification on to the entry's list item. */
  void (*DefaultNotify)(ADMEntryRef entry, ADMNotifierRef notifier);
} ADMEntrySuite4;

/* ---- "ADM List Suite" 2 -------------------------------------------------- */

#define kADMListSuite "ADM List Suite"
#define kADMListSuiteVersion2 2

typedef struct ADMListSuite2 {
  ADMItemRef (*GetItem)(ADMListRef list);
  void (*SetUserData)(ADMListRef list, ADMUserData data);
  ADMUserData (*GetUserData)(ADMListRef list);
  void (*SetDrawProc)(ADMListRef list, ADMEntryDrawProc proc);
  void (*SetTrackProc)(ADMListRef list, ADMEntryTrackProc proc);
  void (*SetNotifyProc)(ADMListRef list, ADMEntryNotifyProc proc);
  /* Inserts a new entry before position index (clamped to 0..count). */
  ADMEntryRef (*InsertEntry)(ADMListRef list, int32 index);
  void (*RemoveEntry)(ADMListRef list, int32 index);
  /* The first entry with the id, or null. */
  ADMEntryRef (*GetEntry)(ADMListRef list, int32 entryID);
  /* The entry at a position, or null. */
  ADMEntryRef (*IndexEntry)(ADMListRef list, int32 index);
  ADMEntryRef (*FindEntry)(ADMListRef list, const char* text);
  int32 (*NumberOfEntries)(ADMListRef list);
  /* The shown (chosen) entry of a popup, or null. */
  ADMEntryRef (*GetActiveEntry)(ADMListRef list);
} ADMListSuite2;

/* ---- "ADM List Entry Suite" 2 (hierarchy list entries) ------------------- */

#define kADMListEntrySuite "ADM List Entry Suite"
#define kADMListEntrySuiteVersion2 2

/* This host has no hierarchy list items; the suite exists so that plug-ins
 * acquiring it find it, and every entry it could be asked about is absent. */
typedef struct ADMListEntrySuite2 {
  int32 (*GetIndex)(ADMListEntryRef entry);
  int32 (*GetID)(ADMListEntryRef entry);
  ADMUserData (*GetUserData)(ADMListEntryRef entry);
} ADMListEntrySuite2;

/* ---- "ADM Drawer Suite" 3 ------------------------------------------------ */

#define kADMDrawerSuite "ADM Drawer Suite"
#define kADMDrawerSuiteVersion3 3

/* Every coordinate is local to the item (or dialog) being drawn. */
typedef struct ADMDrawerSuite3 {
  /* The platform port, for the filter record's pixel display service. */
  ADMPortRef (*GetPortRef)(ADMDrawerRef drawer);
  void (*GetBoundsRect)(ADMDrawerRef drawer, ADMRect* rect);
  void (*SetADMColor)(ADMDrawerRef drawer, ADMColor color);
  void (*SetRGBColor)(ADMDrawerRef drawer, const ADMRGBColor* color);
  void (*GetRGBColor)(ADMDrawerRef drawer, ADMRGBColor* color);
  /* One-pixel outline of the rectangle's inside edge. */
  void (*FrameRect)(ADMDrawerRef drawer, const ADMRect* rect);
  void (*FillRect)(ADMDrawerRef drawer, const ADMRect* rect);
  void (*DrawLine)(ADMDrawerRef drawer, const ADMPoint* start, const ADMPoint* end);
  /* Connects the points in order (a closed outline repeats the first). */
  void (*FramePolygon)(ADMDrawerRef drawer, const ADMPoint* points, int32 count);
  void (*FillPolygon)(ADMDrawerRef drawer, const ADMPoint* points, int32 count);
  void (*DrawText)(ADMDrawerRef drawer, const char* text, const ADMPoint* point);
  void (*DrawIcon)(ADMDrawerRef drawer, ADMIconRef icon, const ADMPoint* topLeft);
  void (*DrawIconCentered)(ADMDrawerRef drawer, ADMIconRef icon, const ADMRect* rect);
} ADMDrawerSuite3;

/* ---- "ADM Image Suite" 1 ------------------------------------------------- */

#define kADMImageSuite "ADM Image Suite"
#define kADMImageSuiteVersion1 1

/* Off-screen 24-bit RGB images (rows of width x 3 bytes, top row first). */
typedef struct ADMImageSuite1 {
  ADMImageRef (*Create)(int32 width, int32 height, int32 options);
  void (*Destroy)(ADMImageRef image);
  int32 (*GetWidth)(ADMImageRef image);
  int32 (*GetHeight)(ADMImageRef image);
  int32 (*GetByteWidth)(ADMImageRef image);
  unsigned8* (*BeginBaseAddressAccess)(ADMImageRef image);
  void (*EndBaseAddressAccess)(ADMImageRef image);
} ADMImageSuite1;

/* ---- "ADM Icon Suite" 2 -------------------------------------------------- */

#define kADMIconSuite "ADM Icon Suite"
#define kADMIconSuiteVersion2 2

typedef struct ADMIconSuite2 {
  /* Loads the bitmap resource with the name (or, when no resource has the
   * name, the id) from the plug-in's resources; null when there is none or
   * it cannot be decoded. */
  ADMIconRef (*GetFromResource)(SPPluginRef pluginRef, const char* name, int32 iconID,
                                int32 iconIndex);
  void (*Destroy)(ADMIconRef icon);
  int32 (*GetWidth)(ADMIconRef icon);
  int32 (*GetHeight)(ADMIconRef icon);
  ADMBoolean (*IsFromResource)(ADMIconRef icon);
} ADMIconSuite2;

#ifdef __cplusplus
}
#endif

#endif
