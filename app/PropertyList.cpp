#include "app/PropertyList.h"

#include <cstring>

#include "app/Descriptor.h"

namespace veyra::app {

namespace {

class Bytes {
 public:
  Bytes(const unsigned char* p, size_t n) : p_(p), n_(n) {}
  size_t remaining() const { return n_ - pos_; }
  void need(size_t k, const char* what) const {
    if (remaining() < k) throw PropertyListError(std::string("property list ends inside ") + what);
  }
  uint16_t u16(const char* what) {
    need(2, what);
    const uint16_t v = static_cast<uint16_t>(p_[pos_] | (p_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
  }
  uint32_t u32(const char* what) {
    need(4, what);
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | p_[pos_ + static_cast<size_t>(i)];
    pos_ += 4;
    return v;
  }
  const unsigned char* take(size_t k, const char* what) {
    need(k, what);
    const unsigned char* at = p_ + pos_;
    pos_ += k;
    return at;
  }

 private:
  const unsigned char* p_;
  size_t n_;
  size_t pos_ = 0;
};

std::string propertyName(OSType key) { return "'" + fourCCText(key) + "'"; }

// A length-prefixed string inside a property's data.
std::string pascalString(const unsigned char* data, size_t size, OSType key) {
  if (size < 1 || size_t{data[0]} + 1 > size)
    throw PropertyListError("property " + propertyName(key) + ": string longer than its property");
  return std::string(reinterpret_cast<const char*>(data + 1), data[0]);
}

// A zero-terminated string inside a property's data.
std::string cString(const unsigned char* data, size_t size, OSType key) {
  const void* end = std::memchr(data, 0, size);
  if (end == nullptr)
    throw PropertyListError("property " + propertyName(key) + ": string without its ending zero");
  return std::string(reinterpret_cast<const char*>(data), static_cast<const unsigned char*>(end) - data);
}

uint32_t le32(const unsigned char* d) {
  return uint32_t(d[0]) | (uint32_t(d[1]) << 8) | (uint32_t(d[2]) << 16) | (uint32_t(d[3]) << 24);
}

}  // namespace

PropertyList parsePropertyList(const unsigned char* data, size_t size) {
  if (data == nullptr) throw PropertyListError("no property list");
  Bytes b(data, size);
  const uint16_t listVersion = b.u16("its header");
  const uint32_t version = b.u32("its header");
  if (listVersion != 1 || version != 0)
    throw PropertyListError("property list of an unknown version (" + std::to_string(listVersion) + ", " +
                            std::to_string(version) + ")");
  const uint32_t count = b.u32("its header");
  PropertyList list;
  for (uint32_t n = 0; n < count; ++n) {
    const uint32_t vendor = b.u32("a property header");
    const OSType key = b.u32("a property header");
    b.u32("a property header");  // id
    const uint32_t length = b.u32("a property header");
    const unsigned char* d = b.take(length, "a property's data");
    if (vendor != PI_FOURCC('8', 'B', 'I', 'M')) continue;  // another vendor's property
    switch (key) {
      case PI_FOURCC('k', 'i', 'n', 'd'):
        if (length < 4) throw PropertyListError("property 'kind' is too short");
        list.kind = le32(d);
        break;
      case PI_FOURCC('n', 'a', 'm', 'e'):
        list.name = pascalString(d, length, key);
        break;
      case PI_FOURCC('c', 'a', 't', 'g'):
        list.category = pascalString(d, length, key);
        break;
      case PI_FOURCC('v', 'e', 'r', 's'):
        if (length < 4) throw PropertyListError("property 'vers' is too short");
        list.version = le32(d);
        break;
      case PI_FOURCC('w', 'x', '8', '6'):
        list.entryPoint = cString(d, length, key);
        break;
      case PI_FOURCC('m', 'o', 'd', 'e'):
        if (length < 2) throw PropertyListError("property 'mode' is too short");
        list.modes = std::array<uint8_t, 4>{d[0], d[1], length > 2 ? d[2] : uint8_t{0},
                                            length > 3 ? d[3] : uint8_t{0}};
        break;
      case PI_FOURCC('e', 'n', 'b', 'l'):
        list.enable = cString(d, length, key);
        break;
      case PI_FOURCC('h', 's', 't', 'm'): {
        if (length < 14) throw PropertyListError("property 'hstm' is too short");
        PropertyList::Terminology t;
        t.version = le32(d);
        t.eventClass = le32(d + 4);
        t.eventId = le32(d + 8);
        t.resourceId = static_cast<int16_t>(d[12] | (d[13] << 8));
        t.scopeId = cString(d + 14, length - 14, key);
        list.terminology = t;
        break;
      }
      default:
        break;
    }
  }
  return list;
}

const PIResourceEntry* findResource(const PIResourceEntry* table, OSType type, int32_t id) {
  for (const PIResourceEntry* e = table; e != nullptr && e->type != 0; ++e)
    if (e->type == type && e->id == id) return e;
  return nullptr;
}

PropertyList readFilterProperties(const PIResourceEntry* table) {
  const PIResourceEntry* e = findResource(table, kPropertyListType, kPluginResourceId);
  if (e == nullptr) throw PropertyListError("the module has no property list (PiPL 16000)");
  PropertyList list = parsePropertyList(e->data, e->size);
  if (list.kind != kFilterKind)
    throw PropertyListError("the module is not a filter (its kind is '" + fourCCText(list.kind) +
                            "', not '8BFM')");
  if (list.entryPoint.empty())
    throw PropertyListError("the module's property list names no entry point ('wx86')");
  return list;
}

std::string PropertyList::displayName() const {
  std::string n = name;
  if (n.size() >= 3 && n.compare(n.size() - 3, 3, "...") == 0) n.erase(n.size() - 3);
  return n.empty() ? "the filter" : n;
}

bool PropertyList::modeFlagged(int imageMode) const {
  if (!modes) return true;
  if (imageMode < 0 || imageMode >= 32) return false;
  // One flag per mode, from the high bit of the first byte down.
  return ((*modes)[static_cast<size_t>(imageMode / 8)] & (0x80 >> (imageMode % 8))) != 0;
}

namespace {

std::optional<EnableExpression> condition(const PropertyList& p) {
  if (!p.enable) return std::nullopt;
  try {
    return EnableExpression::parse(*p.enable);
  } catch (const EnableExpressionError& e) {
    throw PropertyListError(p.category + " > " + p.displayName() + ": unreadable enabling condition " +
                            e.what());
  }
}

bool enabledFor(const PropertyList& p, const std::optional<EnableExpression>& c, int imageMode, int depth) {
  if (!p.modeFlagged(imageMode)) return false;
  return !c || c->evaluate(EnableContext{imageMode, depth});
}

}  // namespace

bool documentEnabled(const PropertyList& p, int imageMode, int depth) {
  return enabledFor(p, condition(p), imageMode, depth);
}

std::vector<int> enabledModes(const PropertyList& p, int depth) {
  const std::optional<EnableExpression> c = condition(p);
  std::vector<int> modes;
  for (int m = 0; m < 16; ++m)
    if (enabledFor(p, c, m, depth)) modes.push_back(m);
  return modes;
}

void checkDocumentSupported(const PropertyList& p, int imageMode, int depth) {
  if (documentEnabled(p, imageMode, depth)) return;
  std::string supported;
  for (int m : enabledModes(p, depth)) {
    if (!supported.empty()) supported += ", ";
    supported += imageModeName(m);
  }
  const std::string mode =
      imageModeName(imageMode).empty() ? "mode " + std::to_string(imageMode) : imageModeName(imageMode);
  throw PropertyListError(p.category + " > " + p.displayName() + " does not work on " + mode +
                          " documents at " + std::to_string(depth) + " bits per channel; it supports " +
                          (supported.empty() ? std::string("none") : supported));
}

}  // namespace veyra::app
