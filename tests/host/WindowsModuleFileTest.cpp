// The built Windows modules, read as files on this machine: their Windows
// resources hold exactly the bytes the resource table is built from (the
// x64 property list in its x64 form), and they export exactly the entry point
// and the table. The modules to read are named by VEYRA_WINDOWS_MODULES
// (paths separated by ':'), which `./test.sh windows` sets after building.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "resources/Bitmaps.h"
#include "resources/PluginResourceBytes.h"

namespace {

using Bytes = std::vector<unsigned char>;
using namespace veyra::resources;

// A PE image's machine, exported names and resources, read from the file.
// Any offset that leaves the file throws.
class PeFile {
public:
  explicit PeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (u16(0) != 0x5A4D) throw std::runtime_error("no MZ header");
    const uint32_t pe = u32(0x3C);
    if (u32(pe) != 0x00004550) throw std::runtime_error("no PE signature");
    machine = u16(pe + 4);
    const uint32_t sections = u16(pe + 6);
    const uint32_t optional = pe + 24;
    const uint32_t optionalSize = u16(pe + 20);
    const bool plus = u16(optional) == 0x20B;
    const uint32_t directories = optional + (plus ? 112 : 96);
    for (uint32_t s = 0; s < sections; ++s) {
      const uint32_t h = optional + optionalSize + 40 * s;
      sections_.push_back({u32(h + 12), std::max(u32(h + 8), u32(h + 16)), u32(h + 20)});
    }
    readExports(u32(directories));
    const uint32_t resources = u32(directories + 16);
    if (resources != 0) readResources(offsetOf(resources), offsetOf(resources), std::string(), -1, 0);
  }

  uint16_t machine = 0;
  std::set<std::string> exports;
  std::map<std::pair<std::string, int>, Bytes> resources;  // (type, id) -> data

private:
  struct Section {
    uint32_t rva, size, file;
  };

  void need(uint64_t at, uint64_t n) const {
    if (at + n > bytes_.size()) throw std::runtime_error("truncated image");
  }
  uint32_t u8(uint64_t at) const {
    need(at, 1);
    return bytes_[at];
  }
  uint32_t u16(uint64_t at) const {
    need(at, 2);
    return bytes_[at] | bytes_[at + 1] << 8;
  }
  uint32_t u32(uint64_t at) const { return u16(at) | u16(at + 2) << 16; }
  uint32_t offsetOf(uint32_t rva) const {
    for (const Section& s : sections_)
      if (rva >= s.rva && rva < s.rva + s.size) return rva - s.rva + s.file;
    throw std::runtime_error("address outside every section");
  }

  void readExports(uint32_t rva) {
    if (rva == 0) return;
    const uint32_t dir = offsetOf(rva);
    const uint32_t count = u32(dir + 24);
    const uint32_t names = offsetOf(u32(dir + 32));
    for (uint32_t i = 0; i < count; ++i) {
      std::string name;
      for (uint32_t at = offsetOf(u32(names + 4 * i)); u8(at) != 0; ++at) name += static_cast<char>(bytes_[at]);
      exports.insert(name);
    }
  }

  // Walks the three levels type / id / language; names of named entries are
  // UTF-16 strings (ASCII here).
  void readResources(uint32_t base, uint32_t dir, std::string type, int id, int depth) {
    if (depth > 2) throw std::runtime_error("resource tree too deep");
    const uint32_t entries = u16(dir + 12) + u16(dir + 14);
    for (uint32_t e = 0; e < entries; ++e) {
      const uint32_t nameField = u32(dir + 16 + 8 * e);
      const uint32_t target = u32(dir + 20 + 8 * e);
      std::string name;
      if (nameField & 0x80000000u) {
        const uint32_t at = base + (nameField & 0x7FFFFFFF);
        for (uint32_t k = 0; k < u16(at); ++k) name += static_cast<char>(u16(at + 2 + 2 * k));
      } else {
        name = std::to_string(nameField);
      }
      const std::string nextType = depth == 0 ? name : type;
      const int nextId = depth == 1 ? std::atoi(name.c_str()) : id;
      if (target & 0x80000000u) {
        readResources(base, base + (target & 0x7FFFFFFF), nextType, nextId, depth + 1);
      } else {
        const uint32_t leaf = base + target;
        const uint32_t at = offsetOf(u32(leaf));
        const uint32_t size = u32(leaf + 4);
        need(at, size);
        resources[{nextType, nextId}] = Bytes(bytes_.begin() + at, bytes_.begin() + at + size);
      }
    }
  }

  Bytes bytes_;
  std::vector<Section> sections_;
};

std::vector<std::string> modulesUnderTest() {
  std::vector<std::string> paths;
  const char* list = std::getenv("VEYRA_WINDOWS_MODULES");
  std::stringstream in(list == nullptr ? "" : list);
  for (std::string path; std::getline(in, path, ':');)
    if (!path.empty()) paths.push_back(path);
  return paths;
}

template <std::size_t N>
Bytes bytesOf(const std::array<unsigned char, N>& a) {
  return Bytes(a.begin(), a.end());
}

TEST(WindowsModuleFile, ResourcesAndExportsEqualTheTable) {
  const std::vector<std::string> modules = modulesUnderTest();
  if (modules.empty()) GTEST_SKIP() << "VEYRA_WINDOWS_MODULES names no module (./test.sh windows sets it)";
  for (const std::string& path : modules) {
    SCOPED_TRACE(path);
    const PeFile pe(path);
    ASSERT_TRUE(pe.machine == 0x14C || pe.machine == 0x8664) << "machine " << pe.machine;
    const Bytes pipl = pe.machine == 0x8664 ? bytesOf(buildPropertyList<PropertyListForm::X64>())
                                            : bytesOf(buildPropertyList<PropertyListForm::X86>());
    const std::map<std::pair<std::string, int>, Bytes> expected = {
        {{"PIPL", 16000}, pipl},
        {{"AETE", 16000}, bytesOf(buildTerminology())},
        {{"2", kSplashBitmapId}, Bytes(kSplashBitmap, kSplashBitmap + kSplashBitmapSize)},
        {{"2", kDropperBitmapId}, Bytes(kDropperBitmap, kDropperBitmap + kDropperBitmapSize)},
    };
    EXPECT_EQ(pe.resources.size(), expected.size());
    for (const auto& [key, bytes] : expected) {
      const auto found = pe.resources.find(key);
      ASSERT_NE(found, pe.resources.end()) << "no resource " << key.first << " " << key.second;
      EXPECT_TRUE(found->second == bytes) << "resource " << key.first << " " << key.second << " differs";
    }
    EXPECT_EQ(pe.exports, (std::set<std::string>{"PIResourceTable", "PluginMain"}));
  }
}

}  // namespace
