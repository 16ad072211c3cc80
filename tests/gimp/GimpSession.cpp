#include "GimpSession.h"

#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace veyra::test {

const char* const kSchemeHelpers = R"scm(
(define (save-layer img drw path)
  (file-png-save2 RUN-NONINTERACTIVE img drw path path 0 9 0 0 0 0 0 0 1))
(define (export-channel img drw path)
  (gimp-edit-copy drw)
  (let* ((copy (car (gimp-edit-paste-as-new-image)))
         (layer (car (gimp-image-get-active-drawable copy))))
    (save-layer copy layer path)
    (gimp-image-delete copy)))
(define (put-fields port fields)
  (for-each (lambda (f) (display f port) (display "\t" port)) fields)
  (newline port))
)scm";

std::string schemeString(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

GimpSession::GimpSession(const std::string& pluginFolder) {
  const std::string plugins = dir_.file("plug-ins");
  const std::string system = "/usr/lib/gimp/2.0/plug-ins";
  const std::string veyra =
      pluginFolder.empty() ? "mkdir '" + plugins + "/veyra-gimp' && ln -s '" VEYRA_GIMP_EXE_PATH "' '" + plugins +
                                 "/veyra-gimp/veyra-gimp'"
                           : "ln -s '" + pluginFolder + "' '" + plugins + "/veyra-gimp'";
  const std::string setup = "mkdir -p '" + plugins + "' '" + dir_.file("home") + "' && ln -s " + system +
                            "/script-fu " + system + "/file-png '" + plugins + "/' && " + veyra;
  if (std::system(setup.c_str()) != 0) throw std::runtime_error("cannot prepare " + plugins);
  std::ofstream(dir_.file("gimprc")) << "(plug-in-path \"" << plugins << "\")\n";
}

GimpSession::Result GimpSession::run(const std::vector<std::string>& commands,
                                     const std::map<std::string, std::string>& env) const {
  std::string cmd = "cd '" + dir_.path() + "' && env HOME='" + dir_.file("home") +
                    "' ASAN_OPTIONS=detect_leaks=0";
  for (const auto& [k, v] : env) cmd += " " + k + "='" + v + "'";
  cmd += " gimp-console-2.10 -i -d -f -n --gimprc '" + dir_.file("gimprc") + "'";
  for (size_t i = 0; i < commands.size(); ++i) {
    const std::string name = dir_.file("batch" + std::to_string(i) + ".scm");
    std::ofstream(name) << commands[i];
    cmd += " -b \"$(cat '" + name + "')\"";
  }
  cmd += " -b '(gimp-quit 0)' 2>&1";
  Result r;
  const auto start = std::chrono::steady_clock::now();
  FILE* p = popen(cmd.c_str(), "r");
  if (p == nullptr) throw std::runtime_error("cannot start GIMP");
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
  const int status = pclose(p);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return r;
}

}  // namespace veyra::test
