#include "render/LightRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "fx/ImageScaler.h"
#include "host/HostSuite.h"
#include "host/PIColorSpaceSuite.h"
#include "render/BufferBlur.h"
#include "render/BufferImage.h"
#include "render/Displacement.h"
#include "render/LightBlend.h"
#include "render/MatteExtraction.h"
#include "render/MatteTable.h"
#include "render/ShapeBlend.h"
#include "render/ShapeCanvas.h"
#include "render/ShapeFile.h"
#include "render/WorkerThreads.h"

namespace veyra {

namespace {

constexpr int kAutomaticQuality = 5;

bool supportedTile(const HostBuffer& tile) {
  const int16_t mode = tile.imageMode();
  return tile.bytesPerSample() == 1 &&
         (mode == plugInModeGrayScale || mode == plugInModeRGBColor || mode == plugInModeCMYKColor);
}

template <class T>
bool sameBits(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

bool operator==(const LightRenderer::MatteKeys& a, const LightRenderer::MatteKeys& b) {
  return a.channel == b.channel && sameBits(a.position, b.position) && sameBits(a.range, b.range) &&
         sameBits(a.blur, b.blur) && sameBits(a.zoomX, b.zoomX) && sameBits(a.zoomY, b.zoomY);
}

bool operator==(const LightRenderer::ShapeKeys& a, const LightRenderer::ShapeKeys& b) {
  bool same = a.blendMode == b.blendMode && a.file.equals(b.file) && sameBits(a.opacity, b.opacity) &&
              sameBits(a.blurX, b.blurX) && sameBits(a.blurY, b.blurY) &&
              sameBits(a.positionX, b.positionX) && sameBits(a.positionY, b.positionY) &&
              sameBits(a.scaleX, b.scaleX) && sameBits(a.scaleY, b.scaleY) &&
              sameBits(a.rotation, b.rotation) && sameBits(a.displacement, b.displacement) &&
              sameBits(a.zoomX, b.zoomX) && sameBits(a.zoomY, b.zoomY);
  for (int k = 0; k < 4 && same; ++k)
    same = sameBits(a.corners[k].x, b.corners[k].x) && sameBits(a.corners[k].y, b.corners[k].y);
  return same;
}

bool sameSize(const HostBuffer& buffer, int32_t width, int32_t height) {
  return buffer.width() == width && buffer.height() == height;
}

HostBufferRef makePlane(HostDocument& host, int32_t width, int32_t height) {
  return host.makeBuffer(width, height, 1, 1, plugInModeGrayScale);
}

// Copies slot c of the first height rows and width pixels of a tile into a
// one-plane buffer, and back.
void readSlot(const HostBuffer& tile, int32_t c, HostBuffer& plane, int32_t width, int32_t height) {
  const intptr_t step = tile.bytesPerPixel();
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* t = tile.row(y) + c;
    uint8_t* p = plane.row(y);
    for (int32_t x = 0; x < width; ++x) p[x] = t[x * step];
  }
}
void writeSlot(HostBuffer& tile, int32_t c, const HostBuffer& plane, int32_t width, int32_t height) {
  const intptr_t step = tile.bytesPerPixel();
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* t = tile.row(y) + c;
    const uint8_t* p = plane.row(y);
    for (int32_t x = 0; x < width; ++x) t[x * step] = p[x];
  }
}

// Copies the common area of two one-plane buffers row by row.
void copyPlane(HostBuffer& to, const HostBuffer& from) {
  const int32_t w = std::min(to.width(), from.width()), h = std::min(to.height(), from.height());
  for (int32_t r = 0; r < h; ++r) std::memcpy(to.row(r), from.row(r), static_cast<size_t>(w));
}

// The tile rectangle in the coordinates of a canvas of another size than the
// full image, in single precision: left and top rounded down, right and
// bottom rounded up and limited to the canvas.
fx::Rect canvasRect(const VRect& rect, int32_t cw, int32_t ch, int32_t fullWidth, int32_t fullHeight) {
  const float sx = static_cast<float>(cw), sy = static_cast<float>(ch);
  const float fw = static_cast<float>(fullWidth), fh = static_cast<float>(fullHeight);
  fx::Rect r;
  r.left = static_cast<int32_t>(std::floor(sx * static_cast<float>(rect.left) / fw));
  r.top = static_cast<int32_t>(std::floor(sy * static_cast<float>(rect.top) / fh));
  r.right = static_cast<int32_t>(std::min(std::ceil(sx * static_cast<float>(rect.right) / fw), sx));
  r.bottom = static_cast<int32_t>(std::min(std::ceil(sy * static_cast<float>(rect.bottom) / fh), sy));
  return r;
}

// The light displacement in use: a NaN or infinite amount bends nothing.
double displacementAmount(double displacement) { return std::isfinite(displacement) ? displacement : 0.0; }

}  // namespace

