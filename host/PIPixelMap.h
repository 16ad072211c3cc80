/* Pixel maps and the host's pixel display service, through which a plug-in
 * draws pixels into one of its dialog items. */
#ifndef VEYRA_HOST_PIPIXELMAP_H
#define VEYRA_HOST_PIPIXELMAP_H

#include "host/PITypes.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct PSPixelMask {
  struct PSPixelMask* next;
  void* maskData;
  int32 rowBytes;
  int32 colBytes;
  int32 maskDescription;
} PSPixelMask;

typedef struct PSPixelMap {
  int32 version;      /* 1 */
  VRect bounds;       /* top and left 0; bottom and right the height and width */
  int32 imageMode;    /* plugInModeGrayScale, plugInModeRGBColor, plugInModeCMYKColor */
  int32 rowBytes;     /* distance from one row to the next */
  int32 colBytes;     /* distance from one pixel to the next */
  int32 planeBytes;   /* distance from one channel to the next within a pixel */
  void* baseAddr;
  PSPixelMask* mat;
  PSPixelMask* masks;
  int32 maskPhaseRow;
  int32 maskPhaseCol;
} PSPixelMap;

/* Draws srcRect of the pixel map with its top-left at (dstRow, dstCol) into
 * the drawing port given as platformContext (a dialog drawer's port). */
typedef OSErr (*DisplayPixelsProc)(const PSPixelMap* source, const VRect* srcRect, int32 dstRow,
                                   int32 dstCol, void* platformContext);

#ifdef __cplusplus
}
#endif

#endif
