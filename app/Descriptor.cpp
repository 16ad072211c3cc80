#include "app/Descriptor.h"

#include <cstring>

namespace veyra::app {

DescriptorItem DescriptorItem::makeFloat(DescriptorKeyID key, double v) {
  DescriptorItem i;
  i.key = key;
  i.kind = Kind::Float;
  i.number = v;
  return i;
}
DescriptorItem DescriptorItem::makeInteger(DescriptorKeyID key, int32 v) {
  DescriptorItem i;
  i.key = key;
  i.kind = Kind::Integer;
  i.integer = v;
  return i;
}
DescriptorItem DescriptorItem::makeEnumerated(DescriptorKeyID key, DescriptorTypeID type, OSType value) {
  DescriptorItem i;
  i.key = key;
  i.kind = Kind::Enumerated;
  i.enumType = type;
  i.enumValue = value;
  return i;
}
DescriptorItem DescriptorItem::makeString(DescriptorKeyID key, std::string v) {
  DescriptorItem i;
  i.key = key;
  i.kind = Kind::String;
  i.text = std::move(v);
  return i;
}
DescriptorItem DescriptorItem::makeBoolean(DescriptorKeyID key, bool v) {
  DescriptorItem i;
  i.key = key;
  i.kind = Kind::Boolean;
  i.flag = v;
  return i;
}

DescriptorTypeID DescriptorItem::typeCode() const {
  switch (kind) {
    case Kind::Float:
      return typeFloat;
    case Kind::Integer:
      return typeInteger;
    case Kind::Enumerated:
      return typeEnumerated;
    case Kind::String:
      return typeChar;
    case Kind::Boolean:
      return typeBoolean;
  }
  return typeNull;
}

bool DescriptorItem::operator==(const DescriptorItem& o) const {
  if (key != o.key || kind != o.kind) return false;
  switch (kind) {
    case Kind::Float:
      // Bitwise, so that a NaN item equals its own copy.
      return std::memcmp(&number, &o.number, sizeof number) == 0;
    case Kind::Integer:
      return integer == o.integer;
    case Kind::Enumerated:
      return enumType == o.enumType && enumValue == o.enumValue;
    case Kind::String:
      return text == o.text;
    case Kind::Boolean:
      return flag == o.flag;
  }
  return false;
}

// Byte form: a magic word, the item count, then per item the key, a kind
// byte and the value (native byte order; the handle never leaves the
// process). Strings carry a 32-bit length.
namespace {

constexpr uint32_t kMagic = 0x56445331;  // "VDS1"

template <typename T>
void put(std::vector<char>& out, const T& v) {
  const char* p = reinterpret_cast<const char*>(&v);
  out.insert(out.end(), p, p + sizeof v);
}

class Reader {
 public:
  Reader(const char* p, size_t n) : p_(p), n_(n) {}
  template <typename T>
  bool get(T& v) {
    if (n_ - pos_ < sizeof v) return false;
    std::memcpy(&v, p_ + pos_, sizeof v);
    pos_ += sizeof v;
    return true;
  }
  bool text(std::string& s, uint32_t length) {
    if (n_ - pos_ < length) return false;
    s.assign(p_ + pos_, length);
    pos_ += length;
    return true;
  }
  bool atEnd() const { return pos_ == n_; }

 private:
  const char* p_;
  size_t n_;
  size_t pos_ = 0;
};

}  // namespace

std::vector<char> encodeDescriptor(const Descriptor& d) {
  std::vector<char> out;
  put(out, kMagic);
  put(out, static_cast<uint32_t>(d.size()));
  for (const DescriptorItem& i : d) {
    put(out, i.key);
    put(out, static_cast<uint8_t>(i.kind));
    switch (i.kind) {
      case DescriptorItem::Kind::Float:
        put(out, i.number);
        break;
      case DescriptorItem::Kind::Integer:
        put(out, i.integer);
        break;
      case DescriptorItem::Kind::Enumerated:
        put(out, i.enumType);
        put(out, i.enumValue);
        break;
      case DescriptorItem::Kind::String:
        put(out, static_cast<uint32_t>(i.text.size()));
        out.insert(out.end(), i.text.begin(), i.text.end());
        break;
      case DescriptorItem::Kind::Boolean:
        put(out, static_cast<uint8_t>(i.flag ? 1 : 0));
        break;
    }
  }
  return out;
}

std::optional<Descriptor> decodeDescriptor(const char* bytes, size_t size) {
  if (bytes == nullptr) return std::nullopt;
  Reader r(bytes, size);
  uint32_t magic = 0, count = 0;
  if (!r.get(magic) || magic != kMagic || !r.get(count)) return std::nullopt;
  Descriptor d;
  for (uint32_t n = 0; n < count; ++n) {
    DescriptorItem i;
    uint8_t kind = 0;
    if (!r.get(i.key) || !r.get(kind)) return std::nullopt;
    switch (kind) {
      case 0:
        i.kind = DescriptorItem::Kind::Float;
        if (!r.get(i.number)) return std::nullopt;
        break;
      case 1:
        i.kind = DescriptorItem::Kind::Integer;
        if (!r.get(i.integer)) return std::nullopt;
        break;
      case 2:
        i.kind = DescriptorItem::Kind::Enumerated;
        if (!r.get(i.enumType) || !r.get(i.enumValue)) return std::nullopt;
        break;
      case 3: {
        i.kind = DescriptorItem::Kind::String;
        uint32_t length = 0;
        if (!r.get(length) || !r.text(i.text, length)) return std::nullopt;
        break;
      }
      case 4: {
        i.kind = DescriptorItem::Kind::Boolean;
        uint8_t b = 0;
        if (!r.get(b)) return std::nullopt;
        i.flag = b != 0;
        break;
      }
      default:
        return std::nullopt;
    }
    d.push_back(std::move(i));
  }
  if (!r.atEnd()) return std::nullopt;
  return d;
}

std::string fourCCText(uint32_t code) {
  std::string s(4, ' ');
  for (int i = 0; i < 4; ++i) s[static_cast<size_t>(i)] = static_cast<char>((code >> (24 - 8 * i)) & 0xFF);
  return s;
}

std::optional<uint32_t> parseFourCC(const std::string& text) {
  if (text.size() != 4) return std::nullopt;
  uint32_t code = 0;
  for (char c : text) code = (code << 8) | static_cast<unsigned char>(c);
  return code;
}

}  // namespace veyra::app