LightRenderer::LightRenderer(HostDocument& host, LightParameters& params, bool preview)
    : host_(host), params_(params), preview_(preview), pool_(workerThreads(), workerPartSamples()) {
  for (int i = 0; i < 256; ++i) matteTable_[i] = static_cast<uint8_t>(i);
}

LightRenderer::~LightRenderer() = default;

void LightRenderer::prepareForSize(int32_t fullWidth, int32_t fullHeight) {
  fullWidth_ = fullWidth;
  fullHeight_ = fullHeight;
  convertLightColor();
  buildMatteTable(params_.mattePosition, params_.matteRange, matteTable_);
}

// The colour step: the parameters hold the light colour as 16-bit XYZ; the
// render needs it as four bytes in the document's own colour space and
// channel order. Grayscale documents take the CMYK conversion and use its
// first component.
void LightRenderer::convertLightColor() {
  HostSuite<PSColorSpaceSuite1> colors(host_.record()->sSPBasic, kPSColorSpaceSuite,
                                       kPSColorSpaceSuiteVersion1);
  int16_t space;
  switch (host_.pixelMode()) {
    case plugInModeGrayScale:
    case plugInModeCMYKColor:
      space = plugIncolorServicesCMYKSpace;
      break;
    case plugInModeLabColor:
      space = plugIncolorServicesLabSpace;
      break;
    default:
      space = plugIncolorServicesRGBSpace;
      break;
  }
  ColorID color = nullptr;
  colors->Make(&color);
  CS_XYZ xyz;
  xyz.x = params_.lightColor[0];
  xyz.y = params_.lightColor[1];
  xyz.z = params_.lightColor[2];
  colors->StuffXYZ(color, xyz);
  unsigned8 c[4] = {0, 0, 0, 0};
  Boolean outOfGamut = false;
  colors->ExtractComponents(color, space, &c[0], &c[1], &c[2], &c[3], &outOfGamut);
  colors->Delete(&color);
  for (int i = 0; i < 4; ++i) lightColor_[i] = c[i];
}

LightRenderer::MatteKeys LightRenderer::matteKeys() const {
  MatteKeys k;
  std::memset(&k, 0, sizeof k);
  k.channel = params_.matteChannel;
  k.position = params_.mattePosition;
  k.range = params_.matteRange;
  k.blur = params_.matteBlur;
  k.zoomX = zoomX_;
  k.zoomY = zoomY_;
  return k;
}

LightRenderer::ShapeKeys LightRenderer::shapeKeys() const {
  ShapeKeys k;
  k.blendMode = params_.shapeBlendMode;
  k.file.copy(params_.shapeFile);
  k.opacity = params_.shapeOpacity;
  k.blurX = params_.shapeBlurX;
  k.blurY = params_.shapeBlurY;
  k.positionX = params_.shapePositionX;
  k.positionY = params_.shapePositionY;
  k.scaleX = params_.shapeScaleX;
  k.scaleY = params_.shapeScaleY;
  k.rotation = params_.shapeRotation;
  for (int i = 0; i < 4; ++i) k.corners[i] = params_.corners[i];
  k.displacement = params_.lightDisplacement;
  k.zoomX = zoomX_;
  k.zoomY = zoomY_;
  return k;
}

void LightRenderer::forRows(int32_t height, int32_t width,
                            const std::function<void(int32_t, int32_t)>& body) {
  forEachLine(&pool_, height, width, body);
}

HostBufferRef LightRenderer::workBuffer(WorkSlot slot, int32_t width, int32_t height, int32_t rows,
                                        int32_t planes, int16_t mode) {
  if (preview_) return host_.makeBuffer(width, height, planes, 1, mode);
  HostBufferRef& kept = work_[slot];
  // The slot count of a new buffer: three planes are made as four slots.
  const int32_t slots = planes == 3 ? 4 : planes;
  if (!(kept && kept->referenceCount() == 1 && kept->width() == width && kept->madeRows() >= height &&
        kept->slots() == slots && kept->imageMode() == mode)) {
    kept.reset();  // before the new one: never both at once
    kept = host_.makeBuffer(width, std::max(height, rows), planes, 1, mode);
  }
  kept->setHeight(height);
  return kept;
}

