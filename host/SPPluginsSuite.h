/* The plug-ins suite: facts about loaded plug-ins, here the module's own file. */
#ifndef VEYRA_HOST_SPPLUGINSSUITE_H
#define VEYRA_HOST_SPPLUGINSSUITE_H

#include "host/SPBasic.h"

#ifdef __cplusplus
extern "C" {
#endif

#define kSPPluginsSuite "SP Plug-ins Suite"
#define kSPPluginsSuiteVersion4 4

/* A file path: UTF-8 with '/' separators, zero-terminated. */
typedef struct SPPlatformFilePath { char path[300]; } SPPlatformFilePath;

typedef struct SPPluginsSuite4 {
  SPErr (*GetPluginFilePath)(SPPluginRef plugin, SPPlatformFilePath* file);
  SPErr (*GetPluginName)(SPPluginRef plugin, const char** name);
} SPPluginsSuite4;

#ifdef __cplusplus
}
#endif

#endif
