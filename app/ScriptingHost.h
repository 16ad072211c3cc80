// The host's scripting services for one FilterHost: the read and write
// descriptor procedures of the filter record's descriptor parameters, the
// action descriptor suite and the descriptor registry suite. Descriptors
// handed to the plug-in travel in host handles in their byte form.
#ifndef VEYRA_APP_SCRIPTINGHOST_H
#define VEYRA_APP_SCRIPTINGHOST_H

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Descriptor.h"
#include "host/PIActionsSuites.h"
#include "host/PIDescriptor.h"

namespace veyra::app {

class FilterHost;

// Errors the descriptor procedures answer.
constexpr OSErr kDescriptorWrongType = -1703;  // the item is not of the type asked for
constexpr OSErr kDescriptorNoItem = -1715;     // no current item (getKey not called, or at the end)
constexpr OSErr kDescriptorBadToken = -50;

class ScriptingHost {
 public:
  // Offers both scripting suites in host's registry and sets the procedure
  // tables of the host's own descriptor parameters.
  explicit ScriptingHost(FilterHost& host);
  ~ScriptingHost();
  ScriptingHost(const ScriptingHost&) = delete;
  ScriptingHost& operator=(const ScriptingHost&) = delete;

  // Hands the plug-in d to play back with the given play info (0: no dialog,
  // 1: show the dialog). The previous descriptor handle is disposed of.
  void playBack(const Descriptor& d, int16 playInfo);
  // No descriptor at all (an empty handle), as when nothing is played back.
  void clearPlayback();
  // The descriptor in the descriptor parameters' handle: after Finish, what
  // the plug-in recorded. Nothing when there is no handle or it is malformed.
  std::optional<Descriptor> currentDescriptor() const;

  // What the plug-in did, for tests.
  const std::vector<DescriptorKeyID>& lastKeyList() const { return lastKeyList_; }
  int readersOpened() const { return readersOpened_; }
  int writersOpened() const { return writersOpened_; }
  size_t openReaders() const { return readers_.size(); }
  size_t openWriters() const { return writers_.size(); }
  size_t liveActionDescriptors() const { return actionDescriptors_.size(); }
  // Registry entries by key (the stored copies) and whether each is persistent.
  struct RegistryEntry {
    Descriptor descriptor;
    bool persistent = false;
  };
  const std::map<std::string, RegistryEntry>& registry() const { return registry_; }
  int registryLookups() const { return registryLookups_; }

  static ReadDescriptorProcs* readProcs();
  static WriteDescriptorProcs* writeProcs();
  static const PSActionDescriptorSuite2* actionDescriptorSuite();
  static const PSDescriptorRegistrySuite1* registrySuite();

  // The procedures' work, on this host's state (callable from the C
  // procedures only through the current host).
  struct ReadToken {
    Descriptor items;
    size_t next = 0;
    const DescriptorItem* current = nullptr;
  };
  PIReadDescriptor openRead(PIDescriptorHandle handle, const DescriptorKeyID* keys);
  OSErr closeRead(PIReadDescriptor token);
  ReadToken* reader(PIReadDescriptor token);
  PIWriteDescriptor openWrite();
  Descriptor* writer(PIWriteDescriptor token);
  OSErr closeWrite(PIWriteDescriptor token, PIDescriptorHandle* handle);
  Descriptor* actionDescriptor(PIActionDescriptor d);
  PIActionDescriptor makeActionDescriptor(Descriptor contents);
  bool freeActionDescriptor(PIActionDescriptor d);
  void registerDescriptor(const std::string& key, const Descriptor& d, bool persistent);
  bool eraseRegistered(const std::string& key);
  const Descriptor* registered(const std::string& key);

 private:
  Handle makeHandle(const Descriptor& d);

  FilterHost& host_;
  std::map<PIReadDescriptor, std::unique_ptr<ReadToken>> readers_;
  std::map<PIWriteDescriptor, std::unique_ptr<Descriptor>> writers_;
  std::map<PIActionDescriptor, std::unique_ptr<Descriptor>> actionDescriptors_;
  std::map<std::string, RegistryEntry> registry_;
  std::vector<DescriptorKeyID> lastKeyList_;
  int readersOpened_ = 0;
  int writersOpened_ = 0;
  int registryLookups_ = 0;
};

// Attaches the scripting services to a host (done for every host when it is
// made) and answers them; a host's services are found with
// host.service<ScriptingHost>().
ScriptingHost& installScripting(FilterHost& host);

// The scripting services of the current host, or null.
ScriptingHost* currentScripting();

}  // namespace veyra::app

#endif
