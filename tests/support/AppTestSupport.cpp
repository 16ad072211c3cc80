#include "support/AppTestSupport.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

extern char** environ;

namespace veyra::test {

app::Document makeDocument(app::ColorMode mode, int width, int height, bool alpha, uint32_t seed) {
  app::Document doc(width, height, mode, alpha);
  for (int c = 0; c < doc.channelCount(); ++c)
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        doc.at(c, x, y) = static_cast<uint8_t>((x * 7 + y * 13 + c * 61 + seed * 29 + (x * y) % 11) & 0xff);
  if (alpha)
    for (size_t i = 0; i < doc.pixelCount(); ++i) doc.alpha()[i] = static_cast<uint8_t>((i * 37 + seed) & 0xff);
  return doc;
}

app::Document makeFlatDocument(app::ColorMode mode, int width, int height, uint8_t value) {
  app::Document doc(width, height, mode);
  for (int c = 0; c < doc.channelCount(); ++c) std::fill_n(doc.channel(c), doc.pixelCount(), value);
  return doc;
}

app::PluginModule inProcessPlugin() { return app::PluginModule::inProcess(&PluginMain, VEYRA_PLUGIN_PATH); }

app::PluginModule builtModule(const std::string& path) { return app::PluginModule::load(path); }

std::vector<VRect> portRects(const app::HostCalls& calls, app::PortAccess access, int channel) {
  return calls.rects(access, channel);
}

bool writesOutside(const app::HostCalls& calls, const VRect& a) {
  for (const VRect& r : calls.rects(app::PortAccess::Write))
    if (r.bottom > r.top && r.right > r.left &&
        (r.top < a.top || r.left < a.left || r.bottom > a.bottom || r.right > a.right))
      return true;
  return false;
}

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string tmpl = std::string(base && *base ? base : "/tmp") + "/veyra-test-XXXXXX";
  if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

namespace {

void removeTree(const std::string& path) {
  if (DIR* d = opendir(path.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      const std::string child = path + "/" + name;
      struct stat st {};
      if (lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        chmod(child.c_str(), 0700);
        removeTree(child);
      } else {
        unlink(child.c_str());
      }
    }
    closedir(d);
  }
  rmdir(path.c_str());
}

}  // namespace

TempDir::~TempDir() {
  chmod(path_.c_str(), 0700);
  removeTree(path_);
}

std::vector<std::string> TempDir::entries() const { return folderEntries(path_); }

std::vector<std::string> folderEntries(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

namespace {

// The signal mask on one line of /proc/PID/status ("SigCgt:", "SigPnd:"...).
uint64_t signalMask(pid_t pid, const std::string& field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  uint64_t mask = 0;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) mask |= std::stoull(line.substr(field.size()), nullptr, 16);
  return mask;
}

bool hasSignal(uint64_t mask, int signal) { return (mask >> (signal - 1)) & 1; }

}  // namespace

CommandResult runVeyra(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
                       bool interrupt) {
  const auto catchesSigint = [](pid_t pid) { return hasSignal(signalMask(pid, "SigCgt:"), SIGINT); };
  return runVeyraSignalled(args, catchesSigint, interrupt ? std::vector<int>{SIGINT} : std::vector<int>{}, env);
}

CommandResult runVeyraSignalled(const std::vector<std::string>& args, const std::function<bool(pid_t)>& ready,
                                const std::vector<int>& signals, const std::map<std::string, std::string>& env) {
  return runProgramSignalled(VEYRA_EXE_PATH, args, ready, signals, env, "");
}

CommandResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env, bool interrupt, const std::string& folder) {
  const auto catchesSigint = [](pid_t pid) { return hasSignal(signalMask(pid, "SigCgt:"), SIGINT); };
  return runProgramSignalled(program, args, catchesSigint,
                             interrupt ? std::vector<int>{SIGINT} : std::vector<int>{}, env, folder);
}

CommandResult runProgramSignalled(const std::string& program, const std::vector<std::string>& args,
                                  const std::function<bool(pid_t)>& ready, const std::vector<int>& signals,
                                  const std::map<std::string, std::string>& env, const std::string& folder) {
  // The environment and argument vectors are built before fork: the child
  // only calls async-signal-safe functions.
  std::map<std::string, std::string> vars;
  for (char** e = environ; *e != nullptr; ++e) {
    const char* eq = std::strchr(*e, '=');
    if (eq != nullptr) vars[std::string(*e, static_cast<size_t>(eq - *e))] = eq + 1;
  }
  for (const auto& [k, v] : env) {
    if (v.empty())
      vars.erase(k);
    else
      vars[k] = v;
  }
  std::vector<std::string> envStrings;
  for (const auto& [k, v] : vars) envStrings.push_back(k + "=" + v);
  std::vector<char*> envp, argv;
  for (auto& s : envStrings) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string exe = program;
  std::vector<std::string> argStrings = args;
  argv.push_back(exe.data());
  for (auto& s : argStrings) argv.push_back(s.data());
  argv.push_back(nullptr);

  int outPipe[2], errPipe[2];
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0) throw std::runtime_error("pipe failed");
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int devnull = open("/dev/null", O_RDONLY);
    dup2(devnull, 0);
    dup2(outPipe[1], 1);
    dup2(errPipe[1], 2);
    close(outPipe[0]);
    close(errPipe[0]);
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(127);
    execve(exe.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  close(outPipe[1]);
  close(errPipe[1]);
  CommandResult result;
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  int open = 2;
  size_t sent = 0;
  while (open > 0) {
    int timeout = -1;
    if (sent < signals.size()) {
      // A signal sent while the one before is still pending would merge with it.
      const bool previousDelivered =
          sent == 0 || !hasSignal(signalMask(pid, "SigPnd:") | signalMask(pid, "ShdPnd:"), signals[sent - 1]);
      if (previousDelivered && ready(pid)) kill(pid, signals[sent++]);
      timeout = 1;
    }
    if (poll(fds, 2, timeout) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buf[4096];
      const ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n > 0) {
        (i == 0 ? result.out : result.err).append(buf, static_cast<size_t>(n));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

std::string rectText(const VRect& r) {
  return std::to_string(r.top) + "," + std::to_string(r.left) + "," + std::to_string(r.bottom) + "," +
         std::to_string(r.right);
}

}  // namespace veyra::test
