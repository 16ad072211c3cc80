// The one description of the filter's scripting parameters: descriptor key,
// value kind, terminology name and type, enumeration codes and the field of
// the parameter record each key carries. The key list handed to the host, the
// order in which a run is recorded, the enumeration code tables and the
// terminology resource are all derived from these tables.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "host/LightParameters.h"
#include "host/PIDescriptor.h"
#include "host/PITypes.h"

namespace veyra {
namespace scripting {

// The scope identifier: names the filter in the host's descriptor registry
// and in the property list's terminology property.
constexpr const char kScopeId[] = "AF4DC27E-0910-4D0B-9262-2738D5492C2A";
static_assert(sizeof(kScopeId) == 37, "a UUID in textual form has 36 characters");

// Class and event code of the filter in the terminology.
constexpr OSType kEventCode = PI_FOURCC('k', 'v', 'o', 'V');
constexpr int16_t kTerminologyId = 16000;

struct EnumValue {
  const char* name;  // terminology name
  OSType code;       // value code; its position is the record's index
  const char* description;
};

struct Enumeration {
  OSType type;
  const EnumValue* values;
  int count;
};

constexpr EnumValue kChannelValues[] = {
    {"KVO luminance", PI_FOURCC('l', 'u', 'm', 'C'), "base on luminance"},
    {"KVO red", PI_FOURCC('r', 'e', 'd', 'C'), "base on red channel"},
    {"KVO green", PI_FOURCC('g', 'r', 'n', 'C'), "base on green channel"},
    {"KVO blue", PI_FOURCC('b', 'l', 'u', 'C'), "base on blue channel"},
    {"KVO cyan", PI_FOURCC('c', 'y', 'n', 'C'), "base on cyan channel"},
    {"KVO magenta", PI_FOURCC('m', 'a', 'g', 'C'), "base on magenta channel"},
    {"KVO yellow", PI_FOURCC('y', 'e', 'l', 'C'), "base on yellow channel"},
    {"KVO hue", PI_FOURCC('h', 'u', 'e', 'C'), "base on hue channel"},
    {"KVO saturation", PI_FOURCC('s', 'a', 't', 'C'), "base on saturation channel"},
};
constexpr EnumValue kLightBlendValues[] = {
    {"KVO add", PI_FOURCC('l', 'A', 'd', 'd'), "Add"},
    {"KVO subtract", PI_FOURCC('l', 'S', 'u', 'b'), "Subtract"},
    {"KVO screen", PI_FOURCC('l', 'S', 'c', 'r'), "Screen"},
};
constexpr EnumValue kShapeBlendValues[] = {
    {"KVO none", PI_FOURCC('s', 'N', 'o', 'n'), "None"},
    {"KVO only", PI_FOURCC('s', 'O', 'n', 'l'), "Only"},
    {"KVO add", PI_FOURCC('s', 'A', 'd', 'd'), "Add"},
    {"KVO subtract", PI_FOURCC('s', 'S', 'u', 'b'), "Subtract"},
    {"KVO multiply", PI_FOURCC('s', 'M', 'u', 'l'), "Multiply"},
    {"KVO screen", PI_FOURCC('s', 'S', 'c', 'r'), "Screen"},
    {"KVO difference", PI_FOURCC('s', 'D', 'i', 'f'), "Difference"},
    {"KVO darken", PI_FOURCC('s', 'D', 'r', 'k'), "Darken"},
    {"KVO lighten", PI_FOURCC('s', 'L', 'g', 't'), "Lighten"},
};
constexpr EnumValue kSourceValues[] = {
    {"KVO image", PI_FOURCC('s', 'I', 'm', 'g'), "Image"},
    {"KVO matte", PI_FOURCC('s', 'M', 'a', 't'), "Matte"},
};

// Enumerations in the order the terminology lists them.
enum EnumerationIndex {
  kEnumChannel = 0,
  kEnumLightBlend = 1,
  kEnumShapeBlend = 2,
  kEnumSource = 3,
  kNoEnum = -1
};
constexpr Enumeration kEnumerations[] = {
    {PI_FOURCC('u', 's', 'e', 'C'), kChannelValues, 9},
    {PI_FOURCC('l', 'B', 'l', 'd'), kLightBlendValues, 3},
    {PI_FOURCC('s', 'B', 'l', 'd'), kShapeBlendValues, 9},
    {PI_FOURCC('s', 'o', 'r', 'C'), kSourceValues, 2},
};
constexpr int kEnumerationCount = 4;

// How a descriptor carries a parameter.
enum class ValueKind {
  Float,       // float, read and written as a float
  Color,       // integer 0..65535: written as an integer, read as a float cut to 16 bits
  Enumerated,  // enumerated (type, value code), stored as the code's index
  String,      // length-prefixed string of at most 255 characters
  Boolean      // terminology only: no field carries it
};

// Terminology flags of a parameter.
constexpr uint16_t kFlagSingle = 0x0000;
constexpr uint16_t kFlagEnumerated = 0x2000;

struct Parameter {
  OSType key;
  ValueKind kind;
  const char* name;         // terminology name
  OSType termType;          // terminology type: 'doub', 'long', 'TEXT', 'bool' or the enumeration type
  uint16_t flags;           // terminology flags
  const char* description;  // terminology description
  int enumeration;          // index into kEnumerations, or kNoEnum
  int termPosition;         // 0-based position in the terminology's parameter list
  int corner;               // corner-pin corner 0..3 for the corner keys, else -1
  // The record field the key carries; exactly one is set, none for Boolean.
  double& (*floatField)(LightParameters&);
  int32_t& (*indexField)(LightParameters&);
  uint16_t& (*colorField)(LightParameters&);
};

constexpr OSType kDoub = typeFloat;
constexpr OSType kLong = typeInteger;
constexpr OSType kText = typeChar;
constexpr OSType kBool = typeBoolean;

#define VEYRA_F(expr) [](LightParameters& p) -> double& { return p.expr; }, nullptr, nullptr
#define VEYRA_I(expr) nullptr, [](LightParameters& p) -> int32_t& { return p.expr; }, nullptr
#define VEYRA_C(expr) nullptr, nullptr, [](LightParameters& p) -> uint16_t& { return p.expr; }
#define VEYRA_NONE nullptr, nullptr, nullptr

// Every parameter, in the order of the key list handed to the host when
// reading (which is also the order in which a run is recorded); the last
// entry, 'lDmd', lives in the terminology only.
// clang-format off
constexpr Parameter kParameters[] = {
    {PI_FOURCC('c', 'p', '0', 'X'), ValueKind::Float, "KVO corner-pin UL X", kDoub, kFlagSingle, "", kNoEnum, 23, 0, VEYRA_F(corners[0].x)},
    {PI_FOURCC('c', 'p', '0', 'Y'), ValueKind::Float, "KVO corner-pin UL Y", kDoub, kFlagSingle, "", kNoEnum, 24, 0, VEYRA_F(corners[0].y)},
    {PI_FOURCC('c', 'p', '1', 'X'), ValueKind::Float, "KVO corner-pin UR X", kDoub, kFlagSingle, "", kNoEnum, 25, 1, VEYRA_F(corners[1].x)},
    {PI_FOURCC('c', 'p', '1', 'Y'), ValueKind::Float, "KVO corner-pin UR Y", kDoub, kFlagSingle, "", kNoEnum, 26, 1, VEYRA_F(corners[1].y)},
    {PI_FOURCC('c', 'p', '2', 'X'), ValueKind::Float, "KVO corner-pin LR X", kDoub, kFlagSingle, "", kNoEnum, 27, 2, VEYRA_F(corners[2].x)},
    {PI_FOURCC('c', 'p', '2', 'Y'), ValueKind::Float, "KVO corner-pin LR Y", kDoub, kFlagSingle, "", kNoEnum, 28, 2, VEYRA_F(corners[2].y)},
    {PI_FOURCC('c', 'p', '3', 'X'), ValueKind::Float, "KVO corner-pin LL X", kDoub, kFlagSingle, "", kNoEnum, 29, 3, VEYRA_F(corners[3].x)},
    {PI_FOURCC('c', 'p', '3', 'Y'), ValueKind::Float, "KVO corner-pin LL Y", kDoub, kFlagSingle, "", kNoEnum, 30, 3, VEYRA_F(corners[3].y)},
    {PI_FOURCC('l', 'B', 'l', 'n'), ValueKind::Enumerated, "KVO light blend mode", PI_FOURCC('l', 'B', 'l', 'd'), kFlagEnumerated, "", kEnumLightBlend, 0, -1, VEYRA_I(lightBlendMode)},
    {PI_FOURCC('l', 'S', 'r', 'c'), ValueKind::Enumerated, "KVO light image source", PI_FOURCC('s', 'o', 'r', 'C'), kFlagEnumerated, "", kEnumSource, 1, -1, VEYRA_I(lightSource)},
    {PI_FOURCC('l', 'B', 'r', 't'), ValueKind::Float, "KVO light brightness", kDoub, kFlagSingle, "", kNoEnum, 2, -1, VEYRA_F(lightBrightness)},
    {PI_FOURCC('l', 'B', 'l', 'r'), ValueKind::Float, "KVO light blur", kDoub, kFlagSingle, "", kNoEnum, 4, -1, VEYRA_F(lightBlur)},
    {PI_FOURCC('l', 'D', 's', 'p'), ValueKind::Float, "KVO light displacement", kDoub, kFlagSingle, "", kNoEnum, 3, -1, VEYRA_F(lightDisplacement)},
    {PI_FOURCC('l', 'C', 'l', 'X'), ValueKind::Color, "KVO light color/X", kLong, kFlagSingle, "", kNoEnum, 5, -1, VEYRA_C(lightColor[0])},
    {PI_FOURCC('l', 'C', 'l', 'Y'), ValueKind::Color, "KVO light color/Y", kLong, kFlagSingle, "", kNoEnum, 6, -1, VEYRA_C(lightColor[1])},
    {PI_FOURCC('l', 'C', 'l', 'Z'), ValueKind::Color, "KVO light color/Z", kLong, kFlagSingle, "", kNoEnum, 7, -1, VEYRA_C(lightColor[2])},
    {PI_FOURCC('m', 'C', 'h', 'n'), ValueKind::Enumerated, "KVO matte extract channel", PI_FOURCC('u', 's', 'e', 'C'), kFlagEnumerated, "matte extraction channel", kEnumChannel, 9, -1, VEYRA_I(matteChannel)},
    {PI_FOURCC('m', 'P', 'o', 's'), ValueKind::Float, "KVO matte position", kDoub, kFlagSingle, "", kNoEnum, 10, -1, VEYRA_F(mattePosition)},
    {PI_FOURCC('m', 'R', 'n', 'g'), ValueKind::Float, "KVO matte range", kDoub, kFlagSingle, "", kNoEnum, 11, -1, VEYRA_F(matteRange)},
    {PI_FOURCC('m', 'B', 'l', 'r'), ValueKind::Float, "KVO matte blur", kDoub, kFlagSingle, "", kNoEnum, 12, -1, VEYRA_F(matteBlur)},
    {PI_FOURCC('s', 'B', 'l', 'n'), ValueKind::Enumerated, "KVO shape blend mode", PI_FOURCC('s', 'B', 'l', 'd'), kFlagEnumerated, "how the light shape combines with the matte", kEnumShapeBlend, 13, -1, VEYRA_I(shapeBlendMode)},
    {PI_FOURCC('s', 'O', 'p', 'c'), ValueKind::Float, "KVO shape opacity", kDoub, kFlagSingle, "", kNoEnum, 15, -1, VEYRA_F(shapeOpacity)},
    {PI_FOURCC('s', 'X', 'b', 'l'), ValueKind::Float, "KVO shape X blur", kDoub, kFlagSingle, "", kNoEnum, 16, -1, VEYRA_F(shapeBlurX)},
    {PI_FOURCC('s', 'Y', 'b', 'l'), ValueKind::Float, "KVO shape y blur", kDoub, kFlagSingle, "", kNoEnum, 17, -1, VEYRA_F(shapeBlurY)},
    {PI_FOURCC('s', 'X', 'p', 's'), ValueKind::Float, "KVO shape X pos", kDoub, kFlagSingle, "", kNoEnum, 18, -1, VEYRA_F(shapePositionX)},
    {PI_FOURCC('s', 'Y', 'p', 's'), ValueKind::Float, "KVO shape y pos", kDoub, kFlagSingle, "", kNoEnum, 19, -1, VEYRA_F(shapePositionY)},
    {PI_FOURCC('s', 'X', 's', 'c'), ValueKind::Float, "KVO shape X scale", kDoub, kFlagSingle, "", kNoEnum, 20, -1, VEYRA_F(shapeScaleX)},
    {PI_FOURCC('s', 'Y', 's', 'c'), ValueKind::Float, "KVO shape y scale", kDoub, kFlagSingle, "", kNoEnum, 21, -1, VEYRA_F(shapeScaleY)},
    {PI_FOURCC('s', 'R', 'o', 't'), ValueKind::Float, "KVO shape rotate", kDoub, kFlagSingle, "", kNoEnum, 22, -1, VEYRA_F(shapeRotation)},
    {PI_FOURCC('s', 'N', 'a', 'm'), ValueKind::String, "KVO shape file", kText, kFlagSingle, "", kNoEnum, 14, -1, VEYRA_NONE},
    {PI_FOURCC('l', 'D', 'm', 'd'), ValueKind::Boolean, "KVO light modulate displacement", kBool, kFlagSingle, "modulate displacement by extracted matte", kNoEnum, 8, -1, VEYRA_NONE},
};
// clang-format on

#undef VEYRA_F
#undef VEYRA_I
#undef VEYRA_C
#undef VEYRA_NONE

constexpr int kParameterCount = 31;
constexpr int kDescriptorKeyCount = 30;  // all but the terminology-only last entry
static_assert(sizeof(kParameters) / sizeof(kParameters[0]) == kParameterCount, "31 terminology parameters");
static_assert(kParameters[kParameterCount - 1].kind == ValueKind::Boolean,
              "only the last entry is terminology-only");

// Descriptor type of a value kind.
constexpr DescriptorTypeID descriptorType(ValueKind kind) {
  return kind == ValueKind::Float        ? typeFloat
         : kind == ValueKind::Color      ? typeInteger
         : kind == ValueKind::Enumerated ? typeEnumerated
         : kind == ValueKind::String     ? typeChar
                                         : typeBoolean;
}

// The key list handed to the host when reading: the 30 descriptor keys in
// table order, ended by a zero key.
constexpr std::array<DescriptorKeyID, kDescriptorKeyCount + 1> makeKeyList() {
  std::array<DescriptorKeyID, kDescriptorKeyCount + 1> keys{};
  for (int i = 0; i < kDescriptorKeyCount; ++i) keys[i] = kParameters[i].key;
  keys[kDescriptorKeyCount] = 0;
  return keys;
}
constexpr std::array<DescriptorKeyID, kDescriptorKeyCount + 1> kKeyList = makeKeyList();

// Index of a parameter by its position in the terminology; -1 when none.
constexpr int parameterAtTermPosition(int position) {
  for (int i = 0; i < kParameterCount; ++i)
    if (kParameters[i].termPosition == position) return i;
  return -1;
}

constexpr bool termPositionsArePermutation() {
  for (int p = 0; p < kParameterCount; ++p) {
    int found = 0;
    for (int i = 0; i < kParameterCount; ++i) found += kParameters[i].termPosition == p ? 1 : 0;
    if (found != 1) return false;
  }
  return true;
}
static_assert(termPositionsArePermutation(), "every terminology position is used exactly once");

constexpr bool parametersAreConsistent() {
  for (int i = 0; i < kParameterCount; ++i) {
    const Parameter& p = kParameters[i];
    const bool isEnum = p.kind == ValueKind::Enumerated;
    if (isEnum != (p.enumeration != kNoEnum)) return false;
    if (isEnum && (p.termType != kEnumerations[p.enumeration].type || p.flags != kFlagEnumerated))
      return false;
    if (isEnum != (p.indexField != nullptr)) return false;
    if ((p.kind == ValueKind::Float) != (p.floatField != nullptr)) return false;
    if ((p.kind == ValueKind::Color) != (p.colorField != nullptr)) return false;
  }
  return true;
}
static_assert(parametersAreConsistent(), "kinds, enumerations and fields agree");

// Code table of an enumeration: value codes in index order, ended by zero.
template <int E>
constexpr std::array<OSType, kEnumerations[E].count + 1> makeCodeTable() {
  std::array<OSType, kEnumerations[E].count + 1> codes{};
  for (int i = 0; i < kEnumerations[E].count; ++i) codes[i] = kEnumerations[E].values[i].code;
  codes[kEnumerations[E].count] = 0;
  return codes;
}

constexpr std::array<OSType, 4> kLightBlendCodes = makeCodeTable<kEnumLightBlend>();
constexpr std::array<OSType, 3> kSourceCodes = makeCodeTable<kEnumSource>();
constexpr std::array<OSType, 10> kChannelCodes = makeCodeTable<kEnumChannel>();
constexpr std::array<OSType, 10> kShapeBlendCodes = makeCodeTable<kEnumShapeBlend>();

// Index of code in an enumeration's code table, or -1 when it is not there.
constexpr int codeIndex(int enumeration, OSType code) {
  const Enumeration& e = kEnumerations[enumeration];
  for (int i = 0; i < e.count; ++i)
    if (e.values[i].code == code) return i;
  return -1;
}

}  // namespace scripting
}  // namespace veyra
