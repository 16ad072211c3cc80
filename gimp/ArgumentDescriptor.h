// The values of a non-interactive call, checked against the procedure's
// signature and turned into the descriptor the filter plays back.
#ifndef VEYRA_GIMP_ARGUMENTDESCRIPTOR_H
#define VEYRA_GIMP_ARGUMENTDESCRIPTOR_H

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Descriptor.h"
#include "gimp/ProcedureSignature.h"

namespace veyra::gimp {

// A bad argument; the message names it and says what it takes.
class ArgumentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One argument value as the procedural database delivered it.
struct ArgumentValue {
  ArgType type = ArgType::Int32;
  int32_t integer = 0;
  double number = 0.0;
  std::string text;  // a null string arrives empty
};

// One descriptor item per argument, in the signature's order. Enumerations
// take a value code ("lScr") or name ("KVO screen"); booleans 0 or 1;
// strings at most 255 bytes; numbers must be finite. Throws ArgumentError.
app::Descriptor descriptorFromArguments(const app::ModuleScripting& scripting, const ProcedureSignature& signature,
                                        const std::vector<ArgumentValue>& values);

}  // namespace veyra::gimp

#endif
