// The one headless GIMP start the batch tests read from: every filter case,
// a repeat with the last values, calls with bad arguments, and a dump of the
// procedure's database entry, each as its own batch command.
#ifndef VEYRA_TESTS_GIMP_GIMPBATCH_H
#define VEYRA_TESTS_GIMP_GIMPBATCH_H

#include <map>
#include <string>

#include "GimpCases.h"
#include "GimpSession.h"

namespace veyra::test {

struct Batch {
  GimpSession gimp;
  GimpSession::Result result;
  std::map<std::string, VRect> areas;  // each case's filter area as GIMP reported it
};

// Runs GIMP on first use.
const Batch& batch();

// The input picture of a drawable kind (a layer mask starts as the RGB one's grey copy).
std::string input(const GimpSession& g, DrawableKind kind);

// Bad calls: the value given to one argument and what GIMP must answer.
struct BadCall {
  const char* key;
  const char* schemeValue;
  const char* answer;
};
const std::vector<BadCall>& badCalls();

}  // namespace veyra::test

#endif
