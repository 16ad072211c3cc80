// The property list (PiPL) and the scripting terminology ('aete'), id 16000,
// assembled at compile time from the scripting tables so that the bytes
// cannot drift from the keys, names and codes the plug-in reads and writes.
// Both use the layout a Windows resource of that type holds: little-endian
// integers and four-character codes stored byte-reversed (that is, as
// little-endian 32-bit values).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "host/PITypes.h"
#include "host/ScriptingTable.h"

namespace veyra {
namespace resources {

constexpr int32_t kResourceId = 16000;
constexpr OSType kPiPLType = PI_FOURCC('P', 'i', 'P', 'L');
constexpr OSType kAeteType = PI_FOURCC('a', 'e', 't', 'e');

constexpr const char kFilterName[] = "Veyra!...";
constexpr const char kCategory[] = "Tarnwell Imaging";
constexpr const char kEntryPoint[] = "PluginMain";

// The property list of a 32-bit module names its entry point for x86 hosts
// only; a 64-bit Windows module names the same function for x64 hosts too.
enum class PropertyListForm { X86, X64 };
constexpr const char kEnableExpression[] = "in (PSHOP_ImageMode, RGBMode, GrayScaleMode, CMYKMode)";

// Byte sinks: the same writer runs once to count and once to fill.
struct CountingSink {
  std::size_t size = 0;
  constexpr void byte(unsigned char) { ++size; }
};

template <std::size_t N>
struct ArraySink {
  std::array<unsigned char, N> bytes{};
  std::size_t size = 0;
  constexpr void byte(unsigned char b) { bytes[size++] = b; }
};

constexpr std::size_t textLength(const char* s) {
  std::size_t n = 0;
  while (s[n] != 0) ++n;
  return n;
}

template <typename Sink>
constexpr void put16(Sink& s, uint16_t v) {
  s.byte(static_cast<unsigned char>(v & 0xFF));
  s.byte(static_cast<unsigned char>(v >> 8));
}
template <typename Sink>
constexpr void put32(Sink& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s.byte(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
}
// A length-prefixed string without padding (at most 255 characters).
template <typename Sink>
constexpr void putPascal(Sink& s, const char* text) {
  const std::size_t n = textLength(text);
  s.byte(static_cast<unsigned char>(n));
  for (std::size_t i = 0; i < n; ++i) s.byte(static_cast<unsigned char>(text[i]));
}
template <typename Sink>
constexpr void putZeroTerminated(Sink& s, const char* text) {
  const std::size_t n = textLength(text);
  for (std::size_t i = 0; i <= n; ++i) s.byte(static_cast<unsigned char>(text[i]));
}

// ---- scripting terminology -------------------------------------------------

template <typename Sink>
constexpr void writeTerminology(Sink& s) {
  using namespace scripting;
  s.byte(1);  // version 1.0
  s.byte(0);
  put16(s, 0);  // language
  put16(s, 0);  // script
  put16(s, 1);  // one suite
  putPascal(s, "KVO");
  putPascal(s, "Veyra!");
  put32(s, kEventCode);
  put16(s, 1);  // level
  put16(s, 1);  // version
  put16(s, 1);  // one event
  putPascal(s, "KVO Veyra!");
  putPascal(s, "Add light and shadow to a scene.");
  put32(s, kEventCode);  // class
  put32(s, kEventCode);  // id
  put32(s, typeNull);    // reply type, no description, flags 0
  putPascal(s, "");
  put16(s, 0);
  put32(s, PI_FOURCC('#', 'I', 'm', 'R'));  // direct parameter: the target image
  putPascal(s, "");
  put16(s, 0xB000);
  put16(s, static_cast<uint16_t>(kParameterCount));
  for (int position = 0; position < kParameterCount; ++position) {
    const Parameter& p = kParameters[parameterAtTermPosition(position)];
    putPascal(s, p.name);
    put32(s, p.key);
    put32(s, p.termType);
    putPascal(s, p.description);
    put16(s, p.flags);
  }
  put16(s, 0);  // classes
  put16(s, 0);  // comparison operators
  put16(s, static_cast<uint16_t>(kEnumerationCount));
  for (int e = 0; e < kEnumerationCount; ++e) {
    put32(s, kEnumerations[e].type);
    put16(s, static_cast<uint16_t>(kEnumerations[e].count));
    for (int v = 0; v < kEnumerations[e].count; ++v) {
      putPascal(s, kEnumerations[e].values[v].name);
      put32(s, kEnumerations[e].values[v].code);
      putPascal(s, kEnumerations[e].values[v].description);
    }
  }
}

// ---- property list -----------------------------------------------------------

// Property data writers, one per property, in list order.
enum class Property { Kind, Name, Category, Version, Entry, EntryX64, Mode, Terminology, Enable, FilterCases, Count };

template <typename Sink>
constexpr void writePropertyData(Sink& s, Property p) {
  switch (p) {
    case Property::Kind:
      put32(s, PI_FOURCC('8', 'B', 'F', 'M'));
      break;
    case Property::Name:
      putPascal(s, kFilterName);
      break;
    case Property::Category:
      putPascal(s, kCategory);
      break;
    case Property::Version:
      put32(s, 0x00040000);  // interface version 4.0
      break;
    case Property::Entry:
    case Property::EntryX64:
      putZeroTerminated(s, kEntryPoint);
      break;
    case Property::Mode:
      // Flag bits from the high bit of the first byte down, one per image
      // mode: grayscale (0x40), RGB (0x10), CMYK (0x08).
      s.byte(0x58);
      s.byte(0);
      s.byte(0);
      s.byte(0);
      break;
    case Property::Terminology:
      put32(s, 0);                      // version
      put32(s, scripting::kEventCode);  // class
      put32(s, scripting::kEventCode);  // event
      put16(s, static_cast<uint16_t>(scripting::kTerminologyId));
      // The scope identifier, zero-terminated and padded to a multiple of 4
      // bytes on its own (37 -> 40): 54 bytes, 56 with the property's padding.
      putZeroTerminated(s, scripting::kScopeId);
      for (std::size_t k = textLength(scripting::kScopeId) + 1; k % 4 != 0; ++k) s.byte(0);
      break;
    case Property::Enable:
      putZeroTerminated(s, kEnableExpression);
      break;
    case Property::FilterCases:
      // Seven filter cases: input and output handling 4 (white matte), flags
      // 4 (filters layer masks), second flags 0.
      for (int c = 0; c < 7; ++c) {
        s.byte(4);
        s.byte(4);
        s.byte(4);
        s.byte(0);
      }
      break;
    case Property::Count:
      break;
  }
}

constexpr OSType propertyKey(Property p) {
  switch (p) {
    case Property::Kind:
      return PI_FOURCC('k', 'i', 'n', 'd');
    case Property::Name:
      return PI_FOURCC('n', 'a', 'm', 'e');
    case Property::Category:
      return PI_FOURCC('c', 'a', 't', 'g');
    case Property::Version:
      return PI_FOURCC('v', 'e', 'r', 's');
    case Property::Entry:
      return PI_FOURCC('w', 'x', '8', '6');
    case Property::EntryX64:
      return PI_FOURCC('8', '6', '6', '4');
    case Property::Mode:
      return PI_FOURCC('m', 'o', 'd', 'e');
    case Property::Terminology:
      return PI_FOURCC('h', 's', 't', 'm');
    case Property::Enable:
      return PI_FOURCC('e', 'n', 'b', 'l');
    case Property::FilterCases:
      return PI_FOURCC('f', 'i', 'c', 'i');
    case Property::Count:
      break;
  }
  return 0;
}

template <typename Sink>
constexpr void writePropertyList(Sink& s, PropertyListForm form) {
  const bool x64 = form == PropertyListForm::X64;
  const int count = static_cast<int>(Property::Count) - (x64 ? 0 : 1);
  put16(s, 1);
  put32(s, 0);  // version
  put32(s, static_cast<uint32_t>(count));
  for (int i = 0; i < static_cast<int>(Property::Count); ++i) {
    const Property p = static_cast<Property>(i);
    if (p == Property::EntryX64 && !x64) continue;
    CountingSink measure;
    writePropertyData(measure, p);
    const std::size_t padded = (measure.size + 3) / 4 * 4;
    put32(s, PI_FOURCC('8', 'B', 'I', 'M'));
    put32(s, propertyKey(p));
    put32(s, 0);  // id
    put32(s, static_cast<uint32_t>(padded));
    writePropertyData(s, p);
    for (std::size_t k = measure.size; k < padded; ++k) s.byte(0);
  }
}

// ---- the finished byte blocks ------------------------------------------------

template <void (*Writer)(CountingSink&)>
constexpr std::size_t measured() {
  CountingSink c;
  Writer(c);
  return c.size;
}

constexpr std::size_t propertyListSize(PropertyListForm form) {
  CountingSink c;
  writePropertyList(c, form);
  return c.size;
}

constexpr std::size_t kTerminologySize = measured<writeTerminology<CountingSink>>();

constexpr std::array<unsigned char, kTerminologySize> buildTerminology() {
  ArraySink<kTerminologySize> s;
  writeTerminology(s);
  return s.bytes;
}
template <PropertyListForm Form>
constexpr std::array<unsigned char, propertyListSize(Form)> buildPropertyList() {
  ArraySink<propertyListSize(Form)> s;
  writePropertyList(s, Form);
  return s.bytes;
}

}  // namespace resources
}  // namespace veyra
