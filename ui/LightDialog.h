// The modal dialog in which the user sets every light parameter while
// watching a live preview of a reduced copy of the document.
#pragma once

#include <array>
#include <memory>

#include "adm/Button.h"
#include "adm/Dialog.h"
#include "adm/Label.h"
#include "host/FilterRecord.h"
#include "host/HostDocument.h"
#include "host/LightParameters.h"
#include "host/PluginState.h"
#include "render/LightRenderer.h"
#include "ui/CS_ColorPot.h"
#include "ui/CornerPinViewer.h"
#include "ui/DialogLayout.h"
#include "ui/EyeDropper.h"
#include "ui/Frame.h"
#include "ui/LabeledComboBox.h"
#include "ui/ShapeFileCheck.h"
#include "ui/TextSlider.h"

namespace veyra {

class LightDialog : public ADM::Dialog {
 public:
  enum ItemId : int32 {
    kOk = 1,
    kCancel = 2,
    kReset = 3,
    kViewResult = 4,
    kViewLightMap = 5,
    kViewShape = 6,
    kViewUnprocessed = 7,
    kZoomIn = 8,
    kZoomOut = 9,
    kBlendMode = 10,  // both blend-mode groups
    kLightSource = 11,
    kBrightness = 12,
    kDisplacement = 13,
    kLightBlur = 14,
    kColorSwatch = 15,
    kEyeDropper = 16,
    kMatteChannel = 17,
    kMattePosition = 18,
    kMatteRange = 19,
    kMatteBlur = 20,
    kSelectShape = 22,
    kShapeOpacity = 23,
    kShapeBlurX = 24,
    kShapeBlurY = 25,
    kShapePositionX = 26,
    kShapePositionY = 27,
    kShapeScaleX = 28,
    kShapeScaleY = 29,
    kShapeRotation = 30
  };

  static constexpr const char* kTitle = "KVO Veyra!";

  // The whole run: suites, document access, preview renderer, the dialog
  // centred on the screen and run modally, everything torn down in reverse.
  // Answers true on OK. A host result code raised inside becomes the call's
  // result and answers false; a suite error propagates.
  static bool run(FilterRecord* record, LightParameters& params, PluginState& state, SPPluginRef plugin,
                  int16_t* result);

  // Builds every control, sizes the dialog, builds the preview buffers and,
  // when that succeeded, refreshes the controls and renders the preview.
  LightDialog(FilterRecord* record, LightParameters& params, PluginState& state, HostDocument& document,
              LightRenderer& renderer);
  ~LightDialog() override;

  // Zoom and preview (the "+" / "-" handlers and what every change runs).
  void zoomIn();
  void zoomOut();
  bool buildPreviewBuffers();
  void renderPreview();
  double zoom() const { return zoom_; }

  // Controls from the parameters, without emitting events.
  void refresh();
  // Defaults, corners into the preview, result view, refresh, render.
  void reset();

  // The controls, for layout checks and for tests that drive the dialog.
  CornerPinViewer& preview() const { return *preview_; }
  ADM::Button& viewButton(int mode) const { return *viewButtons_[static_cast<size_t>(mode)]; }
  ADM::Button& zoomInButton() const { return *zoomIn_; }
  ADM::Button& zoomOutButton() const { return *zoomOut_; }
  ADM::Label& zoomLabel() const { return *zoomLabel_; }
  LabeledComboBox& lightBlend() const { return *lightBlend_; }
  LabeledComboBox& lightSource() const { return *lightSource_; }
  TextSlider& brightness() const { return *brightness_; }
  TextSlider& displacement() const { return *displacement_; }
  TextSlider& lightBlur() const { return *lightBlur_; }
  ADM::Label& colorLabel() const { return *colorLabel_; }
  CS_ColorPot& colorSwatch() const { return *colorSwatch_; }
  EyeDropper& eyeDropper() const { return *eyeDropper_; }
  LabeledComboBox& matteChannel() const { return *matteChannel_; }
  TextSlider& mattePosition() const { return *mattePosition_; }
  TextSlider& matteRange() const { return *matteRange_; }
  TextSlider& matteBlur() const { return *matteBlur_; }
  ADM::Button& selectButton() const { return *select_; }
  ADM::Label& shapeFileLabel() const { return *shapeFileLabel_; }
  LabeledComboBox& shapeBlend() const { return *shapeBlend_; }
  TextSlider& shapeSlider(int i) const { return *shapeSliders_[static_cast<size_t>(i)]; }
  ADM::Button& okButton() const { return *ok_; }
  ADM::Button& cancelButton() const { return *cancel_; }
  ADM::Button& resetButton() const { return *reset_; }
  Frame& lightFrame() const { return *lightFrame_; }
  Frame& matteFrame() const { return *matteFrame_; }
  Frame& shapeFrame() const { return *shapeFrame_; }
  LightRenderer& renderer() const { return renderer_; }
  const HostBufferRef& sourceProxy() const { return sourceProxy_; }
  const HostBufferRef& displayBuffer() const { return displayBuffer_; }
  const HostBufferRef& viewBuffer() const { return viewBuffer_; }

