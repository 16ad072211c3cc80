// The module's resource table: the property list and the terminology bytes
// against blocks written out here by hand, entry by entry.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/PluginResourceBytes.h"
#include "resources/ResourceTable.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Writers for the expected blocks: little-endian numbers, four-character
// codes as they read backwards in memory ('kind' -> "dnik").
struct Expect {
  Bytes b;
  Expect& u8(unsigned v) {
    b.push_back(static_cast<unsigned char>(v));
    return *this;
  }
  Expect& u16(unsigned v) { return u8(v & 0xFF).u8(v >> 8); }
  Expect& u32(unsigned long v) { return u16(v & 0xFFFF).u16(v >> 16); }
  Expect& code(const char* c) { return u8(c[3]).u8(c[2]).u8(c[1]).u8(c[0]); }
  Expect& raw(const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
    return *this;
  }
  Expect& pascal(const std::string& s) { return u8(static_cast<unsigned>(s.size())).raw(s); }
};

const PIResourceEntry* find(const char* type, int id) {
  const OSType t = PI_FOURCC(type[0], type[1], type[2], type[3]);
  for (const PIResourceEntry* e = PIResourceTable; e->type != 0; ++e)
    if (e->type == t && e->id == id) return e;
  return nullptr;
}

Bytes bytesOf(const PIResourceEntry* e) { return Bytes(e->data, e->data + e->size); }

void expectSameBytes(const Bytes& actual, const Bytes& expected) {
  for (size_t i = 0; i < actual.size() && i < expected.size(); ++i)
    ASSERT_EQ(int{actual[i]}, int{expected[i]}) << "first difference at byte " << i;
  EXPECT_EQ(actual.size(), expected.size());
}

// The property list written out by hand; the x64 form names the same entry
// point for 64-bit hosts too ('8664', right after 'wx86').
Bytes expectedPropertyList(bool x64) {
  Expect x;
  x.u16(1).u32(0).u32(x64 ? 10 : 9);
  x.code("8BIM").code("kind").u32(0).u32(4).code("8BFM");
  x.code("8BIM").code("name").u32(0).u32(12).pascal("Veyra!...").u8(0).u8(0);
  x.code("8BIM").code("catg").u32(0).u32(20).pascal("Tarnwell Imaging").u8(0).u8(0).u8(0);
  x.code("8BIM").code("vers").u32(0).u32(4).u32(0x00040000);
  x.code("8BIM").code("wx86").u32(0).u32(12).raw("PluginMain").u8(0).u8(0);
  if (x64) x.code("8BIM").code("8664").u32(0).u32(12).raw("PluginMain").u8(0).u8(0);
  x.code("8BIM").code("mode").u32(0).u32(4).u8(0x58).u8(0).u8(0).u8(0);
  x.code("8BIM").code("hstm").u32(0).u32(56).u32(0).code("kvoV").code("kvoV").u16(16000);
  x.raw("AF4DC27E-0910-4D0B-9262-2738D5492C2A").u8(0).u8(0).u8(0).u8(0).u8(0).u8(0);
  x.code("8BIM").code("enbl").u32(0).u32(56).raw("in (PSHOP_ImageMode, RGBMode, GrayScaleMode, CMYKMode)");
  x.u8(0).u8(0);
  x.code("8BIM").code("fici").u32(0).u32(28);
  for (int i = 0; i < 7; ++i) x.u8(4).u8(4).u8(4).u8(0);
  return x.b;
}

TEST(PluginResources, PropertyListBytes) {
  const PIResourceEntry* pipl = find("PiPL", 16000);
  ASSERT_NE(pipl, nullptr);
  expectSameBytes(bytesOf(pipl), expectedPropertyList(false));
  // The form a 64-bit Windows module carries.
  constexpr auto x64 = veyra::resources::buildPropertyList<veyra::resources::PropertyListForm::X64>();
  expectSameBytes(Bytes(x64.begin(), x64.end()), expectedPropertyList(true));
}

struct Param {
  const char* name;
  const char* key;
  const char* type;
  unsigned flags;
  const char* description;
};

struct Value {
  const char* name;
  const char* code;
  const char* description;
};

