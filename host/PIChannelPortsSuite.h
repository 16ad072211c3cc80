/* The channel-port suite: reading and writing rectangles of a document's
 * channels through their ports. */
#ifndef VEYRA_HOST_PICHANNELPORTSSUITE_H
#define VEYRA_HOST_PICHANNELPORTSSUITE_H

#include "host/PIDocument.h"
#include "host/PITypes.h"

#ifdef __cplusplus
extern "C" {
#endif

#define kPSChannelPortsSuite "Photoshop ChannelPorts Suite for Plug-ins"
#define kPSChannelPortsSuiteVersion2 2

/* Where pixels lie in memory: sample (row r, column c) of this channel is at
 * bit r x rowBits + c x colBits + bitOffset from data. */
typedef struct PixelMemoryDesc {
  void* data;
  int32 rowBits;
  int32 colBits;
  int32 bitOffset;
  int32 depth;
} PixelMemoryDesc;

/* A scaled read maps sourceRect onto destinationRect's size. */
typedef struct PSScaling {
  VRect sourceRect;
  VRect destinationRect;
} PSScaling;

typedef struct PSChannelPortsSuite2 {
  int32 (*CountLevels)(PIChannelPort port, int32* count);
  /* Reads rect of the port at the given level into destination; writes the
   * rectangle actually read to *wroteRect. */
  int32 (*ReadPixelsFromLevel)(PIChannelPort port, int32 level, const VRect* rect,
                               const PixelMemoryDesc* destination, VRect* wroteRect);
  /* Writes rect of the port's base level from source. */
  int32 (*WritePixelsToBaseLevel)(PIChannelPort port, const VRect* rect, const PixelMemoryDesc* source);
  /* Reads readRect scaled by scaling into destination (whose origin is the
   * destination rectangle's top-left pixel). */
  int32 (*ReadScaledPixels)(PIChannelPort port, const VRect* readRect, const PSScaling* scaling,
                            const PixelMemoryDesc* destination);
} PSChannelPortsSuite2;

#ifdef __cplusplus
}
#endif

#endif