  // The start folder of the shape file chooser once it has been worked out.
  static const char* shapeStartFolder();

 private:
  void buildViewRow(const LightDialogLayout& L);
  void buildLightGroup(const LightDialogLayout& L);
  void buildButtonRow(const LightDialogLayout& L);
  void buildMatteGroup(const LightDialogLayout& L);
  void buildShapeGroup(const LightDialogLayout& L);
  std::unique_ptr<Frame> makeFrame(const ADMRect& r, const char* title);
  std::unique_ptr<ADM::Label> makeLabel(const char* text, const ADMRect& r, ADMJustify justify);
  void showZoomState();
  // Shows the shape file's name, and what is wrong with it when it gives no
  // shape; answers the file's state.
  ShapeFileState showShapeFileName();
  void redrawPreview();
  void renderAndRedraw();

  void onLightChanged(ADM::CallbackObject* sender, void* userData, void* arg);
  void onMatteChanged(ADM::CallbackObject* sender, void* userData, void* arg);
  void onShapeChanged(ADM::CallbackObject* sender, void* userData, void* arg);
  void onCornersChanged(ADM::CallbackObject* sender, void* userData, void* arg);
  void onView(ADM::CallbackObject* sender, void* userData, void* arg);
  void onZoomIn(ADM::CallbackObject* sender, void* userData, void* arg);
  void onZoomOut(ADM::CallbackObject* sender, void* userData, void* arg);
  void onReset(ADM::CallbackObject* sender, void* userData, void* arg);
  void onSelectShape(ADM::CallbackObject* sender, void* userData, void* arg);

  FilterRecord* record_;
  LightParameters& params_;
  PluginState& state_;
  HostDocument& document_;
  LightRenderer& renderer_;

  std::unique_ptr<CornerPinViewer> preview_;
  std::unique_ptr<ADM::Button> zoomIn_, zoomOut_;
  std::unique_ptr<ADM::Label> zoomLabel_;
  std::array<std::unique_ptr<ADM::Button>, 4> viewButtons_;
  std::unique_ptr<Frame> lightFrame_, matteFrame_, shapeFrame_;
  std::unique_ptr<LabeledComboBox> lightBlend_, lightSource_;
  std::unique_ptr<TextSlider> brightness_, displacement_, lightBlur_;
  std::unique_ptr<ADM::Label> colorLabel_;
  std::unique_ptr<CS_ColorPot> colorSwatch_;
  std::unique_ptr<EyeDropper> eyeDropper_;
  std::unique_ptr<LabeledComboBox> matteChannel_;
  std::unique_ptr<TextSlider> mattePosition_, matteRange_, matteBlur_;
  std::unique_ptr<ADM::Button> select_;
  std::unique_ptr<ADM::Label> shapeFileLabel_;
  std::unique_ptr<LabeledComboBox> shapeBlend_;
  std::array<std::unique_ptr<TextSlider>, 8> shapeSliders_;
  std::unique_ptr<ADM::Button> ok_, cancel_, reset_;

  double zoom_ = 1.0;
  int32 proxyWidth_ = 0;
  int32 proxyHeight_ = 0;
  HostBufferRef sourceProxy_;
  HostBufferRef displayBuffer_;
  HostBufferRef viewBuffer_;
};

}  // namespace veyra
