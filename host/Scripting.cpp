#include "host/Scripting.h"

#include <cmath>
#include <cstring>

#include "host/HostSuite.h"
#include "host/PIActionsSuites.h"
#include "host/ScriptingTable.h"

namespace veyra {
namespace {

using namespace scripting;

// Both scripting suites, held for one read or write. A missing suite raises
// SuiteError; the registry, acquired first, is released on that path too.
struct ScriptingSuites {
  explicit ScriptingSuites(const SPBasicSuite* basic)
      : registry(basic, kPSDescriptorRegistrySuite, kPSDescriptorRegistrySuiteVersion1),
        descriptors(basic, kPSActionDescriptorSuite, kPSActionDescriptorSuiteVersion2) {}
  HostSuite<PSDescriptorRegistrySuite1> registry;
  HostSuite<PSActionDescriptorSuite2> descriptors;
};

// An action descriptor the plug-in owns, freed through the suite.
class OwnedDescriptor {
 public:
  OwnedDescriptor(const PSActionDescriptorSuite2* suite, PIActionDescriptor descriptor)
      : suite_(suite), descriptor_(descriptor) {}
  ~OwnedDescriptor() {
    if (descriptor_ != nullptr && suite_->Free != nullptr) suite_->Free(descriptor_);
  }
  OwnedDescriptor(const OwnedDescriptor&) = delete;
  OwnedDescriptor& operator=(const OwnedDescriptor&) = delete;

