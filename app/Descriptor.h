// Scripting descriptors on the host side: an ordered list of typed items, and
// the byte form in which a descriptor travels in a host handle between the
// host and the plug-in.
#ifndef VEYRA_APP_DESCRIPTOR_H
#define VEYRA_APP_DESCRIPTOR_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/PIDescriptor.h"
#include "host/PITypes.h"

namespace veyra::app {

struct DescriptorItem {
  enum class Kind { Float, Integer, Enumerated, String, Boolean };

  DescriptorKeyID key = 0;
  Kind kind = Kind::Float;
  double number = 0.0;            // Float
  int32 integer = 0;              // Integer
  DescriptorTypeID enumType = 0;  // Enumerated: type code
  OSType enumValue = 0;           // Enumerated: value code
  std::string text;               // String
  bool flag = false;              // Boolean

  static DescriptorItem makeFloat(DescriptorKeyID key, double v);
  static DescriptorItem makeInteger(DescriptorKeyID key, int32 v);
  static DescriptorItem makeEnumerated(DescriptorKeyID key, DescriptorTypeID type, OSType value);
  static DescriptorItem makeString(DescriptorKeyID key, std::string v);
  static DescriptorItem makeBoolean(DescriptorKeyID key, bool v);

  // The descriptor type code of the item ('doub', 'long', 'enum', 'TEXT', 'bool').
  DescriptorTypeID typeCode() const;
  bool operator==(const DescriptorItem& o) const;
  bool operator!=(const DescriptorItem& o) const { return !(*this == o); }
};

// Items in stored order; a key may appear more than once (later items are
// read later, so they win).
using Descriptor = std::vector<DescriptorItem>;

// The byte form kept in a descriptor handle. decode answers nothing for bytes
// that are not a well-formed descriptor.
std::vector<char> encodeDescriptor(const Descriptor& d);
std::optional<Descriptor> decodeDescriptor(const char* bytes, size_t size);

// A four-character code as text ("lBrt"), and back; parseFourCC answers
// nothing unless the text is exactly four characters.
std::string fourCCText(uint32_t code);
std::optional<uint32_t> parseFourCC(const std::string& text);

}  // namespace veyra::app

#endif