bool LightRenderer::isCached(const HostBuffer* buffer) const {
  return buffer != nullptr && (buffer == cachedLightMap_.get() || buffer == cachedMatte_.get() ||
                               buffer == cachedCanvas_.get() || buffer == finalCanvas_.get());
}

int32_t LightRenderer::separateChannels(const HostBuffer& tile) const {
  if (tile.imageMode() != plugInModeGrayScale || tile.bytesPerSample() != 1 || tile.slots() < 2) return 0;
  const int32_t n = host_.channelCount();
  return n > 0 && n < tile.slots() ? n : tile.slots();
}

HostBufferRef LightRenderer::firstChannel(const HostBuffer& source) {
  if (separateChannels(source) == 0) return HostBufferRef();
  HostBufferRef plane = makePlane(host_, source.width(), source.height());
  readSlot(source, 0, *plane, source.width(), source.height());
  return plane;
}

void LightRenderer::renderTile(HostBuffer& tile, const VRect& rect) {
  if (rectIsEmpty(rect) || !supportedTile(tile)) return;
  const int32_t w = rectWidth(rect), h = rectHeight(rect);
  if (const int32_t channels = separateChannels(tile)) {
    // One grayscale channel per slot: each is lit on its own, with its own
    // matte and light map (a cache made from another channel does not apply).
    HostBufferRef plane = makePlane(host_, w, h);
    for (int32_t c = 0; c < channels; ++c) {
      readSlot(tile, c, *plane, w, h);
      cachedMatte_.reset();
      cachedLightMap_.reset();
      renderTile(*plane, rect);
      writeSlot(tile, c, *plane, w, h);
    }
    cachedMatte_.reset();
    cachedLightMap_.reset();
    return;
  }
  HostBufferRef light = lightMap(tile, rect);
  if (!light) return;

  const double blur = params_.lightBlur;
  const bool blurs = blurRadius(blur, zoomX_) != 0.0f || blurRadius(blur, zoomY_) != 0.0f;
  const int16_t mode = tile.imageMode();

  uint8_t* const tileData = tile.data();
  const int32_t tileRowBytes = tile.rowBytes();
  const int32_t rowSamples = w * std::max<int32_t>(tile.slots(), 1);
  auto tileRow = [&](int32_t y) { return tileData + static_cast<intptr_t>(y) * tileRowBytes; };

  if (params_.lightSource == kSourceMatte) {
    if (blurs) {
      // The blur never reaches a cached map: it would pile up with every
      // refresh of the dialog.
      if (isCached(light.get())) {
        HostBufferRef copy = makePlane(host_, w, h);
        copy->copyFrom(*light);
        light = copy;
      }
      blurBuffer(*light, blur, zoomX_, blur, zoomY_, &pool_);
      ++stats_.lightBlurs;
    }
    const HostBuffer& map = *light;
    forRows(h, rowSamples, [&](int32_t top, int32_t bottom) {
      lightBlendMatte(params_.lightBlendMode, params_.lightBrightness, lightColor_, mode, tileRow(top),
                      tileRowBytes, map.row(top), map.rowBytes(), w, bottom - top);
    });
    return;
  }

  // Image source: the document itself, weighted by the light map, is the
  // light.
  HostBufferRef image = workBuffer(kWorkImage, w, h, tile.height(), tile.slots(), mode);
  {
    // Each band of rows is blurred along its rows while it is in cache.
    const HostBuffer& map = *light;
    HostBuffer& out = *image;
    forRows(h, rowSamples, [&](int32_t top, int32_t bottom) {
      multiplyByLightMap(mode, tileRow(top), tileRowBytes, map.row(top), map.rowBytes(), w, bottom - top,
                         out.row(top), out.rowBytes());
      if (blurs) blurRows(out, blur, zoomX_, top, bottom);
    });
  }
  light.reset();
  if (blurs) {
    blurColumns(*image, blur, zoomY_, &pool_);
    ++stats_.lightBlurs;
  }
  const HostBuffer& lit = *image;
  forRows(h, rowSamples, [&](int32_t top, int32_t bottom) {
    lightBlendImage(params_.lightBlendMode, params_.lightBrightness, lightColor_, mode, tileRow(top),
                    tileRowBytes, lit.row(top), lit.rowBytes(), w, bottom - top);
  });
}

