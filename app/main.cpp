// The `veyra` command. Other parts of the application add their options and
// subcommands here, before run().
#include "app/CommandLine.h"
#include "app/DialogServices.h"
#include "app/GimpInstall.h"
#include "app/ScriptingCommand.h"
#include "app/platform/Arguments.h"

int main(int argc, char** argv) {
  veyra::app::CommandLine cli;
  cli.addExtension(veyra::app::makeDialogExtension());
  veyra::app::addScriptingCommands(cli);
  veyra::app::addGimpInstallCommands(cli);
  return cli.run(veyra::app::platform::commandLineArguments(argc, argv));
}
