#include "app/ActionFile.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <sstream>

#include "app/AtomicFile.h"
#include "app/platform/FileSystem.h"

namespace veyra::app {

namespace {

constexpr size_t kMaxStringLength = 255;  // a descriptor string is length-prefixed

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

// Action files nest three levels (file, descriptor list, item); deeper
// values are refused while parsing, before anything walks them.
constexpr int kMaxActionDepth = 64;

// A value as messages show it: a scalar as JSON cut to a few dozen
// characters, a list or an object by its kind and size, never serialised.
std::string shown(const nlohmann::json& v) {
  if (v.is_array()) return "a list of " + std::to_string(v.size()) + " values";
  if (v.is_object()) return "an object of " + std::to_string(v.size()) + " members";
  std::string text = v.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  if (text.size() > 40) {
    size_t cut = 37;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // whole UTF-8 sequences
    text = text.substr(0, cut) + "...";
  }
  return text;
}

std::string describe(const TermParameter& p) { return p.name + " (" + fourCCText(p.key) + ")"; }

std::string validKeys(const TermEvent& event) {
  std::string out;
  for (const TermParameter& p : event.parameters) {
    if (!out.empty()) out += ", ";
    out += fourCCText(p.key) + " (" + p.name + ")";
  }
  return out;
}

std::string validValues(const TermEnumeration& e) {
  std::string out;
  for (const TermEnumValue& v : e.values) {
    if (!out.empty()) out += ", ";
    out += fourCCText(v.code) + " (" + v.name + ")";
  }
  return out;
}

const TermEnumeration& enumerationOf(const ModuleScripting& s, const TermParameter& p) {
  const TermEnumeration* e = s.terminology.findEnumeration(p.type);
  if (e == nullptr)
    throw ScriptingInputError("the terminology lists no enumeration '" + fourCCText(p.type) + "'");
  return *e;
}

const char* typeHint(TermValueKind kind) {
  switch (kind) {
    case TermValueKind::Float:
      return "a number";
    case TermValueKind::Integer:
      return "an integer from -2147483648 to 2147483647";
    case TermValueKind::Enumerated:
      return "one of its values";
    case TermValueKind::String:
      return "a text of at most 255 bytes";
    case TermValueKind::Boolean:
      return "true or false";
    case TermValueKind::Unsupported:
      break;
  }
  return "nothing this host can give";
}

// The item for one parameter and its textual value (--set).
DescriptorItem itemFromText(const ModuleScripting& s, const TermParameter& p, const std::string& text,
                            const std::string& context) {
  const TermValueKind kind = valueKindOf(s.terminology, p);
  auto refuse = [&](const std::string& why) -> ScriptingInputError {
    return ScriptingInputError(context + ": " + why + "; " + describe(p) + " takes " + typeHint(kind));
  };
  switch (kind) {
    case TermValueKind::Float: {
      errno = 0;
      char* end = nullptr;
      const double v = text.empty() ? 0.0 : std::strtod(text.c_str(), &end);
      if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(v))
        throw refuse(quoted(text) + " is not a finite number");
      return DescriptorItem::makeFloat(p.key, v);
    }
    case TermValueKind::Integer: {
      errno = 0;
      char* end = nullptr;
      const long long v = text.empty() ? 0 : std::strtoll(text.c_str(), &end, 10);
      if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE || v < INT32_MIN ||
          v > INT32_MAX)
        throw refuse(quoted(text) + " is not a 32-bit integer");
      return DescriptorItem::makeInteger(p.key, static_cast<int32>(v));
    }
    case TermValueKind::Enumerated: {
      const TermEnumeration& e = enumerationOf(s, p);
      const TermEnumValue* v = e.find(text);
      if (v == nullptr)
        throw ScriptingInputError(context + ": unknown value " + quoted(text) + " for " + describe(p) +
                                  "; valid values: " + validValues(e));
      return DescriptorItem::makeEnumerated(p.key, e.type, v->code);
    }
    case TermValueKind::String:
      if (text.size() > kMaxStringLength)
        throw refuse("the text has " + std::to_string(text.size()) + " bytes");
      return DescriptorItem::makeString(p.key, text);
    case TermValueKind::Boolean:
      if (text == "true") return DescriptorItem::makeBoolean(p.key, true);
      if (text == "false") return DescriptorItem::makeBoolean(p.key, false);
      throw refuse(quoted(text) + " is not a boolean");
    case TermValueKind::Unsupported:
      break;
  }
  throw refuse("its terminology type '" + fourCCText(p.type) + "' is not supported");
}

