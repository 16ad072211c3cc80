#include "ui/LightDialog.h"

#include <cfloat>
#include <cstring>
#include <functional>

#include "adm/SuiteSet.h"
#include "host/Errors.h"
#include "host/PathBuffer.h"
#include "host/SPPluginsSuite.h"
#include "host/platform/ModuleFiles.h"
#include "ui/HandlerGuard.h"
#include "ui/PreviewGeometry.h"
#include "ui/ShapeFileCheck.h"

namespace veyra {

namespace {

// Popup entries; an entry's identifier is its position except for the matte
// channel, whose identifiers are the channel values.
const char* const kLightBlendNames[] = {"Add", "Subtract", "Screen"};
const char* const kLightSourceNames[] = {"Image", "Matte"};
const char* const kChannelNames[] = {"Luminance", "Red",    "Green", "Blue",      "Cyan",
                                     "Magenta",   "Yellow", "Hue",   "Saturation"};
const char* const kShapeBlendNames[] = {"None",   "Only",       "Add",    "Subtract", "Multiply",
                                        "Screen", "Difference", "Darken", "Lighten"};
const char* const kViewNames[] = {"Result", "Map", "Shape", "Original"};

struct SliderSpec {
  int32 id;
  const char* label;
  float minimum, maximum, initial;
};
const SliderSpec kLightSliders[] = {{LightDialog::kBrightness, "Brightness", 0, 600, 100},
                                    {LightDialog::kDisplacement, "Displacement", -100, 100, 0},
                                    {LightDialog::kLightBlur, "Light blur", 0, 200, 0}};
const SliderSpec kMatteSliders[] = {{LightDialog::kMattePosition, "Position", 0, 100, 50},
                                    {LightDialog::kMatteRange, "Range", 0, 100, 25},
                                    {LightDialog::kMatteBlur, "Matte blur", 0, 200, 20}};
const SliderSpec kShapeSliders[] = {{LightDialog::kShapeOpacity, "Opacity", 0, 100, 100},
                                    {LightDialog::kShapeBlurX, "X blur", 0, 200, 0},
                                    {LightDialog::kShapeBlurY, "Y blur", 0, 200, 0},
                                    {LightDialog::kShapePositionX, "X position", -100, 100, 0},
                                    {LightDialog::kShapePositionY, "Y position", -100, 100, 0},
                                    {LightDialog::kShapeScaleX, "X scale", 0, 500, 0},
                                    {LightDialog::kShapeScaleY, "Y scale", 0, 500, 0},
                                    {LightDialog::kShapeRotation, "Rotation", -180, 180, 0}};

constexpr const char* kChooserPrompt = "Choose a light pattern";
const ADMFileFilter kShapeFileFilters[] = {{"Supported Image Files", "*.jpeg;*.jpg;*.png"},
                                           {"JPEG files (*.jpeg)", "*.jpeg;*.jpg"},
                                           {"PNG files (*.png)", "*.png"}};
constexpr const char* kPatternsFolder = "Patterns";

// Tips that make the pointer gestures and the shape files' kind known.
constexpr const char* kPreviewTip =
    "Drag a green corner handle to pin the shape.\n"
    "Alt-click or Ctrl-click a handle to reset its corner; add Shift to reset all four.\n"
    "A corner outside the preview waits as a filled handle on the edge.";
constexpr const char* kSelectTip = "Choose the light shape: an 8-bit grayscale PNG or a grayscale JPEG";

// The shape file chooser's start folder, worked out on first use in a module
// load and kept for the module's life.
bool gStartFolderPending = true;
PathBuffer gStartFolder;

// A stored value from scripting may lie outside float; such values saturate
// instead of converting with undefined behaviour (NaN stays NaN and is then
// clamped to the minimum).
float toFloat(double d) {
  if (d > FLT_MAX) return FLT_MAX;
  if (d < -FLT_MAX) return -FLT_MAX;
  return static_cast<float>(d);
}

// Entries the matte channel popup offers in a host image mode.
int channelEntryCount(int32 imageMode) {
  switch (imageMode) {
    case plugInModeGrayScale:
    case plugInModeLabColor:
      return 1;
    case plugInModeRGBColor:
      return 9;
    case plugInModeCMYKColor:
      return 7;
    default:
      return 0;
  }
}

void guarded(ADM::Dialog& dialog, const std::function<void()>& fn) { runGuarded(&dialog, fn); }

// The dialog manager suites the toolkit calls without testing them; without
// them there is no dialog to show.
void requireDialogManager() {
  if (ADM::sBasic == nullptr || ADM::sDialog == nullptr || ADM::sItem == nullptr ||
      ADM::sNotifier == nullptr || ADM::sTracker == nullptr || ADM::sEntry == nullptr ||
      ADM::sList == nullptr || ADM::sDrawer == nullptr)
    throw SuiteError(kSPSuiteNotFoundError);
}

}  // namespace

const char* LightDialog::shapeStartFolder() { return gStartFolder.c_str(); }

// ---------------------------------------------------------------------------
// Run

bool LightDialog::run(FilterRecord* record, LightParameters& params, PluginState& state, SPPluginRef plugin,
                      int16_t* result) {
  ADM::SuiteSet suites(record->sSPBasic, plugin);
  requireDialogManager();
  clearPendingFailure();
  int32 item = 0;
  try {
    HostDocument document(record);
    LightRenderer renderer(document, params, true);
    LightDialog dialog(record, params, state, document, renderer);

    ADMRect screen{0, 0, 0, 0};
    ADM::sBasic->GetScreenDimensions(&screen);
    const ADMRect bounds = dialog.boundsRect();
    dialog.moveTo((ADM::width(screen) - ADM::width(bounds)) / 2,
                  (ADM::height(screen) - ADM::height(bounds)) / 2);

    item = dialog.runModal();
    raisePendingFailure();
  } catch (const HostResultError& e) {
    if (result != nullptr) *result = e.code();
    return false;
  }
  return item == kOk;
}

// ---------------------------------------------------------------------------
// Construction

LightDialog::LightDialog(FilterRecord* record, LightParameters& params, PluginState& state,
                         HostDocument& document, LightRenderer& renderer)
    : ADM::Dialog(kTitle, 0, kADMModalDialogStyle),
      record_(record),
      params_(params),
      state_(state),
      document_(document),
      renderer_(renderer) {
  if (ref() == nullptr) throw SuiteError(kSPSuiteNotFoundError);
  setText(kTitle);
  const LightDialogLayout L = LightDialogLayout::compute();

  preview_ = std::make_unique<CornerPinViewer>(
      this, 0, ADM::makeRect(0, 0, LightDialogLayout::kPreviewWidth, LightDialogLayout::kPreviewHeight),
      record_);
  preview_->setMask(preview_->mask() | kADMButtonDownMask | kADMMouseMovedDownMask | kADMMouseMovedUpMask |
                    kADMLeaveMask);
  preview_->connect(ADM::kChangedEvent, this, &LightDialog::onCornersChanged);
  preview_->moveTo(L.preview.left, L.preview.top);
  preview_->setCorners(&params_.corners[0].x);
  preview_->setTipString(kPreviewTip);

  buildViewRow(L);
  buildLightGroup(L);
  buildButtonRow(L);
  buildMatteGroup(L);
  buildShapeGroup(L);

  sizeTo(L.dialogWidth, L.dialogHeight);

  if (buildPreviewBuffers()) {
    refresh();
    renderPreview();
    redrawPreview();
  }
}

std::unique_ptr<Frame> LightDialog::makeFrame(const ADMRect& r, const char* title) {
  auto frame = std::make_unique<Frame>(this, r);
  frame->setText(title);
  frame->setBoundsRect(r);
  return frame;
}

std::unique_ptr<ADM::Label> LightDialog::makeLabel(const char* text, const ADMRect& r, ADMJustify justify) {
  auto label = std::make_unique<ADM::Label>(this, text, r);
  label->setJustify(justify);
  return label;
}

void LightDialog::buildViewRow(const LightDialogLayout& L) {
  for (int i = 0; i < 4; ++i) {
    viewButtons_[static_cast<size_t>(i)] = std::make_unique<ADM::Button>(
        this, kViewResult + i, kViewNames[i], L.viewButtons[i], ADM::Button::kTextRadioButton);
    viewButtons_[static_cast<size_t>(i)]->connect(ADM::kSelectEvent, this, &LightDialog::onView);
  }
  zoomOut_ = std::make_unique<ADM::Button>(this, kZoomOut, "-", L.zoomOut);
  zoomOut_->connect(ADM::kSelectEvent, this, &LightDialog::onZoomOut);
  zoomOut_->setTipString("Zoom out");
  zoomLabel_ = makeLabel("100%", L.zoomLabel, kADMCenterJustify);
  zoomIn_ = std::make_unique<ADM::Button>(this, kZoomIn, "+", L.zoomIn);
  zoomIn_->connect(ADM::kSelectEvent, this, &LightDialog::onZoomIn);
  zoomIn_->setTipString("Zoom in");
}

void LightDialog::buildLightGroup(const LightDialogLayout& L) {
  lightFrame_ = makeFrame(L.lightFrame, "Light");
  lightBlend_ = std::make_unique<LabeledComboBox>(this, kBlendMode, "Blend", L.lightBlend);
  for (int i = 0; i < 3; ++i) lightBlend_->append(kLightBlendNames[i], i);
  lightBlend_->connect(ADM::kSelectEvent, this, &LightDialog::onLightChanged);
  lightSource_ = std::make_unique<LabeledComboBox>(this, kLightSource, "Source", L.lightSource);
  for (int i = 0; i < 2; ++i) lightSource_->append(kLightSourceNames[i], i);
  lightSource_->connect(ADM::kSelectEvent, this, &LightDialog::onLightChanged);

  std::unique_ptr<TextSlider>* sliders[] = {&brightness_, &displacement_, &lightBlur_};
  for (int i = 0; i < 3; ++i) {
    const SliderSpec& s = kLightSliders[i];
    *sliders[i] =
        std::make_unique<TextSlider>(this, s.id, s.label, L.lightSliders[i], s.minimum, s.maximum, s.initial);
    (*sliders[i])->connect(ADM::kChangedEvent, this, &LightDialog::onLightChanged);
  }

  colorLabel_ = makeLabel("Colour", L.colorLabel, kADMRightJustify);
  colorSwatch_ = std::make_unique<CS_ColorPot>(this, kColorSwatch, L.colorSwatch);
  colorSwatch_->connect(ADM::kChangedEvent, this, &LightDialog::onLightChanged);
  eyeDropper_ = std::make_unique<EyeDropper>(this, kEyeDropper, L.eyeDropper);
  eyeDropper_->hide();
}

void LightDialog::buildButtonRow(const LightDialogLayout& L) {
  ok_ = std::make_unique<ADM::Button>(this, kOk, "OK", L.ok);
  cancel_ = std::make_unique<ADM::Button>(this, kCancel, "Cancel", L.cancel);
  reset_ = std::make_unique<ADM::Button>(this, kReset, "Reset", L.reset);
  reset_->connect(ADM::kSelectEvent, this, &LightDialog::onReset);
}

void LightDialog::buildMatteGroup(const LightDialogLayout& L) {
  matteFrame_ = makeFrame(L.matteFrame, "Matte");
  matteChannel_ = std::make_unique<LabeledComboBox>(this, kMatteChannel, "Channel", L.matteChannel);
  const int channels = channelEntryCount(record_->imageMode);
  for (int i = 0; i < channels; ++i) matteChannel_->append(kChannelNames[i], i);
  matteChannel_->connect(ADM::kSelectEvent, this, &LightDialog::onMatteChanged);

  std::unique_ptr<TextSlider>* sliders[] = {&mattePosition_, &matteRange_, &matteBlur_};
  for (int i = 0; i < 3; ++i) {
    const SliderSpec& s = kMatteSliders[i];
    *sliders[i] =
        std::make_unique<TextSlider>(this, s.id, s.label, L.matteSliders[i], s.minimum, s.maximum, s.initial);
    (*sliders[i])->connect(ADM::kChangedEvent, this, &LightDialog::onMatteChanged);
  }
}

void LightDialog::buildShapeGroup(const LightDialogLayout& L) {
  shapeFrame_ = makeFrame(L.shapeFrame, "Shape");
  select_ = std::make_unique<ADM::Button>(this, kSelectShape, "Select", L.selectButton);
  select_->connect(ADM::kSelectEvent, this, &LightDialog::onSelectShape);
  select_->setTipString(kSelectTip);
  shapeFileLabel_ = makeLabel("", L.shapeFileLabel, kADMRightJustify);
  shapeBlend_ = std::make_unique<LabeledComboBox>(this, kBlendMode, "Blend", L.shapeBlend);
  for (int i = 0; i < 9; ++i) shapeBlend_->append(kShapeBlendNames[i], i);
  shapeBlend_->connect(ADM::kSelectEvent, this, &LightDialog::onShapeChanged);
  for (int i = 0; i < 8; ++i) {
    const SliderSpec& s = kShapeSliders[i];
    shapeSliders_[static_cast<size_t>(i)] =
        std::make_unique<TextSlider>(this, s.id, s.label, L.shapeSliders[i], s.minimum, s.maximum, s.initial);
    shapeSliders_[static_cast<size_t>(i)]->connect(ADM::kChangedEvent, this, &LightDialog::onShapeChanged);
  }
}

LightDialog::~LightDialog() {
  if (preview_) preview_->showBuffer(HostBufferRef());
  viewBuffer_.reset();
  displayBuffer_.reset();
  sourceProxy_.reset();
  preview_.reset();
  for (auto& b : viewButtons_) b.reset();
  zoomIn_.reset();
  zoomOut_.reset();
  select_.reset();
  ok_.reset();
  cancel_.reset();
  reset_.reset();
  eyeDropper_.reset();
  zoomLabel_.reset();
  colorLabel_.reset();
  shapeFileLabel_.reset();
  lightFrame_.reset();
  matteFrame_.reset();
  shapeFrame_.reset();
  lightBlend_.reset();
  lightSource_.reset();
  brightness_.reset();
  displacement_.reset();
  lightBlur_.reset();
  colorSwatch_.reset();
  matteChannel_.reset();
  mattePosition_.reset();
  matteRange_.reset();
  matteBlur_.reset();
  shapeBlend_.reset();
  for (auto& s : shapeSliders_) s.reset();
}

// ---------------------------------------------------------------------------
// Refresh and reset

void LightDialog::showZoomState() {
  zoomLabel_->setText(PreviewZoom::label(zoom_).c_str());
  zoomIn_->enable(zoom_ < PreviewZoom::kMaximum);
  zoomOut_->enable(zoom_ > PreviewZoom::kMinimum);
}

ShapeFileState LightDialog::showShapeFileName() {
  const ShapeFileState state = checkShapeFile(document_, params_.shapeFile);
  if (state == ShapeFileState::NoFile) {
    shapeFileLabel_->setText(shapeBlend_->popup().entryText(0).c_str());
    shapeFileLabel_->setTipString("");
    return state;
  }
  // A file that gives no shape says so beside its name; the path stays
  // recorded as chosen.
  std::string text = params_.shapeFile.displayName();
  if (state != ShapeFileState::Usable) text += std::string(": ") + shapeFileProblem(state);
  shapeFileLabel_->setText(text.c_str());
  shapeFileLabel_->setTipString(params_.shapeFile.c_str());
  return state;
}

void LightDialog::refresh() {
  for (int i = 0; i < 4; ++i) viewButtons_[static_cast<size_t>(i)]->setOn(i == state_.viewMode);
  showZoomState();
  lightBlend_->popup().selectEntry(params_.lightBlendMode);
  lightSource_->popup().selectEntry(params_.lightSource);
  brightness_->setValue(toFloat(params_.lightBrightness), false);
  displacement_->setValue(toFloat(params_.lightDisplacement), false);
  lightBlur_->setValue(toFloat(params_.lightBlur), false);
  colorSwatch_->setXYZ(params_.lightColor[0], params_.lightColor[1], params_.lightColor[2]);
  if (!matteChannel_->popup().selectEntryWithId(params_.matteChannel)) {
    matteChannel_->popup().selectEntry(0);
    params_.matteChannel = kChannelLuminance;
  }
  mattePosition_->setValue(toFloat(params_.mattePosition), false);
  matteRange_->setValue(toFloat(params_.matteRange), false);
  matteBlur_->setValue(toFloat(params_.matteBlur), false);
  shapeBlend_->popup().selectEntry(params_.shapeBlendMode);
  const double* shapeValues[] = {&params_.shapeOpacity,   &params_.shapeBlurX,     &params_.shapeBlurY,
                                 &params_.shapePositionX, &params_.shapePositionY, &params_.shapeScaleX,
                                 &params_.shapeScaleY,    &params_.shapeRotation};
  for (int i = 0; i < 8; ++i)
    shapeSliders_[static_cast<size_t>(i)]->setValue(toFloat(*shapeValues[i]), false);
  showShapeFileName();
}

void LightDialog::reset() {
  params_.resetToDefaults();
  preview_->setCorners(&params_.corners[0].x);
  state_.viewMode = 0;
  refresh();
  renderAndRedraw();
}

// ---------------------------------------------------------------------------
// Preview

void LightDialog::redrawPreview() {
  preview_->invalidate();
  preview_->update();
}

void LightDialog::renderAndRedraw() {
  renderPreview();
  redrawPreview();
}

bool LightDialog::buildPreviewBuffers() {
  const VRect image = document_.imageRect();
  const PreviewGeometry g =
      PreviewGeometry::compute(rectWidth(image), rectHeight(image), preview_->localRect(), zoom_);
  preview_->setImageRect(g.imageRect);
  proxyWidth_ = g.width;
  proxyHeight_ = g.height;
  const VRect proxyRect = makeRect(0, 0, g.height, g.width);

  if (displayBuffer_ && displayBuffer_->rect() != proxyRect) {
    preview_->showBuffer(HostBufferRef());
    viewBuffer_.reset();
    displayBuffer_.reset();
  }
  const int32 documentMode =
      record_->documentInfo != nullptr ? record_->documentInfo->imageMode : record_->imageMode;
  // Target channels that do not fit the mode are shown and lit as grayscale.
  const int16_t mode =
      document_.channelsFitMode() ? proxyImageMode(documentMode) : static_cast<int16_t>(plugInModeGrayScale);
  try {
    if (!displayBuffer_) {
      displayBuffer_ = document_.makeBuffer(proxyRect, document_.channelCount(), 1, mode);
      viewBuffer_ = document_.makeBuffer(proxyRect, 1, 1, plugInModeGrayScale);
      preview_->showBuffer(displayBuffer_);
    }
    if (sourceProxy_ && sourceProxy_->rect() != proxyRect) sourceProxy_.reset();
    if (!sourceProxy_) sourceProxy_ = document_.makeBuffer(proxyRect, document_.channelCount(), 1, mode);
  } catch (const HostResultError&) {
    return false;
  }
  document_.readScaled(*sourceProxy_, image, proxyRect);
  return true;
}

void LightDialog::renderPreview() {
  if (!displayBuffer_ || !viewBuffer_ || !sourceProxy_) return;
  const VRect bounds =
      record_->documentInfo != nullptr ? record_->documentInfo->bounds : document_.imageRect();
  const double documentWidth = rectWidth(bounds), documentHeight = rectHeight(bounds);
  renderer_.setZoom(static_cast<float>(proxyWidth_ / documentWidth),
                    static_cast<float>(proxyHeight_ / documentHeight));
  renderer_.prepareForSize(proxyWidth_, proxyHeight_);
  const bool empty = proxyWidth_ <= 0 || proxyHeight_ <= 0;
  switch (state_.viewMode) {
    case 1:
      preview_->showBuffer(viewBuffer_);
      if (!empty) renderer_.lightMapView(*sourceProxy_, *viewBuffer_);
      break;
    case 2:
      preview_->showBuffer(viewBuffer_);
      if (!empty) renderer_.shapeView(*sourceProxy_, *viewBuffer_);
      break;
    case 0:
      preview_->showBuffer(displayBuffer_);
      displayBuffer_->copyFrom(*sourceProxy_);
      if (!empty) renderer_.renderTile(*displayBuffer_, displayBuffer_->rect());
      break;
    default:
      preview_->showBuffer(displayBuffer_);
      displayBuffer_->copyFrom(*sourceProxy_);
      break;
  }
}

void LightDialog::zoomIn() {
  if (!(zoom_ < PreviewZoom::kMaximum)) return;
  zoom_ = PreviewZoom::in(zoom_);
  const bool built = buildPreviewBuffers();
  showZoomState();
  if (!built) return;
  renderAndRedraw();
}

void LightDialog::zoomOut() {
  if (!(zoom_ > PreviewZoom::kMinimum)) return;
  zoom_ = PreviewZoom::out(zoom_);
  const bool built = buildPreviewBuffers();
  showZoomState();
  if (!built) return;
  renderAndRedraw();
}

// ---------------------------------------------------------------------------
// Handlers

void LightDialog::onLightChanged(ADM::CallbackObject*, void*, void*) {
  guarded(*this, [&] {
    params_.lightBlendMode = lightBlend_->popup().activeIndex();
    params_.lightSource = lightSource_->popup().activeIndex();
    params_.lightBrightness = brightness_->value();
    params_.lightDisplacement = displacement_->value();
    params_.lightBlur = lightBlur_->value();
    params_.lightColor[0] = colorSwatch_->x();
    params_.lightColor[1] = colorSwatch_->y();
    params_.lightColor[2] = colorSwatch_->z();
    renderAndRedraw();
  });
}

void LightDialog::onMatteChanged(ADM::CallbackObject*, void*, void*) {
  guarded(*this, [&] {
    // A popup without entries (a document mode with no channel to offer)
    // keeps luminance rather than storing "no entry".
    const int32 channel = matteChannel_->popup().selectedId();
    params_.matteChannel = channel >= 0 ? channel : kChannelLuminance;
    params_.mattePosition = mattePosition_->value();
    params_.matteRange = matteRange_->value();
    params_.matteBlur = matteBlur_->value();
    renderAndRedraw();
  });
}

void LightDialog::onShapeChanged(ADM::CallbackObject*, void*, void*) {
  guarded(*this, [&] {
    params_.shapeBlendMode = shapeBlend_->popup().activeIndex();
    double* shapeValues[] = {&params_.shapeOpacity,   &params_.shapeBlurX,     &params_.shapeBlurY,
                             &params_.shapePositionX, &params_.shapePositionY, &params_.shapeScaleX,
                             &params_.shapeScaleY,    &params_.shapeRotation};
    for (int i = 0; i < 8; ++i) *shapeValues[i] = shapeSliders_[static_cast<size_t>(i)]->value();
    renderAndRedraw();
  });
}

void LightDialog::onCornersChanged(ADM::CallbackObject*, void*, void*) {
  guarded(*this, [&] {
    std::memcpy(&params_.corners[0].x, preview_->corners(), sizeof(double) * 8);
    renderAndRedraw();
  });
}

void LightDialog::onView(ADM::CallbackObject* sender, void*, void*) {
  guarded(*this, [&] {
    state_.viewMode = static_cast<ADM::Item*>(sender)->id() - kViewResult;
    renderAndRedraw();
  });
}

void LightDialog::onZoomIn(ADM::CallbackObject*, void*, void*) {
  guarded(*this, [&] { zoomIn(); });
}

void LightDialog::onZoomOut(ADM::CallbackObject*, void*, void*) {
  guarded(*this, [&] { zoomOut(); });
}

void LightDialog::onReset(ADM::CallbackObject*, void*, void*) {
  guarded(*this, [&] { reset(); });
}

void LightDialog::onSelectShape(ADM::CallbackObject*, void*, void*) {
  guarded(*this, [&] {
    if (gStartFolderPending) {
      gStartFolderPending = false;
      ADM::SuiteSet* set = ADM::SuiteSet::current();
      const void* table = nullptr;
      const SPErr err = set->acquire(kSPPluginsSuite, kSPPluginsSuiteVersion4, &table);
      if (err != kSPNoError) throw SuiteError(err);
      SPPlatformFilePath file{};
      static_cast<const SPPluginsSuite4*>(table)->GetPluginFilePath(
          static_cast<SPPluginRef>(record_->plugInRef), &file);
      set->release(kSPPluginsSuite, kSPPluginsSuiteVersion4);
      file.path[sizeof file.path - 1] = 0;
      gStartFolder.clear();
      // The module's own location where the system tells it (it may hold
      // characters the host's narrow path cannot), else the host's word.
      const std::string own = platform::ownModulePath();
      gStartFolder.assign(own.empty() ? std::string(file.path) : own);
      gStartFolder.cutToFolder();
      gStartFolder.appendName(kPatternsFolder);
    }
    char path[PathBuffer::kCapacity] = {0};
    const int32 filterCount = static_cast<int32>(sizeof kShapeFileFilters / sizeof kShapeFileFilters[0]);
    if (!ADM::sBasic->StandardGetFileDialog(kChooserPrompt, kShapeFileFilters, filterCount,
                                            gStartFolder.c_str(), path, static_cast<int32>(sizeof path)))
      return;
    path[sizeof path - 1] = 0;
    params_.shapeFile.clear();
    params_.shapeFile.assign(path);
    const ShapeFileState state = showShapeFileName();
    renderAndRedraw();
    if (state == ShapeFileState::Usable) return;
    const std::string message = "\"" + params_.shapeFile.displayName() + "\" " + shapeFileProblem(state) +
                                ": it gives the light no shape.\nLight shapes are 8-bit grayscale PNG "
                                "or grayscale JPEG files.";
    ADM::sBasic->MessageAlert(message.c_str());
  });
}

}  // namespace veyra
