// The `veyra` command: subcommands apply, edit and about, with room for
// other parts of the application to add options (RunExtension) and
// subcommands (app()).
#ifndef VEYRA_APP_COMMANDLINE_H
#define VEYRA_APP_COMMANDLINE_H

#include <CLI/CLI.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/FilterHost.h"
#include "app/ImageFile.h"
#include "app/PluginModule.h"

namespace veyra::app {

// Exit statuses of the command.
enum ExitStatus { kExitSuccess = 0, kExitFilterFailed = 1, kExitUsage = 2, kExitCancelled = 3 };

// A failure that ends the command with a one-line message and a status.
class CommandError : public std::runtime_error {
 public:
  CommandError(int status, const std::string& message) : std::runtime_error(message), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

// What every run command (apply, edit) is given on the command line.
struct RunOptions {
  std::string input;
  std::string output;
  std::string rect;    // "T,L,B,R", empty for the whole image
  std::string plugin;  // --plugin, empty to look the module up
  std::string record;  // --record: the action file to write the recorded parameters to
  bool quiet = false;
  bool editing = false;  // edit: the dialog is asked for
  uint64_t maxPixels = kDefaultMaxPixels;  // --max-pixels: the largest INPUT read
};

// apply's files and how several are written.
struct BatchOptions {
  std::vector<std::string> files;  // INPUT OUTPUT, or INPUT... with --out-dir
  std::string outDir;              // --out-dir
  std::string suffix;              // --suffix: added to each output's name before its extension
  int jobs = 0;                    // -j: pictures at once; 0 for one per processor
};

// Adds to the run commands. The scripting part adds --set and --action here
// and writes --record; the dialog part hooks the display service.
class RunExtension {
 public:
  virtual ~RunExtension() = default;
  // Called once for each run command when the command line is built.
  virtual void addOptions(CLI::App& command, bool editing) { (void)command, (void)editing; }
  // After the input is read and the module loaded, before the filter runs.
  // Throw CommandError(kExitUsage, ...) for bad options.
  virtual void beforeRun(FilterHost& host, const PluginModule& module, const RunOptions& options) {
    (void)host, (void)module, (void)options;
  }
  // After a successful run, before the output is written.
  virtual void afterRun(FilterHost& host, const PluginModule& module, const RunOptions& options) {
    (void)host, (void)module, (void)options;
  }
  // Before the about box is shown (about has no run options).
  virtual void beforeAbout(FilterHost& host, const PluginModule& module) { (void)host, (void)module; }
};

class CommandLine {
 public:
  CommandLine();
  // Extensions must be added before run().
  void addExtension(std::unique_ptr<RunExtension> extension);
  // The top-level command, for other subcommands (info, ...).
  CLI::App& app() { return app_; }
  // Parses and runs; answers the exit status. Messages go to stderr.
  int run(int argc, char** argv);
  // The same with the arguments as UTF-8 strings, the program's name first.
  int run(std::vector<std::string> args);

  // Loads the module the options name (--plugin, VEYRA_PLUGIN, beside the
  // executable); CommandError(kExitUsage) when missing or unusable.
  static PluginModule loadModule(const std::string& pluginOption);

 private:
  CLI::App* addRunCommand(const std::string& name, const std::string& description, bool editing);
  // One picture. With report, progress goes there instead of a bar.
  int runFilter(const RunOptions& options, const std::function<void(int32, int32)>& report = nullptr);
  // apply: one picture as INPUT OUTPUT, or each INPUT into --out-dir.
  int runApply();
  // Several pictures in worker processes, one bar and one summary for all.
  int runBatch(const std::vector<RunOptions>& runs);
  int runAbout(const std::string& plugin);

  CLI::App app_;
  std::vector<std::unique_ptr<RunExtension>> extensions_;
  std::vector<std::pair<CLI::App*, bool>> runCommands_;
  RunOptions apply_, edit_;
  BatchOptions batch_;
  std::string aboutPlugin_;
};

// Parses "T,L,B,R" (four integers); throws CommandError(kExitUsage).
VRect parseRect(const std::string& text);

// Writes the document to path atomically (AtomicFile). Throws ImageError; no
// temporary file is left behind. Answers false, writing nothing, when Ctrl-C
// came while the file was being written.
bool writeAtomically(const Document& doc, const std::string& path, FileFormat format);

// Throws CommandError(kExitUsage) unless path's folder exists and is writable
// and path itself is not a folder.
void checkOutputPath(const std::string& path);

// Where a batch writes input: in folder, under input's name with suffix
// before its extension ("a/photo.jpg", "out", "-lit" gives "out/photo-lit.jpg").
std::string batchOutputPath(const std::string& input, const std::string& folder, const std::string& suffix);

}  // namespace veyra::app

#endif
