/* The document description of the filter record: mode, bounds and the lists
 * of channels with their read and write ports. */
#ifndef VEYRA_HOST_PIDOCUMENT_H
#define VEYRA_HOST_PIDOCUMENT_H

#include "host/PITypes.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct PIChannelPortDesc* PIChannelPort;

/* Channel types. */
enum {
  ctUnspecified = 0,
  ctRed = 1,
  ctGreen = 2,
  ctBlue = 3,
  ctCyan = 4,
  ctMagenta = 5,
  ctYellow = 6,
  ctBlack = 7,
  ctL = 8,
  ctA = 9,
  ctB = 10,
  ctDuotone = 11,
  ctIndex = 12,
  ctBitmap = 13,
  ctColorSelected = 14,
  ctColorProtected = 15,
  ctTransparency = 16,
  ctLayerMask = 17,
  ctInvertedLayerMask = 18,
  ctSelectionMask = 19
};

typedef struct ReadChannelDesc {
  int32 minVersion;
  int32 maxVersion;
  struct ReadChannelDesc* next; /* the next channel of the same list, or null */
  PIChannelPort port;           /* read port */
  VRect bounds;
  int32 depth;
  VPoint tileSize;
  VPoint tileOrigin;
  Boolean target;
  Boolean shown;
  int16 channelType;
  void* contextInfo;
  const char* name;
  PIChannelPort writePort;      /* write port of the same channel */
} ReadChannelDesc;

typedef struct ReadImageDocumentDesc {
  int32 minVersion;
  int32 maxVersion;
  int32 imageMode;
  int32 depth;
  VRect bounds;
  int32 hResolution; /* 16.16 fixed point, pixels per inch */
  int32 vResolution;
  ReadChannelDesc* targetCompositeChannels;
  ReadChannelDesc* targetTransparency;
  ReadChannelDesc* targetLayerMask;
  ReadChannelDesc* mergedCompositeChannels;
  ReadChannelDesc* mergedTransparency;
  ReadChannelDesc* alphaChannels;
  ReadChannelDesc* selection;
} ReadImageDocumentDesc;

#ifdef __cplusplus
}
#endif

#endif
