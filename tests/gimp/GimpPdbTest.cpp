// The procedure as GIMP's database holds it, and bad calls through Script-Fu.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "GimpBatch.h"

namespace veyra::test {
namespace {

std::vector<std::vector<std::string>> tabLines(const std::string& path) {
  std::vector<std::vector<std::string>> lines;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::istringstream f(line);
    for (std::string field; std::getline(f, field, '\t');) fields.push_back(field);
    lines.push_back(fields);
  }
  return lines;
}

// GimpPDBArgType values (stable across GIMP 2.x).
constexpr int kPdbInt32 = 0, kPdbFloat = 3, kPdbString = 4, kPdbImage = 13, kPdbDrawable = 16;

TEST(GimpPdb, EntryMatchesTheModulesResources) {
  const Batch& b = batch();
  const CommandResult info = runVeyra({"info", "--json"});
  ASSERT_EQ(info.status, 0) << info.err;
  const nlohmann::json j = nlohmann::json::parse(info.out);
  const auto lines = tabLines(b.gimp.file("pdb.txt"));
  const size_t params = j["parameters"].size();
  ASSERT_EQ(lines.size(), 1 + 3 + params + 2) << b.result.output;

  ASSERT_GE(lines[0].size(), 7u);
  EXPECT_EQ(lines[0][0], j["event"]["description"]);
  EXPECT_EQ(lines[0][6], std::to_string(3 + params));
  const std::vector<std::pair<int, std::string>> fixed = {
      {kPdbInt32, "run-mode"}, {kPdbImage, "image"}, {kPdbDrawable, "drawable"}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(lines[1 + i][0], std::to_string(fixed[i].first));
    EXPECT_EQ(lines[1 + i][1], fixed[i].second);
  }
  for (size_t i = 0; i < params; ++i) {
    const nlohmann::json& p = j["parameters"][i];
    const auto& arg = lines[4 + i];
    ASSERT_EQ(arg.size(), 3u);
    const std::string type = p["type"];
    const int pdbType = type == "float" ? kPdbFloat : (type == "integer" || type == "boolean") ? kPdbInt32 : kPdbString;
    EXPECT_EQ(arg[0], std::to_string(pdbType)) << p["key"];
    EXPECT_EQ(arg[1], gimp::argumentName(p["name"])) << p["key"];
    for (const auto& v : p.value("values", nlohmann::json::array()))
      EXPECT_NE(arg[2].find(v["code"].get<std::string>()), std::string::npos);
  }
  EXPECT_EQ(lines[4 + params][0], "<Image>/Filters/" + j["category"].get<std::string>() + "/" + j["name"].get<std::string>());
  EXPECT_EQ(lines[5 + params][0], "RGB*, GRAY*");
}

TEST(GimpBadArguments, AreRefusedWithAMessageAndGimpCarriesOn) {
  const Batch& b = batch();
  for (size_t i = 0; i < badCalls().size(); ++i) {
    EXPECT_NE(b.result.output.find(badCalls()[i].answer), std::string::npos)
        << badCalls()[i].answer << "\n" << b.result.output;
    EXPECT_FALSE(fileExists(b.gimp.file("bad" + std::to_string(i)))) << badCalls()[i].key;
  }
  EXPECT_TRUE(fileExists(b.gimp.file("alive")));
  EXPECT_EQ(b.result.output.find("crashed"), std::string::npos) << b.result.output;
}

}  // namespace
}  // namespace veyra::test
