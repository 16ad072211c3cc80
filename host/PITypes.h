/* Basic types of the published filter plug-in interface, shared by the
 * plug-in and any host. C header: both halves include it. */
#ifndef VEYRA_HOST_PITYPES_H
#define VEYRA_HOST_PITYPES_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int8_t int8;
typedef int16_t int16;
typedef int32_t int32;
typedef uint8_t unsigned8;
typedef uint16_t unsigned16;
typedef uint32_t unsigned32;
typedef unsigned char Boolean;
typedef char* Ptr;
typedef int16_t OSErr;
typedef uint32_t OSType;
typedef uint32_t DescriptorKeyID;
typedef uint32_t DescriptorTypeID;
typedef double real64;

/* A host memory handle: an opaque block that the host allocates, resizes,
 * locks and frees through the handle procedures. */
typedef struct PIHandleRecord* Handle;

typedef struct Point { int16 v; int16 h; } Point;
typedef struct Rect { int16 top; int16 left; int16 bottom; int16 right; } Rect;
typedef struct VPoint { int32 v; int32 h; } VPoint;
typedef struct VRect { int32 top; int32 left; int32 bottom; int32 right; } VRect;

/* Four-character codes: 32-bit values written in character order. */
#define PI_FOURCC(a, b, c, d) \
  ((OSType)(((uint32_t)(unsigned char)(a) << 24) | ((uint32_t)(unsigned char)(b) << 16) | \
            ((uint32_t)(unsigned char)(c) << 8) | (uint32_t)(unsigned char)(d)))

/* Result codes. */
enum {
  noErr = 0,
  memFullErr = -108,
  userCanceledErr = -128,
  errPlugInHostInsufficient = -30900
};

/* Image modes of the filter record and of pixel maps. */
enum {
  plugInModeBitmap = 0,
  plugInModeGrayScale = 1,
  plugInModeIndexedColor = 2,
  plugInModeRGBColor = 3,
  plugInModeCMYKColor = 4,
  plugInModeHSLColor = 5,
  plugInModeHSBColor = 6,
  plugInModeMultichannel = 7,
  plugInModeDuotone = 8,
  plugInModeLabColor = 9,
  plugInModeGray16 = 10,
  plugInModeRGB48 = 11,
  plugInModeLab48 = 12,
  plugInModeCMYK64 = 13,
  plugInModeDeepMultichannel = 14,
  plugInModeDuotone16 = 15
};

#ifdef __cplusplus
}
#endif

#endif