HostBufferRef LightRenderer::matte(const HostBuffer& source, const VRect& rect) {
  const int32_t w = rectWidth(rect), h = rectHeight(rect);
  const MatteKeys keys = matteKeys();
  if (preview_ && cachedMatte_ && sameSize(*cachedMatte_, w, h) && matteKeys_ == keys) return cachedMatte_;

  HostBufferRef m = workBuffer(kWorkMatte, w, h, source.height(), 1, plugInModeGrayScale);
  if (supportedTile(source)) {
    // Each band of rows is blurred along its rows while it is in cache.
    HostBuffer& out = *m;
    forRows(h, w * std::max<int32_t>(source.slots(), 1), [&](int32_t top, int32_t bottom) {
      extractMatte(source.row(top), source.rowBytes(), source.imageMode(), w, bottom - top,
                   params_.matteChannel, matteTable_, out.row(top), out.rowBytes());
      blurRows(out, params_.matteBlur, zoomX_, top, bottom);
    });
    blurColumns(out, params_.matteBlur, zoomY_, &pool_);
  } else {
    m->clear();  // nothing to extract from: an unlit matte
    blurBuffer(*m, params_.matteBlur, zoomX_, params_.matteBlur, zoomY_, &pool_);
  }
  ++stats_.matteBuilds;
  if (preview_) {
    cachedMatte_ = m;
    matteKeys_ = keys;
  }
  return m;
}

HostBufferRef LightRenderer::shapeImage() {
  if (params_.shapeFile.isEmpty()) return HostBufferRef();
  if (!shape_ || !shapeName_.equals(params_.shapeFile)) {
    shape_.reset();
    shapeName_.copy(params_.shapeFile);
    shape_ = loadShape(host_, shapeName_.c_str());
    ++stats_.shapeLoads;
  }
  return shape_;
}

HostBufferRef LightRenderer::shapeCanvas(int32_t fullWidth, int32_t fullHeight) {
  const ShapeKeys keys = shapeKeys();
  if (preview_) {
    if (cachedCanvas_ && canvasRequestWidth_ == fullWidth && canvasRequestHeight_ == fullHeight &&
        canvasKeys_ == keys)
      return cachedCanvas_;
  } else if (finalCanvasBuilt_) {
    return finalCanvas_;
  }

  HostBufferRef canvas;
  HostBufferRef shape = shapeImage();
  if (shape && fullWidth > 0 && fullHeight > 0) {
    const int32_t sw = shape->width(), sh = shape->height();
    // The dialog places the shape at the preview's size; the final render at
    // the shape's own size, cutting every tile from it later.
    const int32_t cw = preview_ ? fullWidth : sw, ch = preview_ ? fullHeight : sh;
    const double kx = preview_ ? zoomX_ : static_cast<double>(sw) / fullWidth * zoomX_;
    const double ky = preview_ ? zoomY_ : static_cast<double>(sh) / fullHeight * zoomY_;
    canvas = buildShapeCanvas(host_, shape, params_, cw, ch, kx, ky, &pool_);
  }
  ++stats_.canvasBuilds;

  if (preview_) {
    cachedCanvas_ = canvas;
    canvasKeys_ = keys;
    canvasRequestWidth_ = fullWidth;
    canvasRequestHeight_ = fullHeight;
    cachedLightMap_.reset();  // it was cut from the old canvas
  } else {
    finalCanvas_ = canvas;
    finalCanvasBuilt_ = true;
  }
  return canvas;
}

// The shape tile of rect: bent by the document's brightness, copied from a
// canvas of the full size, or resampled from a canvas of another size.
HostBufferRef LightRenderer::shapeTile(const HostBuffer& source, const VRect& rect,
                                       const HostBuffer& canvas) {
  const int32_t w = rectWidth(rect), h = rectHeight(rect);
  const int32_t cw = canvas.width(), ch = canvas.height();
  const bool fullSize = cw == fullWidth_ && ch == fullHeight_;
  HostBufferRef tile = workBuffer(kWorkShape, w, h, source.height(), 1, plugInModeGrayScale);

  const double displacement = displacementAmount(params_.lightDisplacement);
  if (displacement != 0.0) {
    const fx::Rect r = canvasRect(rect, cw, ch, fullWidth_, fullHeight_);
    const VRect sourceRect = fullSize ? rect : makeRect(r.top, r.left, r.bottom, r.right);
    const double amount = fullHeight_ * displacement * 0.005;
    if (!displaceShape(source, rect, canvas, sourceRect, amount, amount, *tile)) tile->clear();
    return tile;
  }

  if (fullSize) {
    if (rect == makeRect(0, 0, ch, cw)) {
      tile->copyFrom(canvas);
      return tile;
    }
    // Rows of the canvas under the tile; whatever lies outside stays 0.
    tile->clear();
    VRect area = makeRect(0, 0, ch, cw);
    VRect inTile = makeRect(0, 0, h, w);
    OverlapRect rects[2] = {{&area, 0, 0}, {&inTile, rect.left, rect.top}};
    overlapRects(rects, 2);
    for (int32_t r = 0; r < rectHeight(area); ++r) {
      std::memcpy(tile->row(inTile.top + r) + inTile.left, canvas.row(area.top + r) + area.left,
                  static_cast<size_t>(rectWidth(area)));
    }
    return tile;
  }

  const fx::Rect from = canvasRect(rect, cw, ch, fullWidth_, fullHeight_);
  fx::Rect to;
  to.bottom = h;
  to.right = w;
  BufferImage canvasImage(canvas), tileImage(*tile);
  shapeScaler_.prepare(canvasImage.image(), from, tileImage.image(), to, kAutomaticQuality);
  // Bands of rows on the pool, each cleared (what lies beyond a clipped
  // canvas rectangle stays 0) and resampled while it is in cache.
  HostBuffer& out = *tile;
  forRows(h, w, [&](int32_t top, int32_t bottom) {
    std::memset(out.row(top), 0, static_cast<size_t>(bottom - top) * static_cast<size_t>(out.rowBytes()));
    shapeScaler_.scaleRows(top, bottom);
  });
  return tile;
}

