#include "app/platform/Environment.h"

#include <cstdlib>

namespace veyra::app::platform {

std::string environmentVariable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace veyra::app::platform
