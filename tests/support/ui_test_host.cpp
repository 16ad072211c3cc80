#include "ui_test_host.h"

#include <cstring>
#include <stdexcept>

#include "adm/SuiteSet.h"
#include "app/ColorSpaceSuite.h"
#include "app/DialogServices.h"
#include "app/PluginModule.h"
#include "app/ScriptingHost.h"
#include "dialogmanager/DialogManager.h"
#include "resources/ResourceTable.h"
#include "ui/LightDialog.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);

namespace veyra::test {

namespace {

int32_t gForcedImageMode = 0;

void forcingEntry(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result) {
  if (gForcedImageMode != 0 && selector != filterSelectorAbout)
    static_cast<FilterRecord*>(filterRecord)->imageMode = static_cast<int16_t>(gForcedImageMode);
  PluginMain(selector, filterRecord, data, result);
}

}  // namespace

struct UiTestHost::State {
  State(int width, int height, app::ColorMode mode)
      : image(width, height, mode),
        host(image),
        module(app::PluginModule::inProcess(&forcingEntry, VEYRA_PLUGIN_PATH, PIResourceTable)) {}
  app::Document image;
  app::FilterHost host;
  app::PluginModule module;
};

UiTestHost::UiTestHost(int width, int height, app::ColorMode mode, int32_t forcedImageMode)
    : state_(std::make_unique<State>(width, height, mode)) {
  gForcedImageMode = forcedImageMode;
  app::Document& doc = state_->image;
  for (int c = 0; c < doc.channelCount(); ++c)
    for (int y = 0; y < doc.height(); ++y)
      for (int x = 0; x < doc.width(); ++x)
        doc.at(c, x, y) = static_cast<uint8_t>((x * 255 / std::max(1, doc.width() - 1) + y + 40 * c) & 0xFF);
  dialogmanager::useHeadless();
  dialogmanager::resetDriver();
  app::installDialogServices(state_->host, PIResourceTable);
}

UiTestHost::~UiTestHost() {
  dialogmanager::resetDriver();
  app::setColorPicker(nullptr);
  gForcedImageMode = 0;
}

app::Document& UiTestHost::image() { return state_->image; }
app::FilterHost& UiTestHost::host() { return state_->host; }

app::FilterHost::RunResult UiTestHost::run(const Driver& driver) {
  dialogmanager::setModalDriver([&driver](ADMDialogRef ref) {
    LightDialog* dialog = lightDialogOf(ref);
    if (dialog == nullptr) throw std::logic_error("the modal dialog is not the light dialog");
    if (driver) driver(*dialog, ref);
  });
  // As `veyra edit` does: nothing is played back, so the dialog opens on the
  // parameters the host keeps (not on what the last run recorded).
  if (auto* scripting = state_->host.service<app::ScriptingHost>()) scripting->clearPlayback();
  app::FilterHost::RunResult r = state_->host.run(state_->module);
  dialogmanager::setModalDriver(nullptr);
  return r;
}

int16_t UiTestHost::about(const std::function<void(ADMDialogRef)>& driver) {
  dialogmanager::setModalDriver([&driver](ADMDialogRef ref) {
    if (driver) driver(ref);
  });
  const int16_t r = state_->host.about(state_->module);
  dialogmanager::setModalDriver(nullptr);
  return r;
}

namespace {

template <typename T>
T readHandle(app::FilterHost& host, Handle h) {
  HandleProcs* procs = host.filterRecord().handleProcs;
  T value;
  std::memcpy(static_cast<void*>(&value), procs->lockProc(h, false), sizeof(T));
  procs->unlockProc(h);
  return value;
}

template <typename T>
void writeHandle(app::FilterHost& host, Handle h, const T& value) {
  HandleProcs* procs = host.filterRecord().handleProcs;
  std::memcpy(procs->lockProc(h, false), static_cast<const void*>(&value), sizeof(T));
  procs->unlockProc(h);
}

void ensureRecords(app::FilterHost& host, const app::PluginModule& module) {
  if (host.parameters() == nullptr || host.dataSlot() == 0) host.call(module, filterSelectorParameters);
}

}  // namespace

LightParameters UiTestHost::parameters() {
  ensureRecords(state_->host, state_->module);
  return readHandle<LightParameters>(state_->host, state_->host.parameters());
}

void UiTestHost::setParameters(const LightParameters& params) {
  ensureRecords(state_->host, state_->module);
  writeHandle(state_->host, state_->host.parameters(), params);
}

PluginState UiTestHost::state() {
  ensureRecords(state_->host, state_->module);
  return readHandle<PluginState>(state_->host, reinterpret_cast<Handle>(state_->host.dataSlot()));
}

void UiTestHost::setState(const PluginState& s) {
  ensureRecords(state_->host, state_->module);
  writeHandle(state_->host, reinterpret_cast<Handle>(state_->host.dataSlot()), s);
}

LightDialog* lightDialogOf(ADMDialogRef ref) {
  if (ADM::sDialog == nullptr || ref == nullptr) return nullptr;
  return dynamic_cast<LightDialog*>(static_cast<ADM::Dialog*>(ADM::sDialog->GetUserData(ref)));
}

}  // namespace veyra::test
