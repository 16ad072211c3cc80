#include "app/platform/Arguments.h"

namespace veyra::app::platform {

// The arguments are bytes, UTF-8 on any system set up for it; they pass
// through unchanged.
std::vector<std::string> commandLineArguments(int argc, char** argv) { return {argv, argv + argc}; }

}  // namespace veyra::app::platform
