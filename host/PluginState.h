// The plug-in's private state, kept by the host in the data slot between
// calls: the dialog's view choice.
#pragma once

#include <cstdint>

namespace veyra {

struct PluginState {
  int32_t viewMode = 0;  // 0 result, 1 light map, 2 shape, 3 unprocessed
  int32_t reserved[3] = {0, 0, 0};
};

}  // namespace veyra
