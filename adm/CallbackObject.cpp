#include "adm/CallbackObject.h"

#include <algorithm>

namespace ADM {

const char kSelectEvent[] = "select";
const char kChangedEvent[] = "changed";
const char kTrackEvent[] = "track";
const char kActivateEvent[] = "activate";
const char kCloseEvent[] = "close";
const char kGainFocusEvent[] = "gainFocus";
const char kLoseFocusEvent[] = "loseFocus";

CallbackObject::~CallbackObject() = default;

void CallbackObject::connect(const char* event, CallbackObject* target, Handler handler,
                             void* userData) {
  connections_.push_back(Connection{event, target, handler, nullptr, userData, nextSerial_++});
}

void CallbackObject::connect(const char* event, Function function, void* userData) {
  connections_.push_back(Connection{event, nullptr, nullptr, function, userData, nextSerial_++});
}

bool CallbackObject::disconnect(const char* event, CallbackObject* target, Handler handler,
                                void* userData) {
  auto it = std::find_if(connections_.begin(), connections_.end(), [&](const Connection& c) {
    return c.event == event && c.target == target && c.handler == handler && !c.function &&
           c.userData == userData;
  });
  if (it == connections_.end()) return false;
  connections_.erase(it);
  return true;
}

bool CallbackObject::disconnect(const char* event, Function function, void* userData) {
  auto it = std::find_if(connections_.begin(), connections_.end(), [&](const Connection& c) {
    return c.event == event && !c.target && c.function == function && c.userData == userData;
  });
  if (it == connections_.end()) return false;
  connections_.erase(it);
  return true;
}

void CallbackObject::emit(const char* event, CallbackObject* sender, void* arg) {
  // Handlers may change the list while we walk it: take the serials of the
  // matching connections first and look each one up again before its call,
  // so that a removed connection is never called and no iterator dangles.
  std::vector<std::uint64_t> serials;
  for (const Connection& c : connections_)
    if (c.event == event) serials.push_back(c.serial);
  for (std::uint64_t serial : serials) {
    auto it = std::find_if(connections_.begin(), connections_.end(),
                           [serial](const Connection& c) { return c.serial == serial; });
    if (it == connections_.end()) continue;
    const Connection c = *it;  // the call may modify the list
    if (c.target && c.handler)
      (c.target->*c.handler)(sender, c.userData, arg);
    else if (c.function)
      c.function(sender, c.userData, arg);
  }
}

}  // namespace ADM
