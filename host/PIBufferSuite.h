/* The buffer suite: blocks of host memory for pixel buffers. */
#ifndef VEYRA_HOST_PIBUFFERSUITE_H
#define VEYRA_HOST_PIBUFFERSUITE_H

#include "host/PITypes.h"

#ifdef __cplusplus
extern "C" {
#endif

#define kPSBufferSuite "Photoshop Buffer Suite for Plug-ins"
#define kPSBufferSuiteVersion1 1

typedef struct PSBufferSuite1 {
  /* Answers a block of *requestedSize bytes, or of at least minimumSize bytes
   * (writing the size granted to *requestedSize), or 0 when memory is short. */
  Ptr (*New)(unsigned32* requestedSize, unsigned32 minimumSize);
  void (*Dispose)(Ptr* buffer); /* frees the block and sets *buffer to 0 */
  unsigned32 (*GetSize)(Ptr buffer);
  unsigned32 (*GetSpace)(void);
} PSBufferSuite1;

#ifdef __cplusplus
}
#endif

#endif