 private:
  const PSActionDescriptorSuite2* suite_;
  PIActionDescriptor descriptor_;
};

const Parameter* descriptorParameter(DescriptorKeyID key) {
  for (int i = 0; i < kDescriptorKeyCount; ++i)
    if (kParameters[i].key == key) return &kParameters[i];
  return nullptr;
}

bool cornerChanged(const LightParameters& p, int corner) {
  return p.corners[corner].x != LightParameters::kDefaultCorners[corner].x ||
         p.corners[corner].y != LightParameters::kDefaultCorners[corner].y;
}

bool canRead(const ReadDescriptorProcs* r) {
  return r != nullptr && r->openReadDescriptorProc != nullptr && r->getKeyProc != nullptr &&
         r->closeReadDescriptorProc != nullptr;
}

bool canWrite(const WriteDescriptorProcs* w) {
  return w != nullptr && w->openWriteDescriptorProc != nullptr && w->closeWriteDescriptorProc != nullptr;
}

void readItem(const ReadDescriptorProcs& r, PIReadDescriptor token, const Parameter& param,
              LightParameters& p) {
  switch (param.kind) {
    case ValueKind::Float: {
      // Stored as it comes, NaN and infinities included: the renderer guards
      // its own arithmetic. A failed get leaves the default.
      real64 value = param.floatField(p);
      if (r.getFloatProc != nullptr) r.getFloatProc(token, &value);
      param.floatField(p) = value;
      break;
    }
    case ValueKind::Enumerated: {
      DescriptorTypeID type = 0;
      OSType code = 0;
      if (r.getEnumeratedProc != nullptr) r.getEnumeratedProc(token, &type, &code);
      const int index = codeIndex(param.enumeration, code);
      if (index >= 0) param.indexField(p) = index;
      break;
    }
    case ValueKind::Color: {
      uint16_t& component = param.colorField(p);
      real64 value = component;
      if (r.getFloatProc != nullptr) r.getFloatProc(token, &value);
      component = colorComponentFromFloat(value, component);
      break;
    }
    case ValueKind::String: {
      unsigned char text[256] = {0};
      if (r.getStringProc != nullptr) r.getStringProc(token, text);
      char name[256];
      std::memcpy(name, text + 1, text[0]);
      name[text[0]] = 0;
      p.shapeFile.assign(name);  // an empty name leaves the (cleared) path empty
      break;
    }
    case ValueKind::Boolean:
      break;
  }
}

void writeItem(const WriteDescriptorProcs& w, PIWriteDescriptor token, const Parameter& param,
               LightParameters& p) {
  switch (param.kind) {
    case ValueKind::Float: {
      const real64 value = param.floatField(p);
      if (w.putFloatProc != nullptr) w.putFloatProc(token, param.key, &value);
      break;
    }
    case ValueKind::Enumerated: {
      const Enumeration& e = kEnumerations[param.enumeration];
      const int32_t index = param.indexField(p);
      // An index outside the enumeration cannot come from the dialog or a
      // descriptor; should the record hold one anyway, nothing is written.
      if (index >= 0 && index < e.count && w.putEnumeratedProc != nullptr)
        w.putEnumeratedProc(token, param.key, e.type, e.values[index].code);
      break;
    }
    case ValueKind::Color:
      if (w.putIntegerProc != nullptr)
        w.putIntegerProc(token, param.key, static_cast<int32>(param.colorField(p)));
      break;
    case ValueKind::String: {
      unsigned char text[256] = {0};
      const std::size_t length = p.shapeFile.length();
      if (length <= kMaxRecordedNameLength) {
        text[0] = static_cast<unsigned char>(length);
        std::memcpy(text + 1, p.shapeFile.c_str(), length);
      }
      if (w.putStringProc != nullptr) w.putStringProc(token, param.key, text);
      break;
    }
    case ValueKind::Boolean:
      break;
  }
}

}  // namespace

uint16_t colorComponentFromFloat(double value, uint16_t fallback) {
  if (!std::isfinite(value)) return fallback;
  // The low 16 bits of the value truncated toward zero, as two's complement:
  // exact for every finite double, since fmod is exact and 65536 divides
  // every power of two from 2^16 up.
  double low = std::fmod(std::trunc(value), 65536.0);
  if (low < 0) low += 65536.0;
  return static_cast<uint16_t>(low);
}

bool readScriptingParameters(FilterCall& call) {
  ScriptingSuites suites(call.basicSuite());
  {
    // The registry may hold what an earlier run registered under the scope;
    // it carries nothing the filter uses, so it is only freed.
    PIActionDescriptor found = nullptr;
    if (suites.registry->Get != nullptr) suites.registry->Get(kScopeId, &found);
    OwnedDescriptor owned(suites.descriptors.get(), found);
  }

  PIDescriptorParameters* dp = call.record()->descriptorParameters;
  if (dp == nullptr || !canRead(dp->readDescriptorProcs) || dp->descriptor == nullptr) return false;
  const ReadDescriptorProcs& r = *dp->readDescriptorProcs;

  std::array<DescriptorKeyID, kDescriptorKeyCount + 1> keys = kKeyList;
  PIReadDescriptor token = r.openReadDescriptorProc(dp->descriptor, keys.data());
  if (token == nullptr) return false;

  // From here every key absent from the descriptor keeps its default, not
  // the value of the last run.
  LightParameters& p = *call.parameters();
  p.resetToDefaults();
  DescriptorKeyID key = 0;
  DescriptorTypeID type = 0;
  int32 flags = 0;
  while (r.getKeyProc(token, &key, &type, &flags)) {
    if (const Parameter* param = descriptorParameter(key)) readItem(r, token, *param, p);
  }
  r.closeReadDescriptorProc(token);
  return dp->playInfo != plugInDialogDisplay;
}

void writeScriptingParameters(FilterCall& call) {
  ScriptingSuites suites(call.basicSuite());
  PIActionDescriptor made = nullptr;
  if (suites.descriptors->Make == nullptr || suites.descriptors->Make(&made) != 0 || made == nullptr) return;
  {
    // The registry keeps its own copy; the descriptor made here is freed.
    OwnedDescriptor owned(suites.descriptors.get(), made);
    if (suites.registry->Register != nullptr) suites.registry->Register(kScopeId, made, true);
  }

  PIDescriptorParameters* dp = call.record()->descriptorParameters;
  if (dp == nullptr || !canWrite(dp->writeDescriptorProcs)) return;
  const WriteDescriptorProcs& w = *dp->writeDescriptorProcs;
  PIWriteDescriptor token = w.openWriteDescriptorProc();
  if (token == nullptr) return;

  LightParameters& p = *call.parameters();
  for (int i = 0; i < kDescriptorKeyCount; ++i) {
    const Parameter& param = kParameters[i];
    // A corner is written, x and y, only when it differs from its default.
    if (param.corner >= 0 && !cornerChanged(p, param.corner)) continue;
    writeItem(w, token, param, p);
  }

  HandleProcs* handles = call.handleProcs();
  if (dp->descriptor != nullptr && handles != nullptr && handles->disposeProc != nullptr) {
    handles->disposeProc(dp->descriptor);
    dp->descriptor = nullptr;
  }
  PIDescriptorHandle recorded = nullptr;
  w.closeWriteDescriptorProc(token, &recorded);
  dp->descriptor = recorded;
  dp->recordInfo = plugInDialogOptional;
}

}  // namespace veyra
