// The module's resource table: the exported, null-terminated array through
// which a host finds the property list, the terminology and the bitmaps.
#pragma once

#include "host/PluginResources.h"

extern "C" {
__attribute__((visibility("default"))) extern const PIResourceEntry PIResourceTable[];
}
