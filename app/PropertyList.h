// A filter module's property list (PiPL resource 16000), read from its
// resource table before the module is called: what kind of module it is, its
// menu name and category, its entry point, the image modes it supports and
// the condition under which it is enabled.
#ifndef VEYRA_APP_PROPERTYLIST_H
#define VEYRA_APP_PROPERTYLIST_H

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/EnableExpression.h"
#include "host/PluginResources.h"

namespace veyra::app {

class PropertyListError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct PropertyList {
  OSType kind = 0;                              // 'kind': '8BFM' for a filter
  std::string name;                             // 'name': the menu item
  std::string category;                         // 'catg': the menu category
  uint32_t version = 0;                         // 'vers'
  std::string entryPoint;                       // 'wx86'
  std::optional<std::array<uint8_t, 4>> modes;  // 'mode' flags
  std::optional<std::string> enable;            // 'enbl' expression text
  struct Terminology {
    uint32_t version = 0;
    OSType eventClass = 0;
    OSType eventId = 0;
    int16_t resourceId = 0;
    std::string scopeId;
  };
  std::optional<Terminology> terminology;  // 'hstm'

  // The menu name without a trailing "..." ("Veyra!").
  std::string displayName() const;
  // Whether the 'mode' flags name this image mode (true when absent).
  bool modeFlagged(int imageMode) const;
};

constexpr OSType kFilterKind = PI_FOURCC('8', 'B', 'F', 'M');
constexpr OSType kPropertyListType = PI_FOURCC('P', 'i', 'P', 'L');
constexpr OSType kTerminologyType = PI_FOURCC('a', 'e', 't', 'e');
constexpr int32_t kPluginResourceId = 16000;

// Parses the bytes of a property list (little-endian, codes byte-reversed).
// Throws PropertyListError for bytes that are not a well-formed list.
PropertyList parsePropertyList(const unsigned char* data, size_t size);

// The resource of the given type and id in a resource table, or null.
const PIResourceEntry* findResource(const PIResourceEntry* table, OSType type, int32_t id);

// The property list of a module's resource table; throws PropertyListError
// when there is none or it is malformed, or when the module is not a filter.
PropertyList readFilterProperties(const PIResourceEntry* table);

// Whether a document of this mode and depth can be filtered: the 'mode'
// flags and the 'enbl' condition must both allow it. Throws
// PropertyListError for an unreadable condition.
bool documentEnabled(const PropertyList& properties, int imageMode, int depth);
// The image modes (0..15) enabled at this depth, in mode order.
std::vector<int> enabledModes(const PropertyList& properties, int depth);

// Throws PropertyListError with a message naming the filter and its
// category when a document of this mode and depth cannot be filtered: the
// 'mode' flags and the 'enbl' condition must both allow it.
void checkDocumentSupported(const PropertyList& properties, int imageMode, int depth);

}  // namespace veyra::app

#endif
