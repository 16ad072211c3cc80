// One undo in GIMP's own window restores the drawable: GIMP with its user
// interface on the virtual display, the filter run by a script, GIMP's undo
// key pressed in the image window, and the layer read back through
// Script-Fu's server.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <thread>

#include "GimpCases.h"
#include "GimpSession.h"
#include "app/ImageFile.h"

namespace veyra::test {
namespace {

constexpr int kPort = 10778;

// One command to Script-Fu's server: 'G', length (16 bits, big-endian),
// text; the answer is 'G', an error flag, a length and text.
bool serverCommand(const std::string& command, std::string& answer) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(kPort);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  std::string packet = "G";
  packet += static_cast<char>(command.size() >> 8);
  packet += static_cast<char>(command.size() & 0xff);
  packet += command;
  ok = ok && write(fd, packet.data(), packet.size()) == static_cast<ssize_t>(packet.size());
  unsigned char head[4];
  ok = ok && recv(fd, head, 4, MSG_WAITALL) == 4;
  if (ok) {
    answer.assign((head[2] << 8) | head[3], '\0');
    ok = answer.empty() || recv(fd, answer.data(), answer.size(), MSG_WAITALL) == static_cast<ssize_t>(answer.size());
    ok = ok && head[1] == 0;
  }
  close(fd);
  return ok;
}

bool waitFor(const std::function<bool()>& done, int seconds) {
  for (int i = 0; i < seconds * 4; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
  return false;
}

TEST(GimpUndo, OneUndoInGimpsWindowRestoresTheLayer) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  GimpSession g;
  writePng(makeDocument(app::ColorMode::RGB, kImageW, kImageH, false, 3), g.file("rgb.png"));
  const std::string setup = std::string(kSchemeHelpers) +
                            "(let* ((img (car (gimp-file-load RUN-NONINTERACTIVE " + schemeString(g.file("rgb.png")) +
                            " \"rgb.png\")))\n (drw (car (gimp-image-get-active-drawable img))))\n"
                            " (gimp-display-new img)\n (gimp-image-clean-all img)\n"
                            " (plug-in-veyra RUN-NONINTERACTIVE img drw" +
                            schemeArguments(settingSets()[1]) + ")\n (gimp-displays-flush)\n (save-layer img drw " +
                            schemeString(g.file("filtered.png")) + "))\n";
  std::ofstream(g.file("setup.scm")) << setup;
  const std::string command = "cd '" + g.folder() + "' && exec env HOME='" + g.file("home") +
                              "' ASAN_OPTIONS=detect_leaks=0 gimp-2.10 -n -d -f -s --gimprc '" + g.file("gimprc") +
                              "' -b \"$(cat setup.scm)\" -b '(plug-in-script-fu-server 1 \"127.0.0.1\" " +
                              std::to_string(kPort) + " \"\")' > gimp.log 2>&1";
  const pid_t gimp = fork();
  ASSERT_GE(gimp, 0);
  if (gimp == 0) {
    setpgid(0, 0);
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  std::string answer;
  const bool serving =
      waitFor([&] { return fileExists(g.file("filtered.png")) && serverCommand("(gimp-version)", answer); }, 240);
  bool undone = false;
  if (serving) {
    // GIMP's image window ("rgb.png-1.0 (RGB color ...) - GIMP") takes the
    // keyboard focus, then gets its undo key.
    const std::string key = "timeout 60 xdotool search --sync --name 'rgb\\.png-[0-9]' windowfocus --sync key ctrl+z";
    undone = std::system(key.c_str()) == 0;
    std::this_thread::sleep_for(std::chrono::seconds(2));
    serverCommand(std::string(kSchemeHelpers) +
                      "(let* ((img (vector-ref (cadr (gimp-image-list)) 0))"
                      " (drw (car (gimp-image-get-active-drawable img))))"
                      " (save-layer img drw " + schemeString(g.file("undone.png")) + "))",
                  answer);
    serverCommand("(gimp-quit 1)", answer);
  }
  if (!waitFor([&] { return waitpid(gimp, nullptr, WNOHANG) == gimp; }, 30)) {
    kill(-gimp, SIGKILL);
    waitpid(gimp, nullptr, 0);
  }
  std::ifstream log(g.file("gimp.log"));
  const std::string output((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  ASSERT_TRUE(serving) << output;
  ASSERT_TRUE(undone) << "xdotool found no image window\n" << output;
  const app::Document original = app::loadImage(g.file("rgb.png"));
  EXPECT_NE(app::loadImage(g.file("filtered.png")), original);
  ASSERT_TRUE(fileExists(g.file("undone.png"))) << answer << "\n" << output;
  EXPECT_EQ(app::loadImage(g.file("undone.png")), original);
}

}  // namespace
}  // namespace veyra::test
