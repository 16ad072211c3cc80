// The procedure's arguments without GIMP: names from the terminology, and
// argument values turned into the descriptor or refused with a message
// naming the argument.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "GimpCases.h"
#include "gimp/ArgumentDescriptor.h"

namespace veyra::test {
namespace {

TEST(ProcedureArguments, NamesAreLowerCaseWordsJoinedByHyphens) {
  const std::pair<const char*, const char*> cases[] = {{"KVO light color/X", "kvo-light-color-x"},
                                                       {"KVO corner-pin UL X", "kvo-corner-pin-ul-x"},
                                                       {"  Two   words  ", "two-words"},
                                                       {"a--b__c", "a-b-c"},
                                                       {"", ""}};
  for (const auto& [in, out] : cases) EXPECT_EQ(gimp::argumentName(in), out) << in;
}

// Every argument of setting set 1 as the database delivers it.
std::vector<gimp::ArgumentValue> validValues() {
  std::vector<gimp::ArgumentValue> values;
  const SettingSet& s = settingSets()[1];
  for (const gimp::ProcedureArgument& a : procedure().signature.arguments) {
    const std::string& text = s.at(app::fourCCText(a.parameter->key));
    gimp::ArgumentValue v;
    v.type = a.type;
    if (a.type == gimp::ArgType::Int32) v.integer = std::stoi(text);
    if (a.type == gimp::ArgType::Float) v.number = std::stod(text);
    if (a.type == gimp::ArgType::String) v.text = text;
    values.push_back(v);
  }
  return values;
}

uint32_t code(const char* text) { return app::parseFourCC(text).value(); }

size_t indexOf(const char* key) {
  const auto& args = procedure().signature.arguments;
  for (size_t i = 0; i < args.size(); ++i)
    if (app::fourCCText(args[i].parameter->key) == key) return i;
  throw std::out_of_range(key);
}

TEST(ProcedureArguments, ValuesBecomeOneItemPerParameterInOrder) {
  std::vector<gimp::ArgumentValue> values = validValues();
  values[indexOf("lBln")].text = "KVO screen";  // a name works as well as a code
  values[indexOf("lDmd")].integer = 1;
  const app::Descriptor d = gimp::descriptorFromArguments(procedure().scripting, procedure().signature, values);
  ASSERT_EQ(d.size(), procedure().signature.arguments.size());
  for (size_t i = 0; i < d.size(); ++i) EXPECT_EQ(d[i].key, procedure().signature.arguments[i].parameter->key);
  EXPECT_EQ(d[indexOf("lBln")], app::DescriptorItem::makeEnumerated(code("lBln"), code("lBld"), code("lScr")));
  EXPECT_EQ(d[indexOf("sOpc")], app::DescriptorItem::makeFloat(code("sOpc"), 100.0));
  EXPECT_EQ(d[indexOf("lClZ")], app::DescriptorItem::makeInteger(code("lClZ"), 21000));
  EXPECT_EQ(d[indexOf("lDmd")], app::DescriptorItem::makeBoolean(code("lDmd"), true));
  EXPECT_EQ(d[indexOf("sNam")].text, settingSets()[1].at("sNam"));
}

struct BadArgument {
  const char* key;
  void (*spoil)(gimp::ArgumentValue&);
  const char* says;
};

TEST(ProcedureArguments, BadValuesAreRefusedNamingTheArgument) {
  const BadArgument cases[] = {
      {"lBln", [](gimp::ArgumentValue& v) { v.text = "lFoo"; }, "unknown value \"lFoo\"; valid values: lAdd"},
      {"mChn", [](gimp::ArgumentValue& v) { v.text = ""; }, "unknown value \"\""},
      {"lDmd", [](gimp::ArgumentValue& v) { v.integer = 2; }, "2 is not 0 or 1"},
      {"sRot", [](gimp::ArgumentValue& v) { v.number = std::nan(""); }, "not a finite number"},
      {"lBrt", [](gimp::ArgumentValue& v) { v.number = std::numeric_limits<double>::infinity(); },
       "not a finite number"},
      {"sNam", [](gimp::ArgumentValue& v) { v.text.assign(256, 'x'); }, "256 bytes"},
      {"sXsc", [](gimp::ArgumentValue& v) { v.type = gimp::ArgType::Int32; }, "wants a float, got an integer"},
  };
  for (const BadArgument& c : cases) {
    std::vector<gimp::ArgumentValue> values = validValues();
    const size_t i = indexOf(c.key);
    c.spoil(values[i]);
    try {
      gimp::descriptorFromArguments(procedure().scripting, procedure().signature, values);
      ADD_FAILURE() << c.key << " was accepted";
    } catch (const gimp::ArgumentError& e) {
      const std::string expected = "argument " + std::to_string(i + 4) + " (" +
                                   gimp::argumentName(procedure().signature.arguments[i].parameter->name) + ")";
      EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
    }
  }
  std::vector<gimp::ArgumentValue> tooFew = validValues();
  tooFew.pop_back();
  EXPECT_THROW(gimp::descriptorFromArguments(procedure().scripting, procedure().signature, tooFew),
               gimp::ArgumentError);
}

}  // namespace
}  // namespace veyra::test