HostBufferRef LightRenderer::lightMap(const HostBuffer& source, const VRect& rect) {
  const int32_t w = rectWidth(rect), h = rectHeight(rect);
  const MatteKeys mKeys = matteKeys();
  const ShapeKeys sKeys = shapeKeys();
  if (preview_ && cachedLightMap_ && sameSize(*cachedLightMap_, w, h) && lightMatteKeys_ == mKeys &&
      lightShapeKeys_ == sKeys && lightFullWidth_ == fullWidth_ && lightFullHeight_ == fullHeight_)
    return cachedLightMap_;

  const int32_t blend = params_.shapeBlendMode;
  const bool shapeWanted = blend != kShapeNone && !params_.shapeFile.isEmpty();
  if (blend == kShapeOnly && !shapeWanted) return HostBufferRef();

  HostBufferRef m = matte(source, rect);
  HostBufferRef light = m;
  if (shapeWanted) {
    HostBufferRef canvas = shapeCanvas(fullWidth_, fullHeight_);
    // Without a canvas the light map is the matte, in every blend mode.
    if (canvas) {
      HostBufferRef tile = shapeTile(source, rect, *canvas);
      HostBuffer& shape = *tile;
      const HostBuffer& mat = *m;
      forRows(h, w, [&](int32_t top, int32_t bottom) {
        shapeBlend(blend, params_.shapeOpacity, shape.row(top), shape.rowBytes(), mat.row(top), mat.rowBytes(),
                   w, bottom - top);
      });
      light = tile;
    }
  }
  ++stats_.lightMapBuilds;
  if (preview_) {
    cachedLightMap_ = light;
    lightMatteKeys_ = mKeys;
    lightShapeKeys_ = sKeys;
    lightFullWidth_ = fullWidth_;
    lightFullHeight_ = fullHeight_;
  }
  return light;
}

void LightRenderer::lightMapView(const HostBuffer& proxy, HostBuffer& view) {
  // A target of separate channels shows the light map of its first one.
  HostBufferRef first = firstChannel(proxy);
  const HostBuffer& source = first ? *first : proxy;
  HostBufferRef light = lightMap(source, makeRect(0, 0, source.height(), source.width()));
  if (!light) {
    view.clear();
    return;
  }
  copyPlane(view, *light);
}

void LightRenderer::shapeView(const HostBuffer& proxy, HostBuffer& view) {
  HostBufferRef first = firstChannel(proxy);
  const HostBuffer& source = first ? *first : proxy;
  HostBufferRef canvas = shapeCanvas(fullWidth_, fullHeight_);
  if (!canvas) {
    view.clear();
    return;
  }
  const double d = displacementAmount(params_.lightDisplacement);
  if (d != 0.0) {
    const VRect rect = makeRect(0, 0, source.height(), source.width());
    const double dx = d * source.width() * zoomX_ * 0.01;
    const double dy = d * source.height() * zoomY_ * 0.01;
    const VRect sourceRect = makeRect(0, 0, canvas->height(), canvas->width());
    if (view.width() >= source.width() && view.height() >= source.height() &&
        displaceShape(source, rect, *canvas, sourceRect, dx, dy, view))
      return;
    view.clear();
    return;
  }
  view.clear();
  copyPlane(view, *canvas);
}

}  // namespace veyra
