// The command line as UTF-8 strings, whatever the system's code page.
#ifndef VEYRA_APP_PLATFORM_ARGUMENTS_H
#define VEYRA_APP_PLATFORM_ARGUMENTS_H

#include <string>
#include <vector>

namespace veyra::app::platform {

// The program's arguments, argv[0] first, in UTF-8. argc and argv are what
// main received; Windows reads the UTF-16 command line instead.
std::vector<std::string> commandLineArguments(int argc, char** argv);

}  // namespace veyra::app::platform

#endif
