// Scripting from the command line: a module's scripting parameters as its
// resources describe them, --set KEY=VALUE items, and action files (JSON)
// that hold a descriptor for playback (--action) or recording (--record).
//
// Action file shape:
//   {"filter": "Veyra!...", "event": "kvoV",
//    "descriptor": [{"key": "lBrt", "type": "float", "value": 50.0},
//                   {"key": "lBln", "type": "enum", "enumType": "lBld", "value": "lScr"}, ...]}
// Types: "float" (a number), "integer" (a 32-bit integer), "enum" (enumType
// and value codes), "string" (at most 255 bytes), "boolean". A text that is
// not valid UTF-8 is kept exactly as "bytes": its bytes in hexadecimal
// ({"key": "sNam", "type": "string", "bytes": "2f746d702fe92e706e67"}) instead
// of "value".
#ifndef VEYRA_APP_ACTIONFILE_H
#define VEYRA_APP_ACTIONFILE_H

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "app/Descriptor.h"
#include "app/PropertyList.h"
#include "app/Terminology.h"

namespace veyra::app {

// Bad --set values and bad action files; the message names the item and
// what was expected.
class ScriptingInputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What the host knows of a filter's scripting, all from its resources.
struct ModuleScripting {
  PropertyList properties;
  Terminology terminology;
  OSType eventId = 0;  // the filter's event in the terminology

  // Reads the property list and the terminology it names from a resource
  // table. Throws PropertyListError or TerminologyError.
  static ModuleScripting fromResources(const PIResourceEntry* table);
  const TermEvent& event() const;

  // The parameter with this key or terminology name; throws
  // ScriptingInputError listing the valid keys when there is none.
  const TermParameter& parameter(const std::string& keyOrName, const std::string& context) const;
};

// One "KEY=VALUE" of --set as a descriptor item, typed by the terminology.
DescriptorItem parseSetting(const ModuleScripting& scripting, const std::string& assignment);

// The descriptor of an action file's JSON; source names the file in messages.
Descriptor descriptorFromAction(const ModuleScripting& scripting, const nlohmann::json& action,
                                const std::string& source);
Descriptor readActionFile(const ModuleScripting& scripting, const std::string& path);

// The action file's JSON for a descriptor, and writing it (atomically).
nlohmann::ordered_json actionFromDescriptor(const ModuleScripting& scripting, const Descriptor& d);
void writeActionFile(const ModuleScripting& scripting, const Descriptor& d, const std::string& path);

// Items of later settings replace earlier items with the same key.
void mergeDescriptor(Descriptor& into, const DescriptorItem& item);

}  // namespace veyra::app

#endif
