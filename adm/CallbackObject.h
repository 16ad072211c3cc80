// Named events routed to objects: the root of the toolkit's class tree.
#pragma once

#include <cstdint>
#include <vector>

namespace ADM {

// Event names. Events are matched by pointer identity, so always use these
// constants, never equal string literals.
extern const char kSelectEvent[];     // "select"
extern const char kChangedEvent[];    // "changed"
extern const char kTrackEvent[];      // "track"
extern const char kActivateEvent[];   // "activate"
extern const char kCloseEvent[];      // "close"
extern const char kGainFocusEvent[];  // "gainFocus"
extern const char kLoseFocusEvent[];  // "loseFocus"

class CallbackObject {
 public:
  // A handler: a member function of the target, (sender, user data, argument).
  using Handler = void (CallbackObject::*)(CallbackObject* sender, void* userData, void* arg);
  // A handler without a target.
  using Function = void (*)(CallbackObject* sender, void* userData, void* arg);

  CallbackObject() = default;
  virtual ~CallbackObject();
  CallbackObject(const CallbackObject&) = delete;
  CallbackObject& operator=(const CallbackObject&) = delete;

  // Appends a connection of the event to the target's member handler.
  void connect(const char* event, CallbackObject* target, Handler handler, void* userData = nullptr);
  // Appends a connection of the event to a plain function.
  void connect(const char* event, Function function, void* userData = nullptr);
  // Typed form: connect(kChangedEvent, this, &MyDialog::onChanged).
  template <class T>
  void connect(const char* event, T* target,
               void (T::*handler)(CallbackObject*, void*, void*), void* userData = nullptr) {
    connect(event, static_cast<CallbackObject*>(target), static_cast<Handler>(handler), userData);
  }

  // Removes the first connection matching all four; later ones move up.
  // Answers whether one was removed.
  bool disconnect(const char* event, CallbackObject* target, Handler handler,
                  void* userData = nullptr);
  bool disconnect(const char* event, Function function, void* userData = nullptr);
  template <class T>
  bool disconnect(const char* event, T* target,
                  void (T::*handler)(CallbackObject*, void*, void*), void* userData = nullptr) {
    return disconnect(event, static_cast<CallbackObject*>(target),
                      static_cast<Handler>(handler), userData);
  }

  // Calls every connection of the event in connection order with (sender,
  // user data, argument). Handlers may emit, connect and disconnect: a
  // connection removed during the emission is not called, one added is called
  // from the next emission on.
  void emit(const char* event, CallbackObject* sender, void* arg);

  // Number of connections (all events).
  std::size_t connectionCount() const { return connections_.size(); }

 protected:
  // Removes every connection (item wrappers do so before destroying their item).
  void clearConnections() { connections_.clear(); }

 private:
  struct Connection {
    const char* event;
    CallbackObject* target;
    Handler handler;
    Function function;
    void* userData;
    std::uint64_t serial;
  };
  std::vector<Connection> connections_;
  std::uint64_t nextSerial_ = 1;
};

}  // namespace ADM
