// Helpers for tests that run the plug-in through the real host: small
// in-memory documents of each mode, the plug-in in-process or as the built
// module, temporary folders, and running the veyra executable.
#ifndef VEYRA_TESTS_SUPPORT_APPTESTSUPPORT_H
#define VEYRA_TESTS_SUPPORT_APPTESTSUPPORT_H

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/Document.h"
#include "app/FilterHost.h"
#include "app/PluginModule.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);

namespace veyra::test {

// A document whose samples follow a fixed pattern that differs per channel,
// row and column (seed varies it); the alpha, when asked for, too.
app::Document makeDocument(app::ColorMode mode, int width, int height, bool alpha = false, uint32_t seed = 1);

// Every sample of every channel set to value.
app::Document makeFlatDocument(app::ColorMode mode, int width, int height, uint8_t value);

// The plug-in linked into the test executable; its module path is the built
// module's, so that it finds the "Patterns" folder beside it.
app::PluginModule inProcessPlugin();
// The built module, loaded with dlopen from path (default: the build's module).
app::PluginModule builtModule(const std::string& path = VEYRA_PLUGIN_PATH);

// A FilterHost with its document, for tests that need both alive together.
struct HostedDocument {
  explicit HostedDocument(app::Document d) : doc(std::move(d)), host(doc) {}
  app::Document doc;
  app::FilterHost host;
};

// The rectangles of the channel-port calls of one kind, for one channel or all.
std::vector<VRect> portRects(const app::HostCalls& calls, app::PortAccess access, int channel = -1);
// True when some write reached outside the rectangle.
bool writesOutside(const app::HostCalls& calls, const VRect& area);

// A fresh folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Names of the entries in the folder, sorted.
  std::vector<std::string> entries() const;

 private:
  std::string path_;
};

// Names of the entries in a folder, sorted.
std::vector<std::string> folderEntries(const std::string& folder);

std::vector<uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool fileExists(const std::string& path);

struct CommandResult {
  int status = -1;  // exit status, or 128 + signal
  std::string out;
  std::string err;
};
// Runs the veyra executable with the arguments; env entries are added to the
// environment (an empty value removes the variable).
// With interrupt, SIGINT is sent as soon as the process has a handler for it
// (watched in /proc/PID/status), as a user's Ctrl-C during the run.
CommandResult runVeyra(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {},
                       bool interrupt = false);
// Runs veyra and sends it the signals in order, each once ready(pid) answers
// true (asked every millisecond) and the one before was delivered.
CommandResult runVeyraSignalled(const std::vector<std::string>& args, const std::function<bool(pid_t)>& ready,
                                const std::vector<int>& signals, const std::map<std::string, std::string>& env = {});

// The same for any program (an absolute path), run in folder when one is given.
CommandResult runProgramSignalled(const std::string& program, const std::vector<std::string>& args,
                                  const std::function<bool(pid_t)>& ready, const std::vector<int>& signals,
                                  const std::map<std::string, std::string>& env, const std::string& folder);
CommandResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env = {}, bool interrupt = false,
                         const std::string& folder = "");

std::string rectText(const VRect& r);

}  // namespace veyra::test

#endif