TEST(PluginResources, TerminologyBytes) {
  const PIResourceEntry* aete = find("aete", 16000);
  ASSERT_NE(aete, nullptr);

  const Param params[] = {
      {"KVO light blend mode", "lBln", "lBld", 0x2000, ""},
      {"KVO light image source", "lSrc", "sorC", 0x2000, ""},
      {"KVO light brightness", "lBrt", "doub", 0, ""},
      {"KVO light displacement", "lDsp", "doub", 0, ""},
      {"KVO light blur", "lBlr", "doub", 0, ""},
      {"KVO light color/X", "lClX", "long", 0, ""},
      {"KVO light color/Y", "lClY", "long", 0, ""},
      {"KVO light color/Z", "lClZ", "long", 0, ""},
      {"KVO light modulate displacement", "lDmd", "bool", 0, "modulate displacement by extracted matte"},
      {"KVO matte extract channel", "mChn", "useC", 0x2000, "matte extraction channel"},
      {"KVO matte position", "mPos", "doub", 0, ""},
      {"KVO matte range", "mRng", "doub", 0, ""},
      {"KVO matte blur", "mBlr", "doub", 0, ""},
      {"KVO shape blend mode", "sBln", "sBld", 0x2000, "how the light shape combines with the matte"},
      {"KVO shape file", "sNam", "TEXT", 0, ""},
      {"KVO shape opacity", "sOpc", "doub", 0, ""},
      {"KVO shape X blur", "sXbl", "doub", 0, ""},
      {"KVO shape y blur", "sYbl", "doub", 0, ""},
      {"KVO shape X pos", "sXps", "doub", 0, ""},
      {"KVO shape y pos", "sYps", "doub", 0, ""},
      {"KVO shape X scale", "sXsc", "doub", 0, ""},
      {"KVO shape y scale", "sYsc", "doub", 0, ""},
      {"KVO shape rotate", "sRot", "doub", 0, ""},
      {"KVO corner-pin UL X", "cp0X", "doub", 0, ""},
      {"KVO corner-pin UL Y", "cp0Y", "doub", 0, ""},
      {"KVO corner-pin UR X", "cp1X", "doub", 0, ""},
      {"KVO corner-pin UR Y", "cp1Y", "doub", 0, ""},
      {"KVO corner-pin LR X", "cp2X", "doub", 0, ""},
      {"KVO corner-pin LR Y", "cp2Y", "doub", 0, ""},
      {"KVO corner-pin LL X", "cp3X", "doub", 0, ""},
      {"KVO corner-pin LL Y", "cp3Y", "doub", 0, ""},
  };
  const std::vector<Value> useC = {{"KVO luminance", "lumC", "base on luminance"},
                                   {"KVO red", "redC", "base on red channel"},
                                   {"KVO green", "grnC", "base on green channel"},
                                   {"KVO blue", "bluC", "base on blue channel"},
                                   {"KVO cyan", "cynC", "base on cyan channel"},
                                   {"KVO magenta", "magC", "base on magenta channel"},
                                   {"KVO yellow", "yelC", "base on yellow channel"},
                                   {"KVO hue", "hueC", "base on hue channel"},
                                   {"KVO saturation", "satC", "base on saturation channel"}};
  const std::vector<Value> lBld = {
      {"KVO add", "lAdd", "Add"}, {"KVO subtract", "lSub", "Subtract"}, {"KVO screen", "lScr", "Screen"}};
  const std::vector<Value> sBld = {{"KVO none", "sNon", "None"},
                                   {"KVO only", "sOnl", "Only"},
                                   {"KVO add", "sAdd", "Add"},
                                   {"KVO subtract", "sSub", "Subtract"},
                                   {"KVO multiply", "sMul", "Multiply"},
                                   {"KVO screen", "sScr", "Screen"},
                                   {"KVO difference", "sDif", "Difference"},
                                   {"KVO darken", "sDrk", "Darken"},
                                   {"KVO lighten", "sLgt", "Lighten"}};
  const std::vector<Value> sorC = {{"KVO image", "sImg", "Image"}, {"KVO matte", "sMat", "Matte"}};

  Expect x;
  x.u8(1).u8(0).u16(0).u16(0).u16(1);
  x.pascal("KVO").pascal("Veyra!").code("kvoV").u16(1).u16(1).u16(1);
  x.pascal("KVO Veyra!").pascal("Add light and shadow to a scene.").code("kvoV").code("kvoV");
  x.code("null").pascal("").u16(0);
  x.code("#ImR").pascal("").u16(0xB000);
  x.u16(31);
  for (const Param& p : params) x.pascal(p.name).code(p.key).code(p.type).pascal(p.description).u16(p.flags);
  x.u16(0).u16(0).u16(4);
  const std::pair<const char*, const std::vector<Value>*> enums[] = {
      {"useC", &useC}, {"lBld", &lBld}, {"sBld", &sBld}, {"sorC", &sorC}};
  for (const auto& e : enums) {
    x.code(e.first).u16(static_cast<unsigned>(e.second->size()));
    for (const Value& v : *e.second) x.pascal(v.name).code(v.code).pascal(v.description);
  }

  expectSameBytes(bytesOf(aete), x.b);
}

TEST(PluginResources, TableHoldsBothBlocksAndEnds) {
  int entries = 0;
  for (const PIResourceEntry* e = PIResourceTable; e->type != 0; ++e) {
    ++entries;
    EXPECT_NE(e->data, nullptr);
    EXPECT_GT(e->size, 0u);
  }
  EXPECT_GE(entries, 2);
  EXPECT_EQ(find("PiPL", 16001), nullptr);
}

}  // namespace
