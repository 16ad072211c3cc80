// The host side of a filter run: the filter record over a Document, the
// handle procedures, the basic suite with every suite the plug-in asks for,
// progress and abort. One FilterHost is one host session: the parameter
// handle and the data slot are kept between runs, as a real host keeps them.
//
// The plug-in's C callbacks carry no context, so they act on the current
// host: the most recently made FilterHost still alive (each call of the
// plug-in also makes its host current for the call).
#ifndef VEYRA_APP_FILTERHOST_H
#define VEYRA_APP_FILTERHOST_H

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <typeindex>
#include <vector>

#include "app/CopyThreads.h"
#include "app/Document.h"
#include "app/FaultInjection.h"
#include "app/HostMemory.h"
#include "app/PluginModule.h"
#include "app/SuiteRegistry.h"
#include "host/ASZStringSuite.h"
#include "host/FilterRecord.h"
#include "host/PIChannelPortsSuite.h"
#include "host/PIColorSpaceSuite.h"
#include "host/SPPluginsSuite.h"

namespace veyra::app {
class FilterHost;
}

// A channel port of the host: one channel of the document, for reading or for writing.
struct PIChannelPortDesc {
  veyra::app::FilterHost* host;
  int channel;
  bool writable;
};

// The plug-in reference the host hands out: the module's file and name.
struct SPPlugin {
  std::string path;
  std::string name;
};

namespace veyra::app {

// Sets up the services of the other parts of the application on a new host
// (called at the end of every FilterHost's construction; HostServices.cpp).
void installHostServices(FilterHost& host);

// A result code and what it means, for messages: "-108 (out of memory)".
std::string describeResult(int32 code);

class FilterHost {
 public:
  explicit FilterHost(Document& doc);
  FilterHost(const FilterHost&) = delete;
  FilterHost& operator=(const FilterHost&) = delete;
  ~FilterHost();

  static FilterHost* current();
  // Makes this host the current one (done by every call of the plug-in).
  void makeCurrent();

  Document& document() { return *doc_; }
  // A new document for the next run; the filter rectangle becomes the whole image.
  void setDocument(Document& doc);

  // A test facility: presents the filter's target as count (1 to 4) alpha
  // channels of the document's size and no composite channels, as an editor
  // does when the user filters masks; 0 goes back to the composite channels.
  // The alpha channels' samples are kept by the host, 0 at first. A new
  // document goes back to the composite channels.
  void presentAlphaTarget(int count);
  int alphaTargetCount() const { return static_cast<int>(alphaTarget_.size()); }
  // Alpha channel c of the target: width x height samples row by row.
  uint8_t* alphaChannel(int c) { return alphaTarget_.at(static_cast<size_t>(c)).data(); }
  // The number of target channels, and the samples behind target channel c
  // (a composite channel of the document, or an alpha channel).
  int targetChannelCount() const;
  uint8_t* targetChannel(int c);

  // The area to filter, bottom and right exclusive. Throws
  // std::invalid_argument when it is not inside the image or is inverted.
  void setFilterRect(const VRect& rect);
  const VRect& filterRect() const { return filterRect_; }

  SuiteRegistry& suites() { return suites_; }
  HostMemory& memory() { return memory_; }
  FaultPlan& faults() { return faults_; }
  HostCalls& calls() { return calls_; }

  // The scripting part's descriptor parameters handed to the plug-in. By
  // default a zeroed record owned by the host (play info 0, no descriptor);
  // null hands the plug-in none.
  PIDescriptorParameters* descriptorParameters() const { return descriptorParameters_; }
  void setDescriptorParameters(PIDescriptorParameters* parameters) { descriptorParameters_ = parameters; }
  PIDescriptorParameters& defaultDescriptorParameters() { return ownDescriptorParameters_; }

  // The pixel display service for dialogs (null until the dialog part sets it).
  void setDisplayPixels(DisplayPixelsProc proc) { record_.displayPixels = proc; }

  // Called with (done, total) on every progress call of the plug-in.
  void setProgressReporter(std::function<void(int32, int32)> reporter) { progressReporter_ = std::move(reporter); }

  // The filter record as it will be (or was last) handed to the plug-in.
  FilterRecord& filterRecord() { return record_; }
  Handle parameters() const { return record_.parameters; }
  intptr_t dataSlot() const { return data_; }
  SPPluginRef pluginRef() { return &plugin_; }

  // Runs the selectors of one filter run in a host's order: parameters,
  // prepare, start, finish; stops at the first non-zero result.
  struct RunResult {
    int16 result = 0;
    int16 selector = 0;  // the selector that answered the result
  };
  RunResult run(const PluginModule& module);
  // One selector with the filter record.
  int16 call(const PluginModule& module, int16 selector);
  // The about selector, with an about record.
  int16 about(const PluginModule& module);

  // Services of other parts of the application kept with this host (the
  // scripting host, the dialog's display service), found again by type.
  // They are destroyed before the rest of the host.
  template <class T>
  T& attach(std::unique_ptr<T> service) {
    T& ref = *service;
    services_[std::type_index(typeid(T))] = std::shared_ptr<void>(std::move(service));
    return ref;
  }
  template <class T>
  T* service() const {
    auto it = services_.find(std::type_index(typeid(T)));
    return it != services_.end() ? static_cast<T*>(it->second.get()) : nullptr;
  }

  // True for a port of this host's document channels.
  bool isPort(const PIChannelPortDesc* port) const;

  // The threads that copy the pixels of one channel-port call (the caller's
  // thread included): set for this host, or 0 for the process's default.
  // The default is the processor count unless setDefaultCopyThreads changed
  // it (batch runs share the processors among their pictures).
  void setCopyThreads(int threads);
  static void setDefaultCopyThreads(int threads);
  CopyThreads& copyThreads();

 private:
  void refreshRecord();
  void adoptModule(const PluginModule& module);
  static Boolean abortProc();
  static void progressProc(int32 done, int32 total);

  Document* doc_;
  std::vector<std::vector<uint8_t>> alphaTarget_;  // presentAlphaTarget
  VRect filterRect_{};
  FaultPlan faults_;
  HostCalls calls_;
  HostMemory memory_;
  SuiteRegistry suites_;
  FilterRecord record_{};
  ReadImageDocumentDesc documentInfo_{};
  std::array<ReadChannelDesc, 4> channels_{};
  std::array<PIChannelPortDesc, 4> readPorts_{};
  std::array<PIChannelPortDesc, 4> writePorts_{};
  PIDescriptorParameters ownDescriptorParameters_{};
  PIDescriptorParameters* descriptorParameters_ = &ownDescriptorParameters_;
  intptr_t data_ = 0;
  SPPlugin plugin_;
  std::function<void(int32, int32)> progressReporter_;
  int copyThreadCount_ = 0;  // 0: the default
  std::unique_ptr<CopyThreads> copyThreads_;  // made on first use
  std::map<std::type_index, std::shared_ptr<void>> services_;  // last: destroyed first
};

// The suite tables this host offers (registered by every FilterHost).
const PSChannelPortsSuite2* channelPortsSuite();
const PSColorSpaceSuite1* colorSpaceSuite();
const ASZStringSuite1* zStringSuite();
const SPPluginsSuite4* pluginsSuite();

}  // namespace veyra::app

#endif
