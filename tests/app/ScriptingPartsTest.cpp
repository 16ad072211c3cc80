// The host's scripting parts on their own: the enabling condition, the
// property list and terminology readers, the descriptor byte form and the
// descriptor procedures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "app/ActionFile.h"
#include "app/Descriptor.h"
#include "app/EnableExpression.h"
#include "app/FilterHost.h"
#include "app/PropertyList.h"
#include "app/ScriptingHost.h"
#include "app/Terminology.h"
#include "resources/ResourceTable.h"
#include "support/AppTestSupport.h"

namespace veyra {
namespace {

using namespace app;

// ---- enabling condition -----------------------------------------------------------

struct EnableCase {
  const char* expression;
  int mode;
  int depth;
  bool expected;
};

class EnableExpressionTest : public ::testing::TestWithParam<EnableCase> {};

TEST_P(EnableExpressionTest, Evaluates) {
  const EnableCase& c = GetParam();
  EXPECT_EQ(EnableExpression::parse(c.expression).evaluate(EnableContext{c.mode, c.depth}), c.expected);
}

const char* const kFilterCondition = "in (PSHOP_ImageMode, RGBMode, GrayScaleMode, CMYKMode)";

INSTANTIATE_TEST_SUITE_P(
    Cases, EnableExpressionTest,
    ::testing::Values(
        EnableCase{kFilterCondition, plugInModeRGBColor, 8, true},
        EnableCase{kFilterCondition, plugInModeGrayScale, 8, true},
        EnableCase{kFilterCondition, plugInModeCMYKColor, 8, true},
        EnableCase{kFilterCondition, plugInModeLabColor, 8, false},
        EnableCase{kFilterCondition, plugInModeBitmap, 8, false},
        EnableCase{kFilterCondition, plugInModeRGB48, 16, false},
        EnableCase{"PSHOP_ImageMode == RGBMode || PSHOP_ImageMode == 4", plugInModeCMYKColor, 8, true},
        EnableCase{"PSHOP_ImageMode == RGBMode || PSHOP_ImageMode == 4", plugInModeGrayScale, 8, false},
        EnableCase{"!(PSHOP_ImageMode == BitmapMode) && PSHOP_ImageDepth == 8", 3, 8, true},
        EnableCase{"!(PSHOP_ImageMode == BitmapMode) && PSHOP_ImageDepth == 8", 3, 16, false},
        EnableCase{"!(PSHOP_ImageMode == BitmapMode) && PSHOP_ImageDepth == 8", 0, 8, false},
        EnableCase{"in (PSHOP_ImageDepth, 8, 16) && PSHOP_ImageMode != LabMode", 3, 16, true},
        EnableCase{"false || (true && !false)", 0, 8, true},
        EnableCase{"true || false && false", 0, 8, true}));

class EnableSyntaxTest : public ::testing::TestWithParam<const char*> {};

TEST_P(EnableSyntaxTest, RefusedWithThePlace) {
  try {
    EnableExpression::parse(GetParam());
    FAIL() << "parsed: " << GetParam();
  } catch (const EnableExpressionError& e) {
    EXPECT_NE(std::string(e.what()).find("at character"), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, EnableSyntaxTest,
                         ::testing::Values("", "in (PSHOP_ImageMode RGBMode)", "in (PSHOP_ImageMode)",
                                           "PSHOP_ImageMode ==", "NoSuchMode", "(RGBMode", "RGBMode)",
                                           "RGBMode $ 3", "RGBMode & GrayScaleMode",
                                           "99999999999999999999999"));

// ---- property list ---------------------------------------------------------------

const PIResourceEntry& moduleResource(const char* type) {
  const PIResourceEntry* e =
      findResource(PIResourceTable, PI_FOURCC(type[0], type[1], type[2], type[3]), 16000);
  if (e == nullptr) throw std::runtime_error(std::string("no resource ") + type);
  return *e;
}

TEST(PropertyListReader, ReadsTheModulesList) {
  const PropertyList p = readFilterProperties(PIResourceTable);
  EXPECT_EQ(p.kind, kFilterKind);
  EXPECT_EQ(p.name, "Veyra!...");
  EXPECT_EQ(p.displayName(), "Veyra!");
  EXPECT_EQ(p.category, "Tarnwell Imaging");
  EXPECT_EQ(p.version, 0x00040000u);
  EXPECT_EQ(p.entryPoint, "PluginMain");
  ASSERT_TRUE(p.terminology);
  EXPECT_EQ(p.terminology->scopeId, "AF4DC27E-0910-4D0B-9262-2738D5492C2A");
  EXPECT_EQ(p.terminology->resourceId, 16000);
  EXPECT_EQ(enabledModes(p, 8),
            (std::vector<int>{plugInModeGrayScale, plugInModeRGBColor, plugInModeCMYKColor}));
  EXPECT_NO_THROW(checkDocumentSupported(p, plugInModeCMYKColor, 8));
}

TEST(PropertyListReader, EveryCutShortListIsRefused) {
  const PIResourceEntry& e = moduleResource("PiPL");
  for (unsigned32 n = 0; n < e.size; ++n) EXPECT_THROW(parsePropertyList(e.data, n), PropertyListError) << n;
}

// A property list written here: one filter property of each kind asked for.
std::vector<unsigned char> listWith(const char* kind, const unsigned char mode0, const std::string& enable) {
  std::vector<unsigned char> b = {1, 0, 0, 0, 0, 0, 5, 0, 0, 0};
  auto property = [&](const char* key, std::vector<unsigned char> data) {
    const unsigned char head[] = {'M',
                                  'I',
                                  'B',
                                  '8',
                                  static_cast<unsigned char>(key[3]),
                                  static_cast<unsigned char>(key[2]),
                                  static_cast<unsigned char>(key[1]),
                                  static_cast<unsigned char>(key[0]),
                                  0,
                                  0,
                                  0,
                                  0};
    b.insert(b.end(), head, head + 12);
    while (data.size() % 4 != 0) data.push_back(0);
    const auto n = static_cast<uint32_t>(data.size());
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(n >> (8 * i)));
    b.insert(b.end(), data.begin(), data.end());
  };
  property("kind", {static_cast<unsigned char>(kind[3]), static_cast<unsigned char>(kind[2]),
                    static_cast<unsigned char>(kind[1]), static_cast<unsigned char>(kind[0])});
  property("catg", {4, 'T', 'e', 's', 't'});
  property("name", {6, 'O', 't', 'h', 'e', 'r', '!'});
  std::vector<unsigned char> text(enable.begin(), enable.end());
  text.push_back(0);
  property(enable.empty() ? "wx86" : "enbl", enable.empty() ? std::vector<unsigned char>{'E', 0} : text);
  property("mode", {mode0, 0, 0, 0});
  return b;
}

TEST(PropertyListReader, RefusesDocumentsTheListDoesNotEnable) {
  // Mode flags allow grayscale and RGB; the condition takes RGB only.
  const std::vector<unsigned char> b = listWith("8BFM", 0x50, "PSHOP_ImageMode == RGBMode");
  const PropertyList p = parsePropertyList(b.data(), b.size());
  EXPECT_NO_THROW(checkDocumentSupported(p, plugInModeRGBColor, 8));
  try {
    checkDocumentSupported(p, plugInModeGrayScale, 8);
    FAIL() << "grayscale accepted";
  } catch (const PropertyListError& e) {
    const std::string m = e.what();
    EXPECT_NE(m.find("Test > Other!"), std::string::npos) << m;
    EXPECT_NE(m.find("GrayScaleMode"), std::string::npos) << m;
    EXPECT_NE(m.find("supports RGBMode"), std::string::npos) << m;
  }
  // The mode flags alone refuse CMYK, whatever the condition says.
  const std::vector<unsigned char> any = listWith("8BFM", 0x50, "true");
  EXPECT_THROW(checkDocumentSupported(parsePropertyList(any.data(), any.size()), plugInModeCMYKColor, 8),
               PropertyListError);
}

TEST(PropertyListReader, RefusesModulesThatAreNotFilters) {
  const std::vector<unsigned char> b = listWith("8BIF", 0x50, "");
  const PIResourceEntry table[] = {
      {kPropertyListType, 16000, nullptr, b.data(), static_cast<unsigned32>(b.size())},
      {0, 0, nullptr, nullptr, 0}};
  try {
    readFilterProperties(table);
    FAIL();
  } catch (const PropertyListError& e) {
    EXPECT_NE(std::string(e.what()).find("'8BIF'"), std::string::npos) << e.what();
  }
  EXPECT_THROW(readFilterProperties(nullptr), PropertyListError);
  EXPECT_THROW(moduleEntryName(table), ModuleError);
}

// ---- terminology -------------------------------------------------------------------

TEST(TerminologyReader, ReadsTheModulesTerminology) {
  const PIResourceEntry& e = moduleResource("aete");
  const Terminology t = parseTerminology(e.data, e.size);
  ASSERT_EQ(t.suites.size(), 1u);
  EXPECT_EQ(t.suites[0].name, "KVO");
  const TermEvent* ev = t.findEvent(PI_FOURCC('k', 'v', 'o', 'V'));
  ASSERT_NE(ev, nullptr);
  EXPECT_EQ(ev->directType, PI_FOURCC('#', 'I', 'm', 'R'));
  EXPECT_EQ(ev->directFlags, 0xB000);
  ASSERT_EQ(ev->parameters.size(), 31u);
  const TermParameter* p = findParameter(*ev, "KVO shape blend mode");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p, findParameter(*ev, "sBln"));
  EXPECT_EQ(valueKindOf(t, *p), TermValueKind::Enumerated);
  const TermEnumeration* en = t.findEnumeration(p->type);
  ASSERT_NE(en, nullptr);
  EXPECT_EQ(en->find("KVO darken"), en->find("sDrk"));
  EXPECT_EQ(en->find("sDrk") - &en->values[0], 7);
  EXPECT_EQ(valueKindOf(t, *findParameter(*ev, "lClZ")), TermValueKind::Integer);
  EXPECT_EQ(valueKindOf(t, *findParameter(*ev, "sNam")), TermValueKind::String);
}

TEST(TerminologyReader, CutShortOrTrailingBytesAreRefused) {
  const PIResourceEntry& e = moduleResource("aete");
  for (unsigned32 n = 0; n < e.size; ++n) EXPECT_THROW(parseTerminology(e.data, n), TerminologyError) << n;
  std::vector<unsigned char> longer(e.data, e.data + e.size);
  longer.push_back(0);
  EXPECT_THROW(parseTerminology(longer.data(), longer.size()), TerminologyError);
}

// ---- descriptors -------------------------------------------------------------------

Descriptor everyKind() {
  return {DescriptorItem::makeFloat(PI_FOURCC('f', 'l', 'o', 't'), std::nan("")),
          DescriptorItem::makeFloat(PI_FOURCC('f', 'l', 'o', 't'), -0.0),
          DescriptorItem::makeInteger(PI_FOURCC('i', 'n', 't', ' '), -7),
          DescriptorItem::makeEnumerated(PI_FOURCC('e', 'n', 'u', 'm'), PI_FOURCC('t', 'y', 'p', 'e'), 0),
          DescriptorItem::makeString(PI_FOURCC('t', 'e', 'x', 't'), std::string("a\0b", 3)),
          DescriptorItem::makeBoolean(PI_FOURCC('b', 'o', 'o', 'l'), true)};
}

TEST(DescriptorBytes, RoundTripAndCutShortRefused) {
  const Descriptor d = everyKind();
  const std::vector<char> bytes = encodeDescriptor(d);
  const std::optional<Descriptor> back = decodeDescriptor(bytes.data(), bytes.size());
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, d);
  for (size_t n = 0; n < bytes.size(); ++n) EXPECT_FALSE(decodeDescriptor(bytes.data(), n)) << n;
  std::vector<char> longer = bytes;
  longer.push_back(0);
  EXPECT_FALSE(decodeDescriptor(longer.data(), longer.size()));
}

class DescriptorProcsTest : public ::testing::Test {
 protected:
  DescriptorProcsTest() : host_(test::makeDocument(ColorMode::Gray, 2, 2)) {}
  ScriptingHost& scripting() { return *host_.host.service<ScriptingHost>(); }
  ReadDescriptorProcs& r() { return *ScriptingHost::readProcs(); }
  test::HostedDocument host_;
};

TEST_F(DescriptorProcsTest, ReadsItemsInOrderWithTypeChecks) {
  scripting().playBack(everyKind(), 0);
  DescriptorKeyID keys[] = {PI_FOURCC('f', 'l', 'o', 't'), 0};
  PIReadDescriptor t = r().openReadDescriptorProc(host_.host.descriptorParameters()->descriptor, keys);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(scripting().lastKeyList(), std::vector<DescriptorKeyID>{keys[0]});
  real64 f = 1.0;
  int32 i = 0;
  EXPECT_EQ(r().getFloatProc(t, &f), kDescriptorNoItem);  // before the first getKey

  DescriptorKeyID key = 0;
  DescriptorTypeID type = 0;
  int32 flags = -1;
  ASSERT_TRUE(r().getKeyProc(t, &key, &type, &flags));
  EXPECT_EQ(type, typeFloat);
  EXPECT_EQ(flags, 0);
  EXPECT_EQ(r().getFloatProc(t, &f), noErr);
  EXPECT_TRUE(std::isnan(f));
  EXPECT_EQ(r().getIntegerProc(t, &i), kDescriptorWrongType);
  ASSERT_TRUE(r().getKeyProc(t, &key, &type, &flags));  // -0.0
  ASSERT_TRUE(r().getKeyProc(t, &key, &type, &flags));
  EXPECT_EQ(type, typeInteger);
  EXPECT_EQ(r().getIntegerProc(t, &i), noErr);
  EXPECT_EQ(i, -7);
  EXPECT_EQ(r().getFloatProc(t, &f), noErr);  // an integer reads as a float
  EXPECT_EQ(f, -7.0);
  ASSERT_TRUE(r().getKeyProc(t, &key, &type, &flags));
  OSType value = 1;
  EXPECT_EQ(r().getEnumeratedProc(t, &type, &value), noErr);
  EXPECT_EQ(type, PI_FOURCC('t', 'y', 'p', 'e'));
  EXPECT_EQ(value, 0u);
  ASSERT_TRUE(r().getKeyProc(t, &key, &type, &flags));
  unsigned char text[256];
  EXPECT_EQ(r().getStringProc(t, text), noErr);
  EXPECT_EQ(text[0], 3);
  EXPECT_EQ(std::memcmp(text + 1, "a\0b", 3), 0);
  ASSERT_TRUE(r().getKeyProc(t, &key, &type, &flags));
  Boolean b = 0;
  EXPECT_EQ(r().getBooleanProc(t, &b), noErr);
  EXPECT_EQ(b, 1);
  EXPECT_FALSE(r().getKeyProc(t, &key, &type, &flags));
  EXPECT_EQ(r().getBooleanProc(t, &b), kDescriptorNoItem);
  EXPECT_EQ(r().closeReadDescriptorProc(t), noErr);
  EXPECT_EQ(r().closeReadDescriptorProc(t), kDescriptorBadToken);
  EXPECT_FALSE(r().getKeyProc(t, &key, &type, &flags));
  EXPECT_EQ(scripting().openReaders(), 0u);
}

TEST_F(DescriptorProcsTest, OpenRefusesWhatIsNotADescriptor) {
  DescriptorKeyID keys[] = {0};
  EXPECT_EQ(r().openReadDescriptorProc(nullptr, keys), nullptr);
  Handle junk = host_.host.memory().makeHandle(3);
  EXPECT_EQ(r().openReadDescriptorProc(junk, keys), nullptr);
  EXPECT_EQ(r().openReadDescriptorProc(reinterpret_cast<Handle>(&keys), keys), nullptr);
}

TEST_F(DescriptorProcsTest, WriterMakesAHandleOfTheItemsInOrder) {
  WriteDescriptorProcs& w = *ScriptingHost::writeProcs();
  PIWriteDescriptor t = w.openWriteDescriptorProc();
  ASSERT_NE(t, nullptr);
  const real64 x = 2.5;
  const unsigned char name[] = {2, 'h', 'i'};
  EXPECT_EQ(w.putFloatProc(t, PI_FOURCC('a', 'a', 'a', 'a'), &x), noErr);
  EXPECT_EQ(w.putIntegerProc(t, PI_FOURCC('b', 'b', 'b', 'b'), 65535), noErr);
  EXPECT_EQ(w.putEnumeratedProc(t, PI_FOURCC('c', 'c', 'c', 'c'), PI_FOURCC('t', 't', 't', 't'),
                                PI_FOURCC('v', 'v', 'v', 'v')),
            noErr);
  EXPECT_EQ(w.putStringProc(t, PI_FOURCC('d', 'd', 'd', 'd'), name), noErr);
  EXPECT_EQ(w.putBooleanProc(t, PI_FOURCC('e', 'e', 'e', 'e'), 0), noErr);
  PIDescriptorHandle h = nullptr;
  EXPECT_EQ(w.closeWriteDescriptorProc(t, &h), noErr);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(w.putBooleanProc(t, PI_FOURCC('e', 'e', 'e', 'e'), 0), kDescriptorBadToken);
  const Descriptor expected = {
      DescriptorItem::makeFloat(PI_FOURCC('a', 'a', 'a', 'a'), 2.5),
      DescriptorItem::makeInteger(PI_FOURCC('b', 'b', 'b', 'b'), 65535),
      DescriptorItem::makeEnumerated(PI_FOURCC('c', 'c', 'c', 'c'), PI_FOURCC('t', 't', 't', 't'),
                                     PI_FOURCC('v', 'v', 'v', 'v')),
      DescriptorItem::makeString(PI_FOURCC('d', 'd', 'd', 'd'), "hi"),
      DescriptorItem::makeBoolean(PI_FOURCC('e', 'e', 'e', 'e'), false)};
  EXPECT_EQ(decodeDescriptor(host_.host.memory().handleData(h), host_.host.memory().handleSize(h)), expected);
}

TEST_F(DescriptorProcsTest, RegistryKeepsCopiesAndHandsOutNewDescriptors) {
  const PSActionDescriptorSuite2& ad = *ScriptingHost::actionDescriptorSuite();
  const PSDescriptorRegistrySuite1& reg = *ScriptingHost::registrySuite();
  PIActionDescriptor d = nullptr;
  ASSERT_EQ(ad.Make(&d), 0);
  EXPECT_EQ(ad.PutFloat(d, PI_FOURCC('k', 'e', 'y', ' '), 4.0), 0);
  EXPECT_EQ(reg.Register("scope", d, true), 0);
  EXPECT_EQ(ad.PutFloat(d, PI_FOURCC('k', 'e', 'y', ' '), 5.0), 0);  // the registry holds a copy
  EXPECT_EQ(ad.Free(d), 0);
  EXPECT_NE(ad.Free(d), 0);

  PIActionDescriptor got = nullptr;
  ASSERT_EQ(reg.Get("scope", &got), 0);
  ASSERT_NE(got, nullptr);
  double v = 0;
  unsigned32 count = 0;
  EXPECT_EQ(ad.GetFloat(got, PI_FOURCC('k', 'e', 'y', ' '), &v), 0);
  EXPECT_EQ(v, 4.0);
  EXPECT_EQ(ad.GetCount(got, &count), 0);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(ad.Free(got), 0);
  EXPECT_EQ(scripting().liveActionDescriptors(), 0u);

  EXPECT_EQ(reg.Get("other", &got), 0);
  EXPECT_EQ(got, nullptr);
  EXPECT_EQ(reg.Erase("scope"), 0);
  EXPECT_NE(reg.Erase("scope"), 0);
}

// ---- settings ----------------------------------------------------------------------

TEST(Settings, TypedByTheTerminology) {
  const ModuleScripting s = ModuleScripting::fromResources(PIResourceTable);
  EXPECT_EQ(parseSetting(s, "lBrt=1e2"), DescriptorItem::makeFloat(PI_FOURCC('l', 'B', 'r', 't'), 100.0));
  EXPECT_EQ(parseSetting(s, "KVO light color/X=-3"),
            DescriptorItem::makeInteger(PI_FOURCC('l', 'C', 'l', 'X'), -3));
  EXPECT_EQ(parseSetting(s, "sNam=a=b"), DescriptorItem::makeString(PI_FOURCC('s', 'N', 'a', 'm'), "a=b"));
  EXPECT_EQ(parseSetting(s, "sNam="), DescriptorItem::makeString(PI_FOURCC('s', 'N', 'a', 'm'), ""));
  EXPECT_EQ(parseSetting(s, "lDmd=false"), DescriptorItem::makeBoolean(PI_FOURCC('l', 'D', 'm', 'd'), false));
  EXPECT_EQ(parseSetting(s, "mChn=KVO hue"),
            DescriptorItem::makeEnumerated(PI_FOURCC('m', 'C', 'h', 'n'), PI_FOURCC('u', 's', 'e', 'C'),
                                           PI_FOURCC('h', 'u', 'e', 'C')));
  EXPECT_THROW(parseSetting(s, "lBrt="), ScriptingInputError);
  EXPECT_THROW(parseSetting(s, "lBrt=1e999"), ScriptingInputError);
  EXPECT_THROW(parseSetting(s, "lBrt=5 "), ScriptingInputError);
  EXPECT_THROW(parseSetting(s, "=5"), ScriptingInputError);
}

}  // namespace
}  // namespace veyra

