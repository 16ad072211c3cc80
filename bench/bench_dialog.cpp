// Time from one slider event in the light dialog to the redrawn preview, for
// a 6000 x 4000 RGB document shown at 100%: a change of the light stage
// (brightness: matte, shape and light map come from the caches) and a change
// of the shape (X position: the shape canvas is placed again).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "adm/SuiteSet.h"
#include "app/DialogServices.h"
#include "app/Document.h"
#include "app/FilterHost.h"
#include "app/PluginModule.h"
#include "app/ScriptingHost.h"
#include "dialogmanager/DialogManager.h"
#include "host/LightParameters.h"
#include "resources/ResourceTable.h"
#include "ui/LightDialog.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);

namespace {

using namespace veyra;

// The source tree, from this file's own path (bench/bench_dialog.cpp).
std::string sourceDir() {
  std::string file = __FILE__;
  return file.substr(0, file.rfind("/bench/"));
}
namespace adm = dialogmanager;

struct Session {
  app::Document image{6000, 4000, app::ColorMode::RGB};
  app::FilterHost host{image};
  app::PluginModule module = app::PluginModule::inProcess(&PluginMain, "", PIResourceTable);

  Session() {
    for (int c = 0; c < 3; ++c)
      for (int y = 0; y < image.height(); ++y) {
        uint8_t* row = image.channel(c) + static_cast<size_t>(y) * image.width();
        for (int x = 0; x < image.width(); ++x)
          row[x] = static_cast<uint8_t>((x / 24 + y / 16 + 60 * c) & 0xFF);
      }
    adm::useHeadless();
    app::installDialogServices(host, PIResourceTable);
    // A shape in the light map, so that shape changes place it again.
    host.call(module, filterSelectorParameters);
    HandleProcs* procs = host.filterRecord().handleProcs;
    auto* p = reinterpret_cast<LightParameters*>(procs->lockProc(host.parameters(), false));
    p->shapeBlendMode = kShapeMultiply;
    p->shapeFile.assign(sourceDir() + "/patterns/Window.png");
    p->matteRange = 100;
    procs->unlockProc(host.parameters());
  }
};

Session& session() {
  static Session s;
  return s;
}

// Runs the benchmark loop inside the modal dialog: one pointer move of the
// slider per iteration, each rendering and redrawing the preview.
void sliderToPreview(benchmark::State& state, int32 sliderId) {
  Session& s = session();
  long renders = 0;
  adm::setModalDriver([&](ADMDialogRef ref) {
    LightDialog* dialog =
        dynamic_cast<LightDialog*>(static_cast<ADM::Dialog*>(ADM::sDialog->GetUserData(ref)));
    ADMItemRef slider = adm::findItem(ref, sliderId, kADMSliderType);
    ADMItemRef preview = dialog->preview().ref();
    const long drawnBefore = adm::drawCount(preview);
    ADMRect local{};
    ADM::sItem->GetLocalRect(slider, &local);
    const int32 y = (local.top + local.bottom) / 2;
    int32 x = local.right / 2;
    adm::sendPointer(slider, kADMButtonDownAction, ADMPoint{x, y});
    int step = 0;
    for (auto _ : state) {
      x = local.right / 2 + ((step++ & 1) != 0 ? 40 : -40);
      adm::sendPointer(slider, kADMMouseMovedDownAction, ADMPoint{x, y});
    }
    adm::sendPointer(slider, kADMButtonUpAction, ADMPoint{x, y});
    renders = adm::drawCount(preview) - drawnBefore;
    adm::click(adm::findItem(ref, LightDialog::kCancel));
  });
  if (auto* scripting = s.host.service<app::ScriptingHost>()) scripting->clearPlayback();
  s.host.run(s.module);
  adm::setModalDriver(nullptr);
  state.counters["redraws_per_event"] = benchmark::Counter(static_cast<double>(renders) / state.iterations());
}

void LightStageChange(benchmark::State& state) { sliderToPreview(state, LightDialog::kBrightness); }
void ShapeChange(benchmark::State& state) { sliderToPreview(state, LightDialog::kShapePositionX); }

BENCHMARK(LightStageChange)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ShapeChange)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
