#include "wine/WineHost.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>

namespace veyra::test {

namespace {

const char* const kWineServer = "/usr/bin/wineserver";
// Programs run with their architecture's own loader, in the process the test
// starts: the wine command takes the 32-bit loader, which would run a 64-bit
// program in a second process behind start.exe, out of reach of the test's
// signals.
const char* const kWineLoader32 = "/usr/lib/wine/wine";
const char* const kWineLoader64 = "/usr/lib/wine/wine64";

const char* loaderOf(const WindowsBuild& build) { return build.arch == "x86" ? kWineLoader32 : kWineLoader64; }

// False when the kernel refuses to execute the program's format (a 32-bit
// program where IA-32 emulation is off): nothing of that architecture can
// run on this machine.
bool kernelExecutes(const char* program) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  char* const argv[] = {const_cast<char*>(program), const_cast<char*>("--version"), nullptr};
  pid_t pid = 0;
  const int error = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
  }
  return error != ENOEXEC;
}

std::map<std::string, std::string> wineEnvironment(const WindowsBuild& build) {
  return {{"WINEPREFIX", build.prefix()},
          {"WINEARCH", build.arch == "x86" ? "win32" : "win64"},
          {"WINEDEBUG", "-all"},
          // No offers to install the .NET and HTML engines into the prefix.
          {"WINEDLLOVERRIDES", "mscoree,mshtml="},
          // Wine turns the UTF-8 arguments into UTF-16 through the locale.
          {"LC_ALL", "C.UTF-8"}};
}

std::string unixLineEnds(std::string text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}

// Runs a Wine command through the shell with no streams a test waits on:
// Wine's server and its services outlive the command and keep the streams
// they were given.
bool runDetached(const std::map<std::string, std::string>& env, const std::string& command) {
  std::string line;
  for (const auto& [k, v] : env) line += k + "='" + v + "' ";
  return std::system((line + command + " </dev/null >/dev/null 2>&1").c_str()) == 0;
}

// Makes each build's Wine prefix once (under a lock: test processes run in
// parallel), then starts its server and services for the whole suite:
// started by a test's own command they would hold its output open for
// seconds after it ends.
class WineEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    for (const WindowsBuild& b : windowsBuilds()) {
      const auto env = wineEnvironment(b);
      // Close-on-exec: a Wine server started here would hold the lock for as long
      // as it lives, and keep the other test processes waiting.
      const int lock = open((b.folder + "/wine-prefix.lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
      if (lock >= 0) flock(lock, LOCK_EX);
      if (!fileExists(b.prefix() + "/system.reg") &&
          !runDetached(env, std::string(loaderOf(b)) + " wineboot --init && " + kWineServer + " -w"))
        ADD_FAILURE() << "wineboot failed for " << b.prefix();
      // A server still running from an earlier suite refuses a second one;
      // it serves this suite as well.
      runDetached(env, std::string(kWineServer) + " -p60");
      if (!runDetached(env, std::string(loaderOf(b)) + " cmd.exe /c exit 0"))
        ADD_FAILURE() << "Wine does not start in " << b.prefix();
      if (lock >= 0) close(lock);
    }
  }
};

const testing::Environment* const kWineEnvironment = testing::AddGlobalTestEnvironment(new WineEnvironment);

}  // namespace

const std::vector<WindowsBuild>& windowsBuilds() {
  static const std::vector<WindowsBuild> builds = [] {
    const char* root = std::getenv("VEYRA_WINDOWS_BUILDS");
    const std::string base = root && *root ? root : std::string(VEYRA_SOURCE_DIR) + "/build";
    std::vector<WindowsBuild> found;
    for (const char* arch : {"x64", "x86"}) {
      WindowsBuild b{arch, base + "/windows-" + arch};
      if (!fileExists(b.exe()) || !fileExists(b.module())) continue;
      if (!kernelExecutes(loaderOf(b))) {
        std::fprintf(stderr, "windows-%s not run: this machine's kernel does not execute %s\n", arch, loaderOf(b));
        continue;
      }
      found.push_back(b);
    }
    return found;
  }();
  return builds;
}

bool windowsRequired() {
  const char* v = std::getenv("VEYRA_REQUIRE_WINDOWS");
  return v != nullptr && std::string(v) == "1";
}

std::string windowsPath(const std::string& linuxPath) {
  std::string p = "Z:" + linuxPath;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

std::string identityPath(const std::string& path) { return path; }

namespace {

CommandResult runUnderWine(const WindowsBuild& build, const std::vector<std::string>& args,
                           const std::map<std::string, std::string>& env, const std::string& folder,
                           const std::function<bool(pid_t)>& ready, const std::vector<int>& signals) {
  auto all = wineEnvironment(build);
  for (const auto& [k, v] : env) all[k] = v;
  std::vector<std::string> wineArgs = {build.exe()};
  wineArgs.insert(wineArgs.end(), args.begin(), args.end());
  CommandResult r = runProgramSignalled(loaderOf(build), wineArgs, ready, signals, all, folder);
  r.out = unixLineEnds(r.out);
  r.err = unixLineEnds(r.err);
  return r;
}

}  // namespace

CommandResult runWindows(const WindowsBuild& build, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env, const std::string& folder) {
  return runUnderWine(build, args, env, folder, [](pid_t) { return true; }, {});
}

CommandResult runWindowsInterrupted(const WindowsBuild& build, const std::vector<std::string>& args,
                                    const std::string& folder) {
  // Wine's loader execs the program in the process it was started as, and
  // maps the DLL from its file, under the file's real path.
  std::unique_ptr<char, void (*)(void*)> real(realpath(build.module().c_str(), nullptr), std::free);
  const std::string module = real ? real.get() : build.module();
  const auto moduleMapped = [&module](pid_t pid) {
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    for (std::string line; std::getline(maps, line);)
      if (line.size() >= module.size() && line.compare(line.size() - module.size(), module.size(), module) == 0)
        return true;
    return false;
  };
  return runUnderWine(build, args, {}, folder, moduleMapped, {SIGINT});
}

CommandResult runLinux(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
                       const std::string& folder) {
  return runProgram(VEYRA_EXE_PATH, args, env, false, folder);
}

}  // namespace veyra::test
