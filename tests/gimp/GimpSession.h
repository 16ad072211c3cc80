// A headless GIMP 2.10 for tests: a fresh profile folder (made by GIMP's own
// first run), a plug-in path holding only Script-Fu, the PNG plug-in and
// the veyra-gimp under test, and batches of Script-Fu run in one GIMP start.
#ifndef VEYRA_TESTS_GIMP_GIMPSESSION_H
#define VEYRA_TESTS_GIMP_GIMPSESSION_H

#include <map>
#include <string>
#include <vector>

#include "support/AppTestSupport.h"

namespace veyra::test {

class GimpSession {
 public:
  // pluginFolder: a folder holding veyra-gimp (an installation) to use
  // instead of the build's veyra-gimp.
  explicit GimpSession(const std::string& pluginFolder = "");
  const std::string& folder() const { return dir_.path(); }
  std::string file(const std::string& name) const { return dir_.file(name); }

  struct Result {
    int status = -1;
    std::string output;  // stdout and stderr together
    double seconds = 0;
  };
  // Starts GIMP, runs each command as its own batch command, then quits.
  Result run(const std::vector<std::string>& commands, const std::map<std::string, std::string>& env = {}) const;

 private:
  TempDir dir_;
};

// A Scheme string literal.
std::string schemeString(const std::string& s);

// Script-Fu helpers the batches use: (save-layer img drw path) and
// (export-channel img drw path) write PNGs (colours of transparent pixels
// kept); (put-fields port list) writes a tab-separated line.
extern const char* const kSchemeHelpers;

}  // namespace veyra::test

#endif
