// A module's scripting terminology ('aete' resource), parsed from its bytes
// as compiled for Windows: little-endian integers, four-character codes
// byte-reversed, length-prefixed strings without padding. The host knows the
// filter's scripting parameters only through it.
#ifndef VEYRA_APP_TERMINOLOGY_H
#define VEYRA_APP_TERMINOLOGY_H

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/PITypes.h"

namespace veyra::app {

class TerminologyError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TermEnumValue {
  std::string name;
  OSType code = 0;
  std::string description;
};

struct TermEnumeration {
  OSType type = 0;
  std::vector<TermEnumValue> values;
  // The value with this code or this name, or null.
  const TermEnumValue* find(const std::string& codeOrName) const;
};

struct TermParameter {
  std::string name;
  OSType key = 0;
  OSType type = 0;  // 'doub', 'long', 'TEXT', 'bool' or an enumeration type
  uint16_t flags = 0;
  std::string description;
};

struct TermEvent {
  std::string name;
  std::string description;
  OSType eventClass = 0;
  OSType id = 0;
  OSType replyType = 0;
  std::string replyDescription;
  uint16_t replyFlags = 0;
  OSType directType = 0;
  std::string directDescription;
  uint16_t directFlags = 0;
  std::vector<TermParameter> parameters;
};

struct TermSuite {
  std::string name;
  std::string description;
  OSType id = 0;
  int16_t level = 0;
  int16_t version = 0;
  std::vector<TermEvent> events;
  std::vector<TermEnumeration> enumerations;
};

struct Terminology {
  uint8_t majorVersion = 0;
  uint8_t minorVersion = 0;
  int16_t language = 0;
  int16_t script = 0;
  std::vector<TermSuite> suites;

  // The event with this id in any suite, or null.
  const TermEvent* findEvent(OSType id) const;
  // The enumeration of this type in any suite, or null.
  const TermEnumeration* findEnumeration(OSType type) const;
};

// Throws TerminologyError naming what ends early or is out of place.
Terminology parseTerminology(const unsigned char* data, size_t size);

// A parameter of event by its four-character key or its terminology name, or null.
const TermParameter* findParameter(const TermEvent& event, const std::string& keyOrName);

// The kind of descriptor value a terminology type asks for.
enum class TermValueKind { Float, Integer, Enumerated, String, Boolean, Unsupported };
TermValueKind valueKindOf(const Terminology& terms, const TermParameter& parameter);
// "float", "integer", "enum", "string", "boolean" (the action file's type names).
const char* valueKindName(TermValueKind kind);

}  // namespace veyra::app

#endif
