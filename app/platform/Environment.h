// The process environment in UTF-8.
#ifndef VEYRA_APP_PLATFORM_ENVIRONMENT_H
#define VEYRA_APP_PLATFORM_ENVIRONMENT_H

#include <string>

namespace veyra::app::platform {

// The variable's value, or "" when it is not set.
std::string environmentVariable(const char* name);

}  // namespace veyra::app::platform

#endif