namespace veyra {
namespace {

// ---- damaged input -------------------------------------------------------------
// Random byte changes in the resources, descriptor bytes and action files:
// every reader either succeeds or refuses with its own error (the sanitizer
// build checks that nothing reads out of bounds).

class Mutator {
 public:
  explicit Mutator(uint32_t seed) : state_(seed) {}
  uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  template <typename Byte>
  std::vector<Byte> damage(std::vector<Byte> b) {
    const uint32_t changes = 1 + next() % 4;
    for (uint32_t i = 0; i < changes && !b.empty(); ++i) b[next() % b.size()] = static_cast<Byte>(next());
    return b;
  }

 private:
  uint32_t state_;
};

TEST(DamagedInput, ResourceReadersRefuseOrSucceed) {
  const PIResourceEntry& pipl = moduleResource("PiPL");
  const PIResourceEntry& aete = moduleResource("aete");
  const std::vector<unsigned char> piplBytes(pipl.data, pipl.data + pipl.size);
  const std::vector<unsigned char> aeteBytes(aete.data, aete.data + aete.size);
  Mutator m(12345);
  for (int i = 0; i < 3000; ++i) {
    const std::vector<unsigned char> p = m.damage(piplBytes);
    try {
      const PropertyList list = parsePropertyList(p.data(), p.size());
      checkDocumentSupported(list, plugInModeRGBColor, 8);
    } catch (const PropertyListError&) {
    }
    const std::vector<unsigned char> a = m.damage(aeteBytes);
    try {
      parseTerminology(a.data(), a.size());
    } catch (const TerminologyError&) {
    }
  }
}

TEST(DamagedInput, DescriptorBytesAndActionFilesRefuseOrSucceed) {
  const std::vector<char> bytes = encodeDescriptor(everyKind());
  const ModuleScripting s = ModuleScripting::fromResources(PIResourceTable);
  const std::string action =
      R"({"filter": "Veyra!...", "event": "kvoV", "descriptor": [{"key": "lBrt", "type": "float", "value": 50.5},)"
      R"({"key": "lBln", "type": "enum", "enumType": "lBld", "value": "lScr"},)"
      R"({"key": "lClX", "type": "integer", "value": 40000}, {"key": "sNam", "type": "string", "value": "x"},)"
      R"({"key": "lDmd", "type": "boolean", "value": true}]})";
  const std::vector<char> actionBytes(action.begin(), action.end());
  EXPECT_EQ(descriptorFromAction(s, nlohmann::json::parse(action), "a").size(), 5u);
  Mutator m(777);
  int accepted = 0;
  for (int i = 0; i < 3000; ++i) {
    const std::vector<char> d = m.damage(bytes);
    decodeDescriptor(d.data(), d.size());
    const std::vector<char> a = m.damage(actionBytes);
    const nlohmann::json j = nlohmann::json::parse(a.begin(), a.end(), nullptr, false);
    if (j.is_discarded()) continue;
    try {
      descriptorFromAction(s, j, "damaged");
      ++accepted;
    } catch (const ScriptingInputError&) {
    } catch (const TerminologyError&) {
    }
  }
  EXPECT_GT(accepted, 0);
}

}  // namespace
}  // namespace veyra
