/* The scripting suites: action descriptors and the descriptor registry. */
#ifndef VEYRA_HOST_PIACTIONSSUITES_H
#define VEYRA_HOST_PIACTIONSSUITES_H

#include "host/PITypes.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct PIActionDescriptorOpaque* PIActionDescriptor;

#define kPSActionDescriptorSuite "df135115-c769-11d0-8079-00c04fd7ec47"
#define kPSActionDescriptorSuiteVersion2 2

typedef struct PSActionDescriptorSuite2 {
  int32 (*Make)(PIActionDescriptor* descriptor);
  int32 (*Free)(PIActionDescriptor descriptor);
  int32 (*HasKey)(PIActionDescriptor descriptor, DescriptorKeyID key, Boolean* hasKey);
  int32 (*GetCount)(PIActionDescriptor descriptor, unsigned32* count);
  int32 (*PutFloat)(PIActionDescriptor descriptor, DescriptorKeyID key, double value);
  int32 (*GetFloat)(PIActionDescriptor descriptor, DescriptorKeyID key, double* value);
} PSActionDescriptorSuite2;

#define kPSDescriptorRegistrySuite "61e608b0-40fd-11d1-8da3-00c04fd5f7ee"
#define kPSDescriptorRegistrySuiteVersion1 1

typedef struct PSDescriptorRegistrySuite1 {
  /* Stores a copy of descriptor under key; persistent entries outlive the
   * host session. */
  int32 (*Register)(const char* key, PIActionDescriptor descriptor, Boolean isPersistent);
  int32 (*Erase)(const char* key);
  /* Answers a new descriptor (the caller frees it) or 0 when none is stored. */
  int32 (*Get)(const char* key, PIActionDescriptor* descriptor);
} PSDescriptorRegistrySuite1;

#ifdef __cplusplus
}
#endif

#endif
