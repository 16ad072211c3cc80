/* The module's resource table: on this platform a module carries its
 * resources (property list, terminology, bitmaps) as an exported array that
 * the host reads before it calls the entry point. Each entry's bytes are
 * exactly those a resource of that type would hold. */
#ifndef VEYRA_HOST_PLUGINRESOURCES_H
#define VEYRA_HOST_PLUGINRESOURCES_H

#include "host/PITypes.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct PIResourceEntry {
  OSType type;               /* 'PiPL', 'aete', 'BMP ' ... ; 0 ends the table */
  int32 id;
  const char* name;          /* resource name, or null */
  const unsigned char* data;
  unsigned32 size;
} PIResourceEntry;

/* Name of the exported table symbol. */
#define VEYRA_RESOURCE_TABLE_NAME "PIResourceTable"

#ifdef __cplusplus
}
#endif

#endif
