/* The basic suite: the host's broker that hands out every other suite by
 * name and version. */
#ifndef VEYRA_HOST_SPBASIC_H
#define VEYRA_HOST_SPBASIC_H

#include "host/PITypes.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef int32 SPErr;
typedef int32 SPBoolean;
enum { kSPNoError = 0, kSPSuiteNotFoundError = 0x214e6f53 /* '!NoS' */ };

typedef struct SPPlugin* SPPluginRef;

typedef struct SPBasicSuite {
  /* Acquire a suite; writes the suite's function table to *suite. A non-zero
   * result means the host has no such suite. */
  SPErr (*AcquireSuite)(const char* name, int32 version, const void** suite);
  SPErr (*ReleaseSuite)(const char* name, int32 version);
  SPBoolean (*IsEqual)(const char* token1, const char* token2);
  SPErr (*AllocateBlock)(size_t size, void** block);
  SPErr (*FreeBlock)(void* block);
  SPErr (*ReallocateBlock)(void* block, size_t newSize, void** newblock);
  SPErr (*Undefined)(void);
} SPBasicSuite;

#ifdef __cplusplus
}
#endif

#endif