// Text items are UTF-8 in the file where they are valid UTF-8 (as JSON
// checks it), else "bytes": lowercase hexadecimal digit pairs, byte by byte.
bool isUtf8(const std::string& text) {
  try {
    (void)nlohmann::json(text).dump();
    return true;
  } catch (const nlohmann::json::type_error&) {
    return false;
  }
}

std::string hexFromBytes(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex.push_back(digits[c >> 4]);
    hex.push_back(digits[c & 15]);
  }
  return hex;
}

std::optional<std::string> bytesFromHex(const std::string& hex) {
  const auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  for (size_t i = 0; i < hex.size(); i += 2) {
    const int hi = digit(hex[i]), lo = digit(hex[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    bytes.push_back(static_cast<char>(hi * 16 + lo));
  }
  return bytes;
}

}  // namespace

// ---- the module's scripting ---------------------------------------------------

ModuleScripting ModuleScripting::fromResources(const PIResourceEntry* table) {
  ModuleScripting s;
  s.properties = readFilterProperties(table);
  const int16_t termId = s.properties.terminology ? s.properties.terminology->resourceId
                                                  : static_cast<int16_t>(kPluginResourceId);
  const PIResourceEntry* aete = findResource(table, kTerminologyType, termId);
  if (aete == nullptr)
    throw TerminologyError("the module has no scripting terminology ('aete' " + std::to_string(termId) + ")");
  s.terminology = parseTerminology(aete->data, aete->size);
  const TermEvent* event = nullptr;
  if (s.properties.terminology) event = s.terminology.findEvent(s.properties.terminology->eventId);
  if (event == nullptr && !s.terminology.suites.empty() && !s.terminology.suites[0].events.empty())
    event = &s.terminology.suites[0].events[0];
  if (event == nullptr) throw TerminologyError("the module's terminology describes no event");
  s.eventId = event->id;
  return s;
}

const TermEvent& ModuleScripting::event() const {
  const TermEvent* e = terminology.findEvent(eventId);
  if (e == nullptr) throw TerminologyError("the module's terminology describes no event");
  return *e;
}

const TermParameter& ModuleScripting::parameter(const std::string& keyOrName,
                                                const std::string& context) const {
  const TermParameter* p = findParameter(event(), keyOrName);
  if (p == nullptr)
    throw ScriptingInputError(context + ": unknown key " + quoted(keyOrName) +
                              "; valid keys: " + validKeys(event()));
  return *p;
}

// ---- --set ------------------------------------------------------------------------

DescriptorItem parseSetting(const ModuleScripting& s, const std::string& assignment) {
  const std::string context = "--set " + assignment;
  const size_t eq = assignment.find('=');
  if (eq == std::string::npos || eq == 0)
    throw ScriptingInputError(context +
                              ": expected KEY=VALUE, with KEY a four-character key or a parameter name");
  const TermParameter& p = s.parameter(assignment.substr(0, eq), context);
  return itemFromText(s, p, assignment.substr(eq + 1), context);
}

void mergeDescriptor(Descriptor& into, const DescriptorItem& item) {
  for (DescriptorItem& existing : into) {
    if (existing.key == item.key) {
      existing = item;
      return;
    }
  }
  into.push_back(item);
}

// ---- action files -------------------------------------------------------------------

Descriptor descriptorFromAction(const ModuleScripting& s, const nlohmann::json& action,
                                const std::string& source) {
  auto bad = [&](const std::string& why) { return ScriptingInputError(source + ": " + why); };
  if (!action.is_object()) throw bad("expected a JSON object with a \"descriptor\" list");
  if (action.contains("filter")) {
    const nlohmann::json& f = action["filter"];
    if (!f.is_string()) throw bad("\"filter\" must be the filter's name as text");
    if (f.get<std::string>() != s.properties.name)
      throw bad("the action is for the filter " + quoted(f.get<std::string>()) + ", this module is " +
                quoted(s.properties.name));
  }
  if (action.contains("event")) {
    const nlohmann::json& e = action["event"];
    if (!e.is_string() || e.get<std::string>() != fourCCText(s.eventId))
      throw bad("\"event\" must be " + quoted(fourCCText(s.eventId)) + ", the filter's event");
  }
  if (!action.contains("descriptor") || !action["descriptor"].is_array())
    throw bad("expected a \"descriptor\" list of items");

  Descriptor d;
  size_t index = 0;
  for (const nlohmann::json& item : action["descriptor"]) {
    ++index;
    std::string where = "descriptor item " + std::to_string(index);
    if (!item.is_object()) throw bad(where + ": expected an object with \"key\", \"type\" and \"value\"");
    if (!item.contains("key") || !item["key"].is_string()) throw bad(where + ": expected a \"key\" as text");
    const TermParameter& p = s.parameter(item["key"].get<std::string>(), source + ": " + where);
    where += " (" + fourCCText(p.key) + ")";
    const TermValueKind kind = valueKindOf(s.terminology, p);
    const std::string expected = valueKindName(kind);
    if (!item.contains("type") || !item["type"].is_string())
      throw bad(where + ": expected a \"type\", here " + quoted(expected));
    if (item["type"].get<std::string>() != expected)
      throw bad(where + ": type " + quoted(item["type"].get<std::string>()) + " given, " + quoted(expected) +
                " expected");
    if (kind == TermValueKind::String && item.contains("bytes")) {
      // Text that is not UTF-8, as its bytes in hexadecimal.
      if (item.contains("value")) throw bad(where + ": give \"value\" or \"bytes\", not both");
      const std::optional<std::string> bytes =
          item["bytes"].is_string() ? bytesFromHex(item["bytes"].get<std::string>()) : std::nullopt;
      if (!bytes) throw bad(where + ": \"bytes\" must be text of hexadecimal digit pairs");
      if (bytes->size() > kMaxStringLength)
        throw bad(where + ": the text has " + std::to_string(bytes->size()) + " bytes, at most 255 fit");
      mergeDescriptor(d, DescriptorItem::makeString(p.key, *bytes));
      continue;
    }
    if (!item.contains("value")) throw bad(where + ": no \"value\"");
    const nlohmann::json& v = item["value"];
    switch (kind) {
      case TermValueKind::Float: {
        if (!v.is_number()) throw bad(where + ": the value must be a number, not " + shown(v));
        const double x = v.get<double>();
        if (!std::isfinite(x)) throw bad(where + ": the value must be a finite number");
        mergeDescriptor(d, DescriptorItem::makeFloat(p.key, x));
        break;
      }
      case TermValueKind::Integer: {
        const bool fits =
            v.is_number_integer() &&
            (v.is_number_unsigned() ? v.get<uint64_t>() <= uint64_t{INT32_MAX}
                                    : v.get<int64_t>() >= INT32_MIN && v.get<int64_t>() <= INT32_MAX);
        if (!fits) throw bad(where + ": the value must be a 32-bit integer, not " + shown(v));
        mergeDescriptor(d, DescriptorItem::makeInteger(p.key, static_cast<int32>(v.get<int64_t>())));
        break;
      }
      case TermValueKind::Enumerated: {
        const TermEnumeration& e = enumerationOf(s, p);
        if (!item.contains("enumType") || !item["enumType"].is_string() ||
            item["enumType"].get<std::string>() != fourCCText(e.type))
          throw bad(where + ": expected \"enumType\": " + quoted(fourCCText(e.type)));
        const TermEnumValue* ev = v.is_string() ? e.find(v.get<std::string>()) : nullptr;
        if (ev == nullptr)
          throw bad(where + ": unknown value " + shown(v) + "; valid values: " + validValues(e));
        mergeDescriptor(d, DescriptorItem::makeEnumerated(p.key, e.type, ev->code));
        break;
      }
      case TermValueKind::String:
        if (!v.is_string()) throw bad(where + ": the value must be text, not " + shown(v));
        if (v.get<std::string>().size() > kMaxStringLength)
          throw bad(where + ": the text has " + std::to_string(v.get<std::string>().size()) +
                    " bytes, at most 255 fit");
        mergeDescriptor(d, DescriptorItem::makeString(p.key, v.get<std::string>()));
        break;
      case TermValueKind::Boolean:
        if (!v.is_boolean()) throw bad(where + ": the value must be true or false, not " + shown(v));
        mergeDescriptor(d, DescriptorItem::makeBoolean(p.key, v.get<bool>()));
        break;
      case TermValueKind::Unsupported:
        throw bad(where + ": its terminology type '" + fourCCText(p.type) + "' is not supported");
    }
  }
  return d;
}

Descriptor readActionFile(const ModuleScripting& s, const std::string& path) {
  std::string text;
  {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(platform::openFile(path, "rb"), &std::fclose);
    if (!in) throw ScriptingInputError(path + ": cannot read: " + std::strerror(errno));
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0) text.append(buffer, n);
    if (std::ferror(in.get())) throw ScriptingInputError(path + ": cannot read: " + std::strerror(errno));
  }
  nlohmann::json action;
  try {
    action = nlohmann::json::parse(text, [](int depth, nlohmann::json::parse_event_t, nlohmann::json&) {
      if (depth > kMaxActionDepth)
        throw ScriptingInputError("values are nested more than " + std::to_string(kMaxActionDepth) +
                                  " levels deep; an action file needs three");
      return true;
    });
  } catch (const nlohmann::json::exception& e) {
    throw ScriptingInputError(path + ": not a JSON action file: " + e.what());
  } catch (const ScriptingInputError& e) {
    throw ScriptingInputError(path + ": " + e.what());
  }
  return descriptorFromAction(s, action, path);
}

