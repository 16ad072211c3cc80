#include "app/Terminology.h"

#include "app/Descriptor.h"
#include "host/PIDescriptor.h"

namespace veyra::app {

namespace {

class Reader {
 public:
  Reader(const unsigned char* p, size_t n) : p_(p), n_(n) {}
  void need(size_t k, const std::string& what) const {
    if (n_ - pos_ < k)
      throw TerminologyError("terminology ends inside " + what + " (at byte " + std::to_string(pos_) + ")");
  }
  uint8_t u8(const std::string& what) {
    need(1, what);
    return p_[pos_++];
  }
  uint16_t u16(const std::string& what) {
    need(2, what);
    const uint16_t v = static_cast<uint16_t>(p_[pos_] | (p_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
  }
  uint32_t u32(const std::string& what) {
    need(4, what);
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | p_[pos_ + static_cast<size_t>(i)];
    pos_ += 4;
    return v;
  }
  std::string pstring(const std::string& what) {
    const uint8_t n = u8(what);
    need(n, what);
    std::string s(reinterpret_cast<const char*>(p_ + pos_), n);
    pos_ += n;
    return s;
  }
  bool atEnd() const { return pos_ == n_; }
  size_t position() const { return pos_; }

 private:
  const unsigned char* p_;
  size_t n_;
  size_t pos_ = 0;
};

void skipClasses(Reader& r, uint16_t count) {
  for (uint16_t c = 0; c < count; ++c) {
    const std::string what = "class " + std::to_string(c + 1);
    r.pstring(what);
    r.u32(what);
    r.pstring(what);
    const uint16_t properties = r.u16(what);
    for (uint16_t p = 0; p < properties; ++p) {
      r.pstring(what);
      r.u32(what);
      r.u32(what);
      r.pstring(what);
      r.u16(what);
    }
    const uint16_t elements = r.u16(what);
    for (uint16_t e = 0; e < elements; ++e) {
      r.u32(what);
      const uint16_t keyForms = r.u16(what);
      for (uint16_t k = 0; k < keyForms; ++k) r.u32(what);
    }
  }
}

}  // namespace

Terminology parseTerminology(const unsigned char* data, size_t size) {
  if (data == nullptr) throw TerminologyError("no terminology");
  Reader r(data, size);
  Terminology t;
  t.majorVersion = r.u8("the header");
  t.minorVersion = r.u8("the header");
  t.language = static_cast<int16_t>(r.u16("the header"));
  t.script = static_cast<int16_t>(r.u16("the header"));
  const uint16_t suites = r.u16("the header");
  for (uint16_t s = 0; s < suites; ++s) {
    TermSuite suite;
    const std::string sw = "suite " + std::to_string(s + 1);
    suite.name = r.pstring(sw);
    suite.description = r.pstring(sw);
    suite.id = r.u32(sw);
    suite.level = static_cast<int16_t>(r.u16(sw));
    suite.version = static_cast<int16_t>(r.u16(sw));
    const uint16_t events = r.u16(sw);
    for (uint16_t e = 0; e < events; ++e) {
      TermEvent ev;
      const std::string ew = "event " + std::to_string(e + 1) + " of " + sw;
      ev.name = r.pstring(ew);
      ev.description = r.pstring(ew);
      ev.eventClass = r.u32(ew);
      ev.id = r.u32(ew);
      ev.replyType = r.u32(ew);
      ev.replyDescription = r.pstring(ew);
      ev.replyFlags = r.u16(ew);
      ev.directType = r.u32(ew);
      ev.directDescription = r.pstring(ew);
      ev.directFlags = r.u16(ew);
      const uint16_t parameters = r.u16(ew);
      for (uint16_t p = 0; p < parameters; ++p) {
        TermParameter param;
        const std::string pw = "parameter " + std::to_string(p + 1) + " of " + ew;
        param.name = r.pstring(pw);
        param.key = r.u32(pw);
        param.type = r.u32(pw);
        param.description = r.pstring(pw);
        param.flags = r.u16(pw);
        ev.parameters.push_back(std::move(param));
      }
      suite.events.push_back(std::move(ev));
    }
    skipClasses(r, r.u16(sw));
    const uint16_t comparisons = r.u16(sw);
    for (uint16_t c = 0; c < comparisons; ++c) {
      const std::string cw = "comparison operator " + std::to_string(c + 1) + " of " + sw;
      r.pstring(cw);
      r.u32(cw);
      r.pstring(cw);
    }
    const uint16_t enumerations = r.u16(sw);
    for (uint16_t n = 0; n < enumerations; ++n) {
      TermEnumeration en;
      const std::string nw = "enumeration " + std::to_string(n + 1) + " of " + sw;
      en.type = r.u32(nw);
      const uint16_t values = r.u16(nw);
      for (uint16_t v = 0; v < values; ++v) {
        TermEnumValue value;
        value.name = r.pstring(nw);
        value.code = r.u32(nw);
        value.description = r.pstring(nw);
        en.values.push_back(std::move(value));
      }
      suite.enumerations.push_back(std::move(en));
    }
    t.suites.push_back(std::move(suite));
  }
  if (!r.atEnd())
    throw TerminologyError("terminology has " + std::to_string(size - r.position()) +
                           " bytes after its last suite");
  return t;
}

const TermEnumValue* TermEnumeration::find(const std::string& codeOrName) const {
  for (const TermEnumValue& v : values)
    if (fourCCText(v.code) == codeOrName) return &v;
  for (const TermEnumValue& v : values)
    if (v.name == codeOrName) return &v;
  return nullptr;
}

const TermEvent* Terminology::findEvent(OSType id) const {
  for (const TermSuite& s : suites)
    for (const TermEvent& e : s.events)
      if (e.id == id) return &e;
  return nullptr;
}

const TermEnumeration* Terminology::findEnumeration(OSType type) const {
  for (const TermSuite& s : suites)
    for (const TermEnumeration& e : s.enumerations)
      if (e.type == type) return &e;
  return nullptr;
}

const TermParameter* findParameter(const TermEvent& event, const std::string& keyOrName) {
  for (const TermParameter& p : event.parameters)
    if (fourCCText(p.key) == keyOrName) return &p;
  for (const TermParameter& p : event.parameters)
    if (p.name == keyOrName) return &p;
  return nullptr;
}

TermValueKind valueKindOf(const Terminology& terms, const TermParameter& p) {
  switch (p.type) {
    case typeFloat:
      return TermValueKind::Float;
    case typeInteger:
      return TermValueKind::Integer;
    case typeChar:
      return TermValueKind::String;
    case typeBoolean:
      return TermValueKind::Boolean;
    default:
      break;
  }
  return terms.findEnumeration(p.type) != nullptr ? TermValueKind::Enumerated : TermValueKind::Unsupported;
}

const char* valueKindName(TermValueKind kind) {
  switch (kind) {
    case TermValueKind::Float:
      return "float";
    case TermValueKind::Integer:
      return "integer";
    case TermValueKind::Enumerated:
      return "enum";
    case TermValueKind::String:
      return "string";
    case TermValueKind::Boolean:
      return "boolean";
    case TermValueKind::Unsupported:
      break;
  }
  return "unsupported";
}

}  // namespace veyra::app
