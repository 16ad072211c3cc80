/* The filter record: everything a host hands a filter plug-in on each call of
 * its entry point, and the entry point's signature. */
#ifndef VEYRA_HOST_FILTERRECORD_H
#define VEYRA_HOST_FILTERRECORD_H

#include "host/PIDescriptor.h"
#include "host/PIDocument.h"
#include "host/PIPixelMap.h"
#include "host/PITypes.h"
#include "host/SPBasic.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Selectors: the step of a filter run that a call of the entry point asks for. */
enum {
  filterSelectorAbout = 0,
  filterSelectorParameters = 1,
  filterSelectorPrepare = 2,
  filterSelectorStart = 3,
  filterSelectorContinue = 4,
  filterSelectorFinish = 5
};

typedef Boolean (*TestAbortProc)(void);
typedef void (*ProgressProc)(int32 done, int32 total);

/* Host memory handles. New answers 0 when the host is out of memory; lock
 * answers the block's address (or 0), move-high asks the host to move it out
 * of the way first. */
typedef struct HandleProcs {
  int16 handleProcsVersion;
  int16 numHandleProcs;
  Handle (*newProc)(int32 size);
  void (*disposeProc)(Handle h);
  int32 (*getSizeProc)(Handle h);
  OSErr (*setSizeProc)(Handle h, int32 newSize);
  Ptr (*lockProc)(Handle h, Boolean moveHigh);
  void (*unlockProc)(Handle h);
  void (*recoverSpaceProc)(int32 size);
  void (*disposeRegularHandleProc)(Handle h);
} HandleProcs;

typedef struct RGBColor { unsigned16 red; unsigned16 green; unsigned16 blue; } RGBColor;
typedef unsigned8 FilterColor[4];

typedef struct FilterRecord {
  int32 serialNumber;
  TestAbortProc abortProc;
  ProgressProc progressProc;
  Handle parameters;        /* the plug-in's parameter block, kept by the host between runs */
  Point imageSize;          /* width in h, height in v */
  int16 planes;
  Rect filterRect;          /* the area to filter: the selection's bounds */
  RGBColor background;
  RGBColor foreground;
  FilterColor backColor;
  FilterColor foreColor;
  OSType hostSig;
  void* hostProc;
  int16 imageMode;
  int32 imageHRes;          /* 16.16 fixed point */
  int32 imageVRes;
  Point floatCoord;
  Point wholeSize;
  int32 bufferSpace;        /* requests the plug-in may make; this plug-in makes none */
  int32 maxSpace;
  Rect inRect;
  int16 inLoPlane;
  int16 inHiPlane;
  Rect outRect;
  int16 outLoPlane;
  int16 outHiPlane;
  Rect maskRect;
  void* inData;
  int32 inRowBytes;
  void* outData;
  int32 outRowBytes;
  void* maskData;
  int32 maskRowBytes;
  Boolean isFloating;
  Boolean haveMask;
  Boolean autoMask;
  HandleProcs* handleProcs;
  int16 depth;              /* bits per channel */
  DisplayPixelsProc displayPixels;
  PIDescriptorParameters* descriptorParameters;
  ReadImageDocumentDesc* documentInfo;
  SPBasicSuite* sSPBasic;
  void* plugInRef;          /* the plug-in's reference for the dialog manager and the plug-ins suite */
} FilterRecord;

typedef FilterRecord* FilterRecordPtr;

/* The entry point every filter module exports. */
typedef void (*PluginMainProc)(int16 selector, void* filterRecord, intptr_t* data, int16* result);

#define VEYRA_PLUGIN_ENTRY_NAME "PluginMain"

/* The about selector receives an about record instead of the filter record. */
typedef struct AboutRecord {
  void* platformData;
  SPBasicSuite* sSPBasic;
  void* plugInRef;
} AboutRecord;

#ifdef __cplusplus
}
#endif

#endif