nlohmann::ordered_json actionFromDescriptor(const ModuleScripting& s, const Descriptor& d) {
  nlohmann::ordered_json items = nlohmann::ordered_json::array();
  for (const DescriptorItem& i : d) {
    nlohmann::ordered_json item;
    item["key"] = fourCCText(i.key);
    switch (i.kind) {
      case DescriptorItem::Kind::Float:
        item["type"] = "float";
        item["value"] = i.number;  // a non-finite number would be written as null
        break;
      case DescriptorItem::Kind::Integer:
        item["type"] = "integer";
        item["value"] = i.integer;
        break;
      case DescriptorItem::Kind::Enumerated:
        item["type"] = "enum";
        item["enumType"] = fourCCText(i.enumType);
        item["value"] = fourCCText(i.enumValue);
        break;
      case DescriptorItem::Kind::String:
        item["type"] = "string";
        if (isUtf8(i.text))
          item["value"] = i.text;
        else
          item["bytes"] = hexFromBytes(i.text);
        break;
      case DescriptorItem::Kind::Boolean:
        item["type"] = "boolean";
        item["value"] = i.flag;
        break;
    }
    items.push_back(std::move(item));
  }
  nlohmann::ordered_json action;
  action["filter"] = s.properties.name;
  action["event"] = fourCCText(s.eventId);
  action["descriptor"] = std::move(items);
  return action;
}

void writeActionFile(const ModuleScripting& s, const Descriptor& d, const std::string& path) {
  // Every text item is UTF-8 or written as bytes, so the dump is exact.
  const std::string text = actionFromDescriptor(s, d).dump(2) + "\n";
  try {
    writeFileAtomically(path, text);
  } catch (const AtomicFileError& e) {
    throw ScriptingInputError(e.what());
  }
}

}  // namespace veyra::app
