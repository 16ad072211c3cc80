/* The string suite: host strings, used for prompts. */
#ifndef VEYRA_HOST_ASZSTRINGSUITE_H
#define VEYRA_HOST_ASZSTRINGSUITE_H

#include "host/PITypes.h"

#ifdef __cplusplus
extern "C" {
#endif

#define kASZStringSuite "AS ZString Suite"
#define kASZStringSuiteVersion1 1

typedef struct ASZByteRun* ASZString;

typedef struct ASZStringSuite1 {
  int32 (*MakeFromCString)(const char* src, size_t byteCount, ASZString* newZString);
  int32 (*Release)(ASZString zstr);
  /* Copies at most bufferSize - 1 bytes and a terminating zero. */
  int32 (*AsCString)(ASZString zstr, char* buffer, size_t bufferSize);
} ASZStringSuite1;

#ifdef __cplusplus
}
#endif

#endif
