// The `veyra` command. Other parts of the application add their options and
// subcommands here, before run().
#include "app/CommandLine.h"

int main(int argc, char** argv) {
  veyra::app::CommandLine cli;
  return cli.run(argc, argv);
}
