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
typedef struct SPPlatformFileSpecification { char path[300]; } SPPlatformFileSpecification;

typedef struct SPPluginsSuite4 {
  SPErr (*GetPluginFileSpecification)(SPPluginRef plugin, SPPlatformFileSpecification* file);
  SPErr (*GetPluginName)(SPPluginRef plugin, const char** name);
} SPPluginsSuite4;

#ifdef __cplusplus
}
#endif

#endif
