#include "app/FilterHost.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <stdexcept>
#include <vector>

#include "app/Progress.h"
#include "app/platform/Workers.h"
#include "host/PIBufferSuite.h"

namespace veyra::app {

namespace {

// Hosts alive, the current one last.
std::vector<FilterHost*>& hostStack() {
  static std::vector<FilterHost*> stack;
  return stack;
}

const char* channelName(ColorMode mode, int c) {
  static const char* const gray[] = {"Gray"};
  static const char* const rgb[] = {"Red", "Green", "Blue"};
  static const char* const cmyk[] = {"Cyan", "Magenta", "Yellow", "Black"};
  switch (mode) {
    case ColorMode::Gray: return gray[c];
    case ColorMode::RGB: return rgb[c];
    case ColorMode::CMYK: return cmyk[c];
  }
  return "";
}

int16 channelType(ColorMode mode, int c) {
  switch (mode) {
    case ColorMode::Gray: return ctBlack;
    case ColorMode::RGB: return static_cast<int16>(ctRed + c);
    case ColorMode::CMYK: return static_cast<int16>(ctCyan + c);
  }
  return ctUnspecified;
}

std::atomic<int> gDefaultCopyThreads{0};  // 0: the processor count

// The record holds resolutions in 16.16 fixed point, so below 32768 pixels
// per inch. A larger resolution (files may claim millions) is clamped to the
// largest value the record holds; the document keeps its own for saving.
int32 fixedResolution(double ppi) {
  constexpr double kLargest = std::numeric_limits<int32>::max() / 65536.0;
  if (!(ppi >= 0.0)) return 72 << 16;
  return static_cast<int32>(std::min(ppi, kLargest) * 65536.0 + 0.5);
}

}  // namespace

std::string describeResult(int32 code) {
  const char* meaning = nullptr;
  switch (code) {
    case noErr: meaning = "success"; break;
    case memFullErr: meaning = "out of memory"; break;
    case userCanceledErr: meaning = "cancelled"; break;
    case errPlugInHostInsufficient: meaning = "a required host service is missing"; break;
    case -50: meaning = "bad parameter"; break;
    default: meaning = "unknown error"; break;
  }
  return std::to_string(code) + " (" + meaning + ")";
}

FilterHost* FilterHost::current() { return hostStack().empty() ? nullptr : hostStack().back(); }

void FilterHost::makeCurrent() {
  auto& stack = hostStack();
  stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
  stack.push_back(this);
}

FilterHost::FilterHost(Document& doc) : doc_(&doc), memory_(faults_, calls_), suites_(faults_) {
  suites_.add(kPSBufferSuite, kPSBufferSuiteVersion1, HostMemory::bufferSuite());
  suites_.add(kPSChannelPortsSuite, kPSChannelPortsSuiteVersion2, channelPortsSuite());
  suites_.add(kPSColorSpaceSuite, kPSColorSpaceSuiteVersion1, colorSpaceSuite());
  suites_.add(kASZStringSuite, kASZStringSuiteVersion1, zStringSuite());
  suites_.add(kSPPluginsSuite, kSPPluginsSuiteVersion4, pluginsSuite());
  for (int c = 0; c < 4; ++c) {
    readPorts_[static_cast<size_t>(c)] = {this, c, false};
    writePorts_[static_cast<size_t>(c)] = {this, c, true};
  }
  ownDescriptorParameters_.descriptorParametersVersion = 1;
  plugin_.name = "plug-in";
  setDocument(doc);
  makeCurrent();
  try {
    installHostServices(*this);
  } catch (...) {
    // The destructor will not run: leave no dangling current host behind.
    services_.clear();
    auto& stack = hostStack();
    stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
    throw;
  }
}

FilterHost::~FilterHost() {
  services_.clear();
  auto& stack = hostStack();
  stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
}

void FilterHost::setCopyThreads(int threads) {
  copyThreadCount_ = std::max(threads, 0);
  copyThreads_.reset();
}

void FilterHost::setDefaultCopyThreads(int threads) { gDefaultCopyThreads.store(std::max(threads, 0)); }

CopyThreads& FilterHost::copyThreads() {
  if (!copyThreads_) {
    int n = copyThreadCount_ > 0 ? copyThreadCount_ : gDefaultCopyThreads.load();
    if (n <= 0) n = platform::processorCount();
    copyThreads_ = std::make_unique<CopyThreads>(std::max(n, 1));
  }
  return *copyThreads_;
}

void FilterHost::setDocument(Document& doc) {
  doc_ = &doc;
  alphaTarget_.clear();
  filterRect_ = VRect{0, 0, doc.height(), doc.width()};
}

void FilterHost::setFilterRect(const VRect& r) {
  if (r.top < 0 || r.left < 0 || r.bottom > doc_->height() || r.right > doc_->width())
    throw std::invalid_argument("the rectangle lies outside the " + std::to_string(doc_->width()) + " x " +
                                std::to_string(doc_->height()) + " image");
  if (r.bottom < r.top || r.right < r.left)
    throw std::invalid_argument("the rectangle's bottom is above its top or its right is left of its left");
  filterRect_ = r;
}

void FilterHost::presentAlphaTarget(int count) {
  if (count < 0 || count > static_cast<int>(channels_.size()))
    throw std::invalid_argument("a target of " + std::to_string(count) + " alpha channels");
  alphaTarget_.assign(static_cast<size_t>(count), std::vector<uint8_t>(doc_->pixelCount(), 0));
}

int FilterHost::targetChannelCount() const {
  return alphaTarget_.empty() ? doc_->channelCount() : static_cast<int>(alphaTarget_.size());
}

uint8_t* FilterHost::targetChannel(int c) {
  return alphaTarget_.empty() ? doc_->channel(c) : alphaChannel(c);
}

bool FilterHost::isPort(const PIChannelPortDesc* port) const {
  const int n = targetChannelCount();
  for (int c = 0; c < n; ++c)
    if (port == &readPorts_[static_cast<size_t>(c)] || port == &writePorts_[static_cast<size_t>(c)]) return true;
  return false;
}

void FilterHost::refreshRecord() {
  Document& doc = *doc_;
  const int n = targetChannelCount();
  const bool alpha = !alphaTarget_.empty();
  const auto w = static_cast<int16>(doc.width());
  const auto h = static_cast<int16>(doc.height());
  const VRect bounds{0, 0, doc.height(), doc.width()};
  const int32 res = fixedResolution(doc.resolution());

  for (int c = 0; c < n; ++c) {
    ReadChannelDesc& ch = channels_[static_cast<size_t>(c)];
    ch = ReadChannelDesc{};
    ch.minVersion = 0;
    ch.maxVersion = 1;
    ch.next = c + 1 < n ? &channels_[static_cast<size_t>(c + 1)] : nullptr;
    ch.port = &readPorts_[static_cast<size_t>(c)];
    ch.writePort = &writePorts_[static_cast<size_t>(c)];
    ch.bounds = bounds;
    ch.depth = 8;
    ch.tileSize = VPoint{doc.height(), doc.width()};
    ch.tileOrigin = VPoint{0, 0};
    ch.target = true;
    ch.shown = true;
    ch.channelType = alpha ? static_cast<int16>(ctUnspecified) : channelType(doc.mode(), c);
    ch.name = alpha ? "Alpha" : channelName(doc.mode(), c);
  }
  documentInfo_ = ReadImageDocumentDesc{};
  documentInfo_.minVersion = 0;
  documentInfo_.maxVersion = 1;
  documentInfo_.imageMode = static_cast<int32>(doc.mode());
  documentInfo_.depth = 8;
  documentInfo_.bounds = bounds;
  documentInfo_.hResolution = res;
  documentInfo_.vResolution = res;
  // The document's alpha is its transparency and is never offered to the
  // filter; the document has no extra alpha channels unless a test presents
  // some as the target (then there are no target composite channels).
  if (alpha)
    documentInfo_.alphaChannels = &channels_[0];
  else
    documentInfo_.targetCompositeChannels = &channels_[0];

  FilterRecord& r = record_;
  r.serialNumber = 0;
  r.abortProc = &FilterHost::abortProc;
  r.progressProc = &FilterHost::progressProc;
  r.imageSize = Point{h, w};
  r.planes = static_cast<int16>(n);
  r.filterRect = Rect{static_cast<int16>(filterRect_.top), static_cast<int16>(filterRect_.left),
                      static_cast<int16>(filterRect_.bottom), static_cast<int16>(filterRect_.right)};
  r.background = RGBColor{0xffff, 0xffff, 0xffff};
  r.foreground = RGBColor{0, 0, 0};
  // Foreground black, background white, in the document's own terms (CMYK
  // with 255 = no ink).
  for (int c = 0; c < 4; ++c) {
    r.backColor[c] = c < n ? 255 : 0;
    r.foreColor[c] = doc.mode() == ColorMode::CMYK ? (c < 3 ? 255 : 0) : 0;
  }
  r.hostSig = PI_FOURCC('V', 'Y', 'R', 'A');
  r.hostProc = nullptr;
  r.imageMode = static_cast<int16>(doc.mode());
  r.imageHRes = res;
  r.imageVRes = res;
  r.floatCoord = Point{0, 0};
  r.wholeSize = r.imageSize;
  r.bufferSpace = 0;
  r.maxSpace = static_cast<int32>(std::min<size_t>(memory_.space(), std::numeric_limits<int32>::max()));
  r.inRect = r.outRect = r.maskRect = Rect{0, 0, 0, 0};
  r.inLoPlane = r.inHiPlane = r.outLoPlane = r.outHiPlane = 0;
  r.inData = r.outData = r.maskData = nullptr;
  r.inRowBytes = r.outRowBytes = r.maskRowBytes = 0;
  r.isFloating = false;
  r.haveMask = false;
  r.autoMask = false;
  r.handleProcs = HostMemory::handleProcs();
  r.depth = 8;
  r.descriptorParameters = descriptorParameters_;
  r.documentInfo = &documentInfo_;
  r.sSPBasic = SuiteRegistry::basicSuite();
  r.plugInRef = &plugin_;
  // parameters and displayPixels are kept as they are.
}

void FilterHost::adoptModule(const PluginModule& module) {
  plugin_.path = module.path();
  plugin_.name = module.name();
}

int16 FilterHost::call(const PluginModule& module, int16 selector) {
  makeCurrent();
  adoptModule(module);
  refreshRecord();
  calls_.selectors.push_back(selector);
  int16 result = 0;
  module.entry()(selector, &record_, &data_, &result);
  return result;
}

FilterHost::RunResult FilterHost::run(const PluginModule& module) {
  RunResult r;
  for (int16 selector : {filterSelectorParameters, filterSelectorPrepare, filterSelectorStart, filterSelectorFinish}) {
    r.selector = selector;
    r.result = call(module, selector);
    if (r.result != noErr) break;
  }
  return r;
}

int16 FilterHost::about(const PluginModule& module) {
  makeCurrent();
  adoptModule(module);
  calls_.selectors.push_back(filterSelectorAbout);
  AboutRecord about{};
  about.platformData = nullptr;
  about.sSPBasic = SuiteRegistry::basicSuite();
  about.plugInRef = &plugin_;
  int16 result = 0;
  module.entry()(filterSelectorAbout, &about, &data_, &result);
  return result;
}

Boolean FilterHost::abortProc() {
  FilterHost* host = current();
  if (host == nullptr) return false;
  ++host->calls_.abortQueries;
  if (interruptRequested()) return true;
  const long after = host->faults_.abortAfterProgress;
  return after > 0 && host->calls_.progressCalls >= after;
}

void FilterHost::progressProc(int32 done, int32 total) {
  FilterHost* host = current();
  if (host == nullptr) return;
  ++host->calls_.progressCalls;
  host->calls_.progress.emplace_back(done, total);
  if (host->progressReporter_) host->progressReporter_(done, total);
}

std::vector<VRect> HostCalls::rects(PortAccess access, int channel) const {
  std::vector<VRect> out;
  for (const PortCall& c : portCalls)
    if (c.access == access && (channel < 0 || c.channel == channel)) out.push_back(c.rect);
  return out;
}

}  // namespace veyra::app
